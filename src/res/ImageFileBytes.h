// Reads an image file whole, for the decoders' memory entry points.
#pragma once

#include "res/ImageData.h"

#include <cstdint>
#include <string>
#include <vector>

// Larger files are refused unread: the biggest image the decoders accept (MAX_IMAGE_SIDE square,
// 4 bytes a pixel) with room for headers.
inline constexpr std::uint64_t MAX_IMAGE_FILE_BYTES = (std::uint64_t{1} << 30) + (1u << 24);

// The file's bytes; CannotOpen, TooLarge or OutOfMemory when they cannot be had.
EImageError ReadImageFileBytes(const std::wstring& strPath, std::vector<std::uint8_t>& bytes);
