// Reads an image file whole, for the decoders' memory entry points, and the file entry point
// that each decoder builds on it.
#pragma once

#include "res/ImageData.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Larger files are refused unread: the biggest image the decoders accept (MAX_IMAGE_PIXELS at
// 4 bytes a pixel, as an uncompressed bitmap) with room for headers.
inline constexpr std::uint64_t MAX_IMAGE_FILE_BYTES = MAX_IMAGE_PIXELS * 4 + (1u << 24);

// The file's bytes; CannotOpen, TooLarge or OutOfMemory when they cannot be had.
EImageError ReadImageFileBytes(const std::wstring& strPath, std::vector<std::uint8_t>& bytes);

// A decoder's memory entry point.
using FDecodeImageMemory = CImageData (*)(std::span<const std::uint8_t>, CImageDecodeStatus*);
// Reads the file whole, then decodes it with fnDecode; the record gets the path. A file that
// cannot be read sets pStatus to eFormat with the read's error and gives an empty record.
CImageData DecodeImageFile(const std::wstring& strPath, EImageFormat eFormat,
                           FDecodeImageMemory fnDecode, CImageDecodeStatus* pStatus);
