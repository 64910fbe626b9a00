#include "res/BmpDecoder.h"
#include "res/ImageFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

namespace
{

using fixtures::AllPixels;
using fixtures::AsBytes;
using fixtures::CBmpDesc;
using fixtures::MakeBmp;
using fixtures::PixelOf;
using Rgba = std::array<int, 4>;

CImageData Decode(const std::string& bytes, CImageDecodeStatus* pStatus = nullptr)
{
    return DecodeBmpMemory(AsBytes(bytes), pStatus);
}

TEST(ImageBmpTest, Rgb24RowsArePaddedAndStoredBottomUp)
{
    // 3 pixels of 3 bytes need 9 bytes a row, padded to 12; the first row in the file is the
    // bottom one.
    CBmpDesc desc;
    desc.nWidth = 3;
    desc.nHeight = 2;
    desc.rows = {std::string("\x00\x00\xFF"
                             "\x00\xFF\x00"
                             "\xFF\x00\x00",
                             9),
                 std::string("\xFF\xFF\xFF"
                             "\x00\x00\x00"
                             "\xFF\x00\xFF",
                             9)};
    const std::string bytes = MakeBmp(desc);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);

    CImageDecodeStatus status;
    const CImageData image = Decode(bytes, &status);
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(status.m_eError, EImageError::None);
    EXPECT_EQ(image.m_nWidth, 3);
    EXPECT_EQ(image.m_nHeight, 2);
    EXPECT_EQ(AllPixels(image), (std::vector<Rgba>{{255, 255, 255, 255},
                                                   {0, 0, 0, 255},
                                                   {255, 0, 255, 255},
                                                   {255, 0, 0, 255},
                                                   {0, 255, 0, 255},
                                                   {0, 0, 255, 255}}));
}

TEST(ImageBmpTest, PaletteImageLooksUpItsColours)
{
    // 5 pixels a row (padded to 8); index 7 lies past the 3 entries and comes out black.
    CBmpDesc desc;
    desc.nWidth = 5;
    desc.nHeight = 2;
    desc.nBits = 8;
    desc.nColoursUsed = 3;
    desc.palette = {0xFF00FF, 0x102030, 0xFFFFFF};
    desc.rows = {std::string("\0\1\2\1\0", 5), std::string("\2\7\1\0\1", 5)};
    const CImageData image = Decode(MakeBmp(desc));
    ASSERT_FALSE(image.IsEmpty());
    const Rgba magenta{255, 0, 255, 255}, dark{16, 32, 48, 255}, white{255, 255, 255, 255},
        black{0, 0, 0, 255};
    EXPECT_EQ(AllPixels(image), (std::vector<Rgba>{white, black, dark, magenta, dark, magenta, dark,
                                                   white, dark, magenta}));
}

TEST(ImageBmpTest, PaletteFollowsAnInfoHeaderOfAnySize)
{
    for (const std::uint32_t nInfoSize : {40u, 108u, 124u})
    {
        CBmpDesc desc;
        desc.nInfoSize = nInfoSize;
        desc.nWidth = 2;
        desc.nBits = 8;
        desc.nColoursUsed = 2;
        desc.palette = {0x112233, 0x445566};
        desc.rows = {std::string("\1\0", 2)};
        const CImageData image = Decode(MakeBmp(desc));
        ASSERT_FALSE(image.IsEmpty()) << nInfoSize;
        EXPECT_EQ(AllPixels(image),
                  (std::vector<Rgba>{{0x44, 0x55, 0x66, 255}, {0x11, 0x22, 0x33, 255}}))
            << nInfoSize;
    }
}

TEST(ImageBmpTest, TopDownImageKeepsItsRowOrder)
{
    // 32 bits without masks: B, G, R and an unused byte, which never becomes alpha.
    CBmpDesc desc;
    desc.nWidth = 1;
    desc.nHeight = -3;
    desc.nBits = 32;
    desc.rows = {std::string("\1\2\3\0", 4), std::string("\4\5\6\x80", 4),
                 std::string("\7\10\11\xFF", 4)};
    const CImageData image = Decode(MakeBmp(desc));
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.m_nHeight, 3);
    EXPECT_EQ(AllPixels(image),
              (std::vector<Rgba>{{3, 2, 1, 255}, {6, 5, 4, 255}, {9, 8, 7, 255}}));
}

