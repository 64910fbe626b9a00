// Painting: what needs painting, painting now, scrolling the client area, the window's own
// scroll bars, and the window device contexts.
#include "platform/System.h"
#include "platform/internal/DcData.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace
{

QRegion RegionOf(CWndHost* pHost, LPCRECT pRect, CRgn* pRgn)
{
    if (pRgn != nullptr && pRgn->m_hObject != nullptr)
        return static_cast<HRGN__*>(pRgn->m_hObject)->region;
    if (pRect != nullptr)
        return QRegion(ToQRect(*pRect).normalized());
    return QRegion(pHost->ClientRect());
}

// Paints the window now (and its descendants when asked), then lets the screen follow.
void PaintNow(CWndHost* pHost, bool bChildren)
{
    if (pHost == nullptr || pHost->m_pWnd == nullptr || !pHost->Client()->isVisible())
        return;
    // As on Windows, a child clipped away by its parents has nothing to paint now: what is
    // pending waits until it comes into view (a long list would otherwise draw every row).
    if (!pHost->IsTopLevel() && pHost->Client()->visibleRegion().isEmpty())
        return;
    const QRegion region = pHost->m_rgnUpdate;
    pHost->PaintPending();
    // The screen follows at once, unless Qt is painting already (it then shows the result).
    if (!region.isEmpty() && wnd::InQtPaint())
        pHost->Client()->update(region);
    else if (!region.isEmpty())
        pHost->Client()->repaint(region);
    if (bChildren)
    {
        for (CWndHost* pChild : wnd::Children(pHost))
            PaintNow(pChild, true);
    }
}

void InvalidateTree(CWndHost* pHost, const QRegion& region, bool bErase)
{
    pHost->Invalidate(region, bErase);
    for (CWndHost* pChild : wnd::Children(pHost))
    {
        const QRegion part = region.translated(-pChild->pos());
        if (!part.intersected(pChild->rect()).isEmpty())
            InvalidateTree(pChild, QRegion(pChild->Client()->rect()), bErase);
    }
}

} // namespace

void CWnd::Invalidate(BOOL bErase)
{
    InvalidateRect(nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT pRect, BOOL bErase)
{
    if (CWndHost* pHost = wnd::HostOf(this))
        pHost->Invalidate(RegionOf(pHost, pRect, nullptr), bErase != FALSE);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase)
{
    if (CWndHost* pHost = wnd::HostOf(this))
        pHost->Invalidate(RegionOf(pHost, nullptr, pRgn), bErase != FALSE);
}

void CWnd::ValidateRect(LPCRECT pRect)
{
    if (CWndHost* pHost = wnd::HostOf(this))
        pHost->m_rgnUpdate -= RegionOf(pHost, pRect, nullptr);
}

BOOL CWnd::GetUpdateRect(LPRECT pRect, BOOL)
{
    CWndHost* pHost = wnd::HostOf(this);
    const QRegion region = pHost == nullptr ? QRegion() : pHost->m_rgnUpdate;
    if (pRect != nullptr)
        *pRect = region.isEmpty() ? CRect() : FromQRect(region.boundingRect());
    return region.isEmpty() ? FALSE : TRUE;
}

void CWnd::UpdateWindow()
{
    PaintNow(wnd::HostOf(this), false);
}

BOOL CWnd::RedrawWindow(LPCRECT pRectUpdate, CRgn* pRgnUpdate, UINT nFlags)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return FALSE;
    const QRegion region = RegionOf(pHost, pRectUpdate, pRgnUpdate);
    const bool bChildren = (nFlags & RDW_ALLCHILDREN) != 0;
    if (nFlags & RDW_INVALIDATE)
    {
        const bool bErase = (nFlags & RDW_ERASE) != 0;
        if (bChildren)
            InvalidateTree(pHost, region, bErase);
        else
            pHost->Invalidate(region, bErase);
    }
    if (nFlags & RDW_VALIDATE)
        pHost->m_rgnUpdate -= region;
    if (nFlags & RDW_UPDATENOW)
        PaintNow(pHost, bChildren);
    return TRUE;
}

