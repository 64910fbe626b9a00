// Loading a CMaskedBitmap: paths, alpha flattening and the report of a file that fails. These
// run without a window system, as the game model's flag loading does.
#include "res/MaskedBitmap.h"

#include "res/ImageFixtures.h"
#include "res/ImageLoadReport.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace
{

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// An installation folder of its own, and a record of what the user would see and hear.
class MaskedBitmapTest : public ::testing::Test, public CImageLoadReport
{
protected:
    void SetUp() override { SetImageLoadReport(this); }
    void TearDown() override { SetImageLoadReport(nullptr); }
    void Beep() override { m_events.push_back(L"beep"); }
    void ShowMessage(const std::wstring& strMessage) override
    {
        m_events.push_back(L"box: " + strMessage);
    }

    // 2 × 1: white at alpha 128, then red fully transparent.
    void WriteHalfTransparentPng(const std::string& strName) const
    {
        m_dir.Write(strName, fixtures::MakePngRgba(2, 1,
                                                   std::string("\xFF\xFF\xFF\x80"
                                                               "\xFF\x00\x00\x00",
                                                               8)));
    }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        const std::string strLog = m_dir.Read("Errors.txt");
        for (std::size_t i = 0; i < strLog.size();)
        {
            const std::size_t j = strLog.find("\r\n", i);
            if (j == std::string::npos)
            {
                lines.push_back(strLog.substr(i));
                break;
            }
            lines.push_back(strLog.substr(i, j - i));
            i = j + 2;
        }
        return lines;
    }

    CTempDir m_dir;
    const CInstallFolderScope m_installFolder{m_dir.WidePath()};
    std::vector<std::wstring> m_events;
};

TEST_F(MaskedBitmapTest, HalfTransparentPixelsBlendWithTheBackground)
{
    WriteHalfTransparentPng("Data/Half.png");
    struct SCase
    {
        const char* pszName;
        COLORREF crBackground;
        COLORREF crHalf;
        COLORREF crClear;
    };
    const SCase cases[] = {
        {"black", kBlack, RGB(128, 128, 128), kBlack},
        {"magenta", kMagenta, RGB(255, 128, 255), kMagenta},
        {"white", kWhite, kWhite, kWhite},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CMaskedBitmap bitmap;
        ASSERT_TRUE(bitmap.Load(L"Data/Half.png", c.crBackground));
        EXPECT_EQ(bitmap.GetPixel(0, 0), c.crHalf);
        EXPECT_EQ(bitmap.GetPixel(1, 0), c.crClear);
        EXPECT_EQ(bitmap.m_nWidth, 2);
        EXPECT_EQ(bitmap.m_nHeight, 1);
        EXPECT_EQ(bitmap.m_strPath, m_dir.WidePath() + L"/Data/Half.png");
    }
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(m_dir.Read("Errors.txt"), "");
}

TEST_F(MaskedBitmapTest, BackgroundDefaultsToBlackAndToMagentaForPngsLoadedByConstruction)
{
    WriteHalfTransparentPng("a.png");
    m_dir.Write("a.bmp", fixtures::MakeBmp24(1, 1, {0xFF00FF}));

    CMaskedBitmap byLoad;
    EXPECT_TRUE(byLoad.Load(L"a.png"));
    EXPECT_EQ(byLoad.GetPixel(1, 0), kBlack);
    const CMaskedBitmap pngByPath(L"a.png");
    EXPECT_EQ(pngByPath.GetPixel(0, 0), RGB(255, 128, 255));
    EXPECT_EQ(pngByPath.GetPixel(1, 0), kMagenta);
    // A BMP carries its magenta in its pixels.
    const CMaskedBitmap bmpByPath(L"a.bmp");
    EXPECT_EQ(bmpByPath.GetPixel(0, 0), kMagenta);
    EXPECT_TRUE(m_events.empty());
}

TEST_F(MaskedBitmapTest, RelativePathsComeFromTheInstallFolderAbsoluteOnesAreKept)
{
    m_dir.Write("Data/Skins/Default/Face.bmp",
                fixtures::MakeBmp24(3, 2, std::vector(6, 0x102030u)));
    CTempDir elsewhere;
    elsewhere.Write("Face.bmp", fixtures::MakeBmp24(5, 4, std::vector(20, 0x102030u)));

    CMaskedBitmap bitmap;
    EXPECT_TRUE(bitmap.Load(L"Data/Skins/Default/Face.bmp"));
    EXPECT_EQ(bitmap.m_nWidth, 3);
    // Backslashes and another letter case, as the game's own paths have them.
    EXPECT_TRUE(bitmap.Load(L"data\\skins\\default\\face.bmp"));
    EXPECT_EQ(bitmap.m_strPath, m_dir.WidePath() + L"/Data/Skins/Default/Face.bmp");
    EXPECT_TRUE(bitmap.Load(elsewhere.WidePath() + L"/Face.bmp"));
    EXPECT_EQ(bitmap.m_nWidth, 5);
    EXPECT_EQ(bitmap.m_nHeight, 4);
    EXPECT_EQ(bitmap.GetPixel(4, 3), RGB(0x10, 0x20, 0x30));
    EXPECT_TRUE(m_events.empty());
}

