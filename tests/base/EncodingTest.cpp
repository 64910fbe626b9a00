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
