// Regions: sets of pixels, used as window shapes and for filling.
#include "platform/Gdi.h"
#include "platform/internal/GdiData.h"
#include "platform/internal/QtConvert.h"

#include <algorithm>
#include <cmath>

namespace
{

HRGN__* Data(HGDIOBJ h)
{
    return static_cast<HRGN__*>(h);
}

int KindOf(const QRegion& region)
{
    if (region.isEmpty())
        return NULLREGION;
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRegion RectRegion(int x1, int y1, int x2, int y2)
{
    const CRect r(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    return r.IsRectEmpty() ? QRegion() : QRegion(ToQRect(r));
}

} // namespace

namespace gdi
{

QRegion RoundRectRegion(int x1, int y1, int x2, int y2, int w, int h)
{
    // The shape covers one pixel less than the rectangle on the right and at the bottom.
    const int nLeft = std::min(x1, x2);
    const int nTop = std::min(y1, y2);
    const int nRight = std::max(x1, x2) - 1;
    const int nBottom = std::max(y1, y2) - 1;
    const int nWidth = nRight - nLeft;
    const int nHeight = nBottom - nTop;
    if (nWidth <= 0 || nHeight <= 0)
        return QRegion();
    w = std::min(std::abs(w), nWidth);
    h = std::min(std::abs(h), nHeight);
    if (w < 2 || h < 2)
        return QRegion(nLeft, nTop, nWidth, nHeight);
    const double a = w / 2.0;
    const double b = h / 2.0;
    QRegion region;
    for (int y = nTop; y < nBottom; ++y)
    {
        // Distance of the pixel's centre into the corner band, 0 outside the bands.
        const double yc = y + 0.5;
        double dy = 0;
        if (yc < nTop + b)
            dy = nTop + b - yc;
        else if (yc > nBottom - b)
            dy = yc - (nBottom - b);
        const double inset = dy > 0 ? a - a * std::sqrt(std::max(0.0, 1 - (dy / b) * (dy / b))) : 0;
        // First pixel whose centre lies at or right of the curve, and its mirror.
        const int nInset = static_cast<int>(std::ceil(inset - 0.5));
        const int nFrom = nLeft + nInset;
        const int nTo = nRight - nInset;
        if (nTo > nFrom)
            region += QRect(nFrom, y, nTo - nFrom, 1);
    }
    return region;
}

} // namespace gdi

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return m_hObject == nullptr && Attach(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT pRect)
{
    return pRect != nullptr && CreateRectRgn(pRect->left, pRect->top, pRect->right, pRect->bottom);
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h)
{
    return m_hObject == nullptr && Attach(::CreateRoundRectRgn(x1, y1, x2, y2, w, h));
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn(*this, pRgn1 ? static_cast<HRGN>(*pRgn1) : nullptr,
                        pRgn2 ? static_cast<HRGN>(*pRgn2) : nullptr, nCombineMode);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc)
{
    return CombineRgn(pRgnSrc, nullptr, RGN_COPY);
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const
{
    return m_hObject != nullptr && pRgn != nullptr && pRgn->m_hObject != nullptr &&
           Data(m_hObject)->region == Data(pRgn->m_hObject)->region;
}

int CRgn::OffsetRgn(int x, int y)
{
    if (m_hObject == nullptr)
        return RGN_ERROR;
    Data(m_hObject)->region.translate(x, y);
    return KindOf(Data(m_hObject)->region);
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return ::PtInRegion(*this, x, y);
}

int CRgn::GetRgnBox(LPRECT pRect) const
{
    return ::GetRgnBox(*this, pRect);
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2)
{
    if (m_hObject != nullptr)
        Data(m_hObject)->region = RectRegion(x1, y1, x2, y2);
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return gdi::NewRegion(RectRegion(x1, y1, x2, y2));
}

HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h)
{
    return gdi::NewRegion(gdi::RoundRectRegion(x1, y1, x2, y2, w, h));
}

int CombineRgn(HRGN hDest, HRGN hSrc1, HRGN hSrc2, int nCombineMode)
{
    if (hDest == nullptr || hSrc1 == nullptr || (nCombineMode != RGN_COPY && hSrc2 == nullptr))
        return RGN_ERROR;
    const QRegion& a = Data(hSrc1)->region;
    QRegion result;
    switch (nCombineMode)
    {
    case RGN_AND:
        result = a.intersected(Data(hSrc2)->region);
        break;
    case RGN_OR:
        result = a.united(Data(hSrc2)->region);
        break;
    case RGN_XOR:
        result = a.xored(Data(hSrc2)->region);
        break;
    case RGN_DIFF:
        result = a.subtracted(Data(hSrc2)->region);
        break;
    case RGN_COPY:
        result = a;
        break;
    default:
        return RGN_ERROR;
    }
    Data(hDest)->region = result;
    return KindOf(result);
}

BOOL PtInRegion(HRGN hRgn, int x, int y)
{
    return hRgn != nullptr && Data(hRgn)->region.contains(QPoint(x, y));
}

int GetRgnBox(HRGN hRgn, LPRECT pRect)
{
    if (hRgn == nullptr || pRect == nullptr)
        return RGN_ERROR;
    *pRect = FromQRect(Data(hRgn)->region.boundingRect());
    return KindOf(Data(hRgn)->region);
}
