#include "install/ProfilePlacement.h"

#include "base/Encoding.h"
#include "install/InstallFolder.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

TEST(ClampProfilePlacementTest, KeepsACornerOnTheDesktopAndASizeThatFitsIt)
{
    const struct
    {
        SPlacement read;
        int nWidth;
        int nHeight;
        SPlacement expected;
    } cases[] = {
        {{-300, -50, 100, 150}, 1920, 1080, {-20, -5, 200, 200}},
        {{5000, 10, 800, 600}, 1920, 1080, {1880, 10, 800, 600}},
        {{10, 5000, 800, 600}, 1920, 1080, {10, 1040, 800, 600}},
        {{0, 0, 0, 300}, 1920, 1080, {0, 0, 200, 300}},
        {{100, 100, 1920, 1080}, 1920, 1080, {100, 100, 1920, 1080}},
        {{100, 100, 4000, 3000}, 1920, 1080, {100, 100, 1920, 1080}},
        {{1880, 1040, 200, 200}, 1920, 1080, {1880, 1040, 200, 200}},
        {{1881, 1041, 200, 200}, 1920, 1080, {1880, 1040, 200, 200}},
        {{-20, -5, 199, 201}, 1920, 1080, {-20, -5, 200, 201}},
        {{INT_MAX, INT_MAX, INT_MAX, INT_MAX}, 1920, 1080, {1880, 1040, 1920, 1080}},
        {{10, 10, 100000, 32768}, 1920, 1080, {10, 10, 1920, 1080}},
        {{INT_MIN, INT_MIN, INT_MIN, INT_MIN}, 1920, 1080, {-20, -5, 200, 200}},
        // On a desktop smaller than the corner the upper bound wins, and the smallest size.
        {{0, 0, 300, 300}, 30, 20, {-10, -20, 200, 200}},
    };
    for (const auto& c : cases)
    {
        const auto placement = ClampProfilePlacement(c.read, c.nWidth, c.nHeight);
        ASSERT_TRUE(placement.has_value()) << c.read.x << "," << c.read.y;
        EXPECT_EQ(*placement, c.expected) << c.read.x << "," << c.read.y;
    }
    EXPECT_FALSE(ClampProfilePlacement({0, 0, 0, 0}, 1920, 1080).has_value());
}

TEST(ClampProfilePlacementTest, KeepsTheWindowOnAnyScreen)
{
    const std::vector<SScreenRect> sideBySide = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
    // A second screen left of and above the primary one, shorter than it.
    const std::vector<SScreenRect> leftAbove = {{0, 0, 1920, 1080}, {-1280, -400, 0, 624}};
    const struct
    {
        const char* name;
        SPlacement read;
        const std::vector<SScreenRect>& screens;
        SPlacement expected;
    } cases[] = {
        {"on the second screen", {2000, 100, 800, 600}, sideBySide, {2000, 100, 800, 600}},
        {"right of both", {5000, 100, 800, 600}, sideBySide, {3800, 100, 800, 600}},
        {"below the second", {2500, 3000, 800, 600}, sideBySide, {2500, 1040, 800, 600}},
        {"across the seam", {1900, 10, 300, 300}, sideBySide, {1900, 10, 300, 300}},
        {"on a screen at negative x", {-1000, -300, 800, 600}, leftAbove, {-1000, -300, 800, 600}},
        {"left of everything", {-5000, 100, 800, 600}, leftAbove, {-1300, 100, 800, 600}},
        {"above the primary, beside the other",
         {500, -300, 800, 600},
         leftAbove,
         {500, -5, 800, 600}},
        {"below the shorter screen", {-1000, 900, 800, 600}, leftAbove, {-1000, 584, 800, 600}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClampProfilePlacement(c.read, c.screens), c.expected);
    }
    EXPECT_FALSE(ClampProfilePlacement({0, 0, 0, 0}, sideBySide).has_value());
    // Without any screen only the size is mended.
    EXPECT_EQ(ClampProfilePlacement({-900, 9000, 10, 100000}, std::vector<SScreenRect>{}),
              (SPlacement{-900, 9000, 200, 32767}));
}

