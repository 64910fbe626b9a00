// Device contexts: filling, pixels, lines, frames and copies of pictures.
#include "platform/Dc.h"
#include "platform/System.h"
#include "platform/internal/DcData.h"
#include "platform/internal/QtConvert.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace
{

QRect Logical(LPCRECT pRect)
{
    return ToQRect(*pRect).normalized();
}

// Fills a logical rectangle with a colour through the DC's clip.
void Fill(HDC__* d, const QRect& r, COLORREF cr)
{
    if (r.isEmpty())
        return;
    if (QPainter* p = d->Begin())
    {
        p->fillRect(r, ToQColor(cr));
        d->Touched(r.translated(d->Offset()));
    }
}

HBRUSH__* BrushData(const CBrush* pBrush)
{
    return pBrush == nullptr ? nullptr : static_cast<HBRUSH__*>(pBrush->m_hObject);
}

HPEN__* PenData(const HDC__* d)
{
    return static_cast<HPEN__*>(d->attr.hPen);
}

// The pixel a raster operation gives for a source and a destination pixel.
QRgb Combine(QRgb src, QRgb dst, DWORD dwRop)
{
    QRgb v = 0;
    switch (dwRop)
    {
    case SRCAND:
        v = src & dst;
        break;
    case SRCINVERT:
        v = src ^ dst;
        break;
    case SRCPAINT:
        v = src | dst;
        break;
    case NOTSRCCOPY:
        v = ~src;
        break;
    case DSna:
        v = dst & ~src;
        break;
    case BLACKNESS:
        v = 0;
        break;
    case WHITENESS:
        v = 0xFFFFFF;
        break;
    default:
        v = src;
        break;
    }
    return 0xFF000000u | (v & 0x00FFFFFF);
}

// Draws a picture at a logical position: as it is, or with one colour left out.
BOOL Put(HDC__* d, int x, int y, const QImage& image, std::optional<COLORREF> crKey)
{
    if (image.isNull())
        return TRUE;
    QPainter* p = d->Begin();
    if (p == nullptr)
        return d->pSurface != nullptr;
    if (crKey)
    {
        QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = ToQRgb(*crKey) & 0x00FFFFFF;
        for (int row = 0; row < keyed.height(); ++row)
        {
            auto* pLine = reinterpret_cast<QRgb*>(keyed.scanLine(row));
            for (int col = 0; col < keyed.width(); ++col)
            {
                if ((pLine[col] & 0x00FFFFFF) == key)
                    pLine[col] = 0;
            }
        }
        p->drawImage(QPoint(x, y), keyed);
    }
    else
    {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(QPoint(x, y), image);
    }
    d->Touched(QRect(QPoint(x, y) + d->Offset(), image.size()));
    return TRUE;
}

QImage Part(const QImage& image, int xSrc, int ySrc, int cx, int cy)
{
    if (cx < 0)
        cx = image.width() - xSrc;
    if (cy < 0)
        cy = image.height() - ySrc;
    if (cx <= 0 || cy <= 0)
        return QImage();
    return image.copy(xSrc, ySrc, cx, cy);
}

const QImage* ImageOf(const CBitmap& bitmap)
{
    auto* h = static_cast<HBITMAP__*>(bitmap.m_hObject);
    return h == nullptr ? nullptr : &h->pSurface->image;
}

} // namespace

void CDC::FillRect(LPCRECT pRect, CBrush* pBrush)
{
    HBRUSH__* b = BrushData(pBrush);
    if (m_hDC != nullptr && pRect != nullptr && b != nullptr && !b->bNull)
        Fill(m_hDC, Logical(pRect), b->crColor);
}

void CDC::FillSolidRect(LPCRECT pRect, COLORREF crColor)
{
    if (m_hDC == nullptr || pRect == nullptr)
        return;
    SetBkColor(crColor);
    Fill(m_hDC, Logical(pRect), crColor);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor)
{
    const CRect r(x, y, x + cx, y + cy);
    FillSolidRect(&r, crColor);
}

