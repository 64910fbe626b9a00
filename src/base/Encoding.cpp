#include "base/Encoding.h"

#include <array>
#include <cstdint>

namespace
{

// A wide character's code point. wchar_t is a signed 32-bit type here that holds code points, not
// a byte that sign extension could spoil.
constexpr std::uint32_t CodePoint(wchar_t c)
{
    return static_cast<std::uint32_t>(c); // NOLINT(bugprone-signed-char-misuse)
}

// Windows-1252 bytes 0x80..0x9F. The five bytes that the code page leaves undefined map to the
// C1 control of the same value, as Windows itself does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr wchar_t kReplacement = 0xFFFD;
// A byte of an invalid UTF-8 sequence in a lossless conversion: U+DC80..U+DCFF, values that
// valid UTF-8 never gives (lone low surrogates).
constexpr std::uint32_t kEscapedByteBase = 0xDC00;

wchar_t AnsiByteToWide(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F)
        return static_cast<wchar_t>(kHighControls[b - 0x80]);
    return static_cast<wchar_t>(b);
}

char WideToAnsiByte(wchar_t c)
{
    const auto u = CodePoint(c);
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
    {
        if (kHighControls[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        cp = kReplacement;
    if (cp < 0x80)
    {
        out += static_cast<char>(cp);
    }
    else if (cp < 0x800)
    {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else if (cp < 0x10000)
    {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The UTF-8 sequence that starts at bytes[i]. A valid one gives its code point and length; an
// invalid one (a stray or cut sequence, an overlong form, a surrogate, a value above U+10FFFF)
// gives as length its lead byte and the continuation bytes that did belong to it.
struct SUtf8Sequence
{
    std::uint32_t cp = 0;
    std::size_t nLength = 1;
    bool bValid = false;
};

SUtf8Sequence DecodeUtf8At(std::string_view bytes, std::size_t i)
{
    auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    SUtf8Sequence seq;
    const unsigned char b = byteAt(i);
    std::size_t nMore = 0;
    std::uint32_t minimum = 0;
    if (b < 0x80)
    {
        seq.cp = b;
        seq.bValid = true;
        return seq;
    }
    if ((b & 0xE0) == 0xC0)
        nMore = 1, seq.cp = b & 0x1F, minimum = 0x80;
    else if ((b & 0xF0) == 0xE0)
        nMore = 2, seq.cp = b & 0x0F, minimum = 0x800;
    else if ((b & 0xF8) == 0xF0)
        nMore = 3, seq.cp = b & 0x07, minimum = 0x10000;
    else
        return seq;
    std::size_t k = 1;
    for (; k <= nMore; ++k)
    {
        if (i + k >= bytes.size() || (byteAt(i + k) & 0xC0) != 0x80)
            break;
        seq.cp = (seq.cp << 6) | (byteAt(i + k) & 0x3F);
    }
    seq.nLength = k;
    seq.bValid = k > nMore && seq.cp >= minimum && seq.cp <= 0x10FFFF &&
                 !(seq.cp >= 0xD800 && seq.cp <= 0xDFFF);
    return seq;
}

} // namespace

std::wstring Utf16LeToWide(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size() / 2);
    const std::size_t nUnits = bytes.size() / 2;
    auto unitAt = [&](std::size_t i)
    {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i])) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8);
    };
    for (std::size_t i = 0; i < nUnits; ++i)
    {
        const std::uint32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < nUnits)
        {
            const std::uint32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        out += static_cast<wchar_t>(u);
    }
    return out;
}

std::string WideToUtf16Le(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    auto putUnit = [&](std::uint32_t u)
    {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (wchar_t c : text)
    {
        auto u = CodePoint(c);
        if (u > 0x10FFFF)
            u = kReplacement;
        if (u >= 0x10000)
        {
            u -= 0x10000;
            putUnit(0xD800 + (u >> 10));
            putUnit(0xDC00 + (u & 0x3FF));
        }
        else
        {
            putUnit(u);
        }
    }
    return out;
}

std::wstring AnsiToWide(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out += AnsiByteToWide(static_cast<unsigned char>(b));
    return out;
}

std::string WideToAnsi(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        out += WideToAnsiByte(c);
    return out;
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        AppendUtf8(out, CodePoint(c));
    return out;
}

std::wstring Utf8ToWide(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
    {
        const SUtf8Sequence seq = DecodeUtf8At(bytes, i);
        out += seq.bValid ? static_cast<wchar_t>(seq.cp) : kReplacement;
        i += seq.nLength;
    }
    return out;
}

bool IsUtf8Exact(std::wstring_view text)
{
    for (const wchar_t c : text)
    {
        const auto u = CodePoint(c);
        if ((u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF)
            return false;
    }
    return true;
}

std::wstring Utf8ToWideLossless(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
    {
        const SUtf8Sequence seq = DecodeUtf8At(bytes, i);
        if (seq.bValid)
        {
            out += static_cast<wchar_t>(seq.cp);
            i += seq.nLength;
            continue;
        }
        // Only the first byte is escaped: the bytes after it may start a sequence of their own.
        out += static_cast<wchar_t>(kEscapedByteBase | static_cast<unsigned char>(bytes[i]));
        ++i;
    }
    return out;
}

std::string WideToUtf8Lossless(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const wchar_t c : text)
    {
        const auto u = CodePoint(c);
        if (u >= kEscapedByteBase + 0x80 && u <= kEscapedByteBase + 0xFF)
            out += static_cast<char>(u & 0xFF);
        else
            AppendUtf8(out, u);
    }
    return out;
}
