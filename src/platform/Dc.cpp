// Device contexts: creation, selected objects, attributes, coordinates and clipping.
#include "platform/Dc.h"
#include "platform/System.h"
#include "platform/internal/DcData.h"
#include "platform/internal/QtConvert.h"

#include <QPainter>

namespace
{

HBITMAP StockBitmap()
{
    static HBITMAP const s_hBitmap = []
    {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 0));
        HBITMAP h = gdi::NewBitmap(std::move(image));
        h->bStock = true;
        return h;
    }();
    return s_hBitmap;
}

// Selects hNew into a slot and returns the wrapper of what was there, unless that goes away.
template <typename T, typename H> T* Replace(HGDIOBJ& hSlot, HGDIOBJ hNew)
{
    const HGDIOBJ hOld = hSlot;
    CGdiHandle* pOld = gdi::Header(hOld);
    const bool bGoes = pOld != nullptr && pOld->bDeletePending && pOld->nSelected == 1;
    T* pResult = bGoes ? nullptr : T::FromHandle(static_cast<H>(hOld));
    dc::SetSelected(hSlot, hNew);
    return pResult;
}

} // namespace

namespace dc
{

HDC__* Data(const CDC* pDC)
{
    return pDC == nullptr ? nullptr : pDC->m_hDC;
}

void SetSelected(HGDIOBJ& hSlot, HGDIOBJ hNew)
{
    const HGDIOBJ hOld = hSlot;
    gdi::Select(hNew);
    hSlot = hNew;
    gdi::Deselect(hOld);
}

} // namespace dc

std::optional<QRegion> HDC__::Clip() const
{
    if (clipSystem && attr.clipUser)
        return clipSystem->intersected(*attr.clipUser);
    if (clipSystem)
        return clipSystem;
    return attr.clipUser;
}

QPainter* HDC__::Begin()
{
    if (!pSurface || pSurface->image.isNull())
        return nullptr;
    const std::optional<QRegion> clip = Clip();
    if (clip && clip->isEmpty())
        return nullptr;
    if (pPainter == nullptr)
        pPainter = pSurface->AcquirePainter();
    QPainter* p = pPainter;
    p->resetTransform();
    if (clip)
        p->setClipRegion(*clip);
    else
        p->setClipping(false);
    p->setTransform(QTransform::fromTranslate(Offset().x(), Offset().y()));
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setPen(Qt::NoPen);
    p->setBrush(Qt::NoBrush);
    p->setOpacity(1.0);
    return p;
}

void HDC__::Touched(const QRect& deviceRect)
{
    if (hWndFlush != nullptr)
        rgnDrawn += deviceRect;
}

HFONT__* HDC__::Font() const
{
    return static_cast<HFONT__*>(attr.hFont != nullptr ? attr.hFont
                                                       : GetDefaultGuiFont()->m_hObject);
}

CDC::CDC() = default;

CDC::~CDC()
{
    DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC)
{
    return hDC == nullptr ? nullptr : hDC->pOwner;
}

BOOL CDC::CreateCompatibleDC(CDC*)
{
    if (m_hDC != nullptr)
        return FALSE;
    m_hDC = new HDC__;
    m_hDC->pOwner = this;
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    m_hDC->pSurface = std::make_shared<CSurface>(std::move(image));
    dc::SetSelected(m_hDC->hBitmap, StockBitmap());
    dc::SetSelected(m_hDC->attr.hFont, GetDefaultGuiFont()->m_hObject);
    dc::SetSelected(m_hDC->attr.hPen, GetStockObject(BLACK_PEN));
    dc::SetSelected(m_hDC->attr.hBrush, GetStockObject(WHITE_BRUSH));
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    HDC__* d = m_hDC;
    if (d == nullptr)
        return FALSE;
    if (d->pPainter != nullptr)
        d->pSurface->ReleasePainter();
    d->pPainter = nullptr;
    for (CDcAttributes& a : d->saved)
    {
        gdi::Deselect(a.hFont);
        gdi::Deselect(a.hPen);
        gdi::Deselect(a.hBrush);
    }
    gdi::Deselect(d->attr.hFont);
    gdi::Deselect(d->attr.hPen);
    gdi::Deselect(d->attr.hBrush);
    gdi::Deselect(d->hBitmap);
    delete d;
    m_hDC = nullptr;
    return TRUE;
}

int CDC::GetDeviceCaps(int nIndex) const
{
    switch (nIndex)
    {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case HORZRES:
        return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES:
        return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL:
        return 32;
    default:
        return 0;
    }
}

CFont* CDC::SelectObject(CFont* pFont)
{
    if (m_hDC == nullptr || pFont == nullptr || pFont->m_hObject == nullptr)
        return nullptr;
    return Replace<CFont, HFONT>(m_hDC->attr.hFont, pFont->m_hObject);
}

