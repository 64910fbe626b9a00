// Window state: styles, text, control ids, relations, enabling and activation.
#include "platform/System.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QApplication>

#include <algorithm>

DWORD CWnd::GetStyle() const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return 0;
    DWORD dwStyle = pHost->m_dwStyle;
    if (!pHost->isHidden())
        dwStyle |= WS_VISIBLE;
    if (pHost->testAttribute(Qt::WA_ForceDisabled))
        dwStyle |= WS_DISABLED;
    return dwStyle;
}

DWORD CWnd::GetExStyle() const
{
    CWndHost* pHost = wnd::HostOf(this);
    return pHost == nullptr ? 0 : pHost->m_dwExStyle;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return FALSE;
    const DWORD dwOld = GetStyle();
    const DWORD dwNew = (dwOld & ~dwRemove) | dwAdd;
    if (dwNew == dwOld)
        return FALSE;
    // Whether it is a child cannot change.
    pHost->m_dwStyle =
        (dwNew & ~(WS_VISIBLE | WS_DISABLED | WS_CHILD)) | (pHost->m_dwStyle & WS_CHILD);
    if ((dwNew ^ dwOld) & WS_DISABLED)
        pHost->setEnabled((dwNew & WS_DISABLED) == 0);
    if ((dwNew ^ dwOld) & WS_VISIBLE)
        pHost->setVisible((dwNew & WS_VISIBLE) != 0);
    if ((dwNew ^ dwOld) & WS_VSCROLL)
        pHost->SyncScrollBar(SB_VERT);
    if ((dwNew ^ dwOld) & WS_HSCROLL)
        pHost->SyncScrollBar(SB_HORZ);
    if (nFlags != 0)
        SetWindowPos(nullptr, 0, 0, 0, 0, nFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return FALSE;
    const DWORD dwNew = (pHost->m_dwExStyle & ~dwRemove) | dwAdd;
    if (dwNew == pHost->m_dwExStyle)
        return FALSE;
    const DWORD dwChanged = dwNew ^ pHost->m_dwExStyle;
    pHost->m_dwExStyle = dwNew;
    if (pHost->IsTopLevel() && (dwChanged & WS_EX_TOPMOST))
    {
        const bool bVisible = pHost->isVisible();
        pHost->setWindowFlag(Qt::WindowStaysOnTopHint, (dwNew & WS_EX_TOPMOST) != 0);
        if (bVisible)
            pHost->show();
    }
    if (nFlags != 0)
        SetWindowPos(nullptr, 0, 0, 0, 0, nFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

LONG CWnd::GetWindowLong(int nIndex) const
{
    switch (nIndex)
    {
    case GWL_STYLE:
        return static_cast<LONG>(GetStyle());
    case GWL_EXSTYLE:
        return static_cast<LONG>(GetExStyle());
    case GWL_ID:
        return GetDlgCtrlID();
    default:
        return 0;
    }
}

LONG CWnd::SetWindowLong(int nIndex, LONG dwNewLong)
{
    const LONG nOld = GetWindowLong(nIndex);
    switch (nIndex)
    {
    case GWL_STYLE:
        ModifyStyle(static_cast<DWORD>(nOld), static_cast<DWORD>(dwNewLong));
        break;
    case GWL_EXSTYLE:
        ModifyStyleEx(static_cast<DWORD>(nOld), static_cast<DWORD>(dwNewLong));
        break;
    case GWL_ID:
        SetDlgCtrlID(dwNewLong);
        break;
    default:
        return 0;
    }
    return nOld;
}

BOOL CWnd::EnableToolTips(BOOL)
{
    return TRUE;
}

void CWnd::SetWindowText(const std::wstring& strText)
{
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strText.c_str()));
}

void CWnd::GetWindowText(std::wstring& strText) const
{
    CWndHost* pHost = wnd::HostOf(this);
    strText = pHost == nullptr ? std::wstring() : pHost->m_strText;
}

std::wstring CWnd::GetWindowText() const
{
    std::wstring strText;
    GetWindowText(strText);
    return strText;
}

int CWnd::GetWindowText(LPWSTR lpszBuffer, int nMaxCount) const
{
    if (lpszBuffer == nullptr || nMaxCount <= 0)
        return 0;
    const std::wstring strText = GetWindowText();
    const size_t n = std::min<size_t>(strText.size(), static_cast<size_t>(nMaxCount - 1));
    strText.copy(lpszBuffer, n);
    lpszBuffer[n] = 0;
    return static_cast<int>(n);
}

int CWnd::GetWindowTextLength() const
{
    return static_cast<int>(GetWindowText().size());
}

int CWnd::GetDlgCtrlID() const
{
    CWndHost* pHost = wnd::HostOf(this);
    return pHost == nullptr ? 0 : static_cast<int>(pHost->m_nID);
}

int CWnd::SetDlgCtrlID(int nID)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || !(pHost->m_dwStyle & WS_CHILD))
        return 0;
    const int nOld = static_cast<int>(pHost->m_nID);
    pHost->m_nID = static_cast<UINT>(nID);
    return nOld;
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    for (CWndHost* pChild : wnd::Children(wnd::HostOf(this)))
    {
        if (static_cast<int>(pChild->m_nID) == nID)
            return pChild->m_pWnd;
    }
    return nullptr;
}

