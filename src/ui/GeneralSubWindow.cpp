#include "ui/GeneralSubWindow.h"

#include "platform/System.h"
#include "ui/IdRange.h"

#include <algorithm>
#include <stdexcept>

namespace
{

constexpr int kLineStep = 10;
constexpr int kWheelNotchPixels = 40;

// Clamps a move of the position nPos by nDelta to 0 ... content - view.
int ClampedDelta(int nPos, int nDelta, int nContent, int nView)
{
    if (nContent < nView)
        return -nPos;
    if (nPos + nDelta + nView > nContent)
        nDelta = nContent - nView - nPos;
    if (nPos + nDelta < 0)
        nDelta = -nPos;
    return nDelta;
}

// How far a scroll-bar code moves the view (negative: towards the end), for the thumb codes
// from the current position nPos to nThumb.
int BarStep(UINT nSBCode, int nView, int nPos, int nThumb)
{
    switch (nSBCode)
    {
    case SB_LINEUP:
        return kLineStep;
    case SB_LINEDOWN:
        return -kLineStep;
    case SB_PAGEUP:
        return nView * 3 / 4;
    case SB_PAGEDOWN:
        return -(nView * 3 / 4);
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return nPos - nThumb;
    default:
        return 0;
    }
}

} // namespace

void RegisterGeneralSubWindowClass()
{
    WNDCLASS wc{};
    if (GetClassInfo(AfxGetInstanceHandle(), GENERAL_SUB_WINDOW_CLASS, &wc))
        return;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    wc.lpszClassName = GENERAL_SUB_WINDOW_CLASS;
    if (!AfxRegisterClass(&wc))
        throw std::runtime_error("cannot register the general window class");
}

CGeneralSubWindow::CGeneralSubWindow()
{
    RegisterGeneralSubWindowClass();
}

CGeneralSubWindow::~CGeneralSubWindow() = default;

BOOL CGeneralSubWindow::Create(int x, int y, int cx, int cy, CWnd* pParent)
{
    return CreatePanel(x, y, cx, cy, pParent);
}

BOOL CGeneralSubWindow::CreatePanel(int x, int y, int cx, int cy, CWnd* pParent)
{
    if (!CWnd::Create(GENERAL_SUB_WINDOW_CLASS, L"", WS_CHILD | WS_VISIBLE,
                      CRect(x, y, x + cx, y + cy), pParent, IDC_GENERAL_SUB_WINDOW))
        return FALSE;
    ModifyStyle(0, WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    SetViewSize(cx, cy);
    UpdateScrollBars();
    OnCreated();
    return TRUE;
}

int CGeneralSubWindow::OnCreated()
{
    return 1;
}

void CGeneralSubWindow::SetViewSize(int cx, int cy)
{
    m_nViewWidth = cx;
    m_nViewHeight = cy;
}

bool CGeneralSubWindow::MeasureView()
{
    CRect rc;
    GetClientRect(&rc);
    const bool bChanged = rc.Width() != m_nViewWidth || rc.Height() != m_nViewHeight;
    SetViewSize(rc.Width(), rc.Height());
    return bChanged;
}

void CGeneralSubWindow::SetBar(int nBar, int nContent, int nView)
{
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = nContent;
    si.nPage = static_cast<UINT>(std::max(0, nView));
    SetScrollInfo(nBar, &si, TRUE);
}

void CGeneralSubWindow::UpdateScrollBars()
{
    if (GetSafeHwnd() == nullptr)
        return;
    SetBar(SB_VERT, m_nContentHeight, m_nViewHeight);
    m_bVScrollOn = true;
    SetBar(SB_HORZ, m_nContentWidth, m_nViewWidth);
    m_bHScrollOn = true;
}

void CGeneralSubWindow::SetContentSize(int cx, int cy)
{
    MeasureView();
    m_nContentWidth = cx;
    m_nContentHeight = cy;
    UpdateScrollBars();
    // A bar that came or went changed the view: the other bar must know.
    if (MeasureView())
        UpdateScrollBars();
    ScrollBy(0, 0);
}

void CGeneralSubWindow::RecalcView()
{
    MeasureView();
    UpdateScrollBars();
    if (MeasureView())
        UpdateScrollBars();
}

void CGeneralSubWindow::Refresh()
{
    MeasureView();
    ScrollBy(0, 0);
    UpdateScrollBars();
}

void CGeneralSubWindow::OnChildCommand(UINT nID)
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
}

