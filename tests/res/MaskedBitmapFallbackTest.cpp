// Images the game's folder lacks come from the program's own data folder; a file missing from
// both is reported with the game folder's path, and logged there.
#include "res/MaskedBitmap.h"

#include "res/ImageFixtures.h"
#include "res/ImageLoadReport.h"
#include "support/InstallFolderScope.h"
#include "support/LanguageScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class MaskedBitmapFallbackTest : public ::testing::Test, public CImageLoadReport
{
protected:
    void SetUp() override { SetImageLoadReport(this); }
    void TearDown() override { SetImageLoadReport(nullptr); }
    void Beep() override { m_events.push_back(L"beep"); }
    void ShowMessage(const std::wstring& strMessage) override
    {
        m_events.push_back(L"box: " + strMessage);
    }

    CTempDir m_install;
    CTempDir m_data;
    const CInstallFolderScope m_installFolder{m_install.WidePath(), m_data.WidePath()};
    std::vector<std::wstring> m_events;
};

TEST_F(MaskedBitmapFallbackTest, InstallFolderWinsThenTheDataFolder)
{
    m_install.Write("Data/Skins/Default/Both.bmp", fixtures::MakeBmp24(3, 1, {0, 0, 0}));
    m_data.Write("Data/Skins/Default/Both.bmp", fixtures::MakeBmp24(5, 1, {0, 0, 0, 0, 0}));
    m_data.Write("Data/Skins/Default/Bundled.bmp", fixtures::MakeBmp24(2, 2, {0, 0, 0, 0}));

    CMaskedBitmap bitmap;
    EXPECT_TRUE(bitmap.Load(L"Data/Skins/Default/Both.bmp"));
    EXPECT_EQ(bitmap.m_nWidth, 3);
    EXPECT_EQ(bitmap.m_strPath, m_install.WidePath() + L"/Data/Skins/Default/Both.bmp");

    // Another letter case than the data folder's, as the game's own paths may have.
    EXPECT_TRUE(bitmap.Load(L"data\\skins\\default\\bundled.bmp"));
    EXPECT_EQ(bitmap.m_nWidth, 2);
    EXPECT_EQ(bitmap.m_strPath, m_data.WidePath() + L"/Data/Skins/Default/Bundled.bmp");
    EXPECT_TRUE(m_events.empty());
}

// The boxes speak the language of the language file; the log line stays as it always was.
TEST_F(MaskedBitmapFallbackTest, BoxesFollowTheLanguageAndTheLogDoesNot)
{
    const CLanguageScope german(7, L"90010=Nicht da: %s\r\n90011=Fehler beim Laden: %s\r\n");
    CMaskedBitmap bitmap;
    EXPECT_FALSE(bitmap.Load(L"Data/Images/Gone.png"));
    const std::vector<std::wstring> expected = {
        L"box: Nicht da: " + m_install.WidePath() + L"/Data/Images/Gone.png", L"beep",
        L"box: Fehler beim Laden: Data/Images/Gone.png"};
    EXPECT_EQ(m_events, expected);
    EXPECT_NE(m_install.Read("Errors.txt").find("Error Loading File: Data/Images/Gone.png"),
              std::string::npos);
}

TEST_F(MaskedBitmapFallbackTest, MissingFromBothIsReportedWithTheInstallPath)
{
    CMaskedBitmap bitmap;
    EXPECT_FALSE(bitmap.Load(L"Data/Images/Gone.png"));
    EXPECT_EQ(bitmap.m_nWidth, 10);
    const std::vector<std::wstring> expected = {
        L"box: File not found: " + m_install.WidePath() + L"/Data/Images/Gone.png", L"beep",
        L"box: Error Loading File: Data/Images/Gone.png"};
    EXPECT_EQ(m_events, expected);
    EXPECT_NE(m_install.Read("Errors.txt").find("Error Loading File: Data/Images/Gone.png"),
              std::string::npos);
    EXPECT_EQ(m_data.Read("Errors.txt"), "");
}

} // namespace