CPen* CDC::SelectObject(CPen* pPen)
{
    if (m_hDC == nullptr || pPen == nullptr || pPen->m_hObject == nullptr)
        return nullptr;
    return Replace<CPen, HPEN>(m_hDC->attr.hPen, pPen->m_hObject);
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    if (m_hDC == nullptr || pBrush == nullptr || pBrush->m_hObject == nullptr)
        return nullptr;
    return Replace<CBrush, HBRUSH>(m_hDC->attr.hBrush, pBrush->m_hObject);
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    // Only memory DCs hold bitmaps.
    if (m_hDC == nullptr || m_hDC->hBitmap == nullptr || pBitmap == nullptr ||
        pBitmap->m_hObject == nullptr)
        return nullptr;
    HDC__* d = m_hDC;
    if (d->pPainter != nullptr)
        d->pSurface->ReleasePainter();
    d->pPainter = nullptr;
    auto* hNew = static_cast<HBITMAP__*>(pBitmap->m_hObject);
    CBitmap* pOld = Replace<CBitmap, HBITMAP>(d->hBitmap, hNew);
    if (hNew == StockBitmap())
    {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 0));
        d->pSurface = std::make_shared<CSurface>(std::move(image));
    }
    else
    {
        d->pSurface = hNew->pSurface;
    }
    return pOld;
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    HGDIOBJ h = GetStockObject(nIndex);
    switch (GetObjectType(h))
    {
    case OBJ_FONT:
        return SelectObject(CFont::FromHandle(static_cast<HFONT>(h)));
    case OBJ_PEN:
        return SelectObject(CPen::FromHandle(static_cast<HPEN>(h)));
    case OBJ_BRUSH:
        return SelectObject(CBrush::FromHandle(static_cast<HBRUSH>(h)));
    default:
        return nullptr;
    }
}

CFont* CDC::GetCurrentFont() const
{
    return m_hDC == nullptr ? nullptr : CFont::FromHandle(m_hDC->Font());
}

CBitmap* CDC::GetCurrentBitmap() const
{
    return m_hDC == nullptr ? nullptr : CBitmap::FromHandle(static_cast<HBITMAP>(m_hDC->hBitmap));
}

int CDC::SelectClipRgn(CRgn* pRgn)
{
    if (m_hDC == nullptr)
        return RGN_ERROR;
    if (pRgn == nullptr || pRgn->m_hObject == nullptr)
        m_hDC->attr.clipUser.reset();
    else
        m_hDC->attr.clipUser = static_cast<HRGN__*>(pRgn->m_hObject)->region;
    RECT r;
    return GetClipBox(&r);
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    if (m_hDC == nullptr)
        return CLR_INVALID;
    const COLORREF crOld = m_hDC->attr.crText;
    m_hDC->attr.crText = crColor & 0x00FFFFFF;
    return crOld;
}

COLORREF CDC::GetTextColor() const
{
    return m_hDC == nullptr ? CLR_INVALID : m_hDC->attr.crText;
}

COLORREF CDC::SetBkColor(COLORREF crColor)
{
    if (m_hDC == nullptr)
        return CLR_INVALID;
    const COLORREF crOld = m_hDC->attr.crBk;
    m_hDC->attr.crBk = crColor & 0x00FFFFFF;
    return crOld;
}

COLORREF CDC::GetBkColor() const
{
    return m_hDC == nullptr ? CLR_INVALID : m_hDC->attr.crBk;
}

int CDC::SetBkMode(int nBkMode)
{
    if (m_hDC == nullptr || (nBkMode != TRANSPARENT && nBkMode != OPAQUE))
        return 0;
    const int nOld = m_hDC->attr.nBkMode;
    m_hDC->attr.nBkMode = nBkMode;
    return nOld;
}

int CDC::GetBkMode() const
{
    return m_hDC == nullptr ? 0 : m_hDC->attr.nBkMode;
}

int CDC::SetMapMode(int nMapMode)
{
    // Only MM_TEXT exists; anything else is refused.
    if (m_hDC == nullptr || nMapMode != MM_TEXT)
        return 0;
    return MM_TEXT;
}

int CDC::GetMapMode() const
{
    return m_hDC == nullptr ? 0 : m_hDC->attr.nMapMode;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    if (m_hDC == nullptr)
        return CPoint();
    const CPoint ptOld = FromQPoint(m_hDC->attr.ptWindowOrg);
    m_hDC->attr.ptWindowOrg = QPoint(x, y);
    return ptOld;
}