TEST(ImageBmpTest, BitFieldsGiveChannelsAndAlpha)
{
    const struct
    {
        const char* pszName;
        std::uint32_t nInfoSize;
        std::uint32_t nCompression;
        std::vector<std::uint32_t> masks;
        std::string pixel; // little-endian 32-bit value
        Rgba expected;
    } cases[] = {
        {"masks after header",
         40,
         3,
         {0xFF0000, 0xFF00, 0xFF},
         "\x30\x20\x10\x80",
         {16, 32, 48, 255}},
        {"alpha mask in V5 header",
         124,
         3,
         {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
         "\x30\x20\x10\x80",
         {16, 32, 48, 128}},
        {"alpha bit fields after header",
         40,
         6,
         {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
         "\x30\x20\x10\x40",
         {16, 32, 48, 64}},
        {"5-5-5 scaled to 8 bits",
         40,
         3,
         {0x7C00, 0x03E0, 0x001F},
         std::string("\x1F\x40\0\0", 4),
         {132, 0, 255, 255}},
        {"other channel order",
         40,
         3,
         {0xFF, 0xFF00, 0xFF0000},
         std::string("\1\2\3\0", 4),
         {1, 2, 3, 255}},
        {"zero mask is black",
         40,
         3,
         {0, 0xFF00, 0xFF},
         std::string("\1\2\3\0", 4),
         {0, 2, 1, 255}},
    };
    for (const auto& c : cases)
    {
        CBmpDesc desc;
        desc.nBits = 32;
        desc.nInfoSize = c.nInfoSize;
        desc.nCompression = c.nCompression;
        desc.masks = c.masks;
        desc.rows = {c.pixel};
        const CImageData image = Decode(MakeBmp(desc));
        ASSERT_FALSE(image.IsEmpty()) << c.pszName;
        EXPECT_EQ(PixelOf(image, 0, 0), c.expected) << c.pszName;
    }
}

TEST(ImageBmpTest, AlphaMaskWithAlphaZeroEverywhereIsOpaque)
{
    CBmpDesc desc;
    desc.nWidth = 2;
    desc.nBits = 32;
    desc.nInfoSize = 124;
    desc.nCompression = 3;
    desc.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    desc.rows = {std::string("\1\2\3\0\4\5\6\0", 8)};
    const CImageData image = Decode(MakeBmp(desc));
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(AllPixels(image), (std::vector<Rgba>{{3, 2, 1, 255}, {6, 5, 4, 255}}));
}

// Sets a 32-bit field of the file.
std::string With32(std::string bytes, std::size_t nPos, std::uint32_t v)
{
    fixtures::Put32(bytes, nPos, v);
    return bytes;
}

std::string With16(std::string bytes, std::size_t nPos, std::uint32_t v)
{
    fixtures::Put16(bytes, nPos, v);
    return bytes;
}

TEST(ImageBmpTest, RefusesWhatItCannotDecodeWhole)
{
    const std::string rgb = fixtures::MakeBmp24(3, 2, {1, 2, 3, 4, 5, 6});
    CBmpDesc palDesc;
    palDesc.nWidth = 2;
    palDesc.nBits = 8;
    palDesc.nColoursUsed = 2;
    palDesc.palette = {0x112233, 0x445566};
    palDesc.rows = {std::string("\1\0", 2)};
    const std::string pal = MakeBmp(palDesc);
    CBmpDesc fieldsDesc;
    fieldsDesc.nBits = 32;
    fieldsDesc.nCompression = 3;
    fieldsDesc.masks = {0xFF0000, 0xFF00, 0xFF};
    fieldsDesc.rows = {std::string(4, '\1')};
    const std::string fields = MakeBmp(fieldsDesc);

    const struct
    {
        const char* pszName;
        std::string bytes;
        EImageError eError;
    } cases[] = {
        {"empty file", "", EImageError::NotThisType},
        {"not BM", "BN" + rgb.substr(2), EImageError::NotThisType},
        {"OS/2 core header", With32(rgb, 14, 12), EImageError::Unsupported},
        {"info header past the end", With32(rgb, 14, 0xFFFFFFF0u), EImageError::BadData},
        {"width 0", With32(rgb, 18, 0), EImageError::BadData},
        {"negative width", With32(rgb, 18, static_cast<std::uint32_t>(-3)), EImageError::BadData},
        {"height 0", With32(rgb, 22, 0), EImageError::BadData},
        {"width 4097", With32(rgb, 18, MAX_IMAGE_SIDE + 1), EImageError::TooLarge},
        {"height -4097", With32(rgb, 22, static_cast<std::uint32_t>(-MAX_IMAGE_SIDE - 1)),
         EImageError::TooLarge},
        {"height INT_MIN", With32(rgb, 22, 0x80000000u), EImageError::TooLarge},
        {"widest and tallest in a tiny file",
         With32(With32(rgb, 18, MAX_IMAGE_SIDE), 22, MAX_IMAGE_PIXELS / MAX_IMAGE_SIDE),
         EImageError::BadData},
        {"4 bits", With16(rgb, 28, 4), EImageError::Unsupported},
        {"16 bits", With16(rgb, 28, 16), EImageError::Unsupported},
        {"RLE8", With32(pal, 30, 1), EImageError::Unsupported},
        {"24 bits with masks", With32(rgb, 30, 3), EImageError::Unsupported},
        {"32 bits JPEG inside", With32(fields, 30, 4), EImageError::Unsupported},
        {"pixel offset past the end", With32(rgb, 10, 0xFFFFFFFFu), EImageError::BadData},
        {"pixel offset one row too far", With32(rgb, 10, 54 + 12), EImageError::BadData},
        {"pixel offset inside the header", With32(rgb, 10, 20), EImageError::BadData},
        {"palette past the end", With32(pal, 46, 200), EImageError::BadData},
        {"256 colours, 2 in the file", With32(pal, 46, 0), EImageError::BadData},
        {"last row short", rgb.substr(0, rgb.size() - 1), EImageError::BadData},
        {"masks past the end", fields.substr(0, 54 + 8), EImageError::BadData},
        {"mask with a gap", With32(fields, 54, 0xF0F0), EImageError::BadData},
    };
    for (const auto& c : cases)
    {
        CImageDecodeStatus status;
        EXPECT_TRUE(Decode(c.bytes, &status).IsEmpty()) << c.pszName;
        EXPECT_EQ(status.m_eError, c.eError) << c.pszName;
        EXPECT_EQ(status.m_eFormat, EImageFormat::Bmp) << c.pszName;
    }
}

TEST(ImageBmpTest, EveryTruncationIsRefused)
{
    CBmpDesc v5;
    v5.nWidth = 2;
    v5.nHeight = -2;
    v5.nBits = 32;
    v5.nInfoSize = 124;
    v5.nCompression = 3;
    v5.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    v5.rows.assign(2, std::string(8, '\x7F'));
    CBmpDesc pal;
    pal.nWidth = 3;
    pal.nHeight = 2;
    pal.nBits = 8;
    pal.palette.assign(256, 0x808080);
    pal.rows.assign(2, std::string("\1\2\3", 3));
    for (const std::string& whole :
         {fixtures::MakeBmp24(3, 2, {1, 2, 3, 4, 5, 6}), MakeBmp(v5), MakeBmp(pal)})
    {
        ASSERT_FALSE(Decode(whole).IsEmpty());
        for (std::size_t n = 0; n < whole.size(); ++n)
            EXPECT_TRUE(Decode(whole.substr(0, n)).IsEmpty()) << n << " of " << whole.size();
    }
}

TEST(ImageBmpTest, FileEntryReadsTheFileAndKeepsThePath)
{
    CTempDir dir;
    dir.Write("a.bmp", fixtures::MakeBmp24(1, 1, {0x123456}));
    const std::wstring path = dir.WidePath() + L"/a.bmp";
    const CImageData image = DecodeBmpFile(path);
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.m_strPath, path);
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{0x12, 0x34, 0x56, 255}));

    CImageDecodeStatus status;
    EXPECT_TRUE(DecodeBmpFile(dir.WidePath() + L"/missing.bmp", &status).IsEmpty());
    EXPECT_EQ(status.m_eError, EImageError::CannotOpen);
    EXPECT_TRUE(DecodeBmpFile(dir.WidePath(), &status).IsEmpty()); // a folder
    EXPECT_EQ(status.m_eError, EImageError::CannotOpen);
}

} // namespace
