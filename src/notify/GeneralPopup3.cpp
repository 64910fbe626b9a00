// CGeneralPopup3: measuring, placing, the item buttons, capture tracking and closing.
#include "notify/GeneralPopup3.h"

#include "platform/System.h"
#include "res/MaskedBitmap.h"
#include "ui/TextMeasure.h"
#include "ui/VelStatic2.h"

#include <algorithm>

namespace
{

constexpr int kFrameHeight = 6;     // item area margins counted into the height
constexpr int kSeparatorHeight = 5; // a separator line and the space around it
constexpr int kWidthExtra = 15;     // right of the longest text
constexpr int kBottomMargin = 30;   // kept free above the work area's bottom
constexpr int kImageX = 6;
constexpr UINT_PTR kCapturePeriod = 50;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kHoverGrey = RGB(200, 200, 200);
constexpr COLORREF kBlack = RGB(0, 0, 0);

} // namespace

std::wstring CGeneralPopup3::s_strChosenKey;
std::wstring CGeneralPopup3::s_strChosenText;
int CGeneralPopup3::s_nChosenValue = -1;
int CGeneralPopup3::s_nChosenValue2 = 0;

CPoint PlacePopup(CPoint ptAnchor, CSize size, const CRect& rcWork)
{
    CPoint pt = ptAnchor;
    // Compared with the edges themselves, so that a work area away from (0, 0) (a second
    // monitor) does not flip every menu.
    if (pt.x + size.cx > rcWork.right)
        pt.x = std::max<LONG>(pt.x - size.cx, rcWork.left);
    if (pt.y + size.cy > rcWork.bottom - kBottomMargin)
        pt.y = std::max<LONG>(pt.y - size.cy, rcWork.top);
    return pt;
}

CGeneralPopup3::CGeneralPopup3()
{
    m_bRoundCorners = false;
    // The window system here is always one that can draw menus flat.
    BOOL bFlat = FALSE;
    if (m_bModernOS && SystemParametersInfo(SPI_GETFLATMENU, 0, &bFlat, 0))
        m_bFlatMenus = bFlat != FALSE;
    s_strChosenKey.clear();
    s_strChosenText.clear();
    s_nChosenValue = -1;
    s_nChosenValue2 = 0;
}

