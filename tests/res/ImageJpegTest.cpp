#include "res/ImageFixtures.h"
#include "res/JpegDecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{

using fixtures::AsBytes;
using fixtures::MakeJpeg;

constexpr int kWidth = 24;
constexpr int kHeight = 16;

// A smooth picture, which JPEG keeps close.
std::string Gradient(int nComponents)
{
    std::string samples;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < nComponents; ++c)
                samples += static_cast<char>(c == 0 ? x * 10 : c == 1 ? y * 15 : 200 - x * 5);
    return samples;
}

TEST(ImageJpegTest, DecodesColourAndGreyCloseToTheSource)
{
    for (const int nComponents : {3, 1})
    {
        const std::string samples = Gradient(nComponents);
        const std::string jpeg = MakeJpeg(kWidth, kHeight, nComponents,
                                          nComponents == 3 ? JCS_RGB : JCS_GRAYSCALE, samples);
        ASSERT_FALSE(jpeg.empty());
        CImageDecodeStatus status;
        const CImageData image = DecodeJpegMemory(AsBytes(jpeg), &status);
        ASSERT_FALSE(image.IsEmpty()) << status.m_strMessage;
        ASSERT_EQ(image.m_nWidth, kWidth);
        ASSERT_EQ(image.m_nHeight, kHeight);
        int nWorst = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
            {
                const std::uint8_t* p = image.GetPixel(x, y);
                EXPECT_EQ(p[3], 255);
                for (int c = 0; c < 3; ++c)
                {
                    const int nSource = static_cast<std::uint8_t>(
                        samples[(y * kWidth + x) * nComponents + (nComponents == 3 ? c : 0)]);
                    nWorst = std::max(nWorst, std::abs(p[c] - nSource));
                }
            }
        EXPECT_LE(nWorst, 12) << nComponents << " components";
    }
}

TEST(ImageJpegTest, RefusesWhatItCannotDecodeWhole)
{
    const std::string jpeg = MakeJpeg(kWidth, kHeight, 3, JCS_RGB, Gradient(3));
    const std::string cmyk = MakeJpeg(8, 8, 4, JCS_CMYK, std::string(8 * 8 * 4, '\x40'));
    const std::string wide =
        MakeJpeg(MAX_IMAGE_SIDE + 1, 1, 1, JCS_GRAYSCALE, std::string(MAX_IMAGE_SIDE + 1, '\x80'));
    ASSERT_FALSE(cmyk.empty());
    ASSERT_FALSE(wide.empty());
    const struct
    {
        const char* pszName;
        std::string bytes;
        EImageError eError;
    } cases[] = {
        {"empty", "", EImageError::NotThisType},
        {"not a JPEG", "\x89PNG\r\n\x1A\n", EImageError::NotThisType},
        {"header only", jpeg.substr(0, 200), EImageError::BadData},
        {"cut before the end", jpeg.substr(0, jpeg.size() - 40), EImageError::BadData},
        {"CMYK", cmyk, EImageError::Unsupported},
        {"one more than the widest", wide, EImageError::TooLarge},
    };
    for (const auto& c : cases)
    {
        CImageDecodeStatus status;
        EXPECT_TRUE(DecodeJpegMemory(AsBytes(c.bytes), &status).IsEmpty()) << c.pszName;
        EXPECT_EQ(status.m_eError, c.eError) << c.pszName << ": " << status.m_strMessage;
        EXPECT_FALSE(status.ReportsFileNotFound()) << c.pszName;
    }
    for (std::size_t n = 0; n < jpeg.size(); n += 7)
        EXPECT_TRUE(DecodeJpegMemory(AsBytes(jpeg.substr(0, n))).IsEmpty()) << n;
}

} // namespace
