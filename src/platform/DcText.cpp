// Device contexts: text output and measuring, with the font's whole-pixel metrics.
#include "platform/Dc.h"
#include "platform/internal/DcData.h"
#include "platform/internal/QtConvert.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace
{

struct CLine
{
    QString text;
    int nWidth = 0;
};

QString Trimmed(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    return s.left(n);
}

void PushLine(std::vector<CLine>& lines, const QString& text, const QFontMetrics& fm)
{
    const QString trimmed = Trimmed(text);
    lines.push_back(CLine{trimmed, fm.horizontalAdvance(trimmed)});
}

// Breaks one paragraph at spaces so that each line fits nMaxWidth; a word that does not fit on
// a line of its own keeps one anyway. Spaces at a break are dropped.
void Wrap(std::vector<CLine>& lines, const QString& para, const QFontMetrics& fm, int nMaxWidth)
{
    QString line;
    bool bLineStarted = false;
    int pos = 0;
    const qsizetype n = para.size();
    while (pos < n)
    {
        int wordStart = pos;
        while (wordStart < n && para[wordStart] == QLatin1Char(' '))
            ++wordStart;
        int wordEnd = wordStart;
        while (wordEnd < n && para[wordEnd] != QLatin1Char(' '))
            ++wordEnd;
        const QString candidate = line + para.mid(pos, wordEnd - pos);
        if (!bLineStarted || fm.horizontalAdvance(Trimmed(candidate)) <= nMaxWidth)
        {
            line = candidate;
            bLineStarted = true;
        }
        else
        {
            PushLine(lines, line, fm);
            line = para.mid(wordStart, wordEnd - wordStart);
        }
        pos = wordEnd;
    }
    PushLine(lines, line, fm);
}

std::vector<CLine> Layout(const QString& text, const QFontMetrics& fm, int nMaxWidth, UINT nFormat)
{
    std::vector<CLine> lines;
    QStringList paragraphs;
    if (nFormat & DT_SINGLELINE)
    {
        QString single = text;
        single.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        paragraphs << single;
    }
    else
    {
        QString normal = text;
        normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        paragraphs = normal.split(QLatin1Char('\n'));
    }
    for (const QString& para : paragraphs)
    {
        if ((nFormat & DT_WORDBREAK) && !(nFormat & DT_SINGLELINE))
            Wrap(lines, para, fm, nMaxWidth);
        else
            lines.push_back(CLine{para, fm.horizontalAdvance(para)});
    }
    return lines;
}

// Draws one line with its top-left corner at (x, y), with the cell background when opaque.
void DrawLine(HDC__* d, QPainter* p, int x, int y, const CLine& line)
{
    HFONT__* f = d->Font();
    if (d->attr.nBkMode == OPAQUE && line.nWidth > 0)
        p->fillRect(QRect(x, y, line.nWidth, f->Height()), ToQColor(d->attr.crBk));
    p->setFont(f->font);
    p->setPen(ToQColor(d->attr.crText));
    p->drawText(QPoint(x, y + f->nAscent), line.text);
    d->Touched(QRect(x, y, line.nWidth, f->Height()).translated(d->Offset()));
}

} // namespace

CSize CDC::GetTextExtent(const std::wstring& strText) const
{
    if (m_hDC == nullptr)
        return CSize();
    HFONT__* f = m_hDC->Font();
    return CSize(QFontMetrics(f->font).horizontalAdvance(ToQString(strText)), f->Height());
}

CSize CDC::GetTextExtent(LPCWSTR lpszText, int nCount) const
{
    if (lpszText == nullptr)
        return CSize();
    return nCount < 0 ? GetTextExtent(std::wstring(lpszText))
                      : GetTextExtent(std::wstring(lpszText, nCount));
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* pMetrics) const
{
    if (m_hDC == nullptr || pMetrics == nullptr)
        return FALSE;
    HFONT__* f = m_hDC->Font();
    const QFontMetrics fm(f->font);
    TEXTMETRIC tm{};
    tm.tmAscent = f->nAscent;
    tm.tmDescent = f->nDescent;
    tm.tmHeight = f->Height();
    tm.tmInternalLeading = std::max(0, f->Height() - f->font.pixelSize());
    tm.tmExternalLeading = std::max(0, fm.leading());
    tm.tmAveCharWidth = fm.averageCharWidth();
    tm.tmMaxCharWidth = fm.maxWidth();
    tm.tmWeight = f->font.weight();
    *pMetrics = tm;
    return TRUE;
}