void CDC::FrameRect(LPCRECT pRect, CBrush* pBrush)
{
    HBRUSH__* b = BrushData(pBrush);
    if (m_hDC == nullptr || pRect == nullptr || b == nullptr || b->bNull)
        return;
    const QRect r = Logical(pRect);
    if (r.isEmpty())
        return;
    Fill(m_hDC, QRect(r.left(), r.top(), r.width(), 1), b->crColor);
    Fill(m_hDC, QRect(r.left(), r.bottom(), r.width(), 1), b->crColor);
    Fill(m_hDC, QRect(r.left(), r.top(), 1, r.height()), b->crColor);
    Fill(m_hDC, QRect(r.right(), r.top(), 1, r.height()), b->crColor);
}

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush)
{
    HBRUSH__* b = BrushData(pBrush);
    if (m_hDC == nullptr || pRgn == nullptr || pRgn->m_hObject == nullptr || b == nullptr)
        return FALSE;
    if (!b->bNull)
    {
        for (const QRect& r : static_cast<HRGN__*>(pRgn->m_hObject)->region)
            Fill(m_hDC, r, b->crColor);
    }
    return TRUE;
}

BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight)
{
    HBRUSH__* b = BrushData(pBrush);
    if (m_hDC == nullptr || pRgn == nullptr || pRgn->m_hObject == nullptr || b == nullptr)
        return FALSE;
    const QRegion& region = static_cast<HRGN__*>(pRgn->m_hObject)->region;
    // The frame is what the region loses when shrunk by the frame's width and height.
    QRegion inner = region;
    for (int i = 1; i <= nWidth; ++i)
        inner &= region.translated(i, 0) & region.translated(-i, 0);
    for (int i = 1; i <= nHeight; ++i)
        inner &= region.translated(0, i) & region.translated(0, -i);
    if (!b->bNull)
    {
        for (const QRect& r : region.subtracted(inner))
            Fill(m_hDC, r, b->crColor);
    }
    return TRUE;
}

void CDC::Draw3dRect(LPCRECT pRect, COLORREF crTopLeft, COLORREF crBottomRight)
{
    if (pRect == nullptr)
        return;
    const int x = pRect->left;
    const int y = pRect->top;
    const int cx = pRect->right - pRect->left;
    const int cy = pRect->bottom - pRect->top;
    FillSolidRect(x, y, cx - 1, 1, crTopLeft);
    FillSolidRect(x, y, 1, cy - 1, crTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, crBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, crBottomRight);
}

BOOL CDC::DrawEdge(LPRECT pRect, UINT nEdge, UINT nFlags)
{
    if (m_hDC == nullptr || pRect == nullptr)
        return FALSE;
    CRect r(*pRect);
    // Outer then inner ring; each has a top-left and a bottom-right colour.
    struct Ring
    {
        UINT nRaised;
        UINT nSunken;
        int nTopLeftRaised;
        int nBottomRightRaised;
        int nTopLeftSunken;
        int nBottomRightSunken;
    };
    static const Ring s_rings[] = {{BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT,
                                    COLOR_3DDKSHADOW, COLOR_3DSHADOW, COLOR_3DHILIGHT},
                                   {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_3DHILIGHT,
                                    COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT}};
    for (const Ring& ring : s_rings)
    {
        if ((nEdge & (ring.nRaised | ring.nSunken)) == 0 || r.IsRectEmpty())
            continue;
        const bool bRaised = (nEdge & ring.nRaised) != 0;
        const COLORREF crTL = GetSysColor(bRaised ? ring.nTopLeftRaised : ring.nTopLeftSunken);
        const COLORREF crBR =
            GetSysColor(bRaised ? ring.nBottomRightRaised : ring.nBottomRightSunken);
        if (nFlags & BF_LEFT)
            Fill(m_hDC, QRect(r.left, r.top, 1, r.Height()), crTL);
        if (nFlags & BF_TOP)
            Fill(m_hDC, QRect(r.left, r.top, r.Width(), 1), crTL);
        if (nFlags & BF_RIGHT)
            Fill(m_hDC, QRect(r.right - 1, r.top, 1, r.Height()), crBR);
        if (nFlags & BF_BOTTOM)
            Fill(m_hDC, QRect(r.left, r.bottom - 1, r.Width(), 1), crBR);
        r.InflateRect((nFlags & BF_LEFT) ? -1 : 0, (nFlags & BF_TOP) ? -1 : 0,
                      (nFlags & BF_RIGHT) ? -1 : 0, (nFlags & BF_BOTTOM) ? -1 : 0);
    }
    if (nFlags & BF_ADJUST)
        *pRect = r;
    return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF crColor)
{
    if (m_hDC == nullptr)
        return CLR_INVALID;
    Fill(m_hDC, QRect(x, y, 1, 1), crColor & 0x00FFFFFF);
    return crColor & 0x00FFFFFF;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (m_hDC == nullptr || !m_hDC->pSurface)
        return CLR_INVALID;
    const QPoint pt = QPoint(x, y) + m_hDC->Offset();
    const QImage& image = m_hDC->pSurface->image;
    if (!image.valid(pt))
        return CLR_INVALID;
    return FromQRgb(image.pixel(pt));
}

