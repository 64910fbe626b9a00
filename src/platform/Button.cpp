// Push buttons: press tracking, the click notification and owner drawing.
#include "platform/Button.h"
#include "platform/System.h"

namespace
{

CPoint PointOf(LPARAM lParam)
{
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

} // namespace

BOOL CButton::Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID)
{
    m_bPushed = false;
    m_bFocused = false;
    m_bTracking = false;
    m_nCheck = 0;
    return CWnd::Create(L"BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

UINT CButton::GetState() const
{
    return static_cast<UINT>(m_nCheck) | (m_bPushed ? BST_PUSHED : 0) |
           (m_bFocused ? BST_FOCUS : 0);
}

void CButton::SetState(BOOL bHighlight)
{
    SendMessage(BM_SETSTATE, bHighlight ? TRUE : FALSE);
}

int CButton::GetCheck() const
{
    return m_nCheck;
}

void CButton::SetCheck(int nCheck)
{
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
}

UINT CButton::GetButtonStyle() const
{
    return GetStyle() & BS_TYPEMASK;
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw)
{
    SendMessage(BM_SETSTYLE, nStyle, bRedraw);
}

void CButton::Repaint()
{
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CButton::Track(CPoint point)
{
    CRect rc;
    GetClientRect(&rc);
    const bool bInside = rc.PtInRect(point) != FALSE;
    if (bInside != m_bPushed)
    {
        m_bPushed = bInside;
        Repaint();
    }
}

void CButton::Click()
{
    CWnd* pParent = GetParent();
    const HWND h = GetSafeHwnd();
    const int nID = GetDlgCtrlID();
    // Last: the parent may destroy this button in its handler.
    if (pParent != nullptr)
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(nID), BN_CLICKED),
                             reinterpret_cast<LPARAM>(h));
}

void CButton::Paint()
{
    CPaintDC dc(this);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (m_bPushed ? ODS_SELECTED : 0) | (m_bFocused ? ODS_FOCUS : 0) |
                    (IsWindowEnabled() ? 0 : ODS_DISABLED) | (m_nCheck != 0 ? ODS_CHECKED : 0);
    dis.hwndItem = GetSafeHwnd();
    dis.hDC = dc.GetSafeHdc();
    GetClientRect(&dis.rcItem);
    if (GetButtonStyle() == BS_OWNERDRAW)
    {
        CWnd* pParent = GetParent();
        if (pParent != nullptr)
            pParent->SendMessage(WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        else
            DrawItem(&dis);
        return;
    }
    // A plain push button: face, raised (or sunken) edge and centred text.
    CRect rc(dis.rcItem);
    dc.FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    dc.DrawEdge(&rc, m_bPushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    if (m_bPushed)
        rc.OffsetRect(1, 1);
    dc.DrawText(GetWindowText(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

BOOL CButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return FALSE;
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult != nullptr)
        *pResult = TRUE;
    return TRUE;
}

LRESULT CButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetFocus() != this)
            SetFocus();
        SetCapture();
        m_bTracking = true;
        m_bPushed = false;
        Track(PointOf(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (m_bTracking && GetCapture() == this)
            Track(PointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
    {
        if (!m_bTracking)
            return 0;
        const bool bClick = m_bPushed;
        m_bTracking = false;
        ReleaseCapture();
        if (m_bPushed)
        {
            m_bPushed = false;
            Repaint();
        }
        if (bClick)
            Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (message == WM_CANCELMODE && GetCapture() == this)
            ReleaseCapture();
        if (m_bTracking && GetCapture() != this)
        {
            m_bTracking = false;
            if (m_bPushed)
            {
                m_bPushed = false;
                Repaint();
            }
        }
        return 0;
    case WM_SETFOCUS:
        m_bFocused = true;
        Repaint();
        return 0;
    case WM_KILLFOCUS:
        m_bFocused = false;
        if (m_bTracking && GetCapture() == this)
            ReleaseCapture();
        m_bPushed = false;
        Repaint();
        return 0;
    case WM_ENABLE:
        Repaint();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !m_bPushed)
        {
            m_bPushed = true;
            Repaint();
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && m_bPushed)
        {
            m_bPushed = false;
            Repaint();
            Click();
        }
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SETTEXT:
        CWnd::DefWindowProc(message, wParam, lParam);
        Repaint();
        return TRUE;
    case WM_GETDLGCODE:
        switch (GetButtonStyle())
        {
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        default:
            return DLGC_BUTTON;
        }
    case BM_GETCHECK:
        return m_nCheck;
    case BM_SETCHECK:
        m_nCheck = static_cast<int>(wParam);
        Repaint();
        return 0;
    case BM_GETSTATE:
        return GetState();
    case BM_SETSTATE:
        if ((wParam != 0) != m_bPushed)
        {
            m_bPushed = wParam != 0;
            Repaint();
        }
        return 0;
    case BM_SETSTYLE:
        ModifyStyle(BS_TYPEMASK, static_cast<DWORD>(wParam) & BS_TYPEMASK);
        if (lParam != 0)
            Repaint();
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}
