#include "base/Format.h"

#include <gtest/gtest.h>

#include <climits>

TEST(Format, Specifiers)
{
    EXPECT_EQ(FormatText(L"%s-P%02d", {L"G12", 3}), L"G12-P03");
    EXPECT_EQ(FormatText(L"%s-P%02d-%d.event", {L"G12", 0, 1057}), L"G12-P00-1057.event");
    EXPECT_EQ(FormatText(L"Turn %d", {-7}), L"Turn -7");
    EXPECT_EQ(FormatText(L"%02d", {-3}), L"-3");
    EXPECT_EQ(FormatText(L"%02d", {123}), L"123");
    EXPECT_EQ(FormatText(L"%d", {INT_MIN}), L"-2147483648");
    EXPECT_EQ(FormatText(L"%d", {4294967295u}), L"-1"); // a 32-bit id printed signed
    EXPECT_EQ(FormatText(L"%hd/%02hd", {2026, 5}), L"2026/05");
    EXPECT_EQ(FormatText(L"%hd", {70000}), L"4464");
    EXPECT_EQ(FormatText(L"100%% %s", {L"sure"}), L"100% sure");
    EXPECT_EQ(FormatText(L"no args"), L"no args");
}

TEST(Format, FormatsFromFilesCannotReadMissingArguments)
{
    struct Case
    {
        const wchar_t* format;
        const wchar_t* expected;
    };
    // Each call passes one number.
    const Case cases[] = {
        {L"%d New Events", L"5 New Events"},
        {L"%d and %d", L"5 and %d"},          // no second argument
        {L"%s events", L"%s events"},         // wrong kind: copied, argument used up
        {L"%s %d", L"%s %d"},                 // the number went to %s, none left for %d
        {L"%x %n %p %ls", L"%x %n %p %ls"},   // not ours: plain text
        {L"%99999999999d", L"%99999999999d"}, // absurd width is text, not a buffer size
        {L"trailing %", L"trailing %"},
        {L"%0", L"%0"},
        {L"%05s", L"%05s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatText(c.format, {5}), c.expected) << c.format;
}