CPoint CDC::MoveTo(int x, int y)
{
    if (m_hDC == nullptr)
        return CPoint();
    const CPoint ptOld = FromQPoint(m_hDC->attr.ptCurrent);
    m_hDC->attr.ptCurrent = QPoint(x, y);
    return ptOld;
}

CPoint CDC::GetCurrentPosition() const
{
    return m_hDC == nullptr ? CPoint() : FromQPoint(m_hDC->attr.ptCurrent);
}

BOOL CDC::LineTo(int x, int y)
{
    if (m_hDC == nullptr)
        return FALSE;
    const QPoint from = m_hDC->attr.ptCurrent;
    const QPoint to(x, y);
    m_hDC->attr.ptCurrent = to;
    HPEN__* pen = PenData(m_hDC);
    if (pen == nullptr || pen->nStyle == PS_NULL || from == to)
        return TRUE;
    QPainter* p = m_hDC->Begin();
    if (p == nullptr)
        return TRUE;
    const QColor color = ToQColor(pen->crColor);
    if (pen->nWidth > 1)
    {
        p->setPen(QPen(color, pen->nWidth, Qt::SolidLine, Qt::FlatCap));
        p->drawLine(from, to);
        m_hDC->Touched(QRect(from, to)
                           .normalized()
                           .adjusted(-pen->nWidth, -pen->nWidth, pen->nWidth, pen->nWidth)
                           .translated(m_hDC->Offset()));
        return TRUE;
    }
    // Bresenham, stopping before the end point.
    int x0 = from.x();
    int y0 = from.y();
    const int dx = std::abs(to.x() - x0);
    const int dy = -std::abs(to.y() - y0);
    const int sx = x0 < to.x() ? 1 : -1;
    const int sy = y0 < to.y() ? 1 : -1;
    int err = dx + dy;
    QPolygon points;
    while (x0 != to.x() || y0 != to.y())
    {
        points << QPoint(x0, y0);
        const int e2 = 2 * err;
        if (e2 >= dy)
        {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx)
        {
            err += dx;
            y0 += sy;
        }
    }
    p->setPen(QPen(color, 1));
    p->drawPoints(points);
    m_hDC->Touched(points.boundingRect().translated(m_hDC->Offset()));
    return TRUE;
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    if (m_hDC == nullptr)
        return FALSE;
    const QRect r = QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)).normalized();
    HPEN__* pen = PenData(m_hDC);
    HBRUSH__* brush = static_cast<HBRUSH__*>(m_hDC->attr.hBrush);
    const bool bPen = pen != nullptr && pen->nStyle != PS_NULL;
    if (brush != nullptr && !brush->bNull)
    {
        // Without a pen the filled area stops one pixel short on the right and at the bottom.
        Fill(m_hDC, bPen ? r.adjusted(1, 1, -1, -1) : r.adjusted(0, 0, -1, -1), brush->crColor);
    }
    if (bPen)
    {
        const int w = std::max(1, pen->nWidth);
        Fill(m_hDC, QRect(r.left(), r.top(), r.width(), w), pen->crColor);
        Fill(m_hDC, QRect(r.left(), r.bottom() - w + 1, r.width(), w), pen->crColor);
        Fill(m_hDC, QRect(r.left(), r.top(), w, r.height()), pen->crColor);
        Fill(m_hDC, QRect(r.right() - w + 1, r.top(), w, r.height()), pen->crColor);
    }
    return TRUE;
}

