// CCustomDialog: creation, title and bottom buttons, sizing, hit testing and keys. The drawing
// and the window's shape are in CustomDialogFrame.cpp.
#include "ui/CustomDialog.h"

#include "res/TextIds.h"
#include "ui/SkinImages.h"

namespace
{

constexpr COLORREF kTitleButtonFace = RGB(171, 178, 189);
constexpr COLORREF kBottomButtonFace = RGB(168, 174, 186);
constexpr int kTitleButtonSide = 19;
constexpr int kTitleButtonTop = 3;
constexpr int kFirstTitleButtonFromRight = 27;
constexpr int kTitleButtonStep = 20;
constexpr int kHelpButtonExtraGap = 10;
constexpr int kCaptionHeight = 25;
constexpr int kCornerZone = 10;
constexpr int kEdgeZone = 5;
constexpr int kBottomButtonWidth = 90;
constexpr int kBottomButtonHeight = 28;
constexpr int kBottomButtonsFromBottom = 45;
constexpr int kRightButtonFromRight = 115;
constexpr int kLeftButtonFromRight = 215;

} // namespace

CCustomDialog::CCustomDialog() : CDialog(IDD_CUSTOM_DIALOG) {}

CCustomDialog::CCustomDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

CCustomDialog::~CCustomDialog()
{
    // The buttons are members: their windows must go while the dialog is still whole.
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

void CCustomDialog::PreSubclassWindow()
{
    CDialog::PreSubclassWindow();
    EnableToolTips(TRUE);
}

BOOL CCustomDialog::Create(CWnd* pParentWnd)
{
    return CDialog::Create(IDD_CUSTOM_DIALOG, pParentWnd);
}

INT_PTR CCustomDialog::DoModal()
{
    return CDialog::DoModal();
}

CSkinImages& CCustomDialog::Skin()
{
    if (m_pSkin == nullptr)
    {
        m_pSkin = CSkinImages::GetShared();
        // Never made the shared set: other dialogs would keep using it after this one.
        if (m_pSkin == nullptr)
        {
            m_pOwnSkin = CSkinImages::MakePrivate();
            m_pSkin = m_pOwnSkin.get();
        }
    }
    return *m_pSkin;
}

BOOL CCustomDialog::OnInitDialog()
{
    const BOOL bResult = CDialog::OnInitDialog();
    CSkinImages& skin = Skin();
    if (!skin.IsLoaded())
        skin.Load();
    // Builds the first shape now: the window may not get a WM_SIZE before it is shown.
    CheckWindowRegion(IsMaximizedNow());
    CreateTitleButton(m_btnClose, IDC_SKIN_CLOSE, skin.m_bmpButtonClose, skin.m_bmpButtonCloseHover,
                      Text(IDS_CLOSE));
    CreateTitleButton(m_btnMaximize, IDC_SKIN_MAXIMIZE, skin.m_bmpButtonMaximize,
                      skin.m_bmpButtonMaxHover, Text(IDS_MAXIMIZE));
    CreateTitleButton(m_btnMinimize, IDC_SKIN_MINIMIZE, skin.m_bmpButtonMinimize,
                      skin.m_bmpButtonMinHover, Text(IDS_MINIMIZE));
    CreateTitleButton(m_btnHelp, ID_HELP, skin.m_bmpButtonHelp, skin.m_bmpButtonHelpHover,
                      Text(IDS_HELP));
    LayoutTitleButtons();
    return bResult;
}

void CCustomDialog::CreateTitleButton(CVelButton& button, UINT nID, CMaskedBitmap& bmpNormal,
                                      CMaskedBitmap& bmpHover, const std::wstring& strTooltip)
{
    if (!button.Create(L"", WS_CHILD, CRect(0, 0, kTitleButtonSide, kTitleButtonSide), this, nID))
        return;
    button.m_crFace = kTitleButtonFace;
    button.AddImage(&bmpNormal, 0, 0, false);
    button.AddHoverImage(&bmpHover);
    button.SetTooltipText(strTooltip);
}

void CCustomDialog::OnItemCommand(UINT) {}

CCustomDialog::STitleButton CCustomDialog::TitleButton(UINT nID)
{
    switch (nID)
    {
    case IDC_SKIN_CLOSE:
        return {&CCustomDialog::m_btnClose, &CCustomDialog::m_bShowClose};
    case IDC_SKIN_MAXIMIZE:
        return {&CCustomDialog::m_btnMaximize, &CCustomDialog::m_bShowMaximize};
    case IDC_SKIN_MINIMIZE:
        return {&CCustomDialog::m_btnMinimize, &CCustomDialog::m_bShowMinimize};
    case ID_HELP:
        return {&CCustomDialog::m_btnHelp, &CCustomDialog::m_bShowHelp};
    default:
        return {nullptr, nullptr};
    }
}

void CCustomDialog::ShowTitleButton(UINT nID, bool bShow)
{
    const STitleButton title = TitleButton(nID);
    if (title.pButton == nullptr)
        return;
    this->*title.pShown = bShow;
    CVelButton& button = this->*title.pButton;
    // Before OnInitDialog only the flag is kept, as the buttons are made hidden.
    if (button.GetSafeHwnd() == nullptr)
        return;
    button.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    LayoutTitleButtons();
}

bool CCustomDialog::IsTitleButtonShown(UINT nID) const
{
    const STitleButton title = TitleButton(nID);
    return title.pShown != nullptr && this->*title.pShown;
}

void CCustomDialog::LayoutTitleButtons()
{
    CRect rc;
    GetClientRect(&rc);
    int x = rc.Width() - kFirstTitleButtonFromRight;
    const struct
    {
        CVelButton& button;
        bool bShown;
    } regular[] = {
        {m_btnClose, m_bShowClose},
        {m_btnMaximize, m_bShowMaximize},
        {m_btnMinimize, m_bShowMinimize},
    };
    const UINT nMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    for (const auto& title : regular)
    {
        if (title.button.GetSafeHwnd() == nullptr || !title.bShown)
            continue;
        title.button.SetWindowPos(nullptr, x, kTitleButtonTop, 0, 0, nMoveOnly);
        x -= kTitleButtonStep;
    }
    if (m_btnHelp.GetSafeHwnd() != nullptr && m_bShowHelp)
        m_btnHelp.SetWindowPos(nullptr, x - kHelpButtonExtraGap, kTitleButtonTop, 0, 0, nMoveOnly);
}

void CCustomDialog::CreateBottomButton(CVelButton& button, UINT nID, const std::wstring& strText,
                                       int nLeft)
{
    CRect rc;
    GetClientRect(&rc);
    const int y = rc.Height() - kBottomButtonsFromBottom;
    const CRect rcButton(nLeft, y, nLeft + kBottomButtonWidth, y + kBottomButtonHeight);
    if (!button.Create(strText.c_str(), WS_CHILD | WS_VISIBLE, rcButton, this, nID))
        return;
    button.AddImage(&Skin().m_bmpButtonBlank90, 0, 0, false);
    button.m_eTextAlign = ETextAlign::Center;
    button.m_nTextX = -1;
    button.m_nTextY = -1;
    button.m_crFace = kBottomButtonFace;
    button.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CCustomDialog::AddOkCancelButtons()
{
    CRect rc;
    GetClientRect(&rc);
    CreateBottomButton(m_btnOK, IDOK, Text(IDS_OK), rc.Width() - kLeftButtonFromRight);
    CreateBottomButton(m_btnCancel, IDCANCEL, Text(IDS_CANCEL), rc.Width() - kRightButtonFromRight);
}

void CCustomDialog::AddOkButton()
{
    CRect rc;
    GetClientRect(&rc);
    CreateBottomButton(m_btnOK, IDOK, Text(IDS_OK), rc.Width() - kRightButtonFromRight);
}

void CCustomDialog::AddCloseButton()
{
    CRect rc;
    GetClientRect(&rc);
    CreateBottomButton(m_btnOK, IDOK, Text(IDS_CLOSE), rc.Width() - kRightButtonFromRight);
}

void CCustomDialog::PlaceBottomButtons()
{
    CRect rc;
    GetClientRect(&rc);
    const int y = rc.Height() - kBottomButtonsFromBottom;
    const UINT nMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    const bool bCancel = m_btnCancel.GetSafeHwnd() != nullptr;
    if (m_btnOK.GetSafeHwnd() != nullptr)
    {
        const int nFromRight = bCancel ? kLeftButtonFromRight : kRightButtonFromRight;
        m_btnOK.SetWindowPos(nullptr, rc.Width() - nFromRight, y, 0, 0, nMoveOnly);
    }
    if (bCancel)
        m_btnCancel.SetWindowPos(nullptr, rc.Width() - kRightButtonFromRight, y, 0, 0, nMoveOnly);
}

BOOL CCustomDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_SKIN_CLOSE:
        OnCloseButton();
        return TRUE;
    case IDC_SKIN_MAXIMIZE:
        OnMaximizeButton();
        return TRUE;
    case IDC_SKIN_MINIMIZE:
        OnMinimizeButton();
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CCustomDialog::OnCloseButton()
{
    SendMessage(WM_CLOSE);
}

void CCustomDialog::OnMaximizeButton()
{
    SendMessage(WM_SYSCOMMAND, IsMaximizedNow() ? SC_RESTORE : SC_MAXIMIZE);
}

void CCustomDialog::OnMinimizeButton()
{
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
}

bool CCustomDialog::IsMaximizedNow() const
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    return GetWindowPlacement(&wp) && wp.showCmd == static_cast<UINT>(SW_SHOWMAXIMIZED);
}

void CCustomDialog::OnPaint()
{
    // Children first and at once, so that they never wait for the frame.
    for (CWnd* pChild = GetWindow(GW_CHILD); pChild != nullptr;
         pChild = pChild->GetWindow(GW_HWNDNEXT))
        pChild->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CPaintDC dc(this);
    DrawFrame(&dc);
}

BOOL CCustomDialog::OnEraseBkgnd(CDC*)
{
    // The frame covers the whole window.
    return FALSE;
}

void CCustomDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    CheckWindowRegion(nType == SIZE_MAXIMIZED);
    LayoutTitleButtons();
    PlaceBottomButtons();
    Invalidate(TRUE);
}

