// Windows put together from the generated pieces the way the program draws them, to judge the
// set assembled. Text is shown as grey word blocks.
#pragma once

#include "ImageSet.h"

#include <vector>

// The mocks, each a whole window (pixels outside its region are transparent).
std::vector<CCanvas> BuildFrameMocks(const ImageSet& set);
