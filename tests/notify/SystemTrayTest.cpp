#include "notify/SystemTray.h"

#include "base/Paths.h"
#include "notify/FakeTray.h"
#include "res/ImageFixtures.h"
#include "support/GuiTest.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"
#include "ui/UiTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr UINT kIconNormal = 128;
constexpr UINT kIconNewEvents = 134;
constexpr UINT kIconId = 132;
constexpr UINT kCmdMinimize = 991;
constexpr UINT kCmdShow = 2000;

// The main window's part of the alternation: minimise hides into the tray, the tray's command
// shows the window again.
class CMainWindowStandIn : public CTestParent
{
public:
    CSystemTray* m_pTray = nullptr;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        switch (LOWORD(wParam))
        {
        case kCmdMinimize:
            CSystemTray::HideWindowToTray(this);
            m_pTray->SetDefaultCommand(kCmdShow);
            return TRUE;
        case kCmdShow:
            CSystemTray::ShowWindowFromTray(this);
            m_pTray->SetDefaultCommand(kCmdMinimize);
            return TRUE;
        default:
            return CTestParent::OnCommand(wParam, lParam);
        }
    }
};

class SystemTrayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pOldMainWnd = AfxGetMainWnd();
        m_pTray = std::make_unique<CSystemTray>(std::make_unique<CFakeTray>(m_state));
    }
    void TearDown() override
    {
        m_pTray.reset();
        AfxSetMainWnd(m_pOldMainWnd);
    }
    // As the main window creates it.
    BOOL CreateAsMainWindow()
    {
        return m_pTray->Create(L"Zorvex", kIconNormal, kIconId, FALSE, L"", L"", 0, 20);
    }
    // A main window that owns the alternation, as the application's main window.
    void CreateMainWindow(CMainWindowStandIn& wnd)
    {
        wnd.m_pTray = m_pTray.get();
        ASSERT_TRUE(wnd.CreateAt(100, 100, 200, 150));
        AfxSetMainWnd(&wnd);
    }

    const CInstallFolderScope m_installFolder{L"" ZORVEX_ASSETS_DIR};
    CFakeTrayState m_state;
    std::unique_ptr<CSystemTray> m_pTray;
    CWnd* m_pOldMainWnd = nullptr;
};

TEST_F(SystemTrayTest, CreateShowsApplicationIconWithTooltipAndNoBalloon)
{
    ASSERT_TRUE(CreateAsMainWindow());
    EXPECT_TRUE(m_state.bVisible);
    EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNormal));
    EXPECT_EQ(m_state.strTip, L"Zorvex");
    EXPECT_TRUE(m_state.messages.empty());
    EXPECT_FALSE(m_pTray->m_bIconHidden);
    EXPECT_FALSE(m_pTray->m_bIconRemoved);
    EXPECT_EQ(m_pTray->m_nid.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
}

TEST_F(SystemTrayTest, CreateHiddenKeepsIconOutOfTheTray)
{
    ASSERT_TRUE(m_pTray->Create(L"Zorvex", kIconNormal, kIconId, TRUE, nullptr, nullptr, 0, 20));
    EXPECT_FALSE(m_state.bVisible);
    EXPECT_EQ(m_pTray->m_nAddFlags, NIF_STATE);
}

TEST_F(SystemTrayTest, CreateWithBalloonTextShowsItOnce)
{
    ASSERT_TRUE(m_pTray->Create(L"Zorvex", kIconNormal, kIconId, FALSE, L"Hello", nullptr,
                                NIIF_WARNING, 20));
    ASSERT_EQ(m_state.messages.size(), 1u);
    EXPECT_EQ(m_state.messages[0].strText, L"Hello");
    EXPECT_EQ(m_state.messages[0].strTitle, L"");
    EXPECT_EQ(m_state.messages[0].icon, ETrayMessageIcon::Warning);
    EXPECT_EQ(m_state.messages[0].nTimeoutMs, 20000);
    EXPECT_TRUE(m_pTray->m_nid.szInfo.empty());
}

