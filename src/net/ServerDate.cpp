#include "net/ServerDate.h"

#include "base/Format.h"

#include <array>

namespace
{

// Like strtol on a short field: spaces, an optional sign, then digits up to the first other
// character; a field without digits is 0.
int ReadNumberField(std::string_view strField)
{
    std::size_t i = 0;
    while (i < strField.size() &&
           (strField[i] == ' ' || (strField[i] >= '\t' && strField[i] <= '\r')))
        ++i;
    bool bNegative = false;
    if (i < strField.size() && (strField[i] == '+' || strField[i] == '-'))
    {
        bNegative = strField[i] == '-';
        ++i;
    }
    int nValue = 0;
    for (; i < strField.size() && strField[i] >= '0' && strField[i] <= '9'; ++i)
        nValue = nValue * 10 + (strField[i] - '0');
    return bNegative ? -nValue : nValue;
}

const wchar_t* MonthName(int nMonth)
{
    static constexpr std::array<const wchar_t*, 12> s_names = {L"Jan",  L"Feb",  L"March", L"April",
                                                               L"May",  L"June", L"July",  L"Aug",
                                                               L"Sept", L"Oct",  L"Nov",   L"Dec"};
    if (nMonth < 1 || nMonth > 12)
        return L"";
    return s_names[static_cast<std::size_t>(nMonth - 1)];
}

} // namespace

std::wstring FormatServerDate(std::string_view strDate)
{
    if (strDate.size() != 8)
        return std::wstring();
    const int nYear = ReadNumberField(strDate.substr(0, 4));
    const int nMonth = ReadNumberField(strDate.substr(4, 2));
    const int nDay = ReadNumberField(strDate.substr(6, 2));
    // No calendar check: the server's text is shown as it came.
    return FormatText(L"%s %d, %d", {MonthName(nMonth), nDay, nYear});
}