BOOL RedrawWindow(HWND hWnd, LPCRECT pRectUpdate, HRGN hRgnUpdate, UINT nFlags)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    return pWnd != nullptr && pWnd->RedrawWindow(pRectUpdate, CRgn::FromHandle(hRgnUpdate), nFlags);
}

void CWnd::ScrollWindow(int xAmount, int yAmount, LPCRECT pRect, LPCRECT pClipRect)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || (xAmount == 0 && yAmount == 0))
        return;
    const QRect client = pHost->ClientRect();
    const QRect area = pRect != nullptr ? ToQRect(*pRect).normalized() & client : client;
    const QRect clip = pClipRect != nullptr ? ToQRect(*pClipRect).normalized() & client : client;
    const QPoint delta(xAmount, yAmount);
    // Pixels move inside the area and the clip; what they leave needs painting.
    const std::shared_ptr<CSurface> pSurface = pHost->Surface();
    if (!pSurface->image.isNull())
    {
        const QImage moved = pSurface->image.copy(area);
        // A device context may be drawing on the back buffer: share its painter.
        QPainter* p = pSurface->AcquirePainter();
        p->save();
        p->resetTransform();
        p->setClipRect(clip);
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(area.topLeft() + delta, moved);
        p->restore();
        pSurface->ReleasePainter();
    }
    const QRegion uncovered = QRegion(area & clip) - QRegion(area.translated(delta) & clip);
    const QRegion pending = pHost->m_rgnUpdate & area;
    pHost->m_rgnUpdate = (pHost->m_rgnUpdate - area) + (pending.translated(delta) & area);
    pHost->Invalidate(uncovered, true);
    pHost->Client()->update();
    if (pRect == nullptr)
    {
        const std::vector<CWndHost*> children = wnd::Children(pHost);
        for (CWndHost* pChild : children)
        {
            pChild->ApplyGeometry(pChild->geometry().translated(delta));
        }
        // Another child may be under the pointer now, which did not move.
        if (!children.empty())
            wnd::QueuePointerRecheck();
    }
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO pScrollInfo, BOOL)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || pScrollInfo == nullptr || (nBar != SB_HORZ && nBar != SB_VERT))
        return FALSE;
    CScrollBarState& s = pHost->m_bars[nBar];
    const UINT nMask = pScrollInfo->fMask;
    if (nMask & SIF_RANGE)
    {
        s.nMin = pScrollInfo->nMin;
        s.nMax = std::max(pScrollInfo->nMin, pScrollInfo->nMax);
    }
    if (nMask & SIF_PAGE)
        s.nPage = std::min<UINT>(pScrollInfo->nPage, static_cast<UINT>(s.nMax - s.nMin + 1));
    if (nMask & SIF_POS)
        s.nPos = pScrollInfo->nPos;
    s.nPos = std::clamp(s.nPos, s.nMin, s.MaxPos());
    if (nMask & (SIF_RANGE | SIF_PAGE))
    {
        // A bar is needed while the range exceeds the page; otherwise it goes, or stays disabled.
        const bool bNeeded =
            s.nPage > 0 ? static_cast<int>(s.nPage) <= s.nMax - s.nMin : s.nMax > s.nMin;
        const DWORD dwBit = nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
        s.bEnabled = bNeeded;
        if (bNeeded || (nMask & SIF_DISABLENOSCROLL))
            pHost->m_dwStyle |= dwBit;
        else
            pHost->m_dwStyle &= ~dwBit;
    }
    pHost->SyncScrollBar(nBar);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO pScrollInfo, UINT nMask)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || pScrollInfo == nullptr || (nBar != SB_HORZ && nBar != SB_VERT))
        return FALSE;
    const CScrollBarState& s = pHost->m_bars[nBar];
    if (nMask & SIF_RANGE)
    {
        pScrollInfo->nMin = s.nMin;
        pScrollInfo->nMax = s.nMax;
    }
    if (nMask & SIF_PAGE)
        pScrollInfo->nPage = s.nPage;
    if (nMask & SIF_POS)
        pScrollInfo->nPos = s.nPos;
    if (nMask & SIF_TRACKPOS)
        pScrollInfo->nTrackPos = s.nTrackPos;
    pScrollInfo->fMask = nMask;
    return TRUE;
}

