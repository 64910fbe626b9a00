// Window geometry: position, size, z-order, showing, coordinates, hit testing and shapes.
#include "platform/System.h"
#include "platform/internal/GdiData.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace
{

QRect PrimaryScreenRect()
{
    QScreen* pScreen = QGuiApplication::primaryScreen();
    return pScreen != nullptr ? pScreen->geometry() : QRect();
}

// Shows a top-level window, taking the focus unless asked not to or made not to.
void ShowTopLevel(CWndHost* pHost, bool bActivate)
{
    bActivate = bActivate && !(pHost->m_dwExStyle & WS_EX_NOACTIVATE);
    const bool bOld = pHost->testAttribute(Qt::WA_ShowWithoutActivating);
    pHost->setAttribute(Qt::WA_ShowWithoutActivating, !bActivate);
    pHost->show();
    pHost->setAttribute(Qt::WA_ShowWithoutActivating, bOld);
    if (bActivate)
    {
        wnd::Raise(pHost);
        pHost->activateWindow();
    }
}

} // namespace

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return FALSE;
    const HWND h = pHost->m_hWnd;
    const QRect rcOld = pHost->geometry();
    QRect rc = rcOld;
    if (!(nFlags & SWP_NOMOVE))
        rc.moveTopLeft(QPoint(x, y));
    if (!(nFlags & SWP_NOSIZE))
        rc.setSize(QSize(std::max(0, cx), std::max(0, cy)));
    if (rc != rcOld)
        pHost->ApplyGeometry(rc);
    if (wnd::HostOf(h) != pHost)
        return TRUE;
    bool bRaised = false;
    if (!(nFlags & SWP_NOZORDER))
    {
        const HWND hAfter = pWndInsertAfter != nullptr ? pWndInsertAfter->GetSafeHwnd() : HWND_TOP;
        if (hAfter == HWND_TOPMOST || hAfter == HWND_NOTOPMOST)
        {
            ModifyStyleEx(hAfter == HWND_TOPMOST ? 0 : WS_EX_TOPMOST,
                          hAfter == HWND_TOPMOST ? WS_EX_TOPMOST : 0);
            wnd::Raise(pHost);
            bRaised = true;
        }
        else if (hAfter == HWND_TOP)
        {
            wnd::Raise(pHost);
            bRaised = true;
        }
        else if (hAfter == HWND_BOTTOM)
        {
            pHost->lower();
        }
        else if (CWndHost* pAfter = wnd::HostOf(hAfter))
        {
            pHost->stackUnder(pAfter);
        }
    }
    if (nFlags & SWP_FRAMECHANGED)
    {
        pHost->Relayout();
        pHost->NotifyGeometry();
    }
    if (nFlags & SWP_HIDEWINDOW)
        pHost->hide();
    const bool bActivate = !(nFlags & SWP_NOACTIVATE) && pHost->IsTopLevel();
    if (nFlags & SWP_SHOWWINDOW)
    {
        if (pHost->IsTopLevel())
            ShowTopLevel(pHost, bActivate);
        else
            pHost->show();
    }
    else if (bRaised && bActivate && pHost->isVisible() && !(pHost->m_dwExStyle & WS_EX_NOACTIVATE))
    {
        pHost->activateWindow();
    }
    return TRUE;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    SetWindowPos(nullptr, x, y, nWidth, nHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

void CWnd::MoveWindow(LPCRECT pRect, BOOL bRepaint)
{
    if (pRect != nullptr)
        MoveWindow(pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top,
                   bRepaint);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return FALSE;
    const HWND h = pHost->m_hWnd;
    const BOOL bWasVisible = pHost->isHidden() ? FALSE : TRUE;
    const bool bShow = nCmdShow != SW_HIDE;
    if (bShow != (bWasVisible != FALSE))
    {
        SendMessage(WM_SHOWWINDOW, bShow ? TRUE : FALSE, 0);
        if (wnd::HostOf(h) != pHost)
            return bWasVisible;
    }
    if (!pHost->IsTopLevel())
    {
        pHost->setVisible(bShow);
        return bWasVisible;
    }
    switch (nCmdShow)
    {
    case SW_HIDE:
        pHost->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        pHost->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        pHost->showMaximized();
        ShowTopLevel(pHost, true);
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        if (pHost->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
            pHost->showNormal();
        ShowTopLevel(pHost, true);
        break;
    case SW_SHOWNOACTIVATE:
        if (pHost->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
            pHost->showNormal();
        ShowTopLevel(pHost, false);
        break;
    case SW_SHOWNA:
        ShowTopLevel(pHost, false);
        break;
    default:
        ShowTopLevel(pHost, true);
        break;
    }
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    CWndHost* pHost = wnd::HostOf(this);
    return pHost != nullptr && pHost->isVisible();
}

BOOL CWnd::IsIconic() const
{
    CWndHost* pHost = wnd::HostOf(this);
    return pHost != nullptr && pHost->IsTopLevel() && pHost->isMinimized();
}

BOOL CWnd::IsZoomed() const
{
    CWndHost* pHost = wnd::HostOf(this);
    return pHost != nullptr && pHost->IsTopLevel() && pHost->isMaximized();
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* pPlacement) const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || pPlacement == nullptr)
        return FALSE;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(WINDOWPLACEMENT);
    wp.showCmd = IsIconic() ? SW_SHOWMINIMIZED : IsZoomed() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    QRect rcNormal = pHost->IsTopLevel() ? pHost->normalGeometry() : pHost->geometry();
    if (!rcNormal.isValid())
        rcNormal = pHost->geometry();
    wp.rcNormalPosition = FromQRect(rcNormal);
    *pPlacement = wp;
    return TRUE;
}

void CWnd::GetClientRect(LPRECT pRect) const
{
    if (pRect == nullptr)
        return;
    if (GetSafeHwnd() == ::GetDesktopWindow())
    {
        *pRect = CRect(CPoint(0, 0), FromQRect(PrimaryScreenRect()).Size());
        return;
    }
    CWndHost* pHost = wnd::HostOf(this);
    *pRect = pHost == nullptr ? CRect() : FromQRect(pHost->ClientRect());
}

void CWnd::GetWindowRect(LPRECT pRect) const
{
    if (pRect == nullptr)
        return;
    if (GetSafeHwnd() == ::GetDesktopWindow())
    {
        *pRect = FromQRect(PrimaryScreenRect());
        return;
    }
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        *pRect = CRect();
    else if (pHost->IsTopLevel())
        *pRect = FromQRect(pHost->geometry());
    else
        *pRect = FromQRect(QRect(pHost->mapToGlobal(QPoint(0, 0)), pHost->size()));
}

void CWnd::ClientToScreen(LPPOINT pPoint) const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || pPoint == nullptr)
        return;
    const QPoint pt = pHost->Client()->mapToGlobal(ToQPoint(*pPoint));
    *pPoint = POINT{pt.x(), pt.y()};
}