TEST(ClampProfilePlacementTest, TheSizeFitsTheWorkAreasTogether)
{
    const std::vector<SScreenRect> one = {{0, 0, 1920, 1080}};
    const std::vector<SScreenRect> oneWork = {{0, 0, 1920, 1040}}; // a panel at the bottom
    const std::vector<SScreenRect> sideBySide = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1200}};
    const std::vector<SScreenRect> sideBySideWork = {{0, 28, 1920, 1080}, {1920, 0, 3840, 1200}};
    const std::vector<SScreenRect> tiny = {{0, 0, 150, 100}};
    const std::vector<SScreenRect> none;
    const struct
    {
        const char* name;
        SPlacement read;
        const std::vector<SScreenRect>& screens;
        const std::vector<SScreenRect>& workAreas;
        SPlacement expected;
    } cases[] = {
        {"the largest sizes", {0, 0, INT_MAX, INT_MAX}, one, oneWork, {0, 0, 1920, 1040}},
        {"just too large", {10, 10, 1921, 1041}, one, oneWork, {10, 10, 1920, 1040}},
        {"as large as the work area", {10, 10, 1920, 1040}, one, oneWork, {10, 10, 1920, 1040}},
        {"across both screens", {0, 0, 3840, 1172}, sideBySide, sideBySideWork, {0, 0, 3840, 1172}},
        {"larger than both", {0, 0, 5000, 5000}, sideBySide, sideBySideWork, {0, 0, 3840, 1200}},
        {"the smallest size wins over a tiny screen",
         {0, 0, 1000, 1000},
         tiny,
         tiny,
         {0, 0, 200, 200}},
        {"no work areas known", {10, 10, 40000, 5000}, one, none, {10, 10, 32767, 5000}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClampProfilePlacement(c.read, c.screens, c.workAreas), c.expected);
    }
}

class ProfilePlacementTest : public ::testing::Test
{
protected:
    CTempDir m_dir;
    const CInstallFolderScope m_installFolder{m_dir.WidePath()};
};

TEST_F(ProfilePlacementTest, NoProfileThenWrittenAndReadBack)
{
    EXPECT_FALSE(ReadProfilePlacement(1920, 1080).has_value());
    ASSERT_TRUE(WriteProfilePlacement({-7, 12, 640, 480}));
    EXPECT_EQ(m_dir.Read("Profile.ini"),
              "[ZorvexMessenger]\r\nx=-7\r\ny=12\r\ncx=640\r\ncy=480\r\n");
    EXPECT_EQ(ReadProfilePlacement(1920, 1080), (SPlacement{-7, 12, 640, 480}));
}

TEST_F(ProfilePlacementTest, ReadsValuesThroughWtolAndAShortBuffer)
{
    // The 90-character buffer cuts the value after 89 characters.
    const std::string cut = std::string(89, '0') + "9";
    m_dir.Write("Profile.ini",
                "[zorvexmessenger]\r\nX=12abc\r\ny=abc\r\ncx=" + cut + "\r\ncy=99999999999999\r\n");
    EXPECT_EQ(ReadProfilePlacement(1920, 1080), (SPlacement{12, 0, 200, 1080}));
}

TEST_F(ProfilePlacementTest, FindsTheProfileWhateverItsCase)
{
    m_dir.Write("PROFILE.INI", "[ZorvexMessenger]\r\nx=5\r\ny=6\r\ncx=300\r\ncy=400\r\n");
    EXPECT_EQ(ReadProfilePlacement(1920, 1080), (SPlacement{5, 6, 300, 400}));
    ASSERT_TRUE(WriteProfilePlacement({1, 2, 300, 400}));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("Profile.ini")));
    EXPECT_EQ(m_dir.Read("PROFILE.INI"), "[ZorvexMessenger]\r\nx=1\r\ny=2\r\ncx=300\r\ncy=400\r\n");
}

TEST_F(ProfilePlacementTest, WriteKeepsForeignContent)
{
    m_dir.Write("Profile.ini", "; comment\r\n"
                               "[Foreign]\r\n"
                               "x=999\r\n"
                               "[ZorvexMessenger]\r\n"
                               "cy=1\r\n"
                               "extra=keep\r\n"
                               "x=1\r\n");
    ASSERT_TRUE(WriteProfilePlacement({10, 20, 300, 400}));
    EXPECT_EQ(m_dir.Read("Profile.ini"), "; comment\r\n"
                                         "[Foreign]\r\n"
                                         "x=999\r\n"
                                         "[ZorvexMessenger]\r\n"
                                         "cy=400\r\n"
                                         "extra=keep\r\n"
                                         "x=10\r\n"
                                         "y=20\r\n"
                                         "cx=300\r\n");
}

TEST_F(ProfilePlacementTest, Utf16ProfileStaysUtf16)
{
    m_dir.Write("Profile.ini",
                "\xFF\xFE" + WideToUtf16Le(L"[\u00DCber]\r\nk=\u4E2D\r\n[ZorvexMessenger]\r\n"));
    ASSERT_TRUE(WriteProfilePlacement({1, 2, 300, 400}));
    EXPECT_EQ(m_dir.Read("Profile.ini"),
              "\xFF\xFE" + WideToUtf16Le(L"[\u00DCber]\r\nk=\u4E2D\r\n[ZorvexMessenger]\r\n"
                                         L"x=1\r\ny=2\r\ncx=300\r\ncy=400\r\n"));
    EXPECT_EQ(ReadProfilePlacement(1920, 1080), (SPlacement{1, 2, 300, 400}));
}

TEST_F(ProfilePlacementTest, FailedWriteReturnsFalseAndLeavesNothing)
{
    const CInstallFolderScope gone(m_dir.WidePath() + L"/gone");
    EXPECT_FALSE(WriteProfilePlacement({1, 2, 300, 400}));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path()));
}

} // namespace
