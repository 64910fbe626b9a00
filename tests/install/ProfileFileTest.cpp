#include "install/ProfileFile.h"

#include "base/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(WideToLongTest, ReadsLikeWtol)
{
    const struct
    {
        const wchar_t* psz;
        long expected;
    } cases[] = {
        {L"12abc", 12},
        {L"abc", 0},
        {L"", 0},
        {L"  \t-42", -42},
        {L"+7", 7},
        {L"-", 0},
        {L"- 5", 0},
        {L"1 2", 1},
        {L"0009", 9},
        {L"99999999999999999999999", LONG_MAX},
        {L"-99999999999999999999999", LONG_MIN},
        {L"9223372036854775807", LONG_MAX},
        {L"-9223372036854775808", LONG_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WideToLong(c.psz), c.expected) << WideToUtf8(c.psz);
}

class ProfileFileTest : public ::testing::Test
{
protected:
    std::wstring Path() const { return m_dir.WidePath() + L"/Profile.ini"; }
    std::wstring Get(std::wstring_view section, std::wstring_view key) const
    {
        return GetPrivateProfileString(section, key, L"dflt", Path());
    }
    bool Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) const
    {
        return WritePrivateProfileString(section, key, value, Path());
    }

    CTempDir m_dir;
};

TEST_F(ProfileFileTest, MissingFileGivesDefault)
{
    EXPECT_EQ(Get(L"S", L"k"), L"dflt");
}