void CWnd::ClientToScreen(LPRECT pRect) const
{
    if (pRect == nullptr)
        return;
    ClientToScreen(reinterpret_cast<LPPOINT>(&pRect->left));
    ClientToScreen(reinterpret_cast<LPPOINT>(&pRect->right));
}

void CWnd::ScreenToClient(LPPOINT pPoint) const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || pPoint == nullptr)
        return;
    const QPoint pt = pHost->Client()->mapFromGlobal(ToQPoint(*pPoint));
    *pPoint = POINT{pt.x(), pt.y()};
}

void CWnd::ScreenToClient(LPRECT pRect) const
{
    if (pRect == nullptr)
        return;
    ScreenToClient(reinterpret_cast<LPPOINT>(&pRect->left));
    ScreenToClient(reinterpret_cast<LPPOINT>(&pRect->right));
}

namespace
{

// The program's top-level window at the point, skipping those that take no input.
CWndHost* TopLevelAt(QPoint ptGlobal)
{
    QWindow* pWindow = QGuiApplication::topLevelAt(ptGlobal);
    CWndHost* pFound = nullptr;
    for (CWndHost* pTop : wnd::TopLevels())
    {
        if (pWindow != nullptr && pTop->windowHandle() == pWindow)
            pFound = pTop;
    }
    if (pFound == nullptr || !(pFound->m_dwExStyle & WS_EX_TRANSPARENT))
        return pFound;
    // Some platforms (offscreen) still report it. Qt does not tell what lies below: the active
    // window if it is there, else the newest.
    CWndHost* pBelow = nullptr;
    for (CWndHost* pTop : wnd::TopLevels())
    {
        if ((pTop->m_dwExStyle & WS_EX_TRANSPARENT) || !pTop->isVisible() ||
            !pTop->ShapeContains(pTop->mapFromGlobal(ptGlobal)))
            continue;
        if (pTop->isActiveWindow())
            return pTop;
        pBelow = pTop;
    }
    return pBelow;
}

} // namespace