void CCustomDialog::OnGetMinMaxInfo(MINMAXINFO* pMMI)
{
    CDialog::OnGetMinMaxInfo(pMMI);
    pMMI->ptMinTrackSize.x = m_nMinWidth;
    pMMI->ptMinTrackSize.y = m_nMinHeight;
}

void CCustomDialog::OnSizing(UINT fwSide, LPRECT pRect)
{
    // Whichever edge is dragged, the right and bottom edges give way.
    if (m_nMinWidth >= pRect->right - pRect->left)
        pRect->right = pRect->left + m_nMinWidth;
    if (m_nMinHeight >= pRect->bottom - pRect->top)
        pRect->bottom = pRect->top + m_nMinHeight;
    CDialog::OnSizing(fwSide, pRect);
}

LRESULT CCustomDialog::OnNcHitTest(CPoint point)
{
    const LRESULT nDefault = CDialog::OnNcHitTest(point);
    if (nDefault != HTCLIENT)
        return nDefault;
    CPoint pt = point;
    ScreenToClient(&pt);
    const int W = m_rcClient.right;
    const int H = m_rcClient.bottom;
    if (m_bResizable && !IsZoomed())
    {
        const bool bLeftCorner = pt.x < kCornerZone;
        const bool bRightCorner = pt.x > W - kCornerZone;
        const bool bTopCorner = pt.y < kCornerZone;
        const bool bBottomCorner = pt.y > H - kCornerZone;
        if (bLeftCorner && bTopCorner)
            return HTTOPLEFT;
        if (bRightCorner && bTopCorner)
            return HTTOPRIGHT;
        if (bLeftCorner && bBottomCorner)
            return HTBOTTOMLEFT;
        if (bRightCorner && bBottomCorner)
            return HTBOTTOMRIGHT;
        if (pt.x < kEdgeZone)
            return HTLEFT;
        if (pt.y < kEdgeZone)
            return HTTOP;
        if (pt.x > W - kEdgeZone)
            return HTRIGHT;
        if (pt.y > H - kEdgeZone)
            return HTBOTTOM;
    }
    return pt.y < kCaptionHeight ? HTCAPTION : HTCLIENT;
}

bool CCustomDialog::WheelReaches(const MSG& msg, const CWnd* pWnd)
{
    for (CWnd* p = CWnd::FromHandle(msg.hwnd); p != nullptr;
         p = (p->GetStyle() & WS_CHILD) ? p->GetParent() : nullptr)
    {
        if (p == pWnd)
            return true;
    }
    return false;
}

BOOL CCustomDialog::PreTranslateMessage(MSG* pMsg)
{
    // Shift+wheel stays with the focused control.
    if (pMsg->message == WM_MOUSEWHEEL && (LOWORD(pMsg->wParam) & MK_SHIFT) == 0)
    {
        // The wheel scrolls what is under the pointer, not only what has the focus: the message
        // goes there instead, once. Its copy arrives with the window under the pointer as its
        // target and stays there.
        const CPoint pt(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam));
        CWnd* pUnder = CWnd::WindowFromPoint(pt);
        if (pUnder != nullptr && pUnder != this && !WheelReaches(*pMsg, pUnder))
        {
            pUnder->PostMessage(WM_MOUSEWHEEL, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
    }
    else if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
    {
        // Escape never closes a skinned window.
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}
