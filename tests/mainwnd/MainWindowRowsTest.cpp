// The rows of the game list (view 0) and of one game (view 3): geometry, texts, icons, counts
// and command ids, from a store built in memory.
#include "MessengerTest.h"
#include "mainwnd/RowText.h"
#include "support/GuiTest.h"

#include <functional>
#include <iterator>
#include <set>
#include <string_view>

namespace
{

using MainWindowRowsTest = MessengerTest;

// The row's rectangle in the list's content.
CRect RowRect(const CZorvexMessengerDlg& dlg, const CVelButton& row)
{
    return dlg.m_wndList.ViewToContent(MessengerTest::RectInParent(row));
}

TEST_F(MainWindowRowsTest, EmptyStoreShowsTheTwoFixedRows)
{
    Open();
    ASSERT_EQ(m_dlg.m_listRows.size(), 2u);
    const CVelButton& prefs = *m_dlg.m_listRows[0];
    const CVelButton& help = *m_dlg.m_listRows[1];
    EXPECT_EQ(prefs.GetWindowText(), L"Preferences");
    EXPECT_EQ(prefs.GetDlgCtrlID(), 2004);
    EXPECT_EQ(RowRect(m_dlg, prefs), CRect(0, 1, 250, 26));
    EXPECT_EQ(ImageAt(prefs, g_pbmpCheck1), CPoint(8, 8));
    EXPECT_EQ(help.GetWindowText(), L"What is this application?");
    EXPECT_EQ(help.GetDlgCtrlID(), 2005);
    EXPECT_EQ(RowRect(m_dlg, help), CRect(0, 26, 250, 51));
    EXPECT_EQ(ImageAt(help, &m_dlg.m_bmpHelp), CPoint(7, 5));
    for (const CVelButton* pRow : {&prefs, &help})
    {
        EXPECT_EQ(pRow->m_nTextX, 27);
        EXPECT_EQ(pRow->m_nTextY, -1);
        EXPECT_EQ(pRow->m_crFace, RGB(255, 255, 255));
        EXPECT_EQ(pRow->m_crHoverFace, RGB(230, 230, 230));
        EXPECT_TRUE(pRow->m_bHoverFaceEnabled);
        EXPECT_EQ(pRow->m_crHoverText, RGB(0, 0, 0));
    }
    EXPECT_EQ(m_dlg.m_wndList.GetContentSize(), CSize(100, 51));
}

TEST_F(MainWindowRowsTest, GameRowCountsItsOwnAndTheSharedEvents)
{
    const struct
    {
        int nOwn;
        int nShared; // -1: no shared entry
        bool bSameInstance;
        int nHeight;
        const wchar_t* pszCount; // null: no count line
    } cases[] = {
        {0, -1, true, 25, nullptr},         {0, 0, true, 25, nullptr},
        {1, -1, true, 41, L"1 New Event"},  {2, 3, true, 41, L"5 New Events"},
        {2, 3, false, 41, L"2 New Events"}, {0, 1, true, 41, L"1 New Event"},
        {0, 4, false, 25, nullptr},
    };
    Open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nOwn << " own, " << c.nShared << " shared, "
                                        << (c.bSameInstance ? "same" : "other") << " instance");
        m_manager.m_store.m_listGames.clear();
        if (c.nShared >= 0)
            AddEvents(AddGame(L"Alpha-P00", c.bSameInstance ? L"I1" : L"I2"), c.nShared);
        AddEvents(AddGame(L"Alpha-P03", L"I1"), c.nOwn);
        m_dlg.Rebuild();