int CWnd::SetScrollPos(int nBar, int nPos, BOOL bRedraw)
{
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, nPos, 0};
    const int nOld = GetScrollPos(nBar);
    SetScrollInfo(nBar, &si, bRedraw);
    return nOld;
}

int CWnd::GetScrollPos(int nBar) const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || (nBar != SB_HORZ && nBar != SB_VERT))
        return 0;
    return pHost->m_bars[nBar].nPos;
}

void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw)
{
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    SetScrollInfo(nBar, &si, bRedraw);
}

void CWnd::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const
{
    CWndHost* pHost = wnd::HostOf(this);
    const bool bValid = pHost != nullptr && (nBar == SB_HORZ || nBar == SB_VERT);
    if (lpMinPos != nullptr)
        *lpMinPos = bValid ? pHost->m_bars[nBar].nMin : 0;
    if (lpMaxPos != nullptr)
        *lpMaxPos = bValid ? pHost->m_bars[nBar].nMax : 0;
}

int CWnd::GetScrollLimit(int nBar)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || (nBar != SB_HORZ && nBar != SB_VERT))
        return 0;
    return pHost->m_bars[nBar].MaxPos();
}

void CWnd::ShowScrollBar(UINT nBar, BOOL bShow)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return;
    for (int n : {SB_HORZ, SB_VERT})
    {
        if (static_cast<int>(nBar) != n && nBar != SB_BOTH)
            continue;
        const DWORD dwBit = n == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
        pHost->m_dwStyle = bShow ? (pHost->m_dwStyle | dwBit) : (pHost->m_dwStyle & ~dwBit);
        pHost->SyncScrollBar(n);
    }
}

CDC* CWnd::GetDC()
{
    return wnd::HostOf(this) == nullptr ? nullptr : new CClientDC(this);
}

int CWnd::ReleaseDC(CDC* pDC)
{
    delete pDC;
    return pDC != nullptr ? 1 : 0;
}

BOOL CWnd::GrabClientImage(CBitmap& bitmap)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || bitmap.m_hObject != nullptr)
        return FALSE;
    const QImage image = pHost->Client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return bitmap.Attach(gdi::NewBitmap(image));
}

void CDC::AttachToWindow(CWnd* pWnd, bool bPaint)
{
    CWndHost* pHost = wnd::HostOf(pWnd);
    m_hDC = new HDC__;
    m_hDC->pOwner = this;
    dc::SetSelected(m_hDC->attr.hFont, GetDefaultGuiFont()->m_hObject);
    dc::SetSelected(m_hDC->attr.hPen, GetStockObject(BLACK_PEN));
    dc::SetSelected(m_hDC->attr.hBrush, GetStockObject(WHITE_BRUSH));
    if (pHost == nullptr)
        return;
    m_hDC->pSurface = pHost->Surface();
    if (bPaint)
        m_hDC->clipSystem = pHost->m_bInPaint ? pHost->m_rgnPainting : QRegion();
    else
        m_hDC->hWndFlush = pHost->m_hWnd;
}

CPaintDC::CPaintDC(CWnd* pWnd)
{
    AttachToWindow(pWnd, true);
    CWndHost* pHost = wnd::HostOf(pWnd);
    m_hWnd = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
    m_ps.hdc = m_hDC;
    m_ps.rcPaint = m_hDC->clipSystem ? FromQRect(m_hDC->clipSystem->boundingRect()) : CRect();
    if (pHost != nullptr && pHost->m_bInPaint && pHost->m_bPaintErase)
    {
        // BeginPaint erases first when that was asked for.
        pHost->m_bPaintErase = false;
        m_ps.fErase = msg::Call(pWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_hDC), 0) == 0;
    }
}

CPaintDC::~CPaintDC() = default;

CClientDC::CClientDC(CWnd* pWnd)
{
    AttachToWindow(pWnd, false);
    m_hWnd = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

CClientDC::~CClientDC()
{
    // What was drawn reaches the screen with the next paint of the window system.
    if (CWndHost* pHost = wnd::HostOf(m_hWnd); pHost != nullptr && !m_hDC->rgnDrawn.isEmpty())
        pHost->Client()->update(m_hDC->rgnDrawn);
}
