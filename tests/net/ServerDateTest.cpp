#include "net/ServerDate.h"

#include <gtest/gtest.h>

TEST(ServerDateTest, FormatsTheServersDates)
{
    const struct
    {
        const char* pszDate;
        const wchar_t* pszShown;
    } cases[] = {
        {"20090305", L"March 5, 2009"},
        {"20091104", L"Nov 4, 2009"},
        {"20090101", L"Jan 1, 2009"},
        {"20091231", L"Dec 31, 2009"},
        {"20090931", L"Sept 31, 2009"}, // no calendar check
        {"20091304", L" 4, 2009"},      // no month 13: empty name
        {"20090004", L" 4, 2009"},
        {"2009030", L""},
        {"200903051", L""},
        {"", L""},
        // Each field is read like strtol: sign and digits, stopping at anything else.
        {"2009+3+5", L"March 5, 2009"},
        {"2009-3-5", L" -5, 2009"},
        {"20090a05", L" 5, 2009"},
        {"abcd0305", L"March 5, 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatServerDate(c.pszDate), c.pszShown) << c.pszDate;
}
