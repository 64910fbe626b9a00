// PNG images through libpng.
//
// The transformations, in this order: 16-bit channels stripped to 8 bits; palette images, images
// of fewer than 8 bits and images with a tRNS chunk expanded to full 8-bit channels; grey turned
// into RGB; with a bKGD chunk, composited onto that background (the result has no alpha); with
// a gAMA chunk, gamma correction from the file's gamma to a screen gamma of 2.2. Pixels without
// alpha get alpha 255.
//
// Each call keeps its state to itself, so decodes may run on several threads at once. Sizes that
// IsImageSizeAccepted refuses are refused from the header, before the image data is inflated.
// Warnings of libpng go nowhere; its errors end the decode with an empty record and their message
// in the status ("Read Error" for data that ends too early).
#pragma once

#include "res/ImageData.h"

#include <cstdint>
#include <span>
#include <string>

CImageData DecodePngMemory(std::span<const std::uint8_t> bytes,
                           CImageDecodeStatus* pStatus = nullptr);
// Reads the file whole, then as DecodePngMemory; the record gets the path.
CImageData DecodePngFile(const std::wstring& strPath, CImageDecodeStatus* pStatus = nullptr);
