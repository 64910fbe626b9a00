// The part of an event's text that a row keeps: whole when it is short, cut with an ellipsis
// after ROW_TEXT_MAX_LINES lines or ROW_TEXT_MAX_LINE_CHARS characters of a line.
#include "mainwnd/RowText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(RowTextTest, KeepsShortTextsAndCutsLongOnes)
{
    const std::wstring strFull(ROW_TEXT_MAX_LINE_CHARS, L'x');
    const std::wstring strOver = strFull + L"yz";
    const struct
    {
        const char* pszName;
        std::wstring strText;
        std::wstring strExpected;
    } cases[] = {
        {"empty", L"", L""},
        {"one line", L"Turn 3: the fleet has arrived.", L"Turn 3: the fleet has arrived."},
        {"as many lines as kept", L"a\nb\nc\nd", L"a\nb\nc\nd"},
        {"an empty last line", L"a\nb\nc\n", L"a\nb\nc\n"},
        {"one line more", L"a\nb\nc\nd\ne", L"a\nb\nc\nd\x2026"},
        {"a line break after the last kept line", L"a\nb\nc\nd\n", L"a\nb\nc\nd\x2026"},
        {"a full line", strFull, strFull},
        {"a line too long", strOver, strFull + L"\x2026"},
        {"a long line among others", L"a\n" + strOver + L"\nc", L"a\n" + strFull + L"\x2026\nc"},
        {"carriage returns stay", L"a\r\nb", L"a\r\nb"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(BoundedRowText(c.strText), c.strExpected);
    }
}

} // namespace
