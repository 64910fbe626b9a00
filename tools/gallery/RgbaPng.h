// PNG writing for the gallery, through the image generator's encoder. Kept apart from the window
// code: the generator's colour names clash with the window layer's constants.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// rgba holds nWidth x nHeight pixels, rows top-down, each R, G, B, A. False when the picture
// cannot be encoded or the file cannot be written.
bool WriteRgbaPng(const std::filesystem::path& path, int nWidth, int nHeight,
                  const std::vector<std::uint8_t>& rgba);