TEST_F(MaskedBitmapTest, FailedFileIsReportedOnceAndBecomesTenByTenBlack)
{
    m_dir.Write("Broken.png", "not a png at all");
    m_dir.Write("Upper.BMP", fixtures::MakeBmp24(1, 1, {0xFFFFFF}));
    // A few hundred bytes claiming 16384 × 16384: refused, and reported like any broken file.
    m_dir.Write("Huge.png",
                fixtures::WithClaimedSize(fixtures::MakePngRgba(1, 1, std::string("\1\2\3\4", 4)),
                                          16384, 16384));
    m_dir.Write(
        "Data/Images/Flags/Huge.jpg",
        fixtures::WithClaimedSize(
            fixtures::MakeJpeg(8, 8, 1, JCS_GRAYSCALE, std::string(64, '\x80')), 16384, 16384));
    struct SCase
    {
        const wchar_t* pszPath;
        bool bPng; // a failed PNG first shows "File not found" with the full path
    };
    // "Upper.BMP" exists, but the ending's letter case counts.
    const SCase cases[] = {
        {L"Data/Missing.bmp", false},
        {L"Upper.BMP", false},
        {L"Broken.png", true},
        {L"Data/Missing.png", true},
        {L"Picture.gif", false},
        {L"Huge.png", true},
        {L"Data/Images/Flags/Huge.jpg", false},
    };
    std::size_t nLines = 0;
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.pszPath)));
        m_events.clear();
        CMaskedBitmap bitmap;
        EXPECT_FALSE(bitmap.Load(c.pszPath));
        EXPECT_EQ(bitmap.m_nWidth, 10);
        EXPECT_EQ(bitmap.m_nHeight, 10);
        EXPECT_EQ(bitmap.GetWidth(), 10);
        EXPECT_EQ(bitmap.GetHeight(), 10);
        EXPECT_EQ(bitmap.GetPixel(0, 0), kBlack);
        EXPECT_EQ(bitmap.GetPixel(9, 9), kBlack);

        const std::wstring strMessage = std::wstring(L"Error Loading File: ") + c.pszPath;
        std::vector<std::wstring> expected;
        if (c.bPng)
            expected.push_back(L"box: File not found: " + InstallPath(c.pszPath));
        expected.insert(expected.end(), {L"beep", L"box: " + strMessage});
        EXPECT_EQ(m_events, expected);

        const std::vector<std::string> lines = LogLines();
        ASSERT_EQ(lines.size(), ++nLines);
        // "yyyy/mm/dd hh:mm:ss: " and the message.
        const std::string& strLine = lines.back();
        ASSERT_GT(strLine.size(), 19u);
        EXPECT_TRUE(std::regex_match(strLine.substr(0, 19),
                                     std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)")))
            << strLine;
        EXPECT_EQ(strLine.substr(19), ": " + std::string(strMessage.begin(), strMessage.end()));
    }
}

TEST_F(MaskedBitmapTest, DefaultReportNeedsNoWindowSystem)
{
    SetImageLoadReport(nullptr);
    CMaskedBitmap bitmap;
    EXPECT_FALSE(bitmap.Load(L"Missing.png"));
    EXPECT_EQ(bitmap.m_nWidth, 10);
    EXPECT_EQ(LogLines().size(), 1u);
}

TEST_F(MaskedBitmapTest, ReloadReplacesThePicture)
{
    m_dir.Write("a.bmp", fixtures::MakeBmp24(2, 2, std::vector(4, 0xFFFFFFu)));
    CMaskedBitmap bitmap;
    ASSERT_TRUE(bitmap.Load(L"a.bmp"));
    EXPECT_FALSE(bitmap.Load(L"gone.bmp"));
    EXPECT_EQ(bitmap.GetPixel(0, 0), kBlack);
    EXPECT_EQ(bitmap.m_strPath, L"");
    ASSERT_TRUE(bitmap.Load(L"a.bmp"));
    EXPECT_EQ(bitmap.m_nWidth, 2);
    EXPECT_EQ(bitmap.GetPixel(1, 1), kWhite);
}

} // namespace
