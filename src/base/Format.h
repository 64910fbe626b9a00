// Formatting of the program's texts, whose formats may come from the language file.
//
// Understood: "%s" (text), "%d" and "%hd" (numbers, "%hd" taken as a 16-bit value), with an
// optional "0" flag and width as in "%02d", and "%%". Arguments are matched in order. A specifier
// whose argument is missing or of the other kind is copied as text (its argument, if any, is
// still used up), so a format from a file can never read what the call did not pass.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

class CFormatArg
{
public:
    CFormatArg(int n) : m_value(static_cast<long long>(n)) {}
    CFormatArg(long long n) : m_value(n) {}
    CFormatArg(unsigned n) : m_value(static_cast<long long>(n)) {}
    CFormatArg(const std::wstring& str) : m_value(std::wstring_view(str)) {}
    CFormatArg(const wchar_t* psz) : m_value(std::wstring_view(psz)) {}
    CFormatArg(std::wstring_view str) : m_value(str) {}

    const long long* Number() const { return std::get_if<long long>(&m_value); }
    const std::wstring_view* Text() const { return std::get_if<std::wstring_view>(&m_value); }

private:
    std::variant<long long, std::wstring_view> m_value;
};

std::wstring FormatText(std::wstring_view format, std::initializer_list<CFormatArg> args = {});
