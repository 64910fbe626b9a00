#include "res/AlphaFlatten.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace
{

constexpr COLORREF kBlack = MakeRgb(0, 0, 0);
constexpr COLORREF kMagenta = MakeRgb(255, 0, 255);
constexpr COLORREF kWhite = MakeRgb(255, 255, 255);

TEST(ImageAlphaFlattenTest, MixesWithTheBackgroundByAlpha)
{
    const struct
    {
        std::array<std::uint8_t, 4> rgba;
        COLORREF rgbBackground;
        std::uint32_t nExpected;
    } cases[] = {
        {{255, 255, 255, 128}, kBlack, 0xFF808080},
        {{255, 255, 255, 128}, kMagenta, 0xFFFF80FF},
        {{10, 20, 30, 255}, kMagenta, 0xFF0A141E}, // opaque: its own colour
        {{10, 20, 30, 0}, kMagenta, 0xFFFF00FF},   // transparent: the background
        {{0, 0, 0, 0}, kWhite, 0xFFFFFFFF},
        {{255, 0, 0, 1}, MakeRgb(0, 255, 0), 0xFF01FE00}, // (255×1)/255, (255×254)/255
        {{100, 100, 100, 254}, kBlack, 0xFF636363},       // 25400/255 = 99.6, rounded down
        {{1, 2, 3, 200}, MakeRgb(7, 11, 13), 0xFF020305},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FlattenPixel(c.rgba.data(), c.rgbBackground), c.nExpected)
            << int(c.rgba[3]) << " " << std::hex << c.rgbBackground;
}

TEST(ImageAlphaFlattenTest, WholeImageKeepsPixelOrder)
{
    CImageData image;
    ASSERT_TRUE(image.Allocate(2, 2));
    const std::uint8_t pixels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 0, 0};
    std::memcpy(image.m_pPixels.get(), pixels, sizeof(pixels));
    EXPECT_EQ(FlattenAlpha(image, kMagenta),
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFF00FF}));
    EXPECT_TRUE(FlattenAlpha(CImageData(), kMagenta).empty());
}

} // namespace