CWnd* CWnd::WindowFromPoint(POINT point)
{
    const QPoint ptGlobal(point.x, point.y);
    CWndHost* pCurrent = TopLevelAt(ptGlobal);
    if (pCurrent == nullptr || !pCurrent->isVisible() || !pCurrent->isEnabled() ||
        !pCurrent->ShapeContains(pCurrent->mapFromGlobal(ptGlobal)))
        return nullptr;
    for (;;)
    {
        // Over a scroll bar the point belongs to the window itself.
        if (!pCurrent->ClientRect().contains(pCurrent->Client()->mapFromGlobal(ptGlobal)))
            break;
        CWndHost* pNext = nullptr;
        for (CWndHost* pChild : wnd::Children(pCurrent))
        {
            if (pChild->isVisible() && pChild->ShapeContains(pChild->mapFromGlobal(ptGlobal)))
            {
                pNext = pChild;
                break;
            }
        }
        if (pNext == nullptr || !pNext->isEnabled())
            break;
        pCurrent = pNext;
    }
    return pCurrent->m_pWnd;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return;
    const CRect rcWork = GetMonitorWorkArea(this);
    CWnd* pCenterOn = pAlternateOwner != nullptr ? pAlternateOwner : GetParent();
    CRect rcCenter = rcWork;
    if (pCenterOn != nullptr && pCenterOn->IsWindowVisible() && !pCenterOn->IsIconic())
        pCenterOn->GetWindowRect(&rcCenter);
    CRect rc;
    GetWindowRect(&rc);
    int x = rcCenter.left + (rcCenter.Width() - rc.Width()) / 2;
    int y = rcCenter.top + (rcCenter.Height() - rc.Height()) / 2;
    if (pHost->IsTopLevel())
    {
        x = std::max<int>(rcWork.left, std::min<int>(x, rcWork.right - rc.Width()));
        y = std::max<int>(rcWork.top, std::min<int>(y, rcWork.bottom - rc.Height()));
    }
    else
    {
        CPoint pt(x, y);
        GetParent()->ScreenToClient(&pt);
        x = pt.x;
        y = pt.y;
    }
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::BringWindowToTop()
{
    return SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return 0;
    if (hRgn == nullptr)
    {
        pHost->SetActualRegion(std::nullopt);
    }
    else
    {
        pHost->SetActualRegion(hRgn->region);
        // A handle nobody owns belongs to the window system now.
        if (hRgn->pOwner == nullptr && hRgn->nSelected == 0)
            DeleteObject(hRgn);
    }
    if (bRedraw)
        pHost->update();
    return 1;
}

int CWnd::GetWindowRgn(HRGN hRgn) const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || hRgn == nullptr || !pHost->m_windowRgn)
        return RGN_ERROR;
    hRgn->region = *pHost->m_windowRgn;
    if (hRgn->region.isEmpty())
        return NULLREGION;
    return hRgn->region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HWND WindowFromPoint(POINT point)
{
    CWnd* pWnd = CWnd::WindowFromPoint(point);
    return pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

namespace
{

// The handle forms of the window's own calls: FALSE for a window that is gone.
template <class TCall> BOOL CallOnWindow(HWND hWnd, TCall call)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    if (pWnd == nullptr)
        return FALSE;
    call(*pWnd);
    return TRUE;
}

} // namespace

BOOL GetWindowRect(HWND hWnd, LPRECT pRect)
{
    return CallOnWindow(hWnd, [&](CWnd& wnd) { wnd.GetWindowRect(pRect); });
}

BOOL GetClientRect(HWND hWnd, LPRECT pRect)
{
    return CallOnWindow(hWnd, [&](CWnd& wnd) { wnd.GetClientRect(pRect); });
}

BOOL ScreenToClient(HWND hWnd, LPPOINT pPoint)
{
    return CallOnWindow(hWnd, [&](CWnd& wnd) { wnd.ScreenToClient(pPoint); });
}

BOOL ClientToScreen(HWND hWnd, LPPOINT pPoint)
{
    return CallOnWindow(hWnd, [&](CWnd& wnd) { wnd.ClientToScreen(pPoint); });
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    if (pWnd == nullptr)
        return FALSE;
    const CWnd* pAfter = hWndInsertAfter == HWND_TOP         ? &CWnd::wndTop
                         : hWndInsertAfter == HWND_BOTTOM    ? &CWnd::wndBottom
                         : hWndInsertAfter == HWND_TOPMOST   ? &CWnd::wndTopMost
                         : hWndInsertAfter == HWND_NOTOPMOST ? &CWnd::wndNoTopMost
                                                             : CWnd::FromHandle(hWndInsertAfter);
    return pWnd->SetWindowPos(pAfter, x, y, cx, cy, nFlags);
}

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    return pWnd == nullptr ? 0 : pWnd->SetWindowRgn(hRgn, bRedraw);
}