BOOL CDC::Rectangle(LPCRECT pRect)
{
    return pRect != nullptr && Rectangle(pRect->left, pRect->top, pRect->right, pRect->bottom);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop)
{
    if (m_hDC == nullptr || !m_hDC->pSurface || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    const bool bNeedsSource = dwRop != BLACKNESS && dwRop != WHITENESS;
    HDC__* s = dc::Data(pSrcDC);
    if (bNeedsSource && (s == nullptr || !s->pSurface))
        return FALSE;
    QImage src(nWidth, nHeight, QImage::Format_RGB32);
    src.fill(qRgb(0, 0, 0));
    if (bNeedsSource)
    {
        // A deep copy, so that a DC may copy onto itself.
        const QPoint at = QPoint(xSrc, ySrc) + s->Offset();
        src = s->pSurface->image.copy(QRect(at, QSize(nWidth, nHeight)));
    }
    if (dwRop != SRCCOPY)
    {
        const QPoint at = QPoint(x, y) + m_hDC->Offset();
        QImage dst = m_hDC->pSurface->image.copy(QRect(at, QSize(nWidth, nHeight)))
                         .convertToFormat(QImage::Format_RGB32);
        src = src.convertToFormat(QImage::Format_RGB32);
        for (int row = 0; row < nHeight; ++row)
        {
            auto* pSrc = reinterpret_cast<QRgb*>(src.scanLine(row));
            const auto* pDst = reinterpret_cast<const QRgb*>(dst.constScanLine(row));
            for (int col = 0; col < nWidth; ++col)
                pSrc[col] = Combine(pSrc[col], pDst[col], dwRop);
        }
    }
    return Put(m_hDC, x, y, src, std::nullopt);
}

BOOL CDC::DrawImage(int x, int y, const CBitmap& bitmap, int xSrc, int ySrc, int cx, int cy)
{
    const QImage* pImage = ImageOf(bitmap);
    if (m_hDC == nullptr || pImage == nullptr)
        return FALSE;
    return Put(m_hDC, x, y, Part(*pImage, xSrc, ySrc, cx, cy), std::nullopt);
}

BOOL CDC::DrawImageKeyed(int x, int y, const CBitmap& bitmap, COLORREF crKey, int xSrc, int ySrc,
                         int cx, int cy)
{
    const QImage* pImage = ImageOf(bitmap);
    if (m_hDC == nullptr || pImage == nullptr)
        return FALSE;
    return Put(m_hDC, x, y, Part(*pImage, xSrc, ySrc, cx, cy), crKey);
}

BOOL CDC::DrawMaskedImage(int x, int y, const CBitmap& masked, int xSrc, int ySrc, int cx, int cy)
{
    const QImage* pImage = ImageOf(masked);
    if (m_hDC == nullptr || pImage == nullptr)
        return FALSE;
    if (cx < 0)
        cx = pImage->width() - xSrc;
    if (cy < 0)
        cy = pImage->height() - ySrc;
    if (cx <= 0 || cy <= 0)
        return TRUE;
    QPainter* p = m_hDC->Begin();
    if (p == nullptr)
        return m_hDC->pSurface != nullptr;
    // The mask's alpha is 0 or 255, so blending over the destination is an exact keyed copy.
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(QPoint(x, y), *pImage, QRect(xSrc, ySrc, cx, cy));
    m_hDC->Touched(QRect(QPoint(x, y) + m_hDC->Offset(), QSize(cx, cy)));
    return TRUE;
}

BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC,
                         int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, UINT crTransparent)
{
    HDC__* s = dc::Data(pSrcDC);
    if (m_hDC == nullptr || s == nullptr || !s->pSurface || nSrcWidth <= 0 || nSrcHeight <= 0)
        return FALSE;
    const QPoint at = QPoint(xSrc, ySrc) + s->Offset();
    QImage part = s->pSurface->image.copy(QRect(at, QSize(nSrcWidth, nSrcHeight)));
    if (nDestWidth != nSrcWidth || nDestHeight != nSrcHeight)
        part = part.scaled(nDestWidth, nDestHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return Put(m_hDC, xDest, yDest, part, crTransparent);
}
