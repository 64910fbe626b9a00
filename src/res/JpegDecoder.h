// JPEG images through libjpeg.
//
// Colour and greyscale images come out as RGB with alpha 255. CMYK and YCCK images are refused
// (Unsupported): libjpeg gives no RGB for them, and the skins have none. A file that ends before
// its image is complete is refused rather than shown half grey, without decoding the rest. Sizes
// that IsImageSizeAccepted refuses: refused from the header, before any pixel is allocated.
// Per-call state only; libjpeg's messages never reach the terminal.
#pragma once

#include "res/ImageData.h"

#include <cstdint>
#include <span>
#include <string>

CImageData DecodeJpegMemory(std::span<const std::uint8_t> bytes,
                            CImageDecodeStatus* pStatus = nullptr);
// Reads the file whole, then as DecodeJpegMemory; the record gets the path.
CImageData DecodeJpegFile(const std::wstring& strPath, CImageDecodeStatus* pStatus = nullptr);
