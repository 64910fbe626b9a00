// Message dispatch: WindowProc unpacks each message for its handler; the handlers' base versions
// and DefWindowProc give the framework's default processing.
#include "platform/Button.h"
#include "platform/System.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QCursor>

#include <algorithm>

namespace
{

CPoint PointOf(LPARAM lParam)
{
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

} // namespace

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_SIZING:
        OnSizing(static_cast<UINT>(wParam), reinterpret_cast<LPRECT>(lParam));
        return TRUE;
    case WM_MOVE:
        OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_MBUTTONDOWN:
        OnMButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_MBUTTONUP:
        OnMButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam),
                            PointOf(lParam));
    case WM_NCHITTEST:
        return OnNcHitTest(PointOf(lParam));
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        return DefWindowProc(message, wParam, lParam);
    case WM_DRAWITEM:
        OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_CANCELMODE:
        OnCancelMode();
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam) != 0);
        return 0;
    case WM_ACTIVATEAPP:
        OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
        return 0;
    case WM_ENABLE:
        OnEnable(static_cast<BOOL>(wParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
                  HIWORD(static_cast<WPARAM>(lParam)));
        return 0;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
                HIWORD(static_cast<WPARAM>(lParam)));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
               HIWORD(static_cast<WPARAM>(lParam)));
        return 0;
    case WM_GETDLGCODE:
        return OnGetDlgCode();
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam), nullptr);
        return 0;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), HIWORD(wParam), nullptr);
        return 0;
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::Default()
{
    const MSG& m = msg::Current();
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CWndHost* pHost = wnd::HostOf(this);
    switch (message)
    {
    case WM_PAINT:
    {
        CPaintDC dc(this);
        return 0;
    }
    case WM_ERASEBKGND:
    {
        auto* hbr = pHost != nullptr ? static_cast<HBRUSH__*>(pHost->m_hbrBackground) : nullptr;
        CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
        if (hbr == nullptr || hbr->bNull || pDC == nullptr)
            return FALSE;
        CRect rc;
        GetClientRect(&rc);
        pDC->FillRect(&rc, CBrush::FromHandle(hbr));
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0)
        {
        case SC_CLOSE:
            SendMessage(WM_CLOSE);
            break;
        case SC_MINIMIZE:
            ShowWindow(SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_NCHITTEST:
    {
        CRect rc;
        GetWindowRect(&rc);
        return rc.PtInRect(PointOf(lParam)) ? HTCLIENT : HTNOWHERE;
    }
    case WM_MOUSEWHEEL:
        // The wheel goes up the parents until one takes it.
        if ((GetStyle() & WS_CHILD) && GetParent() != nullptr)
            return GetParent()->SendMessage(message, wParam, lParam);
        return 0;
    case WM_CANCELMODE:
        if (::GetCapture() == GetSafeHwnd())
            ReleaseCapture();
        return 0;
    case WM_ACTIVATE:
        // An activated window gets the focus back, or takes it itself.
        if (LOWORD(wParam) != WA_INACTIVE && pHost != nullptr && HIWORD(wParam) == 0)
        {
            CWnd* pSaved = FromHandle(pHost->m_hWndSavedFocus);
            CWnd* pFocus = GetFocus();
            if (pFocus == nullptr || pFocus->GetTopLevelParent() != GetTopLevelParent())
                (pSaved != nullptr && IsChild(pSaved) ? pSaved : this)->SetFocus();
        }
        return 0;
    case WM_GETMINMAXINFO:
        return 0;
    case WM_SETTEXT:
        if (pHost != nullptr)
        {
            pHost->m_strText = lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : L"";
            if (pHost->IsTopLevel())
                pHost->setWindowTitle(ToQString(pHost->m_strText));
        }
        return TRUE;
    case WM_GETTEXTLENGTH:
        return pHost != nullptr ? static_cast<LRESULT>(pHost->m_strText.size()) : 0;
    case WM_GETTEXT:
    {
        if (pHost == nullptr || lParam == 0 || wParam == 0)
            return 0;
        const size_t n = std::min<size_t>(pHost->m_strText.size(), wParam - 1);
        auto* pBuffer = reinterpret_cast<wchar_t*>(lParam);
        pHost->m_strText.copy(pBuffer, n);
        pBuffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    default:
        return 0;
    }
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessage(GetSafeHwnd(), message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(GetSafeHwnd(), message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void*)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || nIDEvent == 0)
        return 0;
    KillTimer(nIDEvent);
    // The shortest period the framework allows is 10 ms.
    pHost->m_timers[nIDEvent] =
        pHost->startTimer(static_cast<int>(std::clamp<UINT>(nElapse, 10, 0x7FFFFFFF)));
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr)
        return FALSE;
    auto it = pHost->m_timers.find(nIDEvent);
    if (it == pHost->m_timers.end())
        return FALSE;
    pHost->killTimer(it->second);
    pHost->m_timers.erase(it);
    return TRUE;
}

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return static_cast<int>(Default());
}

void CWnd::OnDestroy()
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

void CWnd::OnSize(UINT, int, int)
{
    Default();
}

void CWnd::OnSizing(UINT, LPRECT)
{
    Default();
}

void CWnd::OnMove(int, int)
{
    Default();
}

void CWnd::OnGetMinMaxInfo(MINMAXINFO*)
{
    Default();
}

void CWnd::OnShowWindow(BOOL, UINT)
{
    Default();
}

void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}

void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}

void CWnd::OnLButtonDblClk(UINT, CPoint)
{
    Default();
}

void CWnd::OnRButtonDown(UINT, CPoint)
{
    Default();
}

void CWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
}

void CWnd::OnMButtonDown(UINT, CPoint)
{
    Default();
}

void CWnd::OnMButtonUp(UINT, CPoint)
{
    Default();
}

void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}

void CWnd::OnMouseLeave()
{
    Default();
}

BOOL CWnd::OnMouseWheel(UINT, short, CPoint)
{
    return static_cast<BOOL>(Default());
}

LRESULT CWnd::OnNcHitTest(CPoint)
{
    return Default();
}

void CWnd::OnTimer(UINT_PTR)
{
    Default();
}

BOOL CWnd::OnCommand(WPARAM, LPARAM)
{
    return FALSE;
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    // Owner-drawn controls draw themselves.
    if (lpDrawItemStruct != nullptr)
    {
        if (CWnd* pControl = FromHandle(lpDrawItemStruct->hwndItem))
        {
            LRESULT lResult = 0;
            if (pControl->OnChildNotify(WM_DRAWITEM, static_cast<WPARAM>(lpDrawItemStruct->CtlID),
                                        reinterpret_cast<LPARAM>(lpDrawItemStruct), &lResult))
                return;
        }
    }
    Default();
}

void CWnd::OnClose()
{
    Default();
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::OnCancelMode()
{
    Default();
}

void CWnd::OnCaptureChanged(CWnd*)
{
    Default();
}

void CWnd::OnSetFocus(CWnd*)
{
    Default();
}

void CWnd::OnKillFocus(CWnd*)
{
    Default();
}

void CWnd::OnActivate(UINT, CWnd*, BOOL)
{
    Default();
}

void CWnd::OnActivateApp(BOOL, DWORD)
{
    Default();
}

void CWnd::OnEnable(BOOL)
{
    Default();
}

void CWnd::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}

void CWnd::OnKeyUp(UINT, UINT, UINT)
{
    Default();
}

void CWnd::OnChar(UINT, UINT, UINT)
{
    Default();
}

UINT CWnd::OnGetDlgCode()
{
    return static_cast<UINT>(Default());
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar*)
{
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar*)
{
    Default();
}