TEST_F(SystemTrayTest, SetIconFromResourceSwitchesIconsAndKeepsIconOnFailure)
{
    ASSERT_TRUE(CreateAsMainWindow());
    EXPECT_TRUE(m_pTray->SetIconFromResource(kIconNewEvents));
    EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNewEvents));
    EXPECT_TRUE(m_pTray->SetIconFromResource(kIconNormal));
    EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNormal));

    EXPECT_FALSE(m_pTray->SetIconFromResource(999));
    EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNormal));
    EXPECT_EQ(m_pTray->m_nid.nIconResourceID, kIconNormal);
}

TEST_F(SystemTrayTest, OperationsBeforeCreateDoNothing)
{
    EXPECT_FALSE(m_pTray->SetIconFromResource(kIconNormal));
    EXPECT_FALSE(m_pTray->ShowBalloon(L"text", L"title"));
    EXPECT_TRUE(m_state.icon.empty());
    EXPECT_TRUE(m_state.messages.empty());
}

TEST(CutToUtf16UnitsTest, CutsAtLimitWithoutSplittingSurrogatePairs)
{
    const std::wstring strPair = L"\U0001F600"; // two UTF-16 units
    struct Case
    {
        const char* pszName;
        std::wstring strText;
        size_t nMax;
        std::wstring strExpected;
    };
    const std::vector<Case> cases = {
        {"short text unchanged", L"Zorvex", 127, L"Zorvex"},
        {"cut to the limit", std::wstring(300, L'a'), 255, std::wstring(255, L'a')},
        {"pair across the limit is left out", std::wstring(62, L'a') + strPair + L"b", 63,
         std::wstring(62, L'a')},
        {"pair ending at the limit is kept", std::wstring(61, L'a') + strPair + L"b", 63,
         std::wstring(61, L'a') + strPair},
        {"lone surrogate counts one unit", std::wstring(1, wchar_t(0xD800)) + L"ab", 2,
         std::wstring(1, wchar_t(0xD800)) + L"a"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(CutToUtf16Units(c.strText, c.nMax), c.strExpected);
    }
}

TEST_F(SystemTrayTest, TextsAreCutToTheirFields)
{
    const std::wstring strPair = L"\U0001F600";
    ASSERT_TRUE(m_pTray->Create((std::wstring(126, L't') + strPair).c_str(), kIconNormal, kIconId,
                                FALSE, L"", L"", 0, 20));
    EXPECT_EQ(m_state.strTip, std::wstring(126, L't'));

    EXPECT_TRUE(m_pTray->ShowBalloon(std::wstring(300, L'x').c_str(),
                                     (std::wstring(62, L'T') + strPair).c_str()));
    ASSERT_EQ(m_state.messages.size(), 1u);
    EXPECT_EQ(m_state.messages[0].strText, std::wstring(255, L'x'));
    EXPECT_EQ(m_state.messages[0].strTitle, std::wstring(62, L'T'));
    EXPECT_EQ(m_state.messages[0].icon, ETrayMessageIcon::Information);
    EXPECT_EQ(m_state.messages[0].nTimeoutMs, 2000);

    EXPECT_TRUE(m_pTray->ShowBalloon(L"1 event", nullptr));
    ASSERT_EQ(m_state.messages.size(), 2u);
    EXPECT_EQ(m_state.messages[1].strTitle, L"");

    EXPECT_TRUE(m_pTray->SetTooltipText(std::wstring(200, L'z').c_str()));
    EXPECT_EQ(m_state.strTip, std::wstring(127, L'z'));
}

TEST_F(SystemTrayTest, DoubleClickBeforeFirstHideOnlyBringsWindowForward)
{
    CMainWindowStandIn wnd;
    CreateMainWindow(wnd);
    CTestParent other;
    ASSERT_TRUE(other.CreateAt(400, 100, 100, 100));
    other.SetForegroundWindow();
    ASSERT_TRUE(CreateAsMainWindow());

    EXPECT_EQ(m_pTray->SendMessage(WM_TRAYNOTIFY, kIconId, WM_LBUTTONDBLCLK), 0);
    Pump();
    EXPECT_TRUE(wnd.m_commands.empty());
    EXPECT_EQ(CWnd::GetActiveWindow(), &wnd);
    EXPECT_TRUE(wnd.IsWindowVisible());
}

TEST_F(SystemTrayTest, DefaultCommandAlternatesBetweenHideAndShow)
{
    CMainWindowStandIn wnd;
    CreateMainWindow(wnd);
    ASSERT_TRUE(CreateAsMainWindow());
    m_state.bReportsDoubleClicks = true;

    wnd.SendMessage(WM_COMMAND, kCmdMinimize, 0); // the title bar's minimise button
    EXPECT_FALSE(wnd.IsWindowVisible());
    EXPECT_EQ(m_pTray->m_nDefaultCommand, kCmdShow);

    const std::vector<std::pair<UINT, bool>> steps = {
        {kCmdShow, true}, {kCmdMinimize, false}, {kCmdShow, true}};
    for (const auto& [nCommand, bVisible] : steps)
    {
        SCOPED_TRACE(nCommand);
        wnd.m_commands.clear();
        m_state.handler(ETrayActivation::DoubleClick);
        Pump();
        EXPECT_EQ(wnd.m_commands, std::vector<UINT>{nCommand});
        EXPECT_EQ(bool(wnd.IsWindowVisible()), bVisible);
    }
}

TEST_F(SystemTrayTest, ActivationsMapToOneDoubleClickPerHost)
{
    CTestParent target;
    ASSERT_TRUE(target.CreateAt(100, 100, 100, 100));
    ASSERT_TRUE(CreateAsMainWindow());
    m_pTray->m_pCommandTarget = &target;
    m_pTray->SetDefaultCommand(kCmdShow);

    using A = ETrayActivation;
    struct Case
    {
        const char* pszName;
        bool bReportsDoubleClicks;
        std::vector<A> activations;
        size_t nCommands;
    };
    const std::vector<Case> cases = {
        {"status notifier: activation is the double click", false, {A::Trigger}, 1},
        {"x11: click then double click counts once", true, {A::Trigger, A::DoubleClick}, 1},
        {"x11: single click does nothing", true, {A::Trigger}, 0},
        {"context request shows no menu", false, {A::Context}, 0},
        {"middle click does nothing", false, {A::MiddleClick}, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_state.bReportsDoubleClicks = c.bReportsDoubleClicks;
        target.m_commands.clear();
        for (A activation : c.activations)
            m_state.handler(activation);
        Pump();
        EXPECT_EQ(target.m_commands, std::vector<UINT>(c.nCommands, kCmdShow));
    }
}

TEST_F(SystemTrayTest, NotificationForAnotherIconIsIgnored)
{
    CTestParent target;
    ASSERT_TRUE(target.CreateAt(100, 100, 100, 100));
    ASSERT_TRUE(CreateAsMainWindow());
    m_pTray->m_pCommandTarget = &target;
    m_pTray->SetDefaultCommand(kCmdShow);

    EXPECT_EQ(m_pTray->SendMessage(WM_TRAYNOTIFY, kIconId + 1, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(m_pTray->SendMessage(WM_TRAYNOTIFY, kIconId, WM_RBUTTONUP), 0);
    EXPECT_EQ(m_pTray->SendMessage(WM_TRAYNOTIFY, kIconId, WM_MOUSEMOVE), 1);
    Pump();
    EXPECT_TRUE(target.m_commands.empty());
}

TEST_F(SystemTrayTest, TrayRestartPutsBackLastIconAndTooltip)
{
    struct Case
    {
        const char* pszName;
        UINT message;
        WPARAM wParam;
    };
    const std::vector<Case> cases = {
        {"tray host restarted", RegisterWindowMessage(L"TaskbarCreated"), 0},
        {"work area changed", WM_SETTINGCHANGE, SPI_SETWORKAREA},
    };
    ASSERT_TRUE(CreateAsMainWindow());
    ASSERT_TRUE(m_pTray->SetIconFromResource(kIconNewEvents));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_state.bVisible = false;
        m_state.icon.clear();
        m_state.strTip.clear();
        m_pTray->SendMessage(c.message, c.wParam, 0);
        EXPECT_TRUE(m_state.bVisible);
        EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNewEvents));
        EXPECT_EQ(m_state.strTip, L"Zorvex");
        EXPECT_FALSE(m_pTray->m_bReAddPending);
    }
}

TEST_F(SystemTrayTest, DestroyingTheTrayRemovesTheIcon)
{
    ASSERT_TRUE(CreateAsMainWindow());
    ASSERT_TRUE(m_state.bVisible);
    m_pTray.reset();
    EXPECT_FALSE(m_state.bVisible);
}

} // namespace

