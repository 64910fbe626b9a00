#include "res/LanguageTable.h"

#include "base/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace
{

const std::string kBom = "\xFF\xFE";

std::string FileBytes(std::wstring_view text)
{
    return kBom + WideToUtf16Le(text);
}

// A table that answers from its entries, not from the built-in texts.
class LanguageTableTest : public ::testing::Test
{
protected:
    void SetUp() override { m_table.m_nLanguage = 7; }
    void Load(std::wstring_view text) { m_table.LoadFromBytes(FileBytes(text)); }
    std::wstring Lookup(std::int32_t nId) const { return m_table.LookupText(nId, L"default"); }

    CLanguageTable m_table;
};

TEST_F(LanguageTableTest, DefinesTextsLineByLine)
{
    Load(L"2152=Main Menu\r\n"
         L"2155=1 New Event\r\n"
         L"2155=One New Event\r\n"
         L"10=A\\nB\\r\\\"C\\\" \\\\t\\\\n\r\n"
         L"\r\n"
         L"11=a=b\r\n"
         L"12abc=letters after the id\r\n"
         L"13=\r\n"
         L"13=second, as the first was empty\r\n"
         L"14=bare line feed\n"
         L"15=\U0001F600 \u00E9\r\n"
         L"16=last line without line feed");
    const struct
    {
        std::int32_t nId;
        std::wstring strText;
    } cases[] = {
        {2152, L"Main Menu"},
        {2155, L"1 New Event"},
        {10, L"A\nB\r\"C\" \\\\t\\\n"},
        {11, L"a=b"},
        {12, L"letters after the id"},
        {13, L"second, as the first was empty"},
        {14, L"bare line feed\n"},
        {15, L"\U0001F600 \u00E9"},
        {16, L""},
        {17, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lookup(c.nId), c.strText) << c.nId;
    EXPECT_EQ(m_table.m_arrItems.size(), 8u);
}

TEST_F(LanguageTableTest, IgnoresLinesWithoutAPositiveIdOrEquals)
{
    Load(L"0=zero\r\n"
         L"-5=negative\r\n"
         L"+6=signed\r\n"
         L" 7=blank first\r\n"
         L"=no id\r\n"
         L"8 no equals\r\n"
         L"2147483648=just past the range\r\n"
         L"4294967298=wraps to two\r\n"
         L"99999999999999999999999=far past\r\n"
         L"2147483647=x\r\n");
    ASSERT_EQ(m_table.m_arrItems.size(), 1u);
    EXPECT_EQ(Lookup(2147483647), L"x");
    for (std::int32_t nId : {0, 2, 6, 7, 8})
        EXPECT_EQ(Lookup(nId), L"") << nId;
}

TEST_F(LanguageTableTest, ShortOrOddInput)
{
    for (const std::string& bytes : {std::string(), kBom, std::string("\xFF\xFE\x31")})
    {
        m_table.LoadFromBytes(bytes);
        EXPECT_TRUE(m_table.m_arrItems.empty());
    }
    // An odd trailing byte is dropped; the line before it still counts.
    m_table.LoadFromBytes(FileBytes(L"5=x\r\n") + "\x36");
    EXPECT_EQ(Lookup(5), L"x");
}

TEST_F(LanguageTableTest, ALongLineOfEscapes)
{
    // Each escape in turn, and "\\n" whose backslash stays while its "\n" is replaced.
    const std::wstring_view escapes[] = {L"\\r", L"\\n", L"\\\"", L"\\\\n", L"ab"};
    const std::wstring_view texts[] = {L"\r", L"\n", L"\"", L"\\\n", L"ab"};
    std::wstring line = L"7=";
    std::wstring expected;
    for (int i = 0; i < 200000; ++i)
    {
        line += escapes[i % 5];
        expected += texts[i % 5];
    }
    Load(line + L"\r\n8=after\r\n");
    EXPECT_TRUE(Lookup(7) == expected); // not printed: 1.1 MB
    EXPECT_EQ(Lookup(7).size(), expected.size());
    EXPECT_EQ(Lookup(8), L"after");
}

TEST_F(LanguageTableTest, EnglishAnswersWithTheBuiltInText)
{
    Load(L"2152=Hauptmen\u00FC\r\n");
    m_table.m_nLanguage = 9;
    EXPECT_EQ(m_table.LookupText(2152, L"Main Menu"), L"Main Menu");
    EXPECT_EQ(m_table.LookupText(3, L"Missing"), L"Missing");
    m_table.m_nLanguage = 7;
    EXPECT_EQ(m_table.LookupText(2152, L"Main Menu"), L"Hauptmen\u00FC");
    EXPECT_EQ(m_table.LookupText(3, L"Missing"), L"");
}

TEST_F(LanguageTableTest, LoadsTheFileAndReportsNothingWhenItIsMissing)
{
    std::vector<std::wstring> reports;
    m_table.m_fnReportError = [&](const std::wstring& str) { reports.push_back(str); };

    CTempDir dir;
    m_table.LoadLanguageFile(dir.WidePath() + L"/RawEnglishUnicode.txt");
    EXPECT_TRUE(m_table.m_arrItems.empty());

    dir.Write("RawEnglishUnicode.txt", FileBytes(L"2152=Main Menu\r\n"));
    m_table.LoadLanguageFile(dir.WidePath() + L"/RawEnglishUnicode.txt");
    EXPECT_EQ(Lookup(2152), L"Main Menu");

    // A folder by that name is no file to load; the table starts empty again.
    ::mkdir(dir.File("folder").c_str(), 0755);
    m_table.LoadLanguageFile(dir.WidePath() + L"/folder");
    EXPECT_TRUE(m_table.m_arrItems.empty());
    EXPECT_TRUE(reports.empty());
}

TEST(LanguageLookupTest, GlobalTableStartsInEnglish)
{
    EXPECT_EQ(g_languageTable.m_nLanguage, 9);
    EXPECT_EQ(LookupText(2152, L"Main Menu"), L"Main Menu");
}

} // namespace
