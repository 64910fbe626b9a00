// CZorvexMessengerDlg::Layout: the controls for the window's outer size and the current view.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "pbem/PBEMMessageManager.h"

namespace
{

// Inside the content area: the header row from y 2, 25 high; the controls span W - 23.
constexpr int kMargin = 2;
constexpr int kRowHeight = 25;
constexpr int kWidthInset = 23;
constexpr int kListTop = 27;
constexpr int kGameListTop = 53;
constexpr int kLineTop = 52;
// Distances from the window's outer height.
constexpr int kListBottomInset = 68;
constexpr int kGameListBottomInset = 120;
constexpr int kLineBottomInset = 67;
constexpr int kButtonsInset = 66;
constexpr int kEnterGameLeft = 92;
constexpr int kDropdownFromRight = 58;
constexpr int kDropdownY = 11;

constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kMoveSize = SWP_NOZORDER | SWP_NOACTIVATE;

} // namespace

void CZorvexMessengerDlg::Layout()
{
    // The controls are made together right after the content area; a size change while they
    // are being made waits for the Layout at the end of the start-up.
    if (m_wndContent.GetSafeHwnd() == nullptr || m_btnEnterGame.GetSafeHwnd() == nullptr)
        return;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const int W = rcWindow.Width();
    const int H = rcWindow.Height();
    const int nWidth = W - kWidthInset;

    m_wndContent.SetWindowPos(nullptr, 10, 30, W - 20, H - 40, kMoveSize);
    m_btnMainMenu.SetWindowPos(nullptr, 0, 0, nWidth, kRowHeight, kSizeOnly);
    m_btnMainMenu.RemoveImage(&m_bmpDropdown);
    m_btnMainMenu.AddImage(&m_bmpDropdown, W - kDropdownFromRight, kDropdownY, false);

    int nListTop = kListTop;
    int nListHeight = H - kListBottomInset;
    CWnd* const gameControls[] = {&m_stcGameHeader, &m_stcLineTop, &m_stcLineBottom, &m_btnOptions,
                                  &m_btnEnterGame};
    if (m_eView == EView::Game)
    {
        nListTop = kGameListTop;
        nListHeight = H - kGameListBottomInset;
        m_stcGameHeader.RemoveAllTexts();
        if (CurrentGame() != nullptr)
            m_stcGameHeader.SetWindowPos(nullptr, 0, 0, nWidth, kRowHeight, kSizeOnly);
        for (CWnd* pControl : gameControls)
            pControl->ShowWindow(SW_SHOW);
    }
    else
    {
        for (CWnd* pControl : gameControls)
            pControl->ShowWindow(SW_HIDE);
    }

    m_wndList.SetWindowPos(nullptr, kMargin, nListTop, nWidth, nListHeight, kMoveSize);
    m_wndList.RecalcView();
    m_stcLineTop.SetWindowPos(nullptr, kMargin, kLineTop, nWidth, 1, kMoveSize);
    m_stcLineBottom.SetWindowPos(nullptr, kMargin, H - kLineBottomInset, nWidth, 1, kMoveSize);
    m_btnOptions.SetWindowPos(nullptr, kMargin, H - kButtonsInset, 0, 0, kMoveOnly);
    m_btnEnterGame.SetWindowPos(nullptr, kEnterGameLeft, H - kButtonsInset, 0, 0, kMoveOnly);
}