namespace
{

// Where the tray cannot show a balloon, the news goes out as a desktop notification.
TEST_F(SystemTrayTest, BalloonFallsBackToDesktopNotification)
{
    const struct
    {
        const char* pszCase;
        bool bAvailable;
        bool bBalloons;
    } cases[] = {{"no tray host", false, true}, {"host without balloons", true, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_state = CFakeTrayState{};
        m_state.bAvailable = c.bAvailable;
        m_state.bBalloons = c.bBalloons;
        m_pTray = std::make_unique<CSystemTray>(std::make_unique<CFakeTray>(m_state));
        ASSERT_TRUE(CreateAsMainWindow());

        EXPECT_TRUE(m_pTray->ShowBalloon(L"A\nB", L"3 New Events"));
        EXPECT_TRUE(m_state.messages.empty());
        ASSERT_EQ(m_state.notifications.size(), 1u);
        EXPECT_EQ(m_state.notifications[0].strTitle, L"3 New Events");
        EXPECT_EQ(m_state.notifications[0].strText, L"A\nB");
        EXPECT_EQ(m_state.notifications[0].strAppName, L"Zorvex Messenger");
        EXPECT_EQ(m_state.notifications[0].strOpenLabel, L"Open");
        const std::string& strIcon = m_state.notifications[0].strIconFile;
        EXPECT_NE(strIcon.find("/Data/Icons/icon134-"), std::string::npos);
    }
}

TEST_F(SystemTrayTest, BalloonShownInTraySendsNoNotification)
{
    ASSERT_TRUE(CreateAsMainWindow());
    EXPECT_TRUE(m_pTray->ShowBalloon(L"text", L"title"));
    EXPECT_EQ(m_state.messages.size(), 1u);
    EXPECT_TRUE(m_state.notifications.empty());
}

TEST_F(SystemTrayTest, ShownInTrayOnlyWhileHostShowsTheIcon)
{
    const struct
    {
        const char* pszCase;
        bool bAvailable;
        BOOL bHidden;
        bool bShown;
    } cases[] = {{"host, icon shown", true, FALSE, true},
                 {"no host", false, FALSE, false},
                 {"icon hidden on request", true, TRUE, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_state = CFakeTrayState{};
        m_state.bAvailable = c.bAvailable;
        m_pTray = std::make_unique<CSystemTray>(std::make_unique<CFakeTray>(m_state));
        EXPECT_FALSE(m_pTray->IsShownInTray()); // before Create
        ASSERT_TRUE(m_pTray->Create(L"Zorvex", kIconNormal, kIconId, c.bHidden, L"", L"", 0, 20));
        EXPECT_EQ(m_pTray->IsShownInTray(), c.bShown);
    }
}

// The tray is watched only while a window is hidden in it; when it goes away the window comes
// back through the same command a double click would have sent.
TEST_F(SystemTrayTest, TrayGoingAwayBringsHiddenWindowBack)
{
    CMainWindowStandIn wnd;
    CreateMainWindow(wnd);
    ASSERT_TRUE(CreateAsMainWindow());
    EXPECT_FALSE(m_state.availabilityHandler);

    wnd.SendMessage(WM_COMMAND, kCmdMinimize, 0);
    ASSERT_FALSE(wnd.IsWindowVisible());
    ASSERT_TRUE(m_state.availabilityHandler);

    m_state.availabilityHandler(true); // a host that comes (back) changes nothing
    EXPECT_FALSE(wnd.IsWindowVisible());

    wnd.m_commands.clear();
    m_state.bAvailable = false;
    m_state.availabilityHandler(false);
    Pump();
    EXPECT_TRUE(wnd.IsWindowVisible());
    EXPECT_EQ(wnd.m_commands, std::vector<UINT>{kCmdShow});
    EXPECT_EQ(m_pTray->m_nDefaultCommand, kCmdMinimize);
    EXPECT_FALSE(m_state.availabilityHandler);
}

} // namespace

namespace
{

// The menu's entries are asked for at every opening (set before Create too); a pick goes to the
// command target as a posted command; without entries, or once the tray is gone, there is no menu.
TEST_F(SystemTrayTest, MenuEntriesComeFreshAndArePostedAsCommands)
{
    CMainWindowStandIn wnd;
    CreateMainWindow(wnd);
    int nOpenings = 0;
    m_pTray->SetMenuItems(
        [&nOpenings]
        {
            ++nOpenings;
            return std::vector<STrayMenuItem>{
                {7, L"Seven " + std::to_wstring(nOpenings)}, {0, L""}, {kCmdShow, L"Show"}};
        });
    EXPECT_FALSE(m_state.menuItems);
    ASSERT_TRUE(CreateAsMainWindow());
    EXPECT_EQ(m_state.OpenMenu().front().strText, L"Seven 1");
    EXPECT_EQ(m_state.OpenMenu().front().strText, L"Seven 2");

    EXPECT_TRUE(m_state.ChooseFromMenu(L"Seven 3"));
    EXPECT_TRUE(wnd.m_commands.empty());
    Pump();
    EXPECT_EQ(wnd.m_commands, std::vector<UINT>{7});

    m_pTray->SetMenuItems(nullptr);
    EXPECT_TRUE(m_state.OpenMenu().empty());
    m_pTray->SetMenuItems([] { return std::vector<STrayMenuItem>{{7, L"Seven"}}; });
    EXPECT_EQ(m_state.OpenMenu().size(), 1u);
    m_pTray.reset();
    EXPECT_FALSE(m_state.menuItems);
    EXPECT_FALSE(m_state.menuChosen);
}

// The game's folder holds icon files of its own: each size that decodes is used, each that does
// not (garbage, a cut-off file, a picture too big to be one) counts as missing, and the bundled
// picture of that size takes its place, for the balloon's stand-in notification as well.
TEST_F(SystemTrayTest, BrokenIconFilesOfTheGameFolderGiveWayToTheBundledOnes)
{
    CTempDir install;
    const std::string own32 =
        fixtures::MakePngRgba(32, 32, std::string(std::size_t{32} * 32 * 4, '\x7F'));
    const std::string bundled48 = fixtures::MakePngRgba(1, 1, "\1\2\3\4");
    install.Write("Data/Icons/icon128-16.png", "not a picture");
    install.Write("Data/Icons/icon128-22.png", own32.substr(0, own32.size() / 2));
    install.Write("Data/Icons/icon128-24.png", "");
    install.Write("Data/Icons/icon128-32.png", own32);
    install.Write("Data/Icons/icon128-48.png", fixtures::WithClaimedSize(bundled48, 16384, 16384));
    install.Write("Data/Icons/icon134-64.png", "\x89PNG\r\n\x1A\n");
    const CInstallFolderScope installFolder(install.WidePath(), L"" ZORVEX_ASSETS_DIR);
    m_state.bBalloons = false;

    ASSERT_TRUE(CreateAsMainWindow());
    ASSERT_EQ(m_state.icon.size(), 6u);
    const int sizes[] = {16, 22, 24, 32, 48, 64};
    for (std::size_t i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(sizes[i]);
        if (sizes[i] == 32)
        {
            EXPECT_EQ(m_state.icon[i].nWidth, 32);
            EXPECT_EQ(m_state.icon[i].pixels.front(), 0x7F7F7F7Fu);
        }
        else
        {
            EXPECT_EQ(m_state.icon[i], BundledIconImage(kIconNormal, sizes[i]));
        }
    }

    // Every file of the new-events icon broken or missing: the bundled set, as a missing one.
    EXPECT_TRUE(m_pTray->SetIconFromResource(kIconNewEvents));
    EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNewEvents));

    EXPECT_TRUE(m_pTray->ShowBalloon(L"text", L"title"));
    ASSERT_EQ(m_state.notifications.size(), 1u);
    EXPECT_EQ(m_state.notifications[0].strIconFile,
              std::string(ZORVEX_ASSETS_DIR) + "/Data/Icons/icon134-64.png");
}

// An installation folder whose name is not UTF-8: the icon's files are read by the program's own
// file code and the notification gets the name's bytes unchanged.
TEST_F(SystemTrayTest, IconsComeFromAFolderWhoseNameIsNotUtf8)
{
    CTempDir temp;
    const std::string strFolder = temp.File("Zorvex \xE9\xFF");
    std::filesystem::create_directories(std::filesystem::path(strFolder) / "Data");
    std::filesystem::copy(std::filesystem::path(ZORVEX_ASSETS_DIR) / "Data" / "Icons",
                          std::filesystem::path(strFolder) / "Data" / "Icons");
    const CInstallFolderScope installFolder(FromNativePath(strFolder));
    m_state.bBalloons = false;

    ASSERT_TRUE(CreateAsMainWindow());
    EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNormal));
    EXPECT_TRUE(m_pTray->SetIconFromResource(kIconNewEvents));
    EXPECT_TRUE(m_state.ShowsBundledIcon(kIconNewEvents));
    EXPECT_TRUE(m_pTray->ShowBalloon(L"text", L"title"));
    ASSERT_EQ(m_state.notifications.size(), 1u);
    EXPECT_EQ(m_state.notifications[0].strIconFile, strFolder + "/Data/Icons/icon134-64.png");
}

} // namespace

// A click on the balloon is posted to the command target as a message of its own, so that its
// owner can open what the balloon told of; a tray that is gone tells nobody.
TEST_F(SystemTrayTest, ClickOnTheBalloonIsPostedToTheTarget)
{
    class CClickTarget : public CTestParent
    {
    public:
        int m_nClicks = 0;

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_TRAY_MESSAGE_CLICKED)
                ++m_nClicks;
            return CTestParent::WindowProc(message, wParam, lParam);
        }
    };
    CClickTarget target;
    ASSERT_TRUE(target.CreateAt(100, 100, 200, 150));
    ASSERT_TRUE(CreateAsMainWindow());
    m_pTray->m_pCommandTarget = &target;
    ASSERT_TRUE(m_pTray->ShowBalloon(L"text", L"title"));
    ASSERT_TRUE(m_state.messageClickHandler);

    m_state.messageClickHandler();
    EXPECT_EQ(target.m_nClicks, 0);
    Pump();
    EXPECT_EQ(target.m_nClicks, 1);

    m_pTray.reset();
    EXPECT_FALSE(m_state.messageClickHandler);
}