        // The shared entry has no row of its own.
        ASSERT_EQ(m_dlg.m_listRows.size(), 3u);
        const CVelButton& row = *m_dlg.m_listRows[0];
        EXPECT_EQ(row.GetWindowText(), L"Game: Alpha");
        EXPECT_EQ(row.GetDlgCtrlID(), 9000);
        EXPECT_EQ(row.m_strKey, L"Alpha-P03");
        EXPECT_EQ(RowRect(m_dlg, row), CRect(0, 1, 250, 1 + c.nHeight));
        EXPECT_EQ(row.m_nTextX, 27);
        EXPECT_EQ(row.m_nTextY, 6);
        EXPECT_EQ(ImageAt(row, &m_dlg.m_bmpFlagNeutral), CPoint(4, 7));
        if (c.pszCount == nullptr)
        {
            EXPECT_EQ(row.GetImages().size(), 1u);
            EXPECT_TRUE(row.GetTexts().empty());
        }
        else
        {
            EXPECT_EQ(ImageAt(row, &m_dlg.m_bmpYield), CPoint(27, 24));
            ASSERT_EQ(row.GetTexts().size(), 1u);
            EXPECT_EQ(row.GetTexts()[0]->m_strText, c.pszCount);
            EXPECT_EQ(CPoint(row.GetTexts()[0]->m_nX, row.GetTexts()[0]->m_nY), CPoint(42, 24));
        }
        EXPECT_EQ(RowRect(m_dlg, *m_dlg.m_listRows[1]).top, 1 + c.nHeight);
        EXPECT_EQ(m_dlg.m_wndList.GetContentSize(), CSize(100, 1 + c.nHeight + 50));
    }
}

TEST_F(MainWindowRowsTest, GameRowShowsItsOwnFlagWhenLoaded)
{
    CPBEMGameState& game = AddGame(L"Beta-P01");
    game.m_strFlagName = L"Tarn.png";
    game.m_bmpFlag = m_flagLoader.Load(game.m_strFlagName);
    ASSERT_GT(game.m_bmpFlag->m_nHeight, 0);
    Open();
    EXPECT_EQ(ImageAt(*m_dlg.m_listRows[0], game.m_bmpFlag.get()), CPoint(4, 7));
    EXPECT_EQ(ImageAt(*m_dlg.m_listRows[0], &m_dlg.m_bmpFlagNeutral), CPoint(-1, -1));
}

// The row window with the key, or null when that row has no window now.
const CVelButton* RowWindow(const CZorvexMessengerDlg& dlg, const std::wstring& strKey)
{
    for (const auto& pRow : dlg.m_listRows)
    {
        if (pRow->m_strKey == strKey)
            return pRow.get();
    }
    return nullptr;
}

// Scrolls the list so that content y comes to the top of the view (or as near as it goes).
void ScrollListTo(CZorvexMessengerDlg& dlg, int y)
{
    dlg.m_wndList.ScrollBy(0, y - dlg.m_wndList.GetScrollY());
}

TEST_F(MainWindowRowsTest, GameRowIdsStartOverAfterTheRangeAndNameOneRowWindow)
{
    const int nGames = 2100;
    for (int i = 0; i < nGames; ++i)
        AddGame(MakePlayerId(L"G" + std::to_wstring(i), 1));
    Open();
    EXPECT_EQ(m_dlg.m_wndList.GetContentSize().cy, 1 + nGames * 25 + 50);
    for (int i : {0, 100, 101, 999, 1000, 1001, 2099})
    {
        SCOPED_TRACE(i);
        ScrollListTo(m_dlg, 1 + 25 * i);
        const CVelButton* pRow = RowWindow(m_dlg, MakePlayerId(L"G" + std::to_wstring(i), 1));
        ASSERT_NE(pRow, nullptr);
        EXPECT_EQ(pRow->GetDlgCtrlID(), 9000 + i % 1000);
        EXPECT_EQ(RowRect(m_dlg, *pRow), CRect(0, 1 + 25 * i, 250, 26 + 25 * i));
        // Whatever rows have windows, an id of the range is one row's.
        std::set<int> ids;
        for (const auto& pOther : m_dlg.m_listRows)
        {
            const int nID = pOther->GetDlgCtrlID();
            if (IDC_GAME_ROWS.Contains(static_cast<UINT>(nID)))
            {
                EXPECT_TRUE(ids.insert(nID).second) << nID;
            }
        }
        EXPECT_LE(m_dlg.m_listRows.size(), MAX_ROW_WINDOWS);
    }
}

TEST_F(MainWindowRowsTest, OnlyTheFirstSharedEntryOfAGameIsCounted)
{
    AddEvents(AddGame(L"Zeta-P00", L"I2"), 4);
    AddEvents(AddGame(L"Zeta-P00", L"I1"), 3);
    AddEvents(AddGame(L"Zeta-P02", L"I1"), 1);
    AddEvents(AddGame(L"Eta-P00", L"I1"), 2);
    AddGame(L"Eta-P01", L"I1");
    Open();
    ASSERT_EQ(m_dlg.m_listRows.size(), 4u);
    EXPECT_EQ(m_dlg.m_listRows[0]->GetTexts().at(0)->m_strText, L"1 New Event");
    EXPECT_EQ(m_dlg.m_listRows[1]->GetTexts().at(0)->m_strText, L"2 New Events");
}