CGeneralPopup3::~CGeneralPopup3()
{
    // The item windows are children of the panel: they go before the box and the popup.
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

void CGeneralPopup3::AddItem(const std::wstring& strImagePath, const std::wstring& strText,
                             int nValue, int nValue2, const std::wstring& strKey)
{
    auto pItem = std::make_unique<CGeneralPopup3Item>();
    pItem->m_strImagePath = strImagePath;
    pItem->m_strText = strText;
    pItem->m_nValue = nValue;
    pItem->m_nValue2 = nValue2;
    pItem->m_strKey = strKey;
    m_listItems.push_back(std::move(pItem));
}

void CGeneralPopup3::AddSeparator()
{
    auto pItem = std::make_unique<CGeneralPopup3Item>();
    pItem->m_bSeparator = true;
    m_listItems.push_back(std::move(pItem));
}

void CGeneralPopup3::Measure()
{
    m_nWidth = 0;
    int h = kFrameHeight;
    for (const auto& pItem : m_listItems)
    {
        if (pItem->m_bSeparator)
        {
            h += kSeparatorHeight;
            continue;
        }
        m_nWidth = std::max(m_nWidth, GetTextWidth(pItem->m_strText) + m_nTextIndent + kWidthExtra);
        h += m_nItemHeight;
    }
    m_nHeight = std::min(h, kMaxHeight);
    // Exactly the maximum fits without a scroll bar.
    if (h > kMaxHeight)
        m_nWidth += kScrollBarRoom;
}

BOOL CGeneralPopup3::Show(CWnd* pOwner, int nMenuId, int x, int y)
{
    Measure();
    m_pOwner = pOwner;
    m_nMenuId = nMenuId;
    m_hWndOwner = pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr;
    SetInitialRect(CRect(CPoint(x, y), CSize(m_nWidth + 2, m_nHeight)));
    if (!Create(pOwner))
    {
        // Nobody else will delete it: the caller hands the popup over.
        if (!m_bDeleteQueued)
        {
            m_bDeleteQueued = true;
            AfxDeleteLater(std::unique_ptr<CWnd>(this));
        }
        return FALSE;
    }
    m_bResizable = false;
    m_pTitleIcon = nullptr;
    ShowTitleButton(IDC_SKIN_CLOSE, false);

    MONITORINFO mi{sizeof(MONITORINFO), {}, {}, 0};
    CRect rcWork(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (GetMonitorInfo(MonitorFromWindow(GetSafeHwnd(), MONITOR_DEFAULTTONEAREST), &mi))
        rcWork = mi.rcWork;
    const CPoint pt = PlacePopup(CPoint(x, y), CSize(m_nWidth + 2, m_nHeight), rcWork);
    SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    CreateItemWindows();
    ShowWindow(SW_SHOW);
    // Enter comes here, not to the window below.
    SetFocus();
    SetTimer(kCaptureTimer, kCapturePeriod);
    return TRUE;
}

void CGeneralPopup3::CreateItemWindows()
{
    m_wndItems.m_bFramed = false;
    if (!m_wndItems.Create(1, 1, m_nWidth, m_nHeight - 2, this))
        return;
    CGeneralSubWindow* pPanel = m_wndItems.CreatePanel();
    if (pPanel == nullptr)
        return;
    const int nRight = m_nWidth - 4;
    int t = 0;
    UINT nID = kFirstItemId + 1;
    for (const auto& pItem : m_listItems)
    {
        if (pItem->m_bSeparator)
        {
            auto pLine = std::make_unique<CVelStatic2>();
            if (pLine->Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, t + 2, nRight, t + 3), pPanel))
            {
                pLine->m_crFace = kHoverGrey;
                pLine->m_crHoverFace = kHoverGrey;
                pLine->m_bHoverFaceEnabled = true;
            }
            m_listButtons.push_back(std::move(pLine));
            t += kSeparatorHeight;
            continue;
        }
        auto pButton = std::make_unique<CVelButton>();
        if (pButton->Create(pItem->m_strText.c_str(), WS_CHILD | WS_VISIBLE,
                            CRect(0, t, nRight, t + m_nItemHeight), pPanel, nID))
        {
            pButton->m_crFace = kWhite;
            pButton->m_crHoverFace = kHoverGrey;
            pButton->m_bHoverFaceEnabled = true;
            pButton->m_crHoverText = kBlack;
            pButton->m_bHoverTextEnabled = true;
            pButton->m_nTextX = m_nTextIndent;
            pButton->m_nTextY = -1;
            if (!pItem->m_strImagePath.empty())
            {
                auto pBitmap = std::make_unique<CMaskedBitmap>(pItem->m_strImagePath);
                const int y = (m_nItemHeight - pBitmap->m_nHeight) / 2;
                pButton->AddImage(pBitmap.release(), kImageX, y, true); // the button owns it
            }
            pButton->m_nValue = pItem->m_nValue;
            pButton->m_nValue2 = pItem->m_nValue2;
            pButton->m_strKey = pItem->m_strKey;
            if (!pItem->m_bEnabled)
                pButton->EnableWindow(FALSE);
        }
        m_listButtons.push_back(std::move(pButton));
        t += m_nItemHeight;
        ++nID;
    }
    pPanel->SetContentSize(10, t);
}

void CGeneralPopup3::OnItemCommand(UINT nID)
{
    for (const auto& pButton : m_listButtons)
    {
        if (pButton->GetSafeHwnd() == nullptr || static_cast<UINT>(pButton->GetDlgCtrlID()) != nID)
            continue;
        s_strChosenKey = pButton->m_strKey;
        s_strChosenText = pButton->GetWindowText();
        s_nChosenValue = pButton->m_nValue;
        s_nChosenValue2 = pButton->m_nValue2;
    }
    Close(WM_POPUP_CHOSEN);
}

void CGeneralPopup3::Close(UINT nMessage)
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    KillTimer(kCaptureTimer);
    if (CWnd::GetCapture() == this)
        ReleaseCapture();
    if (m_hWndOwner != nullptr && IsWindow(m_hWndOwner))
        ::PostMessage(m_hWndOwner, nMessage, static_cast<WPARAM>(m_nMenuId), 0);
    // The object goes once the handler running now has returned (PostNcDestroy).
    DestroyWindow();
}

