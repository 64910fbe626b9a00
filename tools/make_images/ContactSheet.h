// One picture showing the whole set enlarged, family by family, with assembled windows below.
#pragma once

#include "ImageSet.h"

CCanvas BuildContactSheet(const ImageSet& set);
