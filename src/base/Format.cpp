#include "base/Format.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{

std::wstring FormatNumber(long long value, bool bZeroPad, std::size_t nWidth)
{
    const bool bNegative = value < 0;
    // Work in unsigned so that the most negative value does not overflow.
    unsigned long long magnitude = bNegative ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    std::wstring digits;
    do
    {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);

    const std::size_t nUsed = digits.size() + (bNegative ? 1 : 0);
    const std::size_t nPad = nWidth > nUsed ? nWidth - nUsed : 0;
    std::wstring out;
    if (bZeroPad)
        out = (bNegative ? L"-" : L"") + std::wstring(nPad, L'0') + digits;
    else
        out = std::wstring(nPad, L' ') + (bNegative ? L"-" : L"") + digits;
    return out;
}

} // namespace

std::wstring FormatText(std::wstring_view format, std::initializer_list<CFormatArg> args)
{
    // Widths beyond this are taken as text: no format from a file may ask for a huge buffer.
    constexpr std::size_t kMaxWidth = 64;

    std::wstring out;
    out.reserve(format.size() + 16);
    const CFormatArg* pArg = args.begin();
    const CFormatArg* const pEnd = args.end();

    std::size_t i = 0;
    while (i < format.size())
    {
        const wchar_t c = format[i];
        if (c != L'%')
        {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%')
        {
            out += L'%';
            i += 2;
            continue;
        }

        // Parse %[0][width][h](d|s).
        std::size_t k = i + 1;
        bool bZeroPad = false;
        if (k < format.size() && format[k] == L'0')
        {
            bZeroPad = true;
            ++k;
        }
        std::size_t nWidth = 0;
        bool bWidthOk = true;
        while (k < format.size() && format[k] >= L'0' && format[k] <= L'9')
        {
            nWidth = nWidth * 10 + static_cast<std::size_t>(format[k] - L'0');
            if (nWidth > kMaxWidth)
                bWidthOk = false, nWidth = kMaxWidth;
            ++k;
        }
        bool bShort = false;
        if (k < format.size() && format[k] == L'h')
        {
            bShort = true;
            ++k;
        }
        const wchar_t conv = k < format.size() ? format[k] : L'\0';
        const bool bKnown = bWidthOk && (conv == L'd' || (conv == L's' && !bShort && !bZeroPad));
        if (!bKnown)
        {
            // Not a specifier of ours: the percent sign is plain text.
            out += L'%';
            ++i;
            continue;
        }
        const std::wstring_view specifier = format.substr(i, k + 1 - i);
        i = k + 1;

        if (pArg == pEnd)
        {
            out += specifier;
            continue;
        }
        const CFormatArg& arg = *pArg++;
        if (conv == L'd')
        {
            const long long* pn = arg.Number();
            if (pn == nullptr)
            {
                out += specifier;
                continue;
            }
            long long value = *pn;
            if (bShort)
                value = static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
            else
                value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
            out += FormatNumber(value, bZeroPad, nWidth);
        }
        else
        {
            const std::wstring_view* ps = arg.Text();
            if (ps == nullptr)
            {
                out += specifier;
                continue;
            }
            if (ps->size() < nWidth)
                out.append(nWidth - ps->size(), L' ');
            out += *ps;
        }
    }
    return out;
}
