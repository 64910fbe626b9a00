#include "mainwnd/RowText.h"

#include <algorithm>

namespace
{

constexpr wchar_t kEllipsis = L'\x2026';

} // namespace

std::wstring BoundedRowText(std::wstring_view strText)
{
    std::wstring strResult;
    std::size_t nLines = 0;
    std::size_t nPos = 0;
    while (nPos <= strText.size())
    {
        const std::size_t nEnd = std::min(strText.find(L'\n', nPos), strText.size());
        std::wstring_view strLine = strText.substr(nPos, nEnd - nPos);
        const bool bLineCut = strLine.size() > ROW_TEXT_MAX_LINE_CHARS;
        if (bLineCut)
            strLine = strLine.substr(0, ROW_TEXT_MAX_LINE_CHARS);
        if (nLines > 0)
            strResult += L'\n';
        strResult += strLine;
        ++nLines;
        if (nEnd == strText.size())
        {
            if (bLineCut)
                strResult += kEllipsis;
            break;
        }
        if (bLineCut || nLines == ROW_TEXT_MAX_LINES)
        {
            // Lines follow that are not shown, or the rest of this one.
            strResult += kEllipsis;
            if (nLines == ROW_TEXT_MAX_LINES)
                break;
        }
        nPos = nEnd + 1;
    }
    return strResult;
}
