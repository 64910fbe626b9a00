#include "base/Encoding.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(Encoding, AnsiMapsEveryByteAndBack)
{
    // Every byte has a character, and every such character goes back to its byte: the game list's
    // 8-bit fields survive a load and a save unchanged.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::wstring wide = AnsiToWide(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(WideToAnsi(wide), all);
}

TEST(Encoding, AnsiIsWindows1252)
{
    struct Case
    {
        unsigned char byte;
        wchar_t wide;
    };
    const Case cases[] = {
        {0x41, L'A'},   {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D},
        {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D}, {0x9F, 0x0178},
        {0x99, 0x2122}, {0xE9, 0x00E9}, {0xA0, 0x00A0}, {0xFF, 0x00FF},
    };
    for (const Case& c : cases)
    {
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(AnsiToWide(byte), std::wstring(1, c.wide)) << int(c.byte);
        EXPECT_EQ(WideToAnsi(std::wstring(1, c.wide)), byte) << int(c.byte);
    }
}

TEST(Encoding, CharactersWithoutAnAnsiByteBecomeQuestionMarks)
{
    EXPECT_EQ(WideToAnsi(L"a\x0101z\x4E2D\x1F600"), "a?z??");
    // C1 controls that Windows-1252 uses for printable characters have no byte of their own.
    EXPECT_EQ(WideToAnsi(L"\x0080\x0099"), "??");
}

TEST(Encoding, Utf16LeRoundTripsEvenMalformedText)
{
    const std::string cases[] = {
        ""s,
        "A\0B\0"s,
        "\x3d\xd8\x00\xde"s, // U+1F600 as a surrogate pair
        "\x00\xd8"s,         // lone high surrogate at the end
        "\x00\xdc"
        "A\0"s,                      // lone low surrogate
        "\x00\xd8\x00\xd8\x00\xdc"s, // high, then a pair
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(WideToUtf16Le(Utf16LeToWide(bytes)), bytes);

    EXPECT_EQ(Utf16LeToWide("\x3d\xd8\x00\xde"s), std::wstring(1, wchar_t(0x1F600)));
    EXPECT_EQ(Utf16LeToWide("A\0B"s), L"A"); // odd last byte ignored
}

TEST(Encoding, Utf8)
{
    EXPECT_EQ(WideToUtf8(L"G\x00e9\x20AC\x1F600"), "G\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_EQ(Utf8ToWide("G\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), L"G\x00e9\x20AC\x1F600");
    // Lone surrogates cannot be carried: they become U+FFFD, so the output is always valid UTF-8.
    EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0xD800))), "\xef\xbf\xbd");

    const struct
    {
        std::string in;
        std::wstring out;
    } invalid[] = {
        {"\xff", L"\xFFFD"},
        {"\xc3", L"\xFFFD"}, // cut short at the end
        {"\xc3"
         "A",
         L"\xFFFD"
         L"A"},                          // cut short by a plain byte
        {"\xc0\x80", L"\xFFFD"},         // overlong
        {"\xed\xa0\x80", L"\xFFFD"},     // encoded surrogate
        {"\xf4\x90\x80\x80", L"\xFFFD"}, // above U+10FFFF
    };
    for (const auto& c : invalid)
        EXPECT_EQ(Utf8ToWide(c.in), c.out);
}

// Names are bytes: every byte string, valid UTF-8 or not, comes back unchanged.
TEST(Encoding, LosslessUtf8KeepsEveryByteString)
{
    const struct
    {
        const char* pszWhat;
        std::string bytes;
        std::wstring wide;
    } cases[] = {
        {"plain", "G12-P03-5.event", L"G12-P03-5.event"},
        {"valid text", "Z\xc3\xbcrich \xe2\x82\xac\xf0\x9f\x98\x80", L"Z\x00fcrich \x20AC\x1F600"},
        {"Latin-1 byte", "caf\xe9", L"caf\xDCE9"},
        {"lone continuation bytes", "\x80\xbf", L"\xDC80\xDCBF"},
        {"cut at the end", "a\xe2\x82", L"a\xDCE2\xDC82"},
        {"cut by a plain byte",
         "\xc3"
         "A",
         L"\xDCC3"
         L"A"},
        {"overlong", "\xc0\x80", L"\xDCC0\xDC80"},
        {"overlong slash", "\xe0\x80\xaf", L"\xDCE0\xDC80\xDCAF"},
        {"encoded surrogate", "\xed\xa0\x80", L"\xDCED\xDCA0\xDC80"},
        {"above U+10FFFF", "\xf4\x90\x80\x80", L"\xDCF4\xDC90\xDC80\xDC80"},
        {"never a lead byte", "\xf8\xff\xfe", L"\xDCF8\xDCFF\xDCFE"},
        // An invalid byte before a valid sequence does not swallow it.
        {"invalid then valid", "\xe2\xc3\xa9", L"\xDCE2\x00e9"},
        {"escape look-alike", "\xed\xb3\x80", L"\xDCED\xDCB3\xDC80"}, // U+DCC0 encoded
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(Utf8ToWideLossless(c.bytes), c.wide);
        EXPECT_EQ(WideToUtf8Lossless(Utf8ToWideLossless(c.bytes)), c.bytes);
        EXPECT_EQ(Utf8ToWideLossless(WideToUtf8Lossless(c.wide)), c.wide);
    }
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(WideToUtf8Lossless(Utf8ToWideLossless(all)), all);
    // Characters that no name gives cannot be carried.
    EXPECT_EQ(WideToUtf8Lossless(std::wstring(1, wchar_t(0xD800))), "\xef\xbf\xbd");
    EXPECT_EQ(WideToUtf8Lossless(std::wstring(1, wchar_t(0xDC7F))), "\xef\xbf\xbd");
}

TEST(Encoding, Utf8ExactTellsWhichTextSurvivesUtf8)
{
    const struct
    {
        std::wstring text;
        bool bExact;
    } cases[] = {
        {L"", true},
        {L"G12 Z\x00fcrich \x20AC\xFFFD\x1F600\x10FFFF", true},
        {std::wstring(1, wchar_t(0xD800)), false},
        {L"G" + std::wstring(1, wchar_t(0xDBFF)), false},
        {L"G" + std::wstring(1, wchar_t(0xDC80)), false}, // what a lossless name escape looks like
        {L"G" + std::wstring(1, wchar_t(0xDFFF)), false},
        {L"G" + std::wstring(1, wchar_t(0x110000)), false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(WideToUtf8(c.text));
        EXPECT_EQ(IsUtf8Exact(c.text), c.bExact);
        EXPECT_EQ(Utf8ToWide(WideToUtf8(c.text)) == c.text, c.bExact);
    }
}
