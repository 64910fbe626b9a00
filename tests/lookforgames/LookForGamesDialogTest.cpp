// The "Online Games" window on its own: its frame, the name line, the check box's posts to a
// loopback server (and what a post nobody answered does), the empty list and the player rows.
#include "LookForGamesTest.h"

#include "net/ServerDate.h"
#include "ui/TextMeasure.h"

#include <QMouseEvent>

#include <atomic>
#include <chrono>

namespace
{

constexpr const char* kScript = "/ServerAssets/PBEM/SetLookingForPBEMGame.php";

using LookForGamesDialogTest = LookForGamesTest;

TEST_F(LookForGamesDialogTest, FrameIsAFixedSkinnedWindowThatEscapeLeavesOpen)
{
    CLookForGamesDialog dlg;
    Open(dlg);
    EXPECT_EQ(dlg.GetWindowText(), L"Online Games");
    CRect rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(50, 40, 500, 560));
    EXPECT_FALSE(dlg.m_bResizable);
    EXPECT_TRUE(dlg.IsTitleButtonShown(IDC_SKIN_CLOSE));
    EXPECT_TRUE(dlg.m_btnClose.IsWindowVisible());
    ASSERT_NE(dlg.m_btnOK.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.m_btnOK.GetDlgCtrlID(), IDOK);
    // Everything but the frame's own buttons lives in the scrolling area's panel.
    EXPECT_EQ(RectInParent(dlg.m_wndArea), CRect(15, 35, 435, 465));
    CGeneralSubWindow* pPanel = dlg.m_wndArea.GetPanel();
    ASSERT_NE(pPanel, nullptr);
    EXPECT_EQ(dlg.m_btnLooking.GetParent(), pPanel);
    EXPECT_EQ(pPanel->GetContentSize(), CSize(100, 223));

