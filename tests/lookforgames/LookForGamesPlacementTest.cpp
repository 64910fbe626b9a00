// The main window's command that opens the "Online Games" window: centred on the main window,
// kept inside the work area of that window's monitor (the rule is tested in tests/ui), unticked
// each time.
#include "LookForGamesTest.h"

#include "mainwnd/MessengerTest.h"
#include "platform/System.h"
#include "support/ServerEnv.h"

#include <vector>

namespace
{

class LookForGamesFromMainWindowTest : public MessengerTest
{
protected:
    void SetUp() override { ASSERT_NE(m_server.Port(), 0); }

    CTestHttpServer m_server;
    const CServerEnv m_serverEnv{m_server.BaseURL()};
};

TEST_F(LookForGamesFromMainWindowTest, OpensInsideTheWorkAreaAndUntickedEveryTime)
{
    const CRect rcWork = GetMonitorWorkArea(nullptr);
    // The main window in the bottom-right corner of its monitor.
    m_dlg.SetInitialRect(
        CRect(rcWork.right - 220, rcWork.bottom - 220, rcWork.right, rcWork.bottom));
    ASSERT_TRUE(m_dlg.Create(nullptr));
    m_dlg.ShowWindow(SW_SHOW);
    const CRect rcMainWork = GetMonitorWorkArea(&m_dlg);

    struct SOpening
    {
        CRect rcWindow;
        CRect rcOk;
        bool bLookingAtOpen = true;
        bool bLookingAfterClick = false;
    };
    std::vector<SOpening> openings;
    m_dlg.m_fnRunLookForGames = [&](CLookForGamesDialog& dlg)
    {
        SOpening opening;
        ASSERT_TRUE(dlg.Create(nullptr));
        dlg.ShowWindow(SW_SHOW);
        dlg.GetWindowRect(&opening.rcWindow);
        dlg.m_btnOK.GetWindowRect(&opening.rcOk);
        opening.bLookingAtOpen = dlg.m_bLooking;
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOOKING_FOR_GAME, BN_CLICKED), 0);
        opening.bLookingAfterClick = dlg.m_bLooking;
        openings.push_back(opening);
    };
    for (int i = 0; i < 2; ++i)
        m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ONLINE_GAMES, BN_CLICKED), 0);

    ASSERT_EQ(openings.size(), 2u);
    for (std::size_t i = 0; i < openings.size(); ++i)
    {
        SCOPED_TRACE(testing::Message() << "opening " << i);
        const SOpening& o = openings[i];
        EXPECT_EQ(o.rcWindow.Size(), CSize(450, 520));
        // Centred on a main window in the corner it would stick out: it is pushed back in.
        EXPECT_EQ(o.rcWindow.right, rcMainWork.right);
        EXPECT_EQ(o.rcWindow.bottom, rcMainWork.bottom);
        CRect rcInside;
        rcInside.IntersectRect(&o.rcWindow, &rcMainWork);
        EXPECT_EQ(rcInside, o.rcWindow);
        rcInside.IntersectRect(&o.rcOk, &rcMainWork);
        EXPECT_EQ(rcInside, o.rcOk);
        EXPECT_FALSE(o.bLookingAtOpen);
        EXPECT_TRUE(o.bLookingAfterClick);
    }
    const std::vector<CTestHttpRequest> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Field("LookingForPBEMGame"), "1");
    EXPECT_EQ(requests[1].Field("LookingForPBEMGame"), "1");
}

} // namespace