TEST_F(MainWindowRowsTest, GameViewCountLine)
{
    const struct
    {
        const wchar_t* pszPlayerId;
        int nEvents;
        const wchar_t* pszText;
        int nLeft;
    } cases[] = {
        {L"Gamma-P00", 0, L"( No Events )", 0}, {L"Gamma-P00", 1, L"( 1 Event )", 0},
        {L"Gamma-P00", 3, L"( 3 Events )", 0},  {L"Gamma-P02", 0, L"0 Events", 0},
        {L"Gamma-P02", 1, L"1 Events", 2},      {L"Gamma-P02", 4, L"4 Events", 2},
    };
    Open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.pszPlayerId << ", " << c.nEvents);
        m_manager.m_store.m_listGames.clear();
        AddEvents(AddGame(c.pszPlayerId), c.nEvents);
        m_dlg.m_strCurrentGame = c.pszPlayerId;
        m_dlg.SwitchView(EView::Game);

        ASSERT_FALSE(m_dlg.m_listRows.empty());
        const CVelButton& line = *m_dlg.m_listRows[0];
        EXPECT_NE(dynamic_cast<const CVelStatic2*>(&line), nullptr);
        EXPECT_EQ(line.GetWindowText(), c.pszText);
        EXPECT_EQ(RowRect(m_dlg, line), CRect(c.nLeft, 1, 250, 31));
        EXPECT_EQ(line.m_nTextX, 24);
        EXPECT_EQ(ImageAt(line, &m_dlg.m_bmpYield), CPoint(6, 8));
        // A shared entry's events are counted, not listed.
        const bool bListed = c.nLeft == 2;
        EXPECT_EQ(m_dlg.m_listRows.size(), bListed ? 1u + c.nEvents : 1u);
        EXPECT_EQ(m_dlg.m_wndList.GetContentSize().cy, bListed ? 26 + 22 * c.nEvents : 1);
    }
}

TEST_F(MainWindowRowsTest, GameHeaderShowsFlagClockAndTurn)
{
    CPBEMGameState& game = AddGame(L"Delta-P01");
    game.m_strFlagName = L"Tarn.png";
    game.m_bmpFlag = m_flagLoader.Load(game.m_strFlagName);
    game.m_nTurn = 7;
    game.m_bNewEvents = true;
    Open();
    m_dlg.m_strCurrentGame = L"Delta-P01";
    m_dlg.SwitchView(EView::Game);
    EXPECT_FALSE(game.m_bNewEvents);
    EXPECT_EQ(m_dlg.m_stcGameHeader.GetWindowText(), L"Turn 7");
    EXPECT_EQ(ImageAt(m_dlg.m_stcGameHeader, game.m_bmpFlag.get()), CPoint(5, 7));
    EXPECT_EQ(ImageAt(m_dlg.m_stcGameHeader, &m_dlg.m_bmpClock), CPoint(27, 7));
    EXPECT_EQ(m_dlg.m_stcGameHeader.GetImages().size(), 2u);

    // A game that is gone: header text "Game: ...", no rows, the header's contents cleared.
    m_dlg.m_strCurrentGame = L"Gone-P02";
    m_dlg.SwitchView(EView::Game);
    EXPECT_EQ(m_dlg.m_btnMainMenu.GetWindowText(), L"Game: Gone");
    EXPECT_TRUE(m_dlg.m_listRows.empty());
    EXPECT_TRUE(m_dlg.m_stcGameHeader.GetImages().empty());
    EXPECT_TRUE(m_dlg.m_stcGameHeader.GetWindowText().empty());
    EXPECT_TRUE(Visible(m_dlg.m_btnEnterGame));
}