    QTest::keyClick(WindowOf(dlg), Qt::Key_Escape);
    Pump();
    EXPECT_NE(dlg.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(dlg.IsWindowVisible());
}

TEST_F(LookForGamesDialogTest, NameLineShowsTheAccountOrNotLoggedIn)
{
    const struct
    {
        const wchar_t* pszUsername;
        const wchar_t* pszExpected;
    } cases[] = {
        {L"Ann Example", L"Your Online Name: Ann Example"},
        {L"", L"Your Online Name: ( Not Logged In )"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "user name \"" << c.pszUsername << "\"");
        SetAccount(c.pszUsername, L"pw");
        CLookForGamesDialog dlg;
        Open(dlg);
        EXPECT_EQ(dlg.m_lblName.GetWindowText(), c.pszExpected);
        EXPECT_EQ(RectInParent(dlg.m_lblName), CRect(10, 8, GetTextWidth(c.pszExpected) + 20, 33));
    }
}

TEST_F(LookForGamesDialogTest, EachClickSendsItsStateInItsOwnPost)
{
    SetAccount(L"Ann", L"secret");
    CLookForGamesDialog dlg;
    Open(dlg);
    EXPECT_FALSE(dlg.m_bLooking);
    EXPECT_EQ(Tick(dlg), &dlg.m_bmpUnchecked);

    ClickCentre(dlg.m_btnLooking);
    EXPECT_TRUE(dlg.m_bLooking);
    EXPECT_EQ(Tick(dlg), &dlg.m_bmpChecked);
    // The post is made before the click returns: the window waited for it.
    EXPECT_EQ(m_server.Requests().size(), 1u);
    ClickCentre(dlg.m_btnLooking);
    EXPECT_FALSE(dlg.m_bLooking);
    EXPECT_EQ(Tick(dlg), &dlg.m_bmpUnchecked);

    const std::vector<CTestHttpRequest> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    const char* const expected[] = {"1", "0"};
    for (std::size_t i = 0; i < requests.size(); ++i)
    {
        SCOPED_TRACE(testing::Message() << "post " << i);
        const CTestHttpRequest& req = requests[i];
        EXPECT_EQ(req.m_strMethod, "POST");
        EXPECT_EQ(req.m_strPath, kScript);
        ASSERT_EQ(req.m_parts.size(), 3u);
        EXPECT_EQ(req.m_parts[0].m_strName, "Username");
        EXPECT_EQ(req.m_parts[0].m_strContent, "Ann");
        EXPECT_EQ(req.m_parts[1].m_strName, "Password");
        EXPECT_EQ(req.m_parts[1].m_strContent, "secret");
        EXPECT_EQ(req.m_parts[2].m_strName, "LookingForPBEMGame");
        EXPECT_EQ(req.m_parts[2].m_strContent, expected[i]);
    }
}

// The post holds the window: clicks made meanwhile queue up and arrive after it. They are not
// sent again one post each (a hung server would freeze the window once per click); a click after
// the post is a click again.
TEST_F(LookForGamesDialogTest, ClicksQueuedWhileThePostRunsAreIgnored)
{
    SetAccount(L"Ann", L"secret");
    CLookForGamesDialog dlg;
    Open(dlg);
    CRect rc;
    dlg.m_btnLooking.GetClientRect(&rc);
    QWindow* pWindow = WindowOf(dlg);
    const QPointF ptLocal = InWindow(dlg.m_btnLooking, rc.CenterPoint());
    const QPointF ptGlobal = pWindow->mapToGlobal(ptLocal);
    constexpr int kQueuedClicks = 4;
    std::atomic<int> nAnswered{0};
    m_server.SetHandler(
        [&](const CTestHttpRequest&, httplib::Response& res)
        {
            // During the first post the user clicks on while the window waits (from this
            // thread: the window's own is blocked in the post).
            static_cast<void>(m_server.WaitWhileRunning(std::chrono::milliseconds(50)));
            for (int i = 0; i < (nAnswered++ == 0 ? kQueuedClicks : 0); ++i)
            {
                for (const QEvent::Type type :
                     {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                {
                    const Qt::MouseButtons buttons =
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
                    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): Qt takes it over
                    QCoreApplication::postEvent(pWindow, new QMouseEvent(type, ptLocal, ptGlobal,
                                                                         Qt::LeftButton, buttons,
                                                                         Qt::NoModifier));
                }
            }
            static_cast<void>(m_server.WaitWhileRunning(std::chrono::milliseconds(200)));
            res.set_content("", "text/plain");
        });

    ClickCentre(dlg.m_btnLooking);
    Pump();
    EXPECT_EQ(m_server.Requests().size(), 1u);
    EXPECT_TRUE(dlg.m_bLooking);
    EXPECT_EQ(Tick(dlg), &dlg.m_bmpChecked);

    m_server.SetHandler(nullptr);
    ClickCentre(dlg.m_btnLooking);
    const std::vector<CTestHttpRequest> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Field("LookingForPBEMGame"), "0");
    EXPECT_FALSE(dlg.m_bLooking);
}

// Its rounded corners are transparent: they show the white face around the button.
TEST_F(LookForGamesDialogTest, SendMessageButtonHasWhiteCorners)
{
    CLookForGamesDialog dlg;
    Open(dlg);
    CBitmap shot;
    ASSERT_TRUE(dlg.m_btnSendMessage.GrabClientImage(shot));
    CRect rc;
    dlg.m_btnSendMessage.GetClientRect(&rc);
    const int nRight = dlg.m_bmpButtonWhite.m_nWidth - 1;
    const int nBottom = dlg.m_bmpButtonWhite.m_nHeight - 1;
    ASSERT_LT(nRight, rc.Width());
    ASSERT_LT(nBottom, rc.Height());
    for (const CPoint pt :
         {CPoint(0, 0), CPoint(nRight, 0), CPoint(0, nBottom), CPoint(nRight, nBottom)})
    {
        SCOPED_TRACE(testing::Message() << "corner " << pt.x << ", " << pt.y);
        EXPECT_EQ(shot.GetPixel(pt.x, pt.y), RGB(255, 255, 255));
    }
}

TEST_F(LookForGamesDialogTest, WithoutAnAccountThePostHasEmptyFields)
{
    SetAccount(L"", L"");
    CLookForGamesDialog dlg;
    Open(dlg);
    ClickCentre(dlg.m_btnLooking);
    const std::vector<CTestHttpRequest> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    ASSERT_NE(requests[0].Part("Username"), nullptr);
    EXPECT_EQ(requests[0].Field("Username"), "");
    ASSERT_NE(requests[0].Part("Password"), nullptr);
    EXPECT_EQ(requests[0].Field("Password"), "");
    EXPECT_EQ(requests[0].Field("LookingForPBEMGame"), "1");
}

TEST_F(LookForGamesDialogTest, AClickTheServerNeverHeardLeavesTheBoxAsItWas)
{
    SetAccount(L"Ann", L"secret");
    for (const bool bTickedBefore : {false, true})
    {
        SCOPED_TRACE(testing::Message() << "ticked before: " << bTickedBefore);
        PointAtServer(m_server.BaseURL());
        CLookForGamesDialog dlg;
        Open(dlg);
        if (bTickedBefore)
            ClickCentre(dlg.m_btnLooking);
        ASSERT_EQ(dlg.m_bLooking, bTickedBefore);

        PointAtNoServer();
        ClickCentre(dlg.m_btnLooking);
        EXPECT_EQ(dlg.m_bLooking, bTickedBefore);
        EXPECT_EQ(Tick(dlg), bTickedBefore ? &dlg.m_bmpChecked : &dlg.m_bmpUnchecked);
    }
}

TEST_F(LookForGamesDialogTest, ListShowsItsHeadersAndNoRowsAndSendMessageDoesNothing)
{
    CLookForGamesDialog dlg;
    Open(dlg);
    EXPECT_EQ(RectInParent(dlg.m_listPlayers), CRect(20, 88, 395, 218));
    const struct
    {
        const CVelStatic2* pLabel;
        const wchar_t* pszText;
        CRect rc;
    } headers[] = {
        {&dlg.m_lblColName, L"Name", CRect(2, 2, 140, 20)},
        {&dlg.m_lblColLookingFor, L"Looking For", CRect(140, 2, 265, 20)},
        {&dlg.m_lblColLastLogin, L"Last Login", CRect(265, 2, 373, 20)},
    };
    for (const auto& h : headers)
    {
        SCOPED_TRACE(testing::Message() << "header " << h.rc.left);
        EXPECT_EQ(h.pLabel->GetWindowText(), h.pszText);
        EXPECT_EQ(h.pLabel->GetParent(), &dlg.m_listPlayers);
        EXPECT_EQ(RectInParent(*h.pLabel), h.rc);
        EXPECT_TRUE(h.pLabel->IsWindowVisible());
    }
    EXPECT_TRUE(dlg.m_listPlayers.GetRows().empty());
    EXPECT_EQ(dlg.m_listPlayers.m_wndPanel.GetContentSize(), CSize(0, 0));
    EXPECT_EQ(dlg.m_lblPlayers.GetWindowText(), L"Players looking to join a game:");

    EXPECT_EQ(dlg.m_btnSendMessage.GetWindowText(), L"Send Message");
    ClickCentre(dlg.m_btnSendMessage);
    EXPECT_TRUE(m_server.Requests().empty());
    EXPECT_EQ(dlg.m_nSelectedRow, 0);
    EXPECT_TRUE(dlg.IsWindowVisible());
}

TEST_F(LookForGamesDialogTest, PlayerRowsShowTheirColumnsAndOneIsSelectedAtATime)
{
    CLookForGamesDialog dlg;
    const struct
    {
        const wchar_t* pszName;
        bool bOnline;
        bool bPBEM;
        const wchar_t* pszLookingFor;
    } players[] = {
        {L"Ann", true, true, L"Online, PBEM"},
        {L"Bob", false, true, L"PBEM"},
        {L"Cy", true, false, L"Online"},
        {L"Di", false, false, L""},
    };
    for (const auto& p : players)
    {
        auto pPlayer = std::make_unique<CPlayerLookingForAGame>();
        pPlayer->m_strName = p.pszName;
        pPlayer->m_bOnline = p.bOnline;
        pPlayer->m_bPBEM = p.bPBEM;
        pPlayer->m_strLastLogin = "20240131";
        dlg.m_players.push_back(std::move(pPlayer));
    }
    Open(dlg);
    const auto& rows = dlg.m_listPlayers.GetRows();
    ASSERT_EQ(rows.size(), std::size(players));
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        SCOPED_TRACE(testing::Message() << "row " << i);
        const CVelButton& row = *rows[i];
        const int t = static_cast<int>(i) * 23;
        EXPECT_EQ(row.GetDlgCtrlID(), 10000 + static_cast<int>(i));
        EXPECT_EQ(row.m_nValue, 10000 + static_cast<int>(i));
        EXPECT_EQ(row.m_strKey, players[i].pszName);
        EXPECT_EQ(row.GetWindowText(), players[i].pszName);
        EXPECT_EQ(RectInParent(row), CRect(1, t, 391, t + 23));
        ASSERT_EQ(row.GetTexts().size(), 2u);
        EXPECT_EQ(row.GetTexts()[0]->m_strText, players[i].pszLookingFor);
        EXPECT_EQ(row.GetTexts()[1]->m_strText, FormatServerDate("20240131"));
    }
    EXPECT_EQ(dlg.m_listPlayers.m_wndPanel.GetContentSize(), CSize(100, 92));

    ClickCentre(*rows[1]);
    EXPECT_EQ(dlg.m_nSelectedRow, 10001);
    EXPECT_EQ(rows[1]->m_crFace, RGB(235, 235, 235));
    ClickCentre(*rows[2]);
    EXPECT_EQ(dlg.m_nSelectedRow, 10002);
    EXPECT_EQ(rows[1]->m_crFace, RGB(255, 255, 255));
    EXPECT_EQ(rows[2]->m_crFace, RGB(235, 235, 235));
}

} // namespace
