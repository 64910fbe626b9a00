// Turns decoded RGBA pixels into the opaque pixels of a bitmap, against a background colour.
#pragma once

#include "platform/WinTypes.h"
#include "res/ImageData.h"

#include <cstdint>
#include <vector>

// The colour packing of the window framework, under the name the resource code uses.
constexpr COLORREF MakeRgb(unsigned r, unsigned g, unsigned b)
{
    return RGB(r, g, b);
}

// One pixel as 0xFFRRGGBB. Alpha 255 keeps the pixel's colour, alpha 0 gives the background,
// anything between mixes each channel as (c × A + b × (255 − A)) / 255, rounded down.
std::uint32_t FlattenPixel(const std::uint8_t* pRgba, COLORREF rgbBackground);

// The whole image, rows top to bottom, as 0xFFRRGGBB values; empty for an empty record.
std::vector<std::uint32_t> FlattenAlpha(const CImageData& image, COLORREF rgbBackground);