TEST_F(MainWindowRowsTest, EventRowIconsAndTextPosition)
{
    enum ESender
    {
        kGlobe,
        kFlag,
        kNone
    };
    const struct
    {
        int nFrom;
        const char* pszKind;
        ESender eSender;
        CMaskedBitmap CZorvexMessengerDlg::*pKindIcon; // null: no kind icon
        CPoint ptKind;
        int nTextX;
    } cases[] = {
        {0, "Mail", kGlobe, &CZorvexMessengerDlg::m_bmpMail, CPoint(23, 7), 44},
        {0, "mail", kGlobe, nullptr, CPoint(), 24},
        {2, "IM", kFlag, &CZorvexMessengerDlg::m_bmpChat, CPoint(25, 7), 44},
        {2, "OrdersSubmitted", kFlag, &CZorvexMessengerDlg::m_bmpClock, CPoint(26, 7), 44},
        {9, "DeclareWar", kNone, &CZorvexMessengerDlg::m_bmpTarget, CPoint(4, 5), 24},
        {9, "Mail", kNone, &CZorvexMessengerDlg::m_bmpMail, CPoint(3, 7), 24},
        {9, "Chat", kNone, nullptr, CPoint(), 24},
    };
    CPBEMGameState& game = AddGame(L"Echo-P01");
    auto pPlayer = std::make_unique<CPBEMGamePlayer>();
    pPlayer->m_nPlayer = 2;
    pPlayer->m_strFlagName = L"Kethra.png";
    game.m_listPlayers.push_back(std::move(pPlayer));
    for (const auto& c : cases)
        AddEvent(game, L"event", c.nFrom, c.pszKind);
    // An event without text gets no row.
    AddEvent(game, L"", 0, "IM");
    Open();
    m_dlg.m_strCurrentGame = L"Echo-P01";
    m_dlg.SwitchView(EView::Game);
    CMaskedBitmap* pSenderFlag = game.FindPlayer(2);
    ASSERT_NE(pSenderFlag, nullptr);

    ASSERT_EQ(m_dlg.m_listRows.size(), 1 + std::size(cases));
    EXPECT_EQ(m_dlg.m_listRows[0]->GetWindowText(), L"8 Events");
    int y = 26;
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        const auto& c = cases[i];
        SCOPED_TRACE(testing::Message() << "from " << c.nFrom << ", kind " << c.pszKind);
        const CVelButton& row = *m_dlg.m_listRows[1 + i];
        EXPECT_EQ(RowRect(m_dlg, row), CRect(2, y, 250, y + 22));
        EXPECT_EQ(row.GetDlgCtrlID(), 1100);
        EXPECT_TRUE(row.GetWindowText().empty());
        size_t nImages = 0;
        if (c.eSender == kGlobe)
        {
            EXPECT_EQ(ImageAt(row, &m_dlg.m_bmpGlobe), CPoint(4, 6));
            ++nImages;
        }
        if (c.eSender == kFlag)
        {
            EXPECT_EQ(ImageAt(row, pSenderFlag), CPoint(3, 7));
            ++nImages;
        }
        if (c.pKindIcon != nullptr)
        {
            EXPECT_EQ(ImageAt(row, &(m_dlg.*c.pKindIcon)), c.ptKind);
            ++nImages;
        }
        EXPECT_EQ(row.GetImages().size(), nImages);
        ASSERT_EQ(row.GetTexts().size(), 1u);
        EXPECT_EQ(row.GetTexts()[0]->m_strText, L"event");
        EXPECT_EQ(CPoint(row.GetTexts()[0]->m_nX, row.GetTexts()[0]->m_nY), CPoint(c.nTextX, 6));
        y += 22;
    }
    EXPECT_EQ(m_dlg.m_wndList.GetContentSize().cy, y);
}

