#include "res/ImageDecode.h"
#include "base/Paths.h"
#include "res/ImageFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace
{

TEST(ImageDecodeTest, EndingChoosesTheDecoderLetterCaseIncluded)
{
    CTempDir dir;
    const std::string bmp = fixtures::MakeBmp24(1, 1, {0x102030});
    const std::string png = fixtures::MakePngRgba(1, 1, "\x10\x20\x30\xFF");
    const std::string jpeg = fixtures::MakeJpeg(1, 1, 3, JCS_RGB, "\x10\x20\x30");
    const struct
    {
        std::wstring strName;
        std::string bytes;
        EImageFormat eFormat;
        bool bDecoded;
    } cases[] = {
        {L"a.bmp", bmp, EImageFormat::Bmp, true},
        {L"a.BMP", bmp, EImageFormat::Unknown, false},
        {L"a.Bmp", bmp, EImageFormat::Unknown, false},
        {L"a.png", png, EImageFormat::Png, true},
        {L"a.PNG", png, EImageFormat::Unknown, false},
        {L"a.jpg", jpeg, EImageFormat::Jpeg, true},
        {L"a.jpeg", jpeg, EImageFormat::Jpeg, true},
        {L"a.JPG", jpeg, EImageFormat::Unknown, false},
        {L"a.gif", png, EImageFormat::Unknown, false},
        {L"a.bmp.txt", bmp, EImageFormat::Unknown, false},
        {L"abmp", bmp, EImageFormat::Unknown, false},
        // The name decides, not the contents.
        {L"png-inside.bmp", png, EImageFormat::Bmp, false},
        {L"\u00dcberschrift \u00e9.bmp", bmp, EImageFormat::Bmp, true},
    };
    for (const auto& c : cases)
    {
        dir.Write(ToNativePath(c.strName), c.bytes);
        const std::wstring path = dir.WidePath() + L"/" + c.strName;
        CImageDecodeStatus status;
        const CImageData image = DecodeImageFile(path, &status);
        EXPECT_EQ(status.m_eFormat, c.eFormat) << path;
        EXPECT_EQ(!image.IsEmpty(), c.bDecoded) << path;
        EXPECT_EQ(status.Failed(), !c.bDecoded) << path;
        if (c.eFormat == EImageFormat::Unknown)
        {
            EXPECT_EQ(status.m_eError, EImageError::UnknownType) << path;
        }
        if (c.bDecoded)
        {
            EXPECT_EQ(image.m_strPath, path);
            EXPECT_EQ(image.m_nWidth, 1);
            EXPECT_NEAR(image.GetPixel(0, 0)[1], 0x20, 2) << path;
        }
    }
}

TEST(ImageDecodeTest, OnlyAFailedPngHasAMessageOfItsOwn)
{
    CTempDir dir;
    for (const auto& [strName, bReports] : {std::pair{L"missing.png", true},
                                            {L"missing.bmp", false},
                                            {L"missing.jpg", false},
                                            {L"missing.gif", false}})
    {
        CImageDecodeStatus status;
        EXPECT_TRUE(DecodeImageFile(dir.WidePath() + L"/" + strName, &status).IsEmpty());
        EXPECT_EQ(status.ReportsFileNotFound(), bReports) << strName;
    }
}

} // namespace
