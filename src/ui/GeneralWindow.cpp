#include "ui/GeneralWindow.h"

#include "ui/IdRange.h"

#include <utility>

namespace
{

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kEdge = RGB(100, 100, 100);
// The dialogs' face colour, so that the corners look cut.
const COLORREF kCut = RGB(168, 174, 186);

// Commands of the controls whose clicks the box drops.
constexpr UINT kIdDropClicks = 8007;
constexpr UINT kIdDropDoubleClicks = 8008;

} // namespace

CGeneralWindow::CGeneralWindow()
{
    RegisterGeneralSubWindowClass();
}

CGeneralWindow::~CGeneralWindow()
{
    // While this class is still whole, so that OnDestroy lets the panel go.
    DestroyWindow();
}

BOOL CGeneralWindow::Create(int x, int y, int cx, int cy, CWnd* pParent)
{
    const DWORD dwStyle = WS_CHILD | (m_bVisibleOnCreate ? WS_VISIBLE : 0);
    if (!CWnd::Create(GENERAL_SUB_WINDOW_CLASS, L"", dwStyle, CRect(x, y, x + cx, y + cy), pParent,
                      IDC_GENERAL_SUB_WINDOW))
        return FALSE;
    OnCreated();
    return TRUE;
}

int CGeneralWindow::OnCreated()
{
    return 1;
}

void CGeneralWindow::OnChildCommand(UINT nID)
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
}

CGeneralSubWindow* CGeneralWindow::CreatePanel()
{
    if (GetSafeHwnd() == nullptr)
        return nullptr;
    auto pPanel = std::make_unique<CGeneralSubWindow>();
    if (!pPanel->Create(0, 0, 1, 1, this))
        return nullptr;
    // A panel made before goes as if the box were destroyed.
    if (m_pOwnedPanel != nullptr)
        AfxDeleteLater(std::move(m_pOwnedPanel));
    m_pOwnedPanel = std::move(pPanel);
    SetPanel(m_pOwnedPanel.get());
    return m_pPanel;
}

void CGeneralWindow::SetPanel(CGeneralSubWindow* pPanel)
{
    m_pPanel = pPanel;
    if (m_pPanel != nullptr)
        m_pPanel->m_pOwnerWindow = this;
    LayoutPanel();
}

void CGeneralWindow::LayoutPanel()
{
    if (m_pPanel == nullptr || m_pPanel->GetSafeHwnd() == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int cx = rc.Width() - 3;
    const int cy = rc.Height() - 3;
    m_pPanel->SetViewSize(cx, cy);
    m_pPanel->UpdateScrollBars();
    m_pPanel->SetWindowPos(nullptr, 2, 2, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    m_pPanel->ScrollBy(0, 0);
}

void CGeneralWindow::OnDestroy()
{
    if (m_pOwnedPanel != nullptr)
    {
        // The panel's own handler may be what destroys the box.
        m_pPanel = nullptr;
        AfxDeleteLater(std::move(m_pOwnedPanel));
    }
    CWnd::OnDestroy();
}

void CGeneralWindow::OnPaint()
{
    UpdateChildWindows(this);
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    if (m_bFramed)
        DrawFrame(dc, rc.Width(), rc.Height());
    else
        dc.FillSolidRect(&rc, kWhite);
}

void CGeneralWindow::DrawFrame(CDC& dc, int W, int H)
{
    // Column 0 and row 0 belong to the edge and the corners.
    dc.FillSolidRect(1, 1, W - 1, H - 1, kWhite);
    if (W > 6)
        dc.FillSolidRect(3, 0, W - 6, 1, kEdge);
    if (H > 6)
        dc.FillSolidRect(0, 3, 1, H - 6, kEdge);
    // The points stay grouped by corner.
    // clang-format off
    const POINT cut[] = {
        // top left
        {0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2},
        // top right
        {W - 1, 0}, {W - 2, 0}, {W - 3, 0}, {W - 1, 1}, {W - 2, 1}, {W - 3, 1}, {W - 1, 2},
        {W - 1, 3},
        // bottom left
        {0, H - 1}, {1, H - 1}, {2, H - 1}, {3, H - 1}, {0, H - 2}, {1, H - 2}, {2, H - 2},
        {0, H - 3}, {1, H - 3},
        // bottom right
        {W - 1, H - 1}, {W - 2, H - 1}, {W - 3, H - 1}, {W - 1, H - 2}, {W - 1, H - 3},
    };
    // clang-format on
    for (const POINT& pt : cut)
        dc.SetPixel(pt, kCut);
    const POINT edge[] = {{2, 1}, {3, 1}, {1, 2}, {1, 3}};
    for (const POINT& pt : edge)
        dc.SetPixel(pt, kEdge);
}

BOOL CGeneralWindow::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CGeneralWindow::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    LayoutPanel();
}

BOOL CGeneralWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if ((nID == kIdDropClicks && (nCode == BN_CLICKED || nCode == BN_DOUBLECLICKED)) ||
        (nID == kIdDropDoubleClicks && nCode == BN_DOUBLECLICKED))
        return TRUE;
    if (nCode == 0 && BOX_COMMAND_IDS.Contains(nID))
    {
        OnChildCommand(nID);
        return TRUE;
    }
    if ((nCode == EN_CHANGE || nCode == EN_UPDATE) && EDIT_CHANGE_IDS.Contains(nID))
    {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CGeneralWindow::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(
            WM_SETFOCUS,
            reinterpret_cast<WPARAM>(pOldWnd != nullptr ? pOldWnd->GetSafeHwnd() : nullptr), 0);
}
