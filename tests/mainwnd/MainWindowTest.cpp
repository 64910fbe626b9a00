// The main window's frame: what the first view shows, the layout at other sizes and in the game
// view, the view switch, and rows that rebuild the list from their own click.
#include "MessengerTest.h"
#include "support/GuiTest.h"

#include <QCoreApplication>

namespace
{

using MainWindowTest = MessengerTest;

TEST_F(MainWindowTest, FirstViewShowsTheGameList)
{
    Open();
    CRect rcWindow;
    m_dlg.GetWindowRect(&rcWindow);
    EXPECT_EQ(rcWindow.Size(), CSize(220, 220));
    EXPECT_EQ(m_dlg.GetWindowText(), L"Zorvex Messenger");
    EXPECT_EQ(m_dlg.m_nMinWidth, 220);
    EXPECT_EQ(m_dlg.m_nMinHeight, 200);
    EXPECT_TRUE(m_dlg.m_bResizable);
    EXPECT_EQ(m_dlg.m_eView, EView::GameList);

    EXPECT_EQ(RectInParent(m_dlg.m_wndContent), CRect(10, 30, 210, 210));
    EXPECT_TRUE(m_dlg.m_btnBack.GetImages().empty());
    EXPECT_EQ(RectInParent(m_dlg.m_btnBack), CRect(2, 2, 25, 27));
    EXPECT_EQ(m_dlg.m_btnMainMenu.GetWindowText(), L"Main Menu");
    EXPECT_EQ(RectInParent(m_dlg.m_btnMainMenu), CRect(25, 2, 222, 27));
    ASSERT_EQ(m_dlg.m_btnMainMenu.GetImages().size(), 1u);
    EXPECT_EQ(ImageAt(m_dlg.m_btnMainMenu, &m_dlg.m_bmpDropdown), CPoint(162, 11));
    EXPECT_EQ(RectInParent(m_dlg.m_wndList), CRect(2, 27, 199, 179));
    EXPECT_TRUE(Visible(m_dlg.m_wndList));
    for (const CWnd* pHidden : {static_cast<const CWnd*>(&m_dlg.m_stcGameHeader),
                                static_cast<const CWnd*>(&m_dlg.m_stcLineTop),
                                static_cast<const CWnd*>(&m_dlg.m_stcLineBottom),
                                static_cast<const CWnd*>(&m_dlg.m_btnOptions),
                                static_cast<const CWnd*>(&m_dlg.m_btnEnterGame)})
        EXPECT_FALSE(Visible(*pHidden));
    // The check mark of the preferences row is the window's own.
    EXPECT_EQ(g_pbmpCheck1, &m_dlg.m_bmpCheck1);
    EXPECT_GT(g_pbmpCheck1->m_nHeight, 0);
}

TEST_F(MainWindowTest, LayoutFollowsTheSizeInEveryView)
{
    AddGame(L"G1-P02");
    Open();
    m_dlg.m_strCurrentGame = L"G1-P02";
    const struct
    {
        EView eView;
        CSize size;
    } cases[] = {
        {EView::GameList, CSize(220, 200)},    {EView::GameList, CSize(400, 300)},
        {EView::Preferences, CSize(260, 240)}, {EView::Game, CSize(220, 200)},
        {EView::Game, CSize(300, 260)},        {EView::Game, CSize(500, 450)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "view " << static_cast<int>(c.eView) << ", " << c.size.cx
                                        << " x " << c.size.cy);
        m_dlg.SwitchView(c.eView);
        Resize(c.size.cx, c.size.cy);
        const int W = c.size.cx;
        const int H = c.size.cy;
        const CRect rcContent = RectInParent(m_dlg.m_wndContent);
        EXPECT_EQ(rcContent, CRect(10, 30, W - 10, H - 10));
        EXPECT_EQ(RectInParent(m_dlg.m_btnMainMenu), CRect(25, 2, W - 23 + 25, 27));
        EXPECT_EQ(ImageAt(m_dlg.m_btnMainMenu, &m_dlg.m_bmpDropdown), CPoint(W - 58, 11));
        EXPECT_EQ(m_dlg.m_btnMainMenu.GetImages().size(), 1u);
        const bool bGame = c.eView == EView::Game;
        EXPECT_EQ(RectInParent(m_dlg.m_wndList),
                  bGame ? CRect(2, 53, W - 21, H - 67) : CRect(2, 27, W - 21, H - 41));
        EXPECT_EQ(Visible(m_dlg.m_btnOptions), bGame);
        EXPECT_EQ(Visible(m_dlg.m_stcGameHeader), bGame);
        if (!bGame)
            continue;
        EXPECT_EQ(RectInParent(m_dlg.m_stcGameHeader), CRect(2, 27, W - 21, 52));
        EXPECT_EQ(RectInParent(m_dlg.m_stcLineTop), CRect(2, 52, W - 21, 53));
        EXPECT_EQ(RectInParent(m_dlg.m_stcLineBottom), CRect(2, H - 67, W - 21, H - 66));
        EXPECT_EQ(RectInParent(m_dlg.m_btnOptions), CRect(2, H - 66, 92, H - 41));
        EXPECT_EQ(RectInParent(m_dlg.m_btnEnterGame), CRect(92, H - 66, 182, H - 41));
        // The buttons end one pixel above the bottom of the content area.
        EXPECT_EQ(RectInParent(m_dlg.m_btnEnterGame).bottom, rcContent.Height() - 1);
    }
}

TEST_F(MainWindowTest, SwitchViewSetsTheHeader)
{
    Open();
    m_dlg.m_strCurrentGame = L"Campaign7-P03";
    const struct
    {
        EView eView;
        const wchar_t* pszHeader;
        bool bBackArrow;
    } cases[] = {
        {EView::Preferences, L"Preferences", true},
        {EView::Game, L"Game: Campaign7", true},
        {EView::GameList, L"Main Menu", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.eView));
        m_dlg.SwitchView(c.eView);
        EXPECT_EQ(m_dlg.m_eView, c.eView);
        EXPECT_EQ(m_dlg.m_btnMainMenu.GetWindowText(), c.pszHeader);
        EXPECT_EQ(m_dlg.m_btnBack.GetImages().size(), c.bBackArrow ? 1u : 0u);
        if (c.bBackArrow)
        {
            EXPECT_EQ(ImageAt(m_dlg.m_btnBack, &m_dlg.m_bmpBack), CPoint(3, 2));
        }
    }
    // Views 2 and others do not exist: nothing changes.
    m_dlg.SwitchView(static_cast<EView>(2));
    EXPECT_EQ(m_dlg.m_eView, EView::GameList);
    EXPECT_EQ(m_dlg.m_btnMainMenu.GetWindowText(), L"Main Menu");
    // The preferences page has its own rows (MainWindowPreferencesTest), none of the game list.
    m_dlg.SwitchView(EView::Preferences);
    ASSERT_FALSE(m_dlg.m_listRows.empty());
    for (const auto& pRow : m_dlg.m_listRows)
        EXPECT_NE(pRow->GetDlgCtrlID(), int(IDC_PREFERENCES));
}