BOOL CDC::TextOut(int x, int y, const std::wstring& strText)
{
    if (m_hDC == nullptr)
        return FALSE;
    QPainter* p = m_hDC->Begin();
    if (p == nullptr)
        return TRUE;
    const QString text = ToQString(strText);
    DrawLine(m_hDC, p, x, y,
             CLine{text, QFontMetrics(m_hDC->Font()->font).horizontalAdvance(text)});
    return TRUE;
}

BOOL CDC::TextOut(int x, int y, LPCWSTR lpszText, int nCount)
{
    if (lpszText == nullptr)
        return FALSE;
    return nCount < 0 ? TextOut(x, y, std::wstring(lpszText))
                      : TextOut(x, y, std::wstring(lpszText, nCount));
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT pRect, const std::wstring& strText)
{
    if (m_hDC == nullptr)
        return FALSE;
    QPainter* p = m_hDC->Begin();
    if (p == nullptr)
        return TRUE;
    if (pRect != nullptr && (nOptions & ETO_OPAQUE))
    {
        const QRect r = ToQRect(*pRect).normalized();
        p->fillRect(r, ToQColor(m_hDC->attr.crBk));
        m_hDC->Touched(r.translated(m_hDC->Offset()));
    }
    if (pRect != nullptr && (nOptions & ETO_CLIPPED))
        p->setClipRect(ToQRect(*pRect).normalized(), Qt::IntersectClip);
    if (!strText.empty())
    {
        const QString text = ToQString(strText);
        DrawLine(m_hDC, p, x, y,
                 CLine{text, QFontMetrics(m_hDC->Font()->font).horizontalAdvance(text)});
    }
    return TRUE;
}

int CDC::DrawText(const std::wstring& strText, LPRECT pRect, UINT nFormat)
{
    if (m_hDC == nullptr || pRect == nullptr)
        return 0;
    CRect r(*pRect);
    if (strText.empty())
    {
        if (nFormat & DT_CALCRECT)
        {
            r.right = r.left;
            r.bottom = r.top;
            *pRect = r;
        }
        return 0;
    }
    HFONT__* f = m_hDC->Font();
    const QFontMetrics fm(f->font);
    const std::vector<CLine> lines = Layout(ToQString(strText), fm, r.Width(), nFormat);
    const int nLineHeight = f->Height();
    const int nHeight = nLineHeight * static_cast<int>(lines.size());
    if (nFormat & DT_CALCRECT)
    {
        int nWidest = 0;
        for (const CLine& line : lines)
            nWidest = std::max(nWidest, line.nWidth);
        r.right = r.left + nWidest;
        r.bottom = r.top + nHeight;
        *pRect = r;
        return nHeight;
    }
    QPainter* p = m_hDC->Begin();
    if (p == nullptr)
        return nHeight;
    if (!(nFormat & DT_NOCLIP))
        p->setClipRect(ToQRect(r), Qt::IntersectClip);
    int y = r.top;
    if (nFormat & DT_SINGLELINE)
    {
        if (nFormat & DT_VCENTER)
            y = r.top + (r.Height() - nLineHeight) / 2;
        else if (nFormat & DT_BOTTOM)
            y = r.bottom - nLineHeight;
    }
    for (const CLine& line : lines)
    {
        int x = r.left;
        if (nFormat & DT_CENTER)
            x = r.left + (r.Width() - line.nWidth) / 2;
        else if (nFormat & DT_RIGHT)
            x = r.right - line.nWidth;
        DrawLine(m_hDC, p, x, y, line);
        y += nLineHeight;
    }
    return nHeight;
}

int CDC::DrawText(LPCWSTR lpszText, int nCount, LPRECT pRect, UINT nFormat)
{
    if (lpszText == nullptr)
        return 0;
    return nCount < 0 ? DrawText(std::wstring(lpszText), pRect, nFormat)
                      : DrawText(std::wstring(lpszText, nCount), pRect, nFormat);
}
