// The main window on desktops where no tray shows its icon: the minimise button must not hide the
// window out of reach, and a tray that goes away gives the hidden window back.
#include "MessengerTest.h"

#include "notify/FakeTray.h"
#include "support/GuiTest.h"

#include <gtest/gtest.h>

namespace
{

constexpr UINT kCmdShowFromTray = 2000;

class CNoTrayDlg : public CZorvexMessengerDlg
{
public:
    explicit CNoTrayDlg(CFakeTrayState& state)
        : CZorvexMessengerDlg(std::make_unique<CFakeTray>(state))
    {
    }

protected:
    void CreateGameFolder() override {}
    void LoadGameList() override {}
    void StartPolling() override {}
};

class MainWindowNoTrayTest : public MessengerTest
{
protected:
    void OpenOn(CNoTrayDlg& dlg)
    {
        dlg.SetInitialRect(CRect(100, 100, 320, 320));
        ASSERT_TRUE(dlg.Create(nullptr));
        dlg.ShowWindow(SW_SHOW);
        dlg.m_trayIcon.m_pCommandTarget = &dlg;
    }
    static void Minimise(CNoTrayDlg& dlg)
    {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SKIN_MINIMIZE, BN_CLICKED), 0);
        Pump();
    }

    CFakeTrayState m_tray;
};

TEST_F(MainWindowNoTrayTest, MinimiseHidesOnlyWhenTrayShowsTheIcon)
{
    const struct
    {
        const char* pszCase;
        bool bTray;
        bool bVisible;
        bool bIconic;
        UINT nDefaultCommand;
    } cases[] = {{"tray", true, false, false, kCmdShowFromTray},
                 {"no tray: task bar", false, true, true, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_tray = CFakeTrayState{};
        m_tray.bAvailable = c.bTray;
        CNoTrayDlg dlg(m_tray);
        OpenOn(dlg);

        Minimise(dlg);
        EXPECT_EQ(dlg.IsWindowVisible() != FALSE, c.bVisible);
        EXPECT_EQ(dlg.IsIconic() != FALSE, c.bIconic);
        EXPECT_EQ(dlg.m_trayIcon.m_nDefaultCommand, c.nDefaultCommand);
        dlg.DestroyWindow();
    }
}

TEST_F(MainWindowNoTrayTest, TrayGoingAwayWhileHiddenShowsTheWindow)
{
    CNoTrayDlg dlg(m_tray);
    OpenOn(dlg);
    Minimise(dlg);
    ASSERT_FALSE(dlg.IsWindowVisible());
    ASSERT_TRUE(m_tray.availabilityHandler);

    m_tray.bAvailable = false;
    m_tray.availabilityHandler(false);
    Pump();
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_FALSE(dlg.IsIconic());
    EXPECT_EQ(dlg.m_trayIcon.m_nDefaultCommand, IDC_SKIN_MINIMIZE);

    // Still no tray: the next minimise goes to the task bar.
    Minimise(dlg);
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_TRUE(dlg.IsIconic());
}

} // namespace