CWnd* CWnd::GetParent() const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return nullptr;
    if (!pHost->IsTopLevel())
    {
        CWndHost* pParent = wnd::HostOfWidget(pHost->parentWidget());
        return pParent != nullptr ? pParent->m_pWnd : nullptr;
    }
    return FromHandle(pHost->m_hWndOwner);
}

CWnd* CWnd::GetOwner() const
{
    CWndHost* pHost = wnd::HostOf(this);
    return pHost == nullptr      ? nullptr
           : pHost->IsTopLevel() ? FromHandle(pHost->m_hWndOwner)
                                 : GetParent();
}

CWnd* CWnd::GetTopLevelParent() const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return nullptr;
    CWndHost* pTop = wnd::HostOfWidget(pHost->window());
    return pTop != nullptr ? pTop->m_pWnd : nullptr;
}

BOOL CWnd::IsChild(const CWnd* pWnd) const
{
    CWndHost* pHost = wnd::HostOf(this);
    CWndHost* pOther = wnd::HostOf(pWnd);
    if (pHost == nullptr || pOther == nullptr || pOther == pHost)
        return FALSE;
    for (CWndHost* p = pOther; p != nullptr && !p->IsTopLevel();)
    {
        p = wnd::HostOfWidget(p->parentWidget());
        if (p == pHost)
            return TRUE;
    }
    return FALSE;
}

CWnd* CWnd::GetWindow(UINT nCmd) const
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return nullptr;
    if (nCmd == GW_CHILD)
    {
        const std::vector<CWndHost*> children = wnd::Children(pHost);
        return children.empty() ? nullptr : children.front()->m_pWnd;
    }
    if (nCmd == GW_OWNER)
        return pHost->IsTopLevel() ? FromHandle(pHost->m_hWndOwner) : nullptr;
    // Siblings of a child window; top-level windows have no order here.
    if (pHost->IsTopLevel())
        return nullptr;
    const std::vector<CWndHost*> siblings = wnd::Children(wnd::HostOfWidget(pHost->parentWidget()));
    auto it = std::find(siblings.begin(), siblings.end(), pHost);
    if (it == siblings.end())
        return nullptr;
    switch (nCmd)
    {
    case GW_HWNDFIRST:
        return siblings.front()->m_pWnd;
    case GW_HWNDLAST:
        return siblings.back()->m_pWnd;
    case GW_HWNDNEXT:
        return std::next(it) == siblings.end() ? nullptr : (*std::next(it))->m_pWnd;
    case GW_HWNDPREV:
        return it == siblings.begin() ? nullptr : (*std::prev(it))->m_pWnd;
    default:
        return nullptr;
    }
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const
{
    std::vector<CWndHost*> children = wnd::Children(wnd::HostOf(this));
    if (bPrevious)
        std::reverse(children.begin(), children.end());
    const size_t n = children.size();
    size_t nStart = 0;
    for (size_t i = 0; i < n; ++i)
    {
        if (children[i]->m_pWnd == pWndCtl)
            nStart = i + 1;
    }
    for (size_t k = 0; k < n; ++k)
    {
        CWndHost* pChild = children[(nStart + k) % n];
        if (pChild->m_pWnd == pWndCtl)
            continue;
        const DWORD dwStyle = pChild->m_pWnd->GetStyle();
        if ((dwStyle & WS_TABSTOP) && (dwStyle & WS_VISIBLE) && !(dwStyle & WS_DISABLED))
            return pChild->m_pWnd;
    }
    return nullptr;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return FALSE;
    const BOOL bWasDisabled = pHost->testAttribute(Qt::WA_ForceDisabled) ? TRUE : FALSE;
    if ((bEnable != FALSE) == (bWasDisabled == FALSE))
        return bWasDisabled;
    const HWND h = pHost->m_hWnd;
    if (!bEnable)
    {
        SendMessage(WM_CANCELMODE);
        if (wnd::HostOf(h) != pHost)
            return bWasDisabled;
    }
    pHost->setEnabled(bEnable != FALSE);
    SendMessage(WM_ENABLE, bEnable ? TRUE : FALSE);
    return bWasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    CWndHost* pHost = wnd::HostOf(this);
    return pHost != nullptr && !pHost->testAttribute(Qt::WA_ForceDisabled);
}

BOOL CWnd::SetForegroundWindow()
{
    CWndHost* pHost = wnd::HostOf(GetTopLevelParent());
    if (pHost == nullptr)
        return FALSE;
    wnd::Raise(pHost);
    pHost->activateWindow();
    return TRUE;
}

CWnd* CWnd::SetActiveWindow()
{
    CWnd* pOld = GetActiveWindow();
    CWndHost* pHost = wnd::HostOf(GetTopLevelParent());
    if (pHost != nullptr && !(pHost->windowFlags() & Qt::WindowDoesNotAcceptFocus))
        pHost->activateWindow();
    return pOld;
}

CWnd* CWnd::GetActiveWindow()
{
    CWndHost* pHost = wnd::HostOfWidget(QApplication::activeWindow());
    return pHost != nullptr ? pHost->m_pWnd : nullptr;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    return pWnd != nullptr && pWnd->SetForegroundWindow();
}

HWND SetActiveWindow(HWND hWnd)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    CWnd* pOld = pWnd != nullptr ? pWnd->SetActiveWindow() : nullptr;
    return pOld != nullptr ? pOld->GetSafeHwnd() : nullptr;
}
