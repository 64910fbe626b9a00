// Chooses the decoder of an image file by the ending of its path.
#pragma once

#include "res/ImageData.h"

#include <string>

// ".bmp" → BMP, ".jpg" or ".jpeg" → JPEG, ".png" → PNG, compared exactly, letter case included
// (".BMP" names no decoder). Any other ending: an empty record with UnknownType. The status also
// tells which decoder ran, for the loader's report of a failed PNG.
CImageData DecodeImageFile(const std::wstring& strPath, CImageDecodeStatus* pStatus = nullptr);
