// The commands that no control of the main window has: the rows of the preferences page and the
// tray icon's menu, with and without a stored account, and "Quit" from the menu.
#include "MessengerTest.h"

#include "install/InstallFolder.h"
#include "install/ProfilePlacement.h"
#include "notify/FakeTray.h"
#include "support/GuiTest.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace
{

// The main window on a recorded tray icon; the "Online Games" window is only counted.
class CPrefsTestDlg : public CZorvexMessengerDlg
{
public:
    explicit CPrefsTestDlg(CFakeTrayState& state)
        : CZorvexMessengerDlg(std::make_unique<CFakeTray>(state))
    {
    }

protected:
    void CreateGameFolder() override {}
    void LoadGameList() override {}
    void StartPolling() override {}
};

struct SEntry
{
    UINT nID;
    std::wstring strText;
    bool operator==(const SEntry&) const = default;
};

void PrintTo(const SEntry& entry, std::ostream* pOut)
{
    *pOut << entry.nID << " " << testing::PrintToString(entry.strText);
}

class MainWindowPreferencesTest : public MessengerTest
{
protected:
    void SetUp() override
    {
        m_prefs.m_fnMessageBox =
            [this](EWarningKind, const std::wstring&, const std::wstring& strText, bool)
        {
            m_boxes.push_back(strText);
            return INT_PTR(IDCANCEL);
        };
        m_prefs.m_fnRunLookForGames = [this](CLookForGamesDialog&) { ++m_nLookForGames; };
        m_prefs.SetInitialRect(CRect(100, 100, 320, 320));
    }
    void OpenPrefs()
    {
        ASSERT_TRUE(m_prefs.Create(nullptr));
        m_prefs.ShowWindow(SW_SHOW);
        m_prefs.m_trayIcon.m_pCommandTarget = &m_prefs;
    }
    std::vector<SEntry> Rows() const
    {
        std::vector<SEntry> rows;
        for (const auto& pRow : m_prefs.m_listRows)
            rows.push_back({static_cast<UINT>(pRow->GetDlgCtrlID()), pRow->GetWindowText()});
        return rows;
    }
    std::vector<SEntry> Menu() const
    {
        std::vector<SEntry> entries;
        for (const STrayMenuItem& item : m_tray.OpenMenu())
            entries.push_back({item.nID, item.strText});
        return entries;
    }
    void ChooseFromMenu(const std::wstring& strText)
    {
        ASSERT_TRUE(m_tray.ChooseFromMenu(strText)) << testing::PrintToString(strText);
        Pump();
    }
    bool ShowsIcon(unsigned int nResource) const { return m_tray.ShowsBundledIcon(nResource); }

    CFakeTrayState m_tray;
    CPrefsTestDlg m_prefs{m_tray};
    std::vector<std::wstring> m_boxes;
    int m_nLookForGames = 0;
};

const SEntry kCheckNow{2031, L"Check now"};
const SEntry kOnlineGames{2014, L"Online Games"};
const SEntry kLogout{8306, L"Logout"};
const SEntry kClearIcon{1101, L"Clear the new-events icon"};
const SEntry kAutostart{2032, L"Start with the desktop session"};
const SEntry kMuteAll{2015, L"Mute all for 1 hour"};
const SEntry kSeparator{0, L""};
const SEntry kQuit{2090, L"Quit"};

TEST_F(MainWindowPreferencesTest, PreferencesRowsOfferLogoutOnlyWithAnAccount)
{
    const struct
    {
        const char* pszCase;
        std::wstring strUsername;
        std::vector<SEntry> rows;
    } cases[] = {
        {"no account", L"", {kCheckNow, kOnlineGames, kClearIcon, kAutostart}},
        {"logged in", L"alice", {kCheckNow, kOnlineGames, kLogout, kClearIcon, kAutostart}},
    };
    OpenPrefs();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_manager.m_store.m_strUsername = c.strUsername;
        m_prefs.SwitchView(EView::Preferences);
        EXPECT_EQ(Rows(), c.rows);
        int y = 1;
        for (const auto& pRow : m_prefs.m_listRows)
        {
            EXPECT_EQ(RectInParent(*pRow), CRect(0, y, 250, y + 25));
            EXPECT_EQ(pRow->m_crHoverFace, RGB(230, 230, 230));
            y += 25;
        }
        EXPECT_EQ(m_prefs.m_wndList.GetContentSize(), CSize(100, y));
    }
}