CPoint CDC::GetWindowOrg() const
{
    return m_hDC == nullptr ? CPoint() : FromQPoint(m_hDC->attr.ptWindowOrg);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    if (m_hDC == nullptr)
        return CPoint();
    const CPoint ptOld = FromQPoint(m_hDC->attr.ptViewportOrg);
    m_hDC->attr.ptViewportOrg = QPoint(x, y);
    return ptOld;
}

CPoint CDC::GetViewportOrg() const
{
    return m_hDC == nullptr ? CPoint() : FromQPoint(m_hDC->attr.ptViewportOrg);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    if (m_hDC == nullptr)
        return CSize();
    const CSize old = m_hDC->attr.sizeWindowExt;
    m_hDC->attr.sizeWindowExt = CSize(cx, cy);
    return old;
}

CSize CDC::GetWindowExt() const
{
    return m_hDC == nullptr ? CSize() : m_hDC->attr.sizeWindowExt;
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    if (m_hDC == nullptr)
        return CSize();
    const CSize old = m_hDC->attr.sizeViewportExt;
    m_hDC->attr.sizeViewportExt = CSize(cx, cy);
    return old;
}

CSize CDC::GetViewportExt() const
{
    return m_hDC == nullptr ? CSize() : m_hDC->attr.sizeViewportExt;
}

void CDC::LPtoDP(LPPOINT pPoints, int nCount) const
{
    const QPoint offset = m_hDC == nullptr ? QPoint() : m_hDC->Offset();
    for (int i = 0; i < nCount; ++i)
    {
        pPoints[i].x += offset.x();
        pPoints[i].y += offset.y();
    }
}

void CDC::LPtoDP(LPRECT pRect) const
{
    LPtoDP(reinterpret_cast<LPPOINT>(pRect), 2);
}

void CDC::DPtoLP(LPPOINT pPoints, int nCount) const
{
    const QPoint offset = m_hDC == nullptr ? QPoint() : m_hDC->Offset();
    for (int i = 0; i < nCount; ++i)
    {
        pPoints[i].x -= offset.x();
        pPoints[i].y -= offset.y();
    }
}

void CDC::DPtoLP(LPRECT pRect) const
{
    DPtoLP(reinterpret_cast<LPPOINT>(pRect), 2);
}

int CDC::GetClipBox(LPRECT pRect) const
{
    if (m_hDC == nullptr || pRect == nullptr)
        return RGN_ERROR;
    QRegion region(m_hDC->pSurface ? m_hDC->pSurface->image.rect() : QRect());
    if (const std::optional<QRegion> clip = m_hDC->Clip())
        region &= *clip;
    CRect r = FromQRect(region.boundingRect());
    if (region.isEmpty())
        r = CRect();
    DPtoLP(&r);
    *pRect = r;
    if (region.isEmpty())
        return NULLREGION;
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL CDC::PtVisible(int x, int y) const
{
    CRect r(x, y, x + 1, y + 1);
    return RectVisible(&r);
}

BOOL CDC::RectVisible(LPCRECT pRect) const
{
    if (m_hDC == nullptr || pRect == nullptr || !m_hDC->pSurface)
        return FALSE;
    CRect r(*pRect);
    LPtoDP(&r);
    QRegion region(m_hDC->pSurface->image.rect());
    if (const std::optional<QRegion> clip = m_hDC->Clip())
        region &= *clip;
    return region.intersects(ToQRect(r)) ? TRUE : FALSE;
}

int CDC::SaveDC()
{
    if (m_hDC == nullptr)
        return 0;
    CDcAttributes copy = m_hDC->attr;
    // A saved state keeps its objects selected so that they survive until restored.
    gdi::Select(copy.hFont);
    gdi::Select(copy.hPen);
    gdi::Select(copy.hBrush);
    m_hDC->saved.push_back(copy);
    return static_cast<int>(m_hDC->saved.size());
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    if (m_hDC == nullptr)
        return FALSE;
    std::vector<CDcAttributes>& saved = m_hDC->saved;
    const int nCount = static_cast<int>(saved.size());
    const int nIndex = nSavedDC < 0 ? nCount + nSavedDC : nSavedDC - 1;
    if (nIndex < 0 || nIndex >= nCount)
        return FALSE;
    CDcAttributes& current = m_hDC->attr;
    gdi::Deselect(current.hFont);
    gdi::Deselect(current.hPen);
    gdi::Deselect(current.hBrush);
    current = saved[nIndex];
    // The states saved after the restored one are dropped.
    for (int i = nIndex + 1; i < nCount; ++i)
    {
        gdi::Deselect(saved[i].hFont);
        gdi::Deselect(saved[i].hPen);
        gdi::Deselect(saved[i].hBrush);
    }
    saved.resize(nIndex);
    return TRUE;
}