CRect CGeneralSubWindow::ContentToView(const CRect& rcContent) const
{
    CRect rc = rcContent;
    rc.OffsetRect(-m_nScrollX, -m_nScrollY);
    return rc;
}

CRect CGeneralSubWindow::ViewToContent(const CRect& rcView) const
{
    CRect rc = rcView;
    rc.OffsetRect(m_nScrollX, m_nScrollY);
    return rc;
}

void CGeneralSubWindow::CenterOn(int x, int y)
{
    MeasureView();
    ScrollBy(x - m_nViewWidth / 2 - m_nScrollX, y - m_nViewHeight / 2 - m_nScrollY);
}

void CGeneralSubWindow::ScrollBy(int dx, int dy)
{
    if (GetSafeHwnd() == nullptr)
        return;
    MeasureView();
    dx = ClampedDelta(m_nScrollX, dx, m_nContentWidth, m_nViewWidth);
    dy = ClampedDelta(m_nScrollY, dy, m_nContentHeight, m_nViewHeight);
    m_nScrollY += dy;
    m_nScrollX += dx;
    SetScrollPos(SB_VERT, m_nScrollY, TRUE);
    SetScrollPos(SB_HORZ, m_nScrollX, TRUE);
    ScrollWindow(-dx, -dy);
}

void UpdateChildWindows(CWnd* pParent)
{
    for (CWnd* pChild = pParent->GetWindow(GW_CHILD); pChild != nullptr;
         pChild = pChild->GetWindow(GW_HWNDNEXT))
        pChild->UpdateWindow();
}

void CGeneralSubWindow::OnPaint()
{
    UpdateChildWindows(this);
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, m_crBackground);
}

BOOL CGeneralSubWindow::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CGeneralSubWindow::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    // Only the panel's own bar, once it is set up.
    if (pScrollBar != nullptr || !m_bVScrollOn)
        return;
    SetFocus();
    const int b = BarStep(nSBCode, m_nViewHeight, m_nScrollY, static_cast<int>(nPos));
    ScrollBy(0, -b);
}

void CGeneralSubWindow::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar != nullptr || !m_bHScrollOn)
        return;
    const int b = BarStep(nSBCode, m_nViewWidth, m_nScrollX, static_cast<int>(nPos));
    ScrollBy(-b, 0);
}

BOOL CGeneralSubWindow::OnMouseWheel(UINT, short zDelta, CPoint)
{
    // Turning away from the user (positive) shows what is above.
    if (zDelta > 0)
        ScrollBy(0, -kWheelNotchPixels);
    else if (zDelta < 0)
        ScrollBy(0, kWheelNotchPixels);
    return TRUE;
}

UINT CGeneralSubWindow::OnGetDlgCode()
{
    return DLGC_WANTALLKEYS;
}

BOOL CGeneralSubWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (nCode == BN_CLICKED && CHILD_CLICK_IDS.Contains(nID))
    {
        OnChildCommand(nID);
        return TRUE;
    }
    const bool bSelection =
        (nCode == LBN_SELCHANGE || nCode == CBN_SELCHANGE) && SELECTION_CHANGE_IDS.Contains(nID);
    const bool bEdit = (nCode == EN_CHANGE || nCode == EN_UPDATE) && EDIT_CHANGE_IDS.Contains(nID);
    if (bSelection || bEdit)
    {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}
