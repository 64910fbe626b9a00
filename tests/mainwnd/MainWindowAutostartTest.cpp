// Starting with the desktop session, out of sight: the preferences row that ticks the autostart
// entry, the start with --hidden (in the tray, or minimised without one) and the show request of
// a second start.
#include "MessengerTest.h"

#include "base/Paths.h"
#include "install/Autostart.h"
#include "install/InstallFolder.h"
#include "notify/FakeTray.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <QTimer>

#include <filesystem>

namespace
{

class CAutostartDlg : public CZorvexMessengerDlg
{
public:
    explicit CAutostartDlg(CFakeTrayState& state)
        : CZorvexMessengerDlg(std::make_unique<CFakeTray>(state))
    {
    }

protected:
    void CreateGameFolder() override {}
    void LoadGameList() override {}
    void StartPolling() override {}
};

class MainWindowAutostartTest : public MessengerTest
{
protected:
    void SetUp() override
    {
        m_wnd.m_strAutostartFile = m_dir.File("config/autostart/zorvex-messenger.desktop");
        m_wnd.m_fnMessageBox =
            [this](EWarningKind, const std::wstring&, const std::wstring& strText, bool)
        {
            m_boxes.push_back(strText);
            return INT_PTR(IDOK);
        };
        m_wnd.SetInitialRect(CRect(100, 100, 320, 320));
    }
    void OpenPrefs()
    {
        ASSERT_TRUE(m_wnd.Create(nullptr));
        m_wnd.ShowWindow(SW_SHOW);
        m_wnd.SwitchView(EView::Preferences);
    }
    // The autostart row: the last of the page.
    CVelButton& Row() const { return *m_wnd.m_listRows.back(); }
    bool Ticked() const
    {
        EXPECT_EQ(Row().GetDlgCtrlID(), 2032);
        EXPECT_EQ(Row().GetWindowText(), L"Start with the desktop session");
        const bool bOn = ImageAt(Row(), &m_wnd.m_bmpCheck1) == CPoint(8, 8);
        const bool bOff = ImageAt(Row(), &m_wnd.m_bmpCheck2) == CPoint(8, 8);
        EXPECT_NE(bOn, bOff) << "one tick picture";
        return bOn;
    }
    void ClickRow()
    {
        Click(Row(), CPoint(30, 10));
        Pump();
    }
    std::string Folder() const { return ToNativePath(GetInstallFolder()); }

    CTempDir m_dir;
    CFakeTrayState m_tray;
    CAutostartDlg m_wnd{m_tray};
    std::vector<std::wstring> m_boxes;
};

TEST_F(MainWindowAutostartTest, RowTicksAndUnticksTheEntryOfThisInstallation)
{
    OpenPrefs();
    EXPECT_FALSE(Ticked());

    ClickRow();
    EXPECT_TRUE(Ticked());
    EXPECT_TRUE(AutostartNamesFolder(m_wnd.m_strAutostartFile, Folder()));
    const std::string strText = m_dir.Read("config/autostart/zorvex-messenger.desktop");
    EXPECT_NE(strText.find("Exec=" + *QuoteExecArgument(RunningProgramPath()) + " --install-dir "),
              std::string::npos)
        << strText;
    EXPECT_NE(strText.find(" --hidden\n"), std::string::npos) << strText;

    ClickRow();
    EXPECT_FALSE(Ticked());
    EXPECT_FALSE(std::filesystem::exists(m_wnd.m_strAutostartFile));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(MainWindowAutostartTest, EntryOfAnotherInstallationShowsUntickedAndIsReplaced)
{
    ASSERT_TRUE(
        WriteAutostartEntry(m_wnd.m_strAutostartFile, "/usr/bin/zorvex-messenger", m_dir.Path()));
    OpenPrefs();
    EXPECT_FALSE(Ticked());
    ClickRow();
    EXPECT_TRUE(Ticked());
    EXPECT_TRUE(AutostartNamesFolder(m_wnd.m_strAutostartFile, Folder()));
    EXPECT_FALSE(AutostartNamesFolder(m_wnd.m_strAutostartFile, m_dir.Path()));
}

TEST_F(MainWindowAutostartTest, EntryThatCannotBeWrittenSaysSoAndStaysUnticked)
{
    // The autostart folder's place is taken by a file.
    m_dir.Write("config/autostart", "");
    OpenPrefs();
    ClickRow();
    EXPECT_FALSE(Ticked());
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_NE(m_boxes[0].find(L"could not be written"), std::wstring::npos);
}

// --hidden: the window's loop runs without showing it while the tray shows the icon; without a
// tray it starts minimised. Either way a show request of a second start brings it up.
TEST_F(MainWindowAutostartTest, HiddenStartAndShowRequest)
{
    const struct
    {
        const char* pszCase;
        bool bTray;
        bool bVisible;
        bool bIconic;
    } cases[] = {{"tray", true, false, false}, {"no tray", false, true, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_tray = CFakeTrayState{};
        m_tray.bAvailable = c.bTray;
        CAutostartDlg dlg(m_tray);
        dlg.m_bStartHidden = true;
        dlg.SetInitialRect(CRect(100, 100, 320, 320));
        bool bVisible = !c.bVisible;
        bool bIconic = !c.bIconic;
        bool bShownAfterRequest = false;
        bool bIconicAfterRequest = true;
        // The look after the request is taken once it is posted, not at a fixed time from the
        // start: on a slow machine both would be due at once and the request still queued.
        QTimer::singleShot(100,
                           [&]
                           {
                               bVisible = dlg.IsWindowVisible() != FALSE;
                               bIconic = dlg.IsIconic() != FALSE;
                               dlg.PostMessage(WM_SHOW_REQUEST, 0, 0);
                               QTimer::singleShot(200,
                                                  [&]
                                                  {
                                                      bShownAfterRequest =
                                                          dlg.IsWindowVisible() != FALSE;
                                                      bIconicAfterRequest = dlg.IsIconic() != FALSE;
                                                      dlg.EndDialog(IDCANCEL);
                                                  });
                           });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(bVisible, c.bVisible);
        EXPECT_EQ(bIconic, c.bIconic);
        EXPECT_TRUE(bShownAfterRequest);
        EXPECT_FALSE(bIconicAfterRequest);
    }
}

} // namespace