// A game of many events opens with windows for the rows near the view only; the bars, the wheel
// and a resize bring the rows of the new view, each with its event at its place.
TEST_F(MainWindowRowsTest, EventRowWindowsFollowTheView)
{
    const int nEvents = 5000;
    CPBEMGameState& game = AddGame(L"Long-P01");
    for (int i = 0; i < nEvents; ++i)
        AddEvent(game, L"event " + std::to_wstring(i));
    Open();
    ASSERT_NO_FATAL_FAILURE(ShowAndWait(m_dlg));
    m_dlg.m_strCurrentGame = L"Long-P01";
    m_dlg.SwitchView(EView::Game);
    EXPECT_EQ(m_dlg.m_wndList.GetContentSize().cy, 26 + 22 * nEvents);
    ASSERT_FALSE(m_dlg.m_listRows.empty());
    EXPECT_EQ(m_dlg.m_listRows[0]->GetWindowText(), L"5000 Events");

    const auto expectRowsOfTheView = [&]
    {
        const CRowListWindow& list = m_dlg.m_wndList;
        EXPECT_LT(m_dlg.m_listRows.size(), 200u);
        std::set<int> shown;
        for (const auto& pRow : m_dlg.m_listRows)
        {
            if (pRow->GetDlgCtrlID() != int(IDC_EVENT_ROW))
                continue;
            const CRect rc = RowRect(m_dlg, *pRow);
            const int k = (rc.top - 26) / 22;
            EXPECT_EQ(rc, CRect(2, 26 + 22 * k, 250, 48 + 22 * k));
            ASSERT_EQ(pRow->GetTexts().size(), 1u);
            EXPECT_EQ(pRow->GetTexts()[0]->m_strText, L"event " + std::to_wstring(k));
            EXPECT_TRUE(shown.insert(k).second) << k;
        }
        const int nTop = list.GetScrollY();
        const int nBottom = nTop + list.GetViewSize().cy;
        for (int k = std::max(0, (nTop - 26) / 22); k < nEvents && 26 + 22 * k < nBottom; ++k)
            EXPECT_EQ(shown.count(k), 1u) << "event " << k << " in view at " << nTop;
    };
    const CPoint ptInList = RectInParent(m_dlg.m_wndList).CenterPoint();
    const struct
    {
        const char* pszHow;
        std::function<void()> fnMove;
    } moves[] = {
        {"opened", [] {}},
        {"thumb to the middle",
         [&] { m_dlg.m_wndList.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 55000), 0); }},
        {"a wheel notch down", [&] { Wheel(m_dlg.m_wndContent, ptInList, -WHEEL_DELTA); }},
        {"page down", [&] { m_dlg.m_wndList.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0); }},
        {"to the end", [&] { ScrollListTo(m_dlg, 26 + 22 * nEvents); }},
        {"taller window", [&] { Resize(220, 700); }},
        {"back to the top", [&] { ScrollListTo(m_dlg, 0); }},
    };
    for (const auto& move : moves)
    {
        SCOPED_TRACE(move.pszHow);
        const int nBefore = m_dlg.m_wndList.GetScrollY();
        move.fnMove();
        Pump();
        if (std::string_view(move.pszHow) == "a wheel notch down")
        {
            EXPECT_EQ(m_dlg.m_wndList.GetScrollY(), nBefore + 40);
        }
        expectRowsOfTheView();
    }
    EXPECT_EQ(m_dlg.m_wndList.GetScrollY(), 0);
    EXPECT_EQ(m_dlg.m_listRows[0]->GetWindowText(), L"5000 Events");
}

// A row lays out and draws the start of its event's text only, cut where no row could show more.
TEST_F(MainWindowRowsTest, AnEventRowShowsABoundedPartOfAHugeText)
{
    std::wstring strHuge;
    for (int i = 0; i < 100000; ++i)
        strHuge += L"Line " + std::to_wstring(i) + L" of the report\n";
    const std::wstring strWide(100000, L'w');
    CPBEMGameState& game = AddGame(L"Huge-P01");
    AddEvent(game, strHuge);
    AddEvent(game, strWide);
    AddEvent(game, L"two\nlines");
    Open();
    m_dlg.m_strCurrentGame = L"Huge-P01";
    m_dlg.SwitchView(EView::Game);
    ASSERT_EQ(m_dlg.m_listRows.size(), 4u);
    const std::wstring& strShownHuge = m_dlg.m_listRows[1]->GetTexts().at(0)->m_strText;
    EXPECT_EQ(strShownHuge, L"Line 0 of the report\nLine 1 of the report\nLine 2 of the report\n"
                            L"Line 3 of the report\x2026");
    const std::wstring& strShownWide = m_dlg.m_listRows[2]->GetTexts().at(0)->m_strText;
    EXPECT_EQ(strShownWide, std::wstring(ROW_TEXT_MAX_LINE_CHARS, L'w') + L"\x2026");
    EXPECT_EQ(m_dlg.m_listRows[3]->GetTexts().at(0)->m_strText, L"two\nlines");
}

} // namespace
