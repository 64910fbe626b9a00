#include "res/ImageFixtures.h"
#include "res/PngDecoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{

using fixtures::AllPixels;
using fixtures::AsBytes;
using fixtures::CPngDesc;
using fixtures::MakePng;
using fixtures::PixelOf;
using Rgba = std::array<int, 4>;

CImageData Decode(const std::string& bytes, CImageDecodeStatus* pStatus = nullptr)
{
    return DecodePngMemory(AsBytes(bytes), pStatus);
}

CPngDesc OneRow(int nColourType, int nBitDepth, std::uint32_t nWidth, std::string row)
{
    CPngDesc desc;
    desc.nWidth = nWidth;
    desc.nColourType = nColourType;
    desc.nBitDepth = nBitDepth;
    desc.rows = {std::move(row)};
    return desc;
}

TEST(ImagePngTest, EveryKindComesOutAsRgba)
{
    CPngDesc palette = OneRow(PNG_COLOR_TYPE_PALETTE, 8, 3, std::string("\0\1\2", 3));
    palette.palette = {{255, 0, 255}, {10, 20, 30}, {200, 100, 50}};
    palette.paletteAlpha = {0, 128};
    CPngDesc palette2 = OneRow(PNG_COLOR_TYPE_PALETTE, 2, 3, "\x90");
    palette2.palette = palette.palette;
    CPngDesc rgbKey = OneRow(PNG_COLOR_TYPE_RGB, 8, 2, "\1\2\3\1\2\4");
    rgbKey.transparent = png_color_16{0, 1, 2, 3, 0};

    const struct
    {
        const char* pszName;
        CPngDesc desc;
        std::vector<Rgba> expected;
    } cases[] = {
        {"RGBA copied as it is",
         OneRow(PNG_COLOR_TYPE_RGBA, 8, 2, std::string("\1\2\3\4\xFA\xFB\xFC\0", 8)),
         {{1, 2, 3, 4}, {250, 251, 252, 0}}},
        {"RGB gets alpha 255",
         OneRow(PNG_COLOR_TYPE_RGB, 8, 2, "\1\2\3\4\5\6"),
         {{1, 2, 3, 255}, {4, 5, 6, 255}}},
        {"grey",
         OneRow(PNG_COLOR_TYPE_GRAY, 8, 2, std::string("\0\x80", 2)),
         {{0, 0, 0, 255}, {128, 128, 128, 255}}},
        {"grey of 1 bit",
         OneRow(PNG_COLOR_TYPE_GRAY, 1, 3, "\xA0"),
         {{255, 255, 255, 255}, {0, 0, 0, 255}, {255, 255, 255, 255}}},
        {"grey with alpha",
         OneRow(PNG_COLOR_TYPE_GRAY_ALPHA, 8, 1, "\x40\x80"),
         {{64, 64, 64, 128}}},
        {"palette with tRNS", palette, {{255, 0, 255, 0}, {10, 20, 30, 128}, {200, 100, 50, 255}}},
        {"palette of 2 bits",
         palette2,
         {{200, 100, 50, 255}, {10, 20, 30, 255}, {255, 0, 255, 255}}},
        {"16-bit RGBA keeps the high bytes",
         OneRow(PNG_COLOR_TYPE_RGBA, 16, 1, std::string("\x12\xFF\x34\x00\x56\xAB\x80\x01", 8)),
         {{0x12, 0x34, 0x56, 0x80}}},
        {"16-bit grey", OneRow(PNG_COLOR_TYPE_GRAY, 16, 1, "\xAB\xCD"), {{0xAB, 0xAB, 0xAB, 255}}},
        {"RGB with a tRNS colour", rgbKey, {{1, 2, 3, 0}, {1, 2, 4, 255}}},
    };
    for (const auto& c : cases)
    {
        const std::string bytes = MakePng(c.desc);
        ASSERT_FALSE(bytes.empty()) << c.pszName;
        CImageDecodeStatus status;
        const CImageData image = Decode(bytes, &status);
        ASSERT_FALSE(image.IsEmpty()) << c.pszName << ": " << status.m_strMessage;
        EXPECT_EQ(AllPixels(image), c.expected) << c.pszName;
    }
}

