#include "base/Bidi.h"

#include <gtest/gtest.h>

namespace
{

// Written with letters for readability: E, O, L (an embedding and overrides, closed by P = PDF),
// I, F (isolates, closed by Q = PDI).
std::wstring Bidi(std::wstring_view letters)
{
    // RLE, RLO, LRO, RLI, FSI, PDF, PDI
    constexpr std::wstring_view kLetters = L"EOLIFPQ";
    constexpr std::wstring_view kControls = L"\u202B\u202E\u202D\u2067\u2068\u202C\u2069";
    std::wstring out;
    for (const wchar_t c : letters)
    {
        const std::size_t i = kLetters.find(c);
        out += i == std::wstring_view::npos ? c : kControls[i];
    }
    return out;
}

TEST(Bidi, OpenControlsAreClosedAtEveryLineEnd)
{
    const struct
    {
        const char* pszCase;
        const wchar_t* pszIn;
        const wchar_t* pszOut;
    } cases[] = {
        {"plain text", L"abc\ndef", L"abc\ndef"},
        {"empty", L"", L""},
        {"closed override", L"aOb\u05D0Pc", L"aOb\u05D0Pc"},
        {"open override", L"aOb", L"aObP"},
        {"open override before a line feed", L"aOb\nc", L"aObP\nc"},
        {"before CR LF, once", L"aOb\r\nc", L"aObP\r\nc"},
        {"paragraph separator", L"aIb\u2029c", L"aIbQ\u2029c"},
        {"nested, innermost first", L"OaIbEc", L"OaIbEcPQP"},
        {"isolate closed with what it holds", L"IaOEbQc", L"IaOEbQc"},
        {"an extra PDF closes nothing", L"aPbO", L"aPbOP"},
        {"PDF cannot close outside an isolate", L"OaIbPc", L"OaIbPcQP"},
        {"PDI without an isolate closes no embedding", L"OaQb", L"OaQbP"},
        {"first strong isolate and left override", L"FaLb", L"FaLbPQ"},
        {"open on each of two lines", L"Oa\nIb", L"OaP\nIbQ"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        EXPECT_EQ(CloseOpenBidi(Bidi(c.pszIn)), Bidi(c.pszOut));
    }
}

} // namespace