TEST_F(ProfileFileTest, ReadsValuesAsTheWindowsCallsDo)
{
    m_dir.Write("Profile.ini", "top=before any section\r\n"
                               "[Other]\r\n"
                               "k=other\r\n"
                               "  [ zorvexMESSENGER ]  \r\n"
                               "; k=comment\r\n"
                               "X=1\r\n"
                               "  y  =  2 3  \r\n"
                               "q1=\"quoted\"\r\n"
                               "q2=' single '\r\n"
                               "q3=\"mismatched'\r\n"
                               "q4=\"\r\n"
                               "empty=\r\n"
                               "noequals\r\n"
                               "k=first\r\n"
                               "k=second\r\n"
                               "lf=unix\n"
                               "[Next]\r\n"
                               "z=next\r\n");
    const struct
    {
        const wchar_t* pszKey;
        const wchar_t* pszExpected;
    } cases[] = {
        {L"x", L"1"},
        {L"Y", L"2 3"},
        {L"q1", L"quoted"},
        {L"q2", L" single "},
        {L"q3", L"\"mismatched'"},
        {L"q4", L"\""},
        {L"empty", L""},
        {L"noequals", L"dflt"},
        {L"k", L"first"},
        {L"lf", L"unix"},
        {L"z", L"dflt"},
        {L"top", L"dflt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Get(L"ZorvexMessenger", c.pszKey), c.pszExpected) << WideToUtf8(c.pszKey);
    EXPECT_EQ(Get(L"other", L"K"), L"other");
    EXPECT_EQ(Get(L"Missing", L"k"), L"dflt");
}

TEST_F(ProfileFileTest, NewFileIsAnsiWithCrLf)
{
    ASSERT_TRUE(Set(L"ZorvexMessenger", L"x", L"-5"));
    ASSERT_TRUE(Set(L"ZorvexMessenger", L"name", L"caf\u00E9"));
    EXPECT_EQ(m_dir.Read("Profile.ini"), "[ZorvexMessenger]\r\nx=-5\r\nname=caf\xE9\r\n");
    EXPECT_EQ(Get(L"zorvexmessenger", L"NAME"), L"caf\u00E9");
}

TEST_F(ProfileFileTest, WriteKeepsEverythingElseInPlace)
{
    m_dir.Write("Profile.ini", "; my settings\r\n"
                               "[First]\r\n"
                               "a = 1\r\n"
                               "\r\n"
                               "[zorvexmessenger]\r\n"
                               "  X = 10 \r\n"
                               "; keep me\r\n"
                               "other=\xE9t\xE9\r\n"
                               "\r\n"
                               "\r\n"
                               "[Last]\r\n"
                               "b=2\r\n");
    ASSERT_TRUE(Set(L"ZorvexMessenger", L"x", L"11"));
    ASSERT_TRUE(Set(L"ZorvexMessenger", L"cy", L"300"));
    ASSERT_TRUE(Set(L"New", L"k", L"v"));
    EXPECT_EQ(m_dir.Read("Profile.ini"), "; my settings\r\n"
                                         "[First]\r\n"
                                         "a = 1\r\n"
                                         "\r\n"
                                         "[zorvexmessenger]\r\n"
                                         "X=11\r\n"
                                         "; keep me\r\n"
                                         "other=\xE9t\xE9\r\n"
                                         "cy=300\r\n"
                                         "\r\n"
                                         "\r\n"
                                         "[Last]\r\n"
                                         "b=2\r\n"
                                         "\r\n"
                                         "[New]\r\n"
                                         "k=v\r\n");
}

TEST_F(ProfileFileTest, LineEndsBecomeCrLfAndAMissingLastLineEndStays)
{
    m_dir.Write("Profile.ini", "[S]\nk=1\n[T]\nlast=x");
    ASSERT_TRUE(Set(L"S", L"k", L"2"));
    EXPECT_EQ(m_dir.Read("Profile.ini"), "[S]\r\nk=2\r\n[T]\r\nlast=x");
    ASSERT_TRUE(Set(L"T", L"new", L"3"));
    EXPECT_EQ(m_dir.Read("Profile.ini"), "[S]\r\nk=2\r\n[T]\r\nlast=x\r\nnew=3\r\n");
}

TEST_F(ProfileFileTest, KeepsTheByteOrderMarkedEncodings)
{
    const std::wstring before = L"[S]\r\nk=\u4E2D\U0001F600\r\n";
    const std::wstring after = L"[S]\r\nk=\u4E2D\U0001F600\r\nn=\u00E9\r\n";
    const struct
    {
        std::string strBom;
        std::string (*pfnEncode)(std::wstring_view);
    } cases[] = {{"\xFF\xFE", &WideToUtf16Le}, {"\xEF\xBB\xBF", &WideToUtf8}};
    for (const auto& c : cases)
    {
        m_dir.Write("Profile.ini", c.strBom + c.pfnEncode(before));
        EXPECT_EQ(Get(L"S", L"k"), L"\u4E2D\U0001F600");
        ASSERT_TRUE(Set(L"S", L"n", L"\u00E9"));
        EXPECT_EQ(m_dir.Read("Profile.ini"), c.strBom + c.pfnEncode(after));
    }
}

TEST_F(ProfileFileTest, OtherLinesKeepTheirBytesInEveryEncoding)
{
    const std::string loneSurrogate("\x00\xD8", 2);
    const struct
    {
        const char* pszName;
        std::string strBefore;
        std::string strAfter;
    } cases[] = {
        {"UTF-8 with bytes that are not UTF-8",
         "\xEF\xBB\xBF[Other]\r\nk=caf\xE9 \xFF\xC3(\xED\xA0\x80\r\n[S]\r\nk=1\r\n",
         "\xEF\xBB\xBF[Other]\r\nk=caf\xE9 \xFF\xC3(\xED\xA0\x80\r\n[S]\r\nk=2\r\n"},
        {"Windows-1252 with the bytes it leaves undefined",
         "[Other]\r\nk=\x81\x8D\x8F\x90\x9D\x80\xFF\r\n[S]\r\nk=1\r\n",
         "[Other]\r\nk=\x81\x8D\x8F\x90\x9D\x80\xFF\r\n[S]\r\nk=2\r\n"},
        {"UTF-16 with a lone surrogate and an odd last byte",
         "\xFF\xFE" + WideToUtf16Le(L"[S]\r\nk=1\r\n[Other]\r\nk=") + loneSurrogate +
             WideToUtf16Le(L"\r\n") + "x",
         "\xFF\xFE" + WideToUtf16Le(L"[S]\r\nk=2\r\n[Other]\r\nk=") + loneSurrogate +
             WideToUtf16Le(L"\r\n") + "x"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_dir.Write("Profile.ini", c.strBefore);
        ASSERT_TRUE(Set(L"S", L"k", L"2"));
        EXPECT_EQ(m_dir.Read("Profile.ini"), c.strAfter);
    }
}

TEST_F(ProfileFileTest, WritesThroughSymbolicLinks)
{
    // Profile.ini -> link2 -> keep/real.ini, both relative to the folder of their link.
    std::filesystem::create_directory(m_dir.File("keep"));
    m_dir.Write("keep/real.ini", "[S]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(m_dir.File("keep/real.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("keep/real.ini", m_dir.File("link2"));
    std::filesystem::create_symlink("link2", m_dir.File("Profile.ini"));

    ASSERT_TRUE(Set(L"S", L"k", L"2"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("Profile.ini")));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("link2")));
    EXPECT_EQ(m_dir.Read("keep/real.ini"), "[S]\r\nk=2\r\n");
    EXPECT_EQ(Get(L"S", L"k"), L"2");
    // Written beside the target and renamed there: nothing left over, its mode kept.
    EXPECT_EQ(FolderEntries(m_dir.File("keep")), std::vector<std::string>{"real.ini"});
    struct stat st;
    ASSERT_EQ(::stat(m_dir.File("keep/real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // A link to a file not there yet creates that file.
    std::filesystem::remove(m_dir.File("keep/real.ini"));
    ASSERT_TRUE(Set(L"S", L"k", L"3"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("Profile.ini")));
    EXPECT_EQ(m_dir.Read("keep/real.ini"), "[S]\r\nk=3\r\n");

    // A loop of links is no file: nothing is written over it.
    std::filesystem::remove(m_dir.File("link2"));
    std::filesystem::create_symlink("Profile.ini", m_dir.File("link2"));
    EXPECT_FALSE(Set(L"S", L"k", L"4"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("Profile.ini")));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("link2")));
}

TEST_F(ProfileFileTest, ReplacementKeepsThePermissions)
{
    m_dir.Write("Profile.ini", "[S]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(m_dir.File("Profile.ini").c_str(), 0640), 0);
    ASSERT_TRUE(Set(L"S", L"k", L"2"));
    struct stat st;
    ASSERT_EQ(::stat(m_dir.File("Profile.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(ProfileFileTest, FailedWriteLeavesNothingBehind)
{
    const std::wstring inMissingFolder = m_dir.WidePath() + L"/missing/Profile.ini";
    EXPECT_FALSE(WritePrivateProfileString(L"S", L"k", L"v", inMissingFolder));
    EXPECT_TRUE(FolderEntries(m_dir.Path()).empty());

    // A path that cannot be read as a file must not be replaced by one holding only the new key.
    std::filesystem::create_directory(m_dir.File("Profile.ini"));
    m_dir.Write("Profile.ini/inside", "x");
    EXPECT_FALSE(Set(L"S", L"k", L"v"));
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"Profile.ini"});
    EXPECT_EQ(m_dir.Read("Profile.ini/inside"), "x");
}

} // namespace