TEST(ImagePngTest, InterlacedImageDecodesLikeAPlainOne)
{
    CPngDesc desc;
    desc.nWidth = 5;
    desc.nHeight = 4;
    for (int y = 0; y < 4; ++y)
    {
        std::string row;
        for (int x = 0; x < 5; ++x)
            row += {static_cast<char>(x * 40), static_cast<char>(y * 60), 7,
                    static_cast<char>(x * y * 10)};
        desc.rows.push_back(row);
    }
    const CImageData plain = Decode(MakePng(desc));
    desc.bInterlaced = true;
    const CImageData interlaced = Decode(MakePng(desc));
    ASSERT_FALSE(plain.IsEmpty());
    ASSERT_FALSE(interlaced.IsEmpty());
    EXPECT_EQ(AllPixels(interlaced), AllPixels(plain));
    EXPECT_EQ(PixelOf(plain, 4, 3), (Rgba{160, 180, 7, 120}));
}

TEST(ImagePngTest, BackgroundChunkMakesTheImageOpaque)
{
    // Opaque red, fully transparent, half-transparent white, over the file's own blue.
    CPngDesc rgba = OneRow(PNG_COLOR_TYPE_RGBA, 8, 3,
                           std::string("\xFF\0\0\xFF"
                                       "\0\0\0\0"
                                       "\xFF\xFF\xFF\x80",
                                       12));
    rgba.background = png_color_16{0, 0, 0, 255, 0};
    // 16-bit grey with alpha: opaque mid grey, and a transparent pixel over grey 0x4000.
    CPngDesc grey = OneRow(PNG_COLOR_TYPE_GRAY_ALPHA, 16, 2,
                           std::string("\x80\x00\xFF\xFF\xFF\xFF\x00\x00", 8));
    grey.background = png_color_16{0, 0, 0, 0, 0x4000};

    const struct
    {
        const char* pszName;
        CPngDesc desc;
        std::vector<Rgba> expected;
    } cases[] = {
        {"RGBA", rgba, {{255, 0, 0, 255}, {0, 0, 255, 255}, {128, 128, 255, 255}}},
        {"16-bit grey with alpha", grey, {{128, 128, 128, 255}, {64, 64, 64, 255}}},
    };
    for (const auto& c : cases)
    {
        const CImageData image = Decode(MakePng(c.desc));
        ASSERT_FALSE(image.IsEmpty()) << c.pszName;
        const std::vector<Rgba> pixels = AllPixels(image);
        ASSERT_EQ(pixels.size(), c.expected.size()) << c.pszName;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(pixels[i][k], c.expected[i][k], 1) << c.pszName << " pixel " << i;
    }
}

