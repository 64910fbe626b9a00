// Every decoder refuses a size beyond the limits from the file's header, so a file of a few
// bytes that claims a huge picture costs neither memory nor time; sizes up to the limits decode.
#include "res/BmpDecoder.h"
#include "res/ImageFixtures.h"
#include "res/JpegDecoder.h"
#include "res/PngDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace
{

using fixtures::AsBytes;
using fixtures::WithClaimedSize;

using DecodeFn = CImageData (*)(std::span<const std::uint8_t>, CImageDecodeStatus*);

struct SFormat
{
    const char* pszName;
    DecodeFn decode;
    // A real file of nWidth × nHeight grey pixels.
    std::string (*make)(int nWidth, int nHeight);
};

std::string GreyBmp(int nWidth, int nHeight)
{
    return fixtures::MakeBmp24(nWidth, nHeight,
                               std::vector<std::uint32_t>(std::size_t(nWidth) * nHeight, 0x808080));
}

std::string GreyPng(int nWidth, int nHeight)
{
    fixtures::CPngDesc desc;
    desc.nWidth = static_cast<std::uint32_t>(nWidth);
    desc.nHeight = static_cast<std::uint32_t>(nHeight);
    desc.nColourType = PNG_COLOR_TYPE_GRAY;
    desc.rows.assign(static_cast<std::size_t>(nHeight), std::string(std::size_t(nWidth), '\x80'));
    return fixtures::MakePng(desc);
}

std::string GreyJpeg(int nWidth, int nHeight)
{
    return fixtures::MakeJpeg(nWidth, nHeight, 1, JCS_GRAYSCALE,
                              std::string(std::size_t(nWidth) * nHeight, '\x80'));
}

const SFormat kFormats[] = {
    {"BMP", DecodeBmpMemory, GreyBmp},
    {"PNG", DecodePngMemory, GreyPng},
    {"JPEG", DecodeJpegMemory, GreyJpeg},
};

TEST(ImageSizeLimitTest, SmallFilesClaimingHugeSizesAreRefusedFromTheHeader)
{
    const struct
    {
        std::uint32_t nWidth;
        std::uint32_t nHeight;
    } sizes[] = {
        {16384, 16384},
        {65500, 65500},
        {MAX_IMAGE_SIDE + 1, 1},
        {1, MAX_IMAGE_SIDE + 1},
        // Both sides allowed, the pixels together too many.
        {MAX_IMAGE_SIDE, MAX_IMAGE_PIXELS / MAX_IMAGE_SIDE + 1},
        {MAX_IMAGE_PIXELS / MAX_IMAGE_SIDE + 1, MAX_IMAGE_SIDE},
    };
    for (const SFormat& format : kFormats)
    {
        const std::string small = format.make(8, 8);
        ASSERT_FALSE(small.empty()) << format.pszName;
        for (const auto& size : sizes)
        {
            SCOPED_TRACE(std::string(format.pszName) + " claiming " + std::to_string(size.nWidth) +
                         " x " + std::to_string(size.nHeight));
            const std::string claim = WithClaimedSize(small, size.nWidth, size.nHeight);
            ASSERT_NE(claim, small);
            CImageDecodeStatus status;
            EXPECT_TRUE(format.decode(AsBytes(claim), &status).IsEmpty());
            EXPECT_EQ(status.m_eError, EImageError::TooLarge) << status.m_strMessage;
        }
    }
}

TEST(ImageSizeLimitTest, PicturesUpToTheLimitsDecode)
{
    const struct
    {
        int nWidth;
        int nHeight;
    } sizes[] = {{MAX_IMAGE_SIDE, 1}, {1, MAX_IMAGE_SIDE}};
    for (const SFormat& format : kFormats)
    {
        for (const auto& size : sizes)
        {
            SCOPED_TRACE(std::string(format.pszName) + " " + std::to_string(size.nWidth) + " x " +
                         std::to_string(size.nHeight));
            CImageDecodeStatus status;
            const CImageData image =
                format.decode(AsBytes(format.make(size.nWidth, size.nHeight)), &status);
            EXPECT_EQ(status.m_eError, EImageError::None) << status.m_strMessage;
            EXPECT_EQ(image.m_nWidth, size.nWidth);
            EXPECT_EQ(image.m_nHeight, size.nHeight);
        }
    }

    // The whole pixel budget in one picture (a 4K screen's background fits in it).
    const int nHeight = static_cast<int>(MAX_IMAGE_PIXELS / MAX_IMAGE_SIDE);
    const CImageData image = DecodePngMemory(AsBytes(GreyPng(MAX_IMAGE_SIDE, nHeight)));
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.m_nWidth, MAX_IMAGE_SIDE);
    EXPECT_EQ(image.m_nHeight, nHeight);
    EXPECT_EQ(fixtures::PixelOf(image, MAX_IMAGE_SIDE - 1, nHeight - 1),
              (std::array<int, 4>{128, 128, 128, 255}));
}

} // namespace