// A window that opens the game of a clicked game row, rebuilding the list the row is in.
class COpeningMessengerDlg : public CTestMessengerDlg
{
protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        const UINT nID = LOWORD(wParam);
        if (!IDC_GAME_ROWS.Contains(nID))
            return CTestMessengerDlg::OnCommand(wParam, lParam);
        for (const auto& pRow : m_listRows)
        {
            if (static_cast<UINT>(pRow->GetDlgCtrlID()) == nID)
            {
                m_strCurrentGame = pRow->m_strKey;
                SwitchView(EView::Game);
                break;
            }
        }
        return TRUE;
    }
};

TEST_F(MainWindowTest, ARowRebuildingTheListFromItsOwnClickIsSafe)
{
    AddGame(L"G1-P01");
    AddEvents(AddGame(L"G2-P04"), 2);
    COpeningMessengerDlg dlg;
    dlg.SetInitialRect(CRect(100, 100, 320, 320));
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.ShowWindow(SW_SHOW);
    ASSERT_EQ(dlg.m_listRows.size(), 4u);
    CVelButton& second = *dlg.m_listRows[1];
    ASSERT_EQ(second.m_strKey, L"G2-P04");
    Click(second, CPoint(50, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.m_eView, EView::Game);
    EXPECT_EQ(dlg.m_strCurrentGame, L"G2-P04");
    EXPECT_EQ(dlg.m_btnMainMenu.GetWindowText(), L"Game: G2");
    // The count line and one row per event.
    EXPECT_EQ(dlg.m_listRows.size(), 3u);
}

} // namespace