TEST_F(MainWindowPreferencesTest, EachPreferencesRowSendsItsCommand)
{
    m_manager.m_store.m_strUsername = L"alice";
    OpenPrefs();
    m_prefs.SwitchView(EView::Preferences);
    m_prefs.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EVENT_ROW, BN_CLICKED), 0);
    ASSERT_TRUE(ShowsIcon(134));

    const auto clickRow = [this](UINT nID)
    {
        for (const auto& pRow : m_prefs.m_listRows)
        {
            if (static_cast<UINT>(pRow->GetDlgCtrlID()) == nID)
            {
                Click(*pRow, CPoint(30, 10));
                Pump();
                return;
            }
        }
        ADD_FAILURE() << "no row " << nID;
    };
    clickRow(kOnlineGames.nID);
    EXPECT_EQ(m_nLookForGames, 1);
    clickRow(kLogout.nID);
    EXPECT_EQ(m_boxes, std::vector<std::wstring>{L"Do you want to Logout?"});
    clickRow(kClearIcon.nID);
    EXPECT_TRUE(ShowsIcon(128));
    EXPECT_EQ(m_prefs.m_eView, EView::Preferences);
}

TEST_F(MainWindowPreferencesTest, TrayMenuFollowsWindowStateAndAccount)
{
    const struct
    {
        const char* pszCase;
        bool bHidden;
        std::wstring strUsername;
        std::vector<SEntry> menu;
    } cases[] = {
        {"shown, no account",
         false,
         L"",
         {{991, L"Hide"},
          kSeparator,
          kCheckNow,
          kOnlineGames,
          kClearIcon,
          kMuteAll,
          kSeparator,
          kQuit}},
        {"hidden, logged in",
         true,
         L"alice",
         {{2000, L"Show"},
          kSeparator,
          kCheckNow,
          kOnlineGames,
          kClearIcon,
          kMuteAll,
          kLogout,
          kSeparator,
          kQuit}},
    };
    OpenPrefs();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_manager.m_store.m_strUsername = c.strUsername;
        m_prefs.ShowWindow(c.bHidden ? SW_HIDE : SW_SHOW);
        EXPECT_EQ(Menu(), c.menu);
    }
}

TEST_F(MainWindowPreferencesTest, TrayMenuEntriesRunTheirCommands)
{
    m_manager.m_store.m_strUsername = L"alice";
    OpenPrefs();
    // The menu leaves the double click alone until the window has been hidden once.
    EXPECT_TRUE(m_prefs.m_trayIcon.m_bDefaultIsPosition);

    ChooseFromMenu(L"Hide");
    EXPECT_FALSE(m_prefs.IsWindowVisible());
    EXPECT_EQ(m_prefs.m_trayIcon.m_nDefaultCommand, 2000u);
    ChooseFromMenu(L"Show");
    EXPECT_TRUE(m_prefs.IsWindowVisible());
    EXPECT_EQ(m_prefs.m_trayIcon.m_nDefaultCommand, 991u);

    ChooseFromMenu(L"Online Games");
    EXPECT_EQ(m_nLookForGames, 1);
    m_prefs.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EVENT_ROW, BN_CLICKED), 0);
    ChooseFromMenu(L"Clear the new-events icon");
    EXPECT_TRUE(ShowsIcon(128));
    ChooseFromMenu(L"Logout");
    EXPECT_EQ(m_boxes, std::vector<std::wstring>{L"Do you want to Logout?"});

    // The mute of every game is written into the profile at once and turns the entry into its
    // end.
    CTempDir install;
    const CInstallFolderScope installFolder(install.WidePath());
    const std::wstring strProfile = InstallPath(PATH_PROFILE);
    ChooseFromMenu(L"Mute all for 1 hour");
    CMuteList saved;
    saved.Load(strProfile);
    EXPECT_TRUE(saved.IsKeyMuted(L"*", std::chrono::system_clock::now()));
    const std::vector<SEntry> menu = Menu();
    EXPECT_NE(std::find(menu.begin(), menu.end(), SEntry{2016, L"Unmute all"}), menu.end());
    ChooseFromMenu(L"Unmute all");
    saved.Load(strProfile);
    EXPECT_FALSE(saved.IsKeyMuted(L"*", std::chrono::system_clock::now()));
}

// "Quit" ends the running window as its close button does, with its place saved.
TEST_F(MainWindowPreferencesTest, QuitFromTrayMenuSavesThePlacementAndEnds)
{
    CTempDir install;
    install.Write("Profile.ini", "");
    // The window opens on the bundled installation; its place goes into the test's profile.
    std::optional<CInstallFolderScope> installFolder;
    m_prefs.m_trayIcon.m_pCommandTarget = &m_prefs;
    CRect rcBeforeQuit;
    bool bChosen = false;
    QTimer::singleShot(50,
                       [&]
                       {
                           installFolder.emplace(install.WidePath());
                           m_prefs.GetWindowRect(&rcBeforeQuit);
                           bChosen = m_tray.ChooseFromMenu(L"Quit");
                       });
    EXPECT_EQ(m_prefs.DoModal(), IDCANCEL);
    EXPECT_TRUE(bChosen);
    const std::optional<SPlacement> saved = ReadProfilePlacement(4000, 4000);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, (SPlacement{rcBeforeQuit.left, rcBeforeQuit.top, rcBeforeQuit.Width(),
                                  rcBeforeQuit.Height()}));
}

} // namespace