TEST(ImagePngTest, GammaChunkCorrectsForTheScreen)
{
    // Linear data (gamma 1.0) shown on a 2.2 screen is lifted: 128 → 255 × (128/255)^(1/2.2).
    // Data already encoded for such a screen (1/2.2) stays as it is.
    CPngDesc desc = OneRow(PNG_COLOR_TYPE_GRAY, 8, 3, std::string("\0\x80\xFF", 3));
    desc.gamma = 1.0;
    const CImageData linear = Decode(MakePng(desc));
    ASSERT_FALSE(linear.IsEmpty());
    EXPECT_EQ(PixelOf(linear, 0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_NEAR(PixelOf(linear, 1, 0)[0], 186, 1);
    EXPECT_EQ(PixelOf(linear, 2, 0), (Rgba{255, 255, 255, 255}));

    desc.gamma = 1 / 2.2;
    const CImageData screen = Decode(MakePng(desc));
    ASSERT_FALSE(screen.IsEmpty());
    EXPECT_EQ(PixelOf(screen, 1, 0), (Rgba{128, 128, 128, 255}));
}

// Sets a big-endian 32-bit field and recomputes the checksum of the chunk it lies in (the
// header chunk, which starts at byte 8).
std::string WithIhdrField(std::string png, std::size_t nPos, std::uint32_t v, std::size_t nSize)
{
    for (std::size_t i = 0; i < nSize; ++i)
        png[nPos + i] = static_cast<char>(v >> (8 * (nSize - 1 - i)));
    const uLong nCrc = crc32(0, reinterpret_cast<const Bytef*>(png.data()) + 12, 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<char>(nCrc >> (24 - 8 * i));
    return png;
}

TEST(ImagePngTest, RefusesBrokenAndOversizedFiles)
{
    const std::string one = MakePng(OneRow(PNG_COLOR_TYPE_RGB, 8, 1, "\1\2\3"));
    std::string badCrc = one;
    badCrc[29] ^= 1;
    CPngDesc wide =
        OneRow(PNG_COLOR_TYPE_GRAY, 8, MAX_IMAGE_SIDE + 1, std::string(MAX_IMAGE_SIDE + 1, '\x10'));
    const struct
    {
        const char* pszName;
        std::string bytes;
        EImageError eError;
    } cases[] = {
        {"empty", "", EImageError::NotThisType},
        {"not a PNG", "GIF89a\1", EImageError::NotThisType},
        {"signature only in part", one.substr(0, 7), EImageError::NotThisType},
        {"header checksum wrong", badCrc, EImageError::BadData},
        {"bit depth 3", WithIhdrField(one, 24, 3, 1), EImageError::BadData},
        {"width 0", WithIhdrField(one, 16, 0, 4), EImageError::BadData},
        {"one more than the widest", MakePng(wide), EImageError::TooLarge},
        {"huge width, written by hand", WithIhdrField(one, 16, 0x7FFFFFFF, 4),
         EImageError::TooLarge},
        {"widest and tallest without its data",
         WithIhdrField(WithIhdrField(one, 16, MAX_IMAGE_SIDE, 4), 20,
                       MAX_IMAGE_PIXELS / MAX_IMAGE_SIDE, 4),
         EImageError::BadData},
    };
    for (const auto& c : cases)
    {
        CImageDecodeStatus status;
        EXPECT_TRUE(Decode(c.bytes, &status).IsEmpty()) << c.pszName;
        EXPECT_EQ(status.m_eError, c.eError) << c.pszName << ": " << status.m_strMessage;
        EXPECT_TRUE(status.ReportsFileNotFound()) << c.pszName;
    }

    CPngDesc widest =
        OneRow(PNG_COLOR_TYPE_GRAY, 8, MAX_IMAGE_SIDE, std::string(MAX_IMAGE_SIDE, '\x10'));
    const CImageData image = Decode(MakePng(widest));
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.m_nWidth, MAX_IMAGE_SIDE);
}

TEST(ImagePngTest, EveryTruncationIsAReadError)
{
    CPngDesc palette = OneRow(PNG_COLOR_TYPE_PALETTE, 8, 2, std::string("\0\1", 2));
    palette.palette = {{1, 2, 3}, {4, 5, 6}};
    palette.paletteAlpha = {7};
    palette.background = png_color_16{1, 0, 0, 0, 0};
    palette.gamma = 0.5;
    for (const std::string& whole :
         {MakePng(OneRow(PNG_COLOR_TYPE_RGBA, 8, 2, "abcdefgh")), MakePng(palette)})
    {
        ASSERT_FALSE(Decode(whole).IsEmpty());
        for (std::size_t n = 8; n < whole.size(); ++n)
        {
            CImageDecodeStatus status;
            EXPECT_TRUE(Decode(whole.substr(0, n), &status).IsEmpty()) << n;
            EXPECT_EQ(status.m_strMessage, "Read Error") << n;
        }
    }
}

TEST(ImagePngTest, DecodesOnSeveralThreadsAtOnce)
{
    // Each decode keeps its own error jump: good and failing decodes side by side stay apart.
    const std::string good = MakePng(OneRow(PNG_COLOR_TYPE_RGB, 8, 2, "\1\2\3\4\5\6"));
    const std::string cut = good.substr(0, good.size() - 20);
    std::atomic<int> nWrong = 0;
    std::vector<std::thread> threads;
    threads.reserve(4);
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [&]
            {
                for (int i = 0; i < 200; ++i)
                {
                    const CImageData a = Decode(good);
                    const CImageData b = Decode(cut);
                    if (a.IsEmpty() || PixelOf(a, 1, 0) != Rgba{4, 5, 6, 255} || !b.IsEmpty())
                        ++nWrong;
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(nWrong, 0);
}

} // namespace
