// File encoders of the generator: BMP of our own (24-bit, or 8-bit with a palette) and PNG
// through libpng. Each returns the whole file; an empty result means the image cannot be written
// in that form. Nothing time-dependent goes into a file, so equal canvases give equal bytes.
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <filesystem>
#include <vector>

using ByteVector = std::vector<std::uint8_t>;

// Bottom-up rows of B, G, R, each padded to 4 bytes. The canvas must be opaque.
ByteVector EncodeBmp24(const CCanvas& canvas);
// The same with one byte per pixel into a palette of the canvas's colours, in the order they
// first appear from the top-left. Needs an opaque canvas of at most 256 colours.
ByteVector EncodeBmp8(const CCanvas& canvas);
// 8-bit RGBA, not interlaced, no time stamp.
ByteVector EncodePng(const CCanvas& canvas);

// Writes the bytes, creating the folders; false when that fails.
bool WriteFileBytes(const std::filesystem::path& path, const ByteVector& bytes);
