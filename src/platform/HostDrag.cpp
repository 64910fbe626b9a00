// Moving and resizing a frameless window by the pointer where no window manager does it, and the
// minimum size the window manager keeps while it resizes.
#include "platform/System.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <algorithm>

QSize CWndHost::MinTrackSize()
{
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize =
        POINT{GetSystemMetrics(SM_CXVIRTUALSCREEN) + 12, GetSystemMetrics(SM_CYVIRTUALSCREEN) + 12};
    msg::Call(m_pWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return QSize(std::max<int>(1, mmi.ptMinTrackSize.x), std::max<int>(1, mmi.ptMinTrackSize.y));
}

void CWndHost::BeginSystemResize()
{
    // Never larger than the window is now: pressing on an edge must not resize it (a placement
    // restored below the minimum stays until the user drags).
    setMinimumSize(MinTrackSize().boundedTo(size()));
    m_bSystemResizing = true;
}

void CWndHost::EndSystemResize()
{
    if (!m_bSystemResizing)
        return;
    m_bSystemResizing = false;
    setMinimumSize(0, 0);
}

void CWndHost::StartManualDrag(LRESULT nHit, QPoint ptGlobal)
{
    m_drag.nHit = nHit;
    m_drag.ptStart = ptGlobal;
    m_drag.rcStart = geometry();
    if (m_pClient->isVisible())
        wnd::GrabMouse(m_pClient);
}

void CWndHost::DragTo(QPoint ptGlobal)
{
    const QPoint d = ptGlobal - m_drag.ptStart;
    const QRect rcStart = m_drag.rcStart;
    if (m_drag.nHit == HTCAPTION)
    {
        ApplyGeometry(rcStart.translated(d));
        return;
    }
    const LRESULT nHit = m_drag.nHit;
    const bool bLeft = nHit == HTLEFT || nHit == HTTOPLEFT || nHit == HTBOTTOMLEFT;
    const bool bRight = nHit == HTRIGHT || nHit == HTTOPRIGHT || nHit == HTBOTTOMRIGHT;
    const bool bTop = nHit == HTTOP || nHit == HTTOPLEFT || nHit == HTTOPRIGHT;
    const bool bBottom = nHit == HTBOTTOM || nHit == HTBOTTOMLEFT || nHit == HTBOTTOMRIGHT;
    CRect r = FromQRect(rcStart);
    if (bLeft)
        r.left += d.x();
    if (bRight)
        r.right += d.x();
    if (bTop)
        r.top += d.y();
    if (bBottom)
        r.bottom += d.y();
    // WM_SIZING sees where the pointer puts the edges, so that the window may keep its own
    // minimum its own way (a skinned dialog moves the right edge whichever edge is dragged).
    static const UINT s_sides[] = {WMSZ_LEFT,     WMSZ_RIGHT,  WMSZ_TOP,        WMSZ_TOPLEFT,
                                   WMSZ_TOPRIGHT, WMSZ_BOTTOM, WMSZ_BOTTOMLEFT, WMSZ_BOTTOMRIGHT};
    const UINT nSide = s_sides[nHit - HTLEFT];
    const HWND h = m_hWnd;
    msg::Call(m_pWnd, WM_SIZING, nSide, reinterpret_cast<LPARAM>(static_cast<RECT*>(&r)));
    if (wnd::HostOf(h) != this)
        return;
    // Then the minimum track size holds; the edge opposite the dragged one stays.
    const QSize minSize = MinTrackSize();
    if (r.Width() < minSize.width())
    {
        if (bLeft)
            r.left = r.right - minSize.width();
        else
            r.right = r.left + minSize.width();
    }
    if (r.Height() < minSize.height())
    {
        if (bTop)
            r.top = r.bottom - minSize.height();
        else
            r.bottom = r.top + minSize.height();
    }
    ApplyGeometry(ToQRect(r));
}

void CWndHost::EndDrag()
{
    m_drag.nHit = HTNOWHERE;
    if (wnd::CaptureWindow() == m_hWnd)
        return;
    wnd::ReleaseMouse(m_pClient);
}
