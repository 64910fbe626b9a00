#include "ui/TextFit.h"

#include "ui/TextMeasure.h"

#include <algorithm>
#include <vector>

namespace
{

constexpr wchar_t kEllipsis[] = L"\u2026";

// The longest prefix of strText (at least one character) no wider than nWidth.
std::size_t FittingPrefix(const std::wstring& strText, CFont* pFont, int nWidth)
{
    std::size_t nLow = 1;
    std::size_t nHigh = strText.size();
    while (nLow < nHigh)
    {
        const std::size_t nMid = (nLow + nHigh + 1) / 2;
        if (GetTextWidth(strText.substr(0, nMid), pFont) <= nWidth)
            nLow = nMid;
        else
            nHigh = nMid - 1;
    }
    return nLow;
}

// Breaks one paragraph (no line breaks in it) into lines no wider than nWidth. Spaces at a break
// are dropped and spaces before the first word kept, as the drawing code does.
void BreakParagraph(const std::wstring& strPara, CFont* pFont, int nWidth,
                    std::vector<std::wstring>& lines)
{
    std::wstring strLine;
    bool bLineStarted = false;
    std::size_t nPos = 0;
    while (nPos < strPara.size())
    {
        const std::size_t nWordStart = strPara.find_first_not_of(L' ', nPos);
        if (nWordStart == std::wstring::npos)
            break; // spaces at the end
        const std::size_t nWordEnd = std::min(strPara.find(L' ', nWordStart), strPara.size());
        const std::wstring strPiece = strPara.substr(nPos, nWordEnd - nPos);
        nPos = nWordEnd;
        if (bLineStarted && GetTextWidth(strLine + strPiece, pFont) <= nWidth)
        {
            strLine += strPiece;
            continue;
        }
        std::wstring strWord = strPiece;
        if (bLineStarted)
        {
            lines.push_back(strLine);
            strWord = strPara.substr(nWordStart, nWordEnd - nWordStart);
        }
        // A word wider than a line goes on lines of its own, cut between characters.
        while (strWord.size() > 1 && GetTextWidth(strWord, pFont) > nWidth)
        {
            const std::size_t n = FittingPrefix(strWord, pFont, nWidth);
            lines.push_back(strWord.substr(0, n));
            strWord.erase(0, n);
        }
        strLine = strWord;
        bLineStarted = true;
    }
    lines.push_back(strLine);
}

} // namespace

std::wstring FitTextToBox(const std::wstring& strText, CFont* pFont, CSize sizeBox)
{
    const int nWidth = std::max<int>(sizeBox.cx, 1);
    std::vector<std::wstring> lines;
    std::size_t nStart = 0;
    while (nStart <= strText.size())
    {
        std::size_t nEnd = strText.find(L'\n', nStart);
        if (nEnd == std::wstring::npos)
            nEnd = strText.size();
        std::wstring strPara = strText.substr(nStart, nEnd - nStart);
        if (!strPara.empty() && strPara.back() == L'\r')
            strPara.pop_back();
        std::vector<std::wstring> paraLines;
        BreakParagraph(strPara, pFont, nWidth, paraLines);
        lines.insert(lines.end(), paraLines.begin(), paraLines.end());
        nStart = nEnd + 1;
    }

    const int nLineHeight = std::max<int>(GetTextLineSize(L"Xg", pFont).cy, 1);
    const std::size_t nMaxLines =
        static_cast<std::size_t>(std::max<int>(sizeBox.cy / nLineHeight, 1));
    if (lines.size() > nMaxLines)
    {
        lines.resize(nMaxLines);
        std::wstring& strLast = lines.back();
        while (!strLast.empty() && GetTextWidth(strLast + kEllipsis, pFont) > nWidth)
            strLast.pop_back();
        strLast += kEllipsis;
    }

    std::wstring strResult;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            strResult += L'\n';
        strResult += lines[i];
    }
    return strResult;
}
