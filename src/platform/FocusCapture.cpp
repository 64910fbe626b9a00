// Mouse capture, keyboard focus, leave tracking and the cursor position.
#include "platform/internal/MsgPump.h"
#include "platform/internal/WndHost.h"

#include <QCursor>

#include <algorithm>
#include <vector>

namespace
{

HWND g_hWndCapture = nullptr;
HWND g_hWndFocus = nullptr;
std::vector<HWND> g_leaveTracked;

} // namespace

namespace wnd
{

HWND CaptureWindow()
{
    return g_hWndCapture;
}

HWND FocusWindow()
{
    return g_hWndFocus;
}

bool StopLeaveTracking(HWND hWnd)
{
    auto it = std::find(g_leaveTracked.begin(), g_leaveTracked.end(), hWnd);
    if (it == g_leaveTracked.end())
        return false;
    g_leaveTracked.erase(it);
    return true;
}

void ForgetWindow(HWND hWnd)
{
    if (g_hWndCapture == hWnd)
    {
        if (CWndHost* pHost = HostOf(hWnd))
            wnd::ReleaseMouse(pHost->Client());
        g_hWndCapture = nullptr;
    }
    if (g_hWndFocus == hWnd)
        g_hWndFocus = nullptr;
    g_leaveTracked.erase(std::remove(g_leaveTracked.begin(), g_leaveTracked.end(), hWnd),
                         g_leaveTracked.end());
}

void CheckMouseLeave(QPoint ptGlobal)
{
    if (g_leaveTracked.empty())
        return;
    CWnd* pUnder = CWnd::WindowFromPoint(POINT{ptGlobal.x(), ptGlobal.y()});
    const HWND hUnder = pUnder != nullptr ? pUnder->GetSafeHwnd() : nullptr;
    std::vector<HWND> left;
    for (HWND h : g_leaveTracked)
    {
        if (h != hUnder)
            left.push_back(h);
    }
    for (HWND h : left)
    {
        g_leaveTracked.erase(std::remove(g_leaveTracked.begin(), g_leaveTracked.end(), h),
                             g_leaveTracked.end());
        PostMessage(h, WM_MOUSELEAVE, 0, 0);
    }
}

} // namespace wnd

HWND SetCapture(HWND hWnd)
{
    CWndHost* pHost = wnd::HostOf(hWnd);
    const HWND hOld = g_hWndCapture;
    if (pHost == nullptr || hOld == hWnd)
        return hOld;
    if (CWndHost* pOld = wnd::HostOf(hOld))
        wnd::ReleaseMouse(pOld->Client());
    g_hWndCapture = hWnd;
    if (pHost->Client()->isVisible())
        wnd::GrabMouse(pHost->Client());
    if (CWnd* pOld = wnd::WndOf(hOld))
        msg::Call(pOld, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return hOld;
}

BOOL ReleaseCapture()
{
    const HWND hOld = g_hWndCapture;
    if (hOld == nullptr)
        return TRUE;
    g_hWndCapture = nullptr;
    if (CWndHost* pOld = wnd::HostOf(hOld))
    {
        wnd::ReleaseMouse(pOld->Client());
        msg::Call(pOld->m_pWnd, WM_CAPTURECHANGED, 0, 0);
    }
    // The window under the pointer has had no moves while another held it.
    wnd::QueuePointerRecheck();
    return TRUE;
}

HWND GetCapture()
{
    return g_hWndCapture;
}

HWND GetFocus()
{
    return g_hWndFocus;
}

CWnd* CWnd::SetCapture()
{
    return FromHandle(::SetCapture(GetSafeHwnd()));
}

CWnd* CWnd::GetCapture()
{
    return FromHandle(::GetCapture());
}

CWnd* CWnd::GetFocus()
{
    return FromHandle(g_hWndFocus);
}

CWnd* CWnd::SetFocus()
{
    CWndHost* pHost = wnd::HostOf(this);
    const HWND hOld = g_hWndFocus;
    CWnd* pOld = FromHandle(hOld);
    if (pHost == nullptr || hOld == pHost->m_hWnd)
        return pOld;
    const HWND hNew = pHost->m_hWnd;
    g_hWndFocus = hNew;
    // Each top-level window remembers where its focus was, for when it is activated again.
    if (CWndHost* pTop = wnd::HostOfWidget(pHost->window()))
        pTop->m_hWndSavedFocus = hNew;
    if (pOld != nullptr)
        msg::Call(pOld, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hNew), 0);
    if (g_hWndFocus == hNew && wnd::HostOf(hNew) == pHost)
    {
        // Qt routes the keys to the focused widget.
        pHost->Client()->setFocus(Qt::OtherFocusReason);
        QWidget* pTop = pHost->window();
        if (pTop->isVisible() && !pTop->isActiveWindow() &&
            !(pTop->windowFlags() & Qt::WindowDoesNotAcceptFocus))
            pTop->activateWindow();
        msg::Call(this, WM_SETFOCUS, reinterpret_cast<WPARAM>(hOld), 0);
    }
    return pOld;
}

namespace wnd
{

void KillFocusOnDeactivate(CWndHost* pTop, HWND hNewActive)
{
    CWndHost* pFocus = wnd::HostOf(g_hWndFocus);
    if (pFocus == nullptr || pFocus->window() != pTop)
        return;
    const HWND hFocus = g_hWndFocus;
    g_hWndFocus = nullptr;
    pTop->m_hWndSavedFocus = hFocus;
    msg::Call(pFocus->m_pWnd, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hNewActive), 0);
}

} // namespace wnd

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT pEventTrack)
{
    if (pEventTrack == nullptr || wnd::HostOf(pEventTrack->hwndTrack) == nullptr)
        return FALSE;
    const HWND h = pEventTrack->hwndTrack;
    g_leaveTracked.erase(std::remove(g_leaveTracked.begin(), g_leaveTracked.end(), h),
                         g_leaveTracked.end());
    if ((pEventTrack->dwFlags & TME_CANCEL) || !(pEventTrack->dwFlags & TME_LEAVE))
        return TRUE;
    // Where the pointer was for the message being handled (the cursor may have moved since).
    const QPoint ptCursor = QCursor::pos();
    const CPoint pt = msg::Depth() > 0 ? CPoint(static_cast<LPARAM>(GetMessagePos()))
                                       : CPoint(ptCursor.x(), ptCursor.y());
    CWnd* pUnder = CWnd::WindowFromPoint(pt);
    if (pUnder == nullptr || pUnder->GetSafeHwnd() != h)
        PostMessage(h, WM_MOUSELEAVE, 0, 0);
    else
        g_leaveTracked.push_back(h);
    return TRUE;
}

BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT pEventTrack)
{
    return TrackMouseEvent(pEventTrack);
}

BOOL GetCursorPos(LPPOINT pPoint)
{
    if (pPoint == nullptr)
        return FALSE;
    const QPoint pt = QCursor::pos();
    *pPoint = POINT{pt.x(), pt.y()};
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    QCursor::setPos(x, y);
    return TRUE;
}