void CGeneralPopup3::OnOK()
{
    Close(WM_POPUP_DISMISSED);
}

void CGeneralPopup3::OnCancel()
{
    Close(WM_POPUP_DISMISSED);
}

BOOL CGeneralPopup3::PreCreateWindow(CREATESTRUCT& cs)
{
    // A menu: over everything, outside the window manager's placement and the task bar.
    cs.dwExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    return CCustomDialog::PreCreateWindow(cs);
}

void CGeneralPopup3::PostNcDestroy()
{
    CCustomDialog::PostNcDestroy();
    if (m_bDeleteQueued)
        return;
    m_bDeleteQueued = true;
    AfxDeleteLater(std::unique_ptr<CWnd>(this));
}

BOOL CGeneralPopup3::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (nID >= kFirstItemId && nID <= kLastItemId)
    {
        OnItemCommand(nID);
        return TRUE;
    }
    return CCustomDialog::OnCommand(wParam, lParam);
}

void CGeneralPopup3::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kCaptureTimer)
    {
        CCustomDialog::OnTimer(nIDEvent);
        return;
    }
    CPoint pt;
    GetCursorPos(&pt);
    ScreenToClient(&pt);
    CRect rc;
    GetClientRect(&rc);
    const bool bInside = pt.x > 0 && pt.x < rc.Width() && pt.y > 0 && pt.y < rc.Height();
    // Inside, the items get the pointer (hover); outside, the next click anywhere comes here.
    if (bInside)
    {
        if (CWnd::GetCapture() == this)
            ReleaseCapture();
    }
    else if (CWnd::GetCapture() != this)
    {
        SetCapture();
    }
}

void CGeneralPopup3::OnLButtonUp(UINT nFlags, CPoint point)
{
    CCustomDialog::OnLButtonUp(nFlags, point);
    // A click that came faster than the capture timer noticed the pointer inside still arrives
    // here: over an item it chooses that item as a click on the item itself would.
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    if (const CVelButton* pItem = ItemAt(ptScreen))
    {
        OnItemCommand(static_cast<UINT>(pItem->GetDlgCtrlID()));
        return;
    }
    // On the frame, or anywhere outside while the popup holds the pointer: nothing is chosen.
    Close(WM_POPUP_DISMISSED);
}

const CVelButton* CGeneralPopup3::ItemAt(CPoint ptScreen) const
{
    for (const auto& pButton : m_listButtons)
    {
        if (pButton->GetSafeHwnd() == nullptr || !pButton->IsWindowEnabled())
            continue;
        const UINT nID = static_cast<UINT>(pButton->GetDlgCtrlID());
        if (nID < kFirstItemId || nID > kLastItemId)
            continue; // a separator line
        CRect rc;
        pButton->GetWindowRect(&rc);
        CRect rcView;
        m_wndItems.GetWindowRect(&rcView);
        // Only the part of an item that the scrolled view shows.
        if (rc.PtInRect(ptScreen) && rcView.PtInRect(ptScreen))
            return pButton.get();
    }
    return nullptr;
}

void CGeneralPopup3::OnActivateApp(BOOL bActive, DWORD dwThreadID)
{
    CCustomDialog::OnActivateApp(bActive, dwThreadID);
    if (!bActive)
        Close(WM_POPUP_DISMISSED);
}

void CGeneralPopup3::OnKillFocus(CWnd* pNewWnd)
{
    CCustomDialog::OnKillFocus(pNewWnd);
    if (CWnd::GetCapture() == this)
        ReleaseCapture();
}

void CGeneralPopup3::OnPaint()
{
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    if (!m_bFlatMenus)
    {
        dc.DrawEdge(&r, EDGE_RAISED, BF_RECT);
        return;
    }
    const COLORREF cr = GetSysColor(COLOR_GRAYTEXT);
    dc.FillSolidRect(r.left, r.top, r.Width(), 1, cr);
    dc.FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, cr);
    dc.FillSolidRect(r.left, r.top, 1, r.Height(), cr);
    dc.FillSolidRect(r.right - 1, r.top, 1, r.Height(), cr);
}

LRESULT CGeneralPopup3::OnNcHitTest(CPoint)
{
    // Not moved by its top strip as the other skinned windows are.
    return HTCLIENT;
}
