#include "res/AlphaFlatten.h"

namespace
{

std::uint32_t Mix(std::uint32_t c, std::uint32_t b, std::uint32_t a)
{
    return (c * a + b * (255 - a)) / 255;
}

} // namespace

std::uint32_t FlattenPixel(const std::uint8_t* pRgba, COLORREF rgbBackground)
{
    const std::uint32_t a = pRgba[3];
    const std::uint32_t bgRed = rgbBackground & 0xFF;
    const std::uint32_t bgGreen = (rgbBackground >> 8) & 0xFF;
    const std::uint32_t bgBlue = (rgbBackground >> 16) & 0xFF;
    // The mixing rule gives the same at both ends; they are only the common, quick cases.
    std::uint32_t r = pRgba[0], g = pRgba[1], b = pRgba[2];
    if (a == 0)
    {
        r = bgRed;
        g = bgGreen;
        b = bgBlue;
    }
    else if (a != 255)
    {
        r = Mix(r, bgRed, a);
        g = Mix(g, bgGreen, a);
        b = Mix(b, bgBlue, a);
    }
    return 0xFF000000u | r << 16 | g << 8 | b;
}

std::vector<std::uint32_t> FlattenAlpha(const CImageData& image, COLORREF rgbBackground)
{
    std::vector<std::uint32_t> pixels;
    if (image.IsEmpty())
        return pixels;
    const std::size_t nCount = image.GetByteCount() / 4;
    pixels.resize(nCount);
    const std::uint8_t* pSource = image.m_pPixels.get();
    for (std::size_t i = 0; i < nCount; ++i, pSource += 4)
        pixels[i] = FlattenPixel(pSource, rgbBackground);
    return pixels;
}
