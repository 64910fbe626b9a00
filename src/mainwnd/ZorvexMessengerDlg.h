// CZorvexMessengerDlg: the program's one top-level window. Inside its skinned frame: a header bar
// (back arrow and the title button that opens the main menu), a scrolling list of rows and, while
// one game is shown (view 3), a game header with two buttons under the list.
//
// Views: 0 the game list, 1 preferences (rows for the commands no control offers), 3 one game
// (m_strCurrentGame). SwitchView sets the header and rebuilds; Rebuild throws every row away and
// lays out those of the current view from g_pMessageManager's store; Layout places the controls
// for the window's size and view. A row has a window only while it is near the list's view: the
// windows are made as rows scroll near and dropped as they scroll far, so that a list of any
// length opens and scrolls at the cost of a few screens. The row windows belong to m_listRows
// until they go or the window ends. User-interface thread only, except OnTransferDone (a
// download's worker thread).
#pragma once

#include "install/MuteList.h"
#include "mainwnd/RowListWindow.h"
#include "net/VelCurlTransfer.h"
#include "notify/SystemTray.h"
#include "platform/PowerEvents.h"
#include "res/MaskedBitmap.h"
#include "ui/CustomDialog.h"
#include "ui/GeneralSubWindow.h"
#include "ui/GeneralWindow.h"
#include "ui/IdRange.h"
#include "ui/RowWindows.h"
#include "ui/VelButton.h"
#include "ui/VelStatic2.h"
#include "ui/VelTooltip2.h"
#include "ui/WarningDialog.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CPBEMGameState;
class CPBEMGameStore;
class CLookForGamesDialog;
struct SNewEventsAnnouncement;

// Commands of the main window's controls and rows.
inline constexpr UINT IDC_MAIN_MENU = 2001;
inline constexpr UINT IDC_BACK = 2002;
inline constexpr UINT IDC_PREFERENCES = 2004;
inline constexpr UINT IDC_HELP_ROW = 2005;
inline constexpr UINT IDC_ENTER_GAME = 2011;
inline constexpr UINT IDC_GAME_OPTIONS = 2012;
inline constexpr UINT IDC_DOWNLOAD_DONE = 2013;
inline constexpr UINT IDC_EVENT_ROW = 1100;
// Commands that no control of the window has: offered by the preferences rows and the tray
// icon's menu. IDC_TRAY_QUIT closes the window as its close button does.
inline constexpr UINT IDC_SHOW_FROM_TRAY = 2000;
inline constexpr UINT IDC_ONLINE_GAMES = 2014;
inline constexpr UINT IDC_LOGOUT = 8306;
inline constexpr UINT IDC_NORMAL_ICON = 1101;
inline constexpr UINT IDC_TRAY_QUIT = 2090;
// Polls at once and starts the poll period over (nothing while a download runs).
inline constexpr UINT IDC_CHECK_NOW = 2031;
// Ticks or unticks the desktop session's autostart entry for this installation.
inline constexpr UINT IDC_AUTOSTART = 2032;
// The tray menu's mute of every game for an hour, and its end.
inline constexpr UINT IDC_MUTE_ALL = 2015;
inline constexpr UINT IDC_UNMUTE_ALL = 2016;
// Game rows take the ids of this range in list order, starting over after the last: game row i
// has IDC_GAME_ROWS.nFirst + i mod 1000. The rows that have windows at one time are far fewer than
// 1000 (MAX_ROW_WINDOWS), so among them an id names one row; the window opens the game of the
// row window with the id (the row's key names the game).
inline constexpr SIdRange IDC_GAME_ROWS{9000, 9999};
inline constexpr std::size_t MAX_ROW_WINDOWS = 900;

// Polling: the first download at start-up, then one every 15 minutes.
inline constexpr UINT_PTR IDT_POLL = 1029;
inline constexpr UINT POLL_PERIOD_MS = 900000;
// The poll timer does not run while the machine sleeps: a check once a minute polls at once when
// the wall clock shows the last poll older than the period plus a minute, and so does waking up.
inline constexpr UINT_PTR IDT_POLL_CHECK = 1030;
inline constexpr UINT POLL_CHECK_PERIOD_MS = 60000;
inline constexpr std::chrono::milliseconds POLL_OVERDUE{POLL_PERIOD_MS + 60000};
inline constexpr UINT WM_SYSTEM_RESUMED = WM_APP + 0x20;
// The game list, the stored events and the first download wait for the window's first paint (or
// this timer, should no paint come): a long list must not keep the window from showing.
inline constexpr UINT_PTR IDT_STARTUP_WORK = 1031;
inline constexpr UINT STARTUP_WORK_FALLBACK_MS = 1000;
inline constexpr UINT WM_STARTUP_WORK = WM_APP + 0x21;
// Another start of the program for this installation asks the window to show (main() posts it).
inline constexpr UINT WM_SHOW_REQUEST = WM_APP + 0x22;
// While the game runs, new events are announced only once it has ended: a check each download's
// end and, while an announcement waits, once a minute.
inline constexpr UINT_PTR IDT_HELD_NEWS = 1032;
inline constexpr UINT HELD_NEWS_CHECK_MS = 60000;
// The game list marks muted games: it is built again when the next timed mute ends, seen at
// most a minute late (the timer does not count while the machine sleeps).
inline constexpr UINT_PTR IDT_MUTE_END = 1033;
inline constexpr UINT MUTE_END_CHECK_MS = 60000;
// Icons of the window and the tray: the program's, and the one after new events.
inline constexpr UINT IDR_MAINFRAME = 128;
inline constexpr UINT IDI_TRAY = 132;
inline constexpr UINT IDI_NEW_EVENTS = 134;

// The views of the window, numbered as the main menu's items carry them.
enum class EView : int
{
    GameList = 0,
    Preferences = 1,
    Game = 3,
};

// What the last check met, as the tooltip and the preferences' status row name it.
enum class ECheckOutcome
{
    None,         // no check has ended yet
    Reached,      // the server answered, and the ids (if any) went into the game list
    NotReachable, // no answer of the server: no connection, a failed transfer, another text
    CutShort,     // the server's answer ended early
    ListHeld,     // the game list stayed held by another holder while the ids were to be written
};

// The check mark of the preferences row, and its companion (loaded, not drawn). They point at
// the main window's bitmaps while it exists; null otherwise.
extern CMaskedBitmap* g_pbmpCheck1;
extern CMaskedBitmap* g_pbmpCheck2;

class CZorvexMessengerDlg : public CCustomDialog, public CVelCurlObserver
{
public:
    explicit CZorvexMessengerDlg(CWnd* pParentWnd = nullptr);
    // The tray icon on another back end (tests); null is the window system's.
    explicit CZorvexMessengerDlg(std::unique_ptr<ITrayIconBackend> pTrayBackend,
                                 CWnd* pParentWnd = nullptr);
    ~CZorvexMessengerDlg() override;

    BOOL OnInitDialog() override;
    // Places the controls for the current size and view; nothing before the content exists.
    void Layout();
    // One of the views: the header for it, then Rebuild. Other values do nothing.
    void SwitchView(EView eView);
    // Deletes every row (safely, even from a row's own click), makes the current view's rows,
    // then Layout.
    void Rebuild();

    // Posts IDC_DOWNLOAD_DONE to the window (called on the download's thread).
    void OnTransferDone(CVelCurlTransfer* pTransfer) override;
    // The handler of IDC_DOWNLOAD_DONE: takes the download's answer and the waiting events,
    // files them under their entries, announces them in the tray and rebuilds (MainWndPolling.cpp).
    void OnDownloadDone();
    // The machine woke from suspend: a download starts at once and the poll timer starts over.
    void OnSystemResumed();
    // The last announcement was clicked: the window shows, with the view of its one game, or the
    // game list when it told of several (MainWndPolling.cpp).
    void OnAnnouncementClicked();

    // Declared first: the frame registers its title buttons' tips with it during OnInitDialog,
    // and it outlives every control of this class.
    CVelTooltip2 m_wndTooltip;
    bool m_bStartupWorkPending = false;

    // Removed from the tray when the window object goes.
    CSystemTray m_trayIcon;
    CGeneralWindow m_wndContent;
    CMaskedBitmap m_bmpUserSmall;
    CMaskedBitmap m_bmpMessage;
    CMaskedBitmap m_bmpDropdown;
    CMaskedBitmap m_bmpAdd;
    CMaskedBitmap m_bmpBack;
    CMaskedBitmap m_bmpFlagNeutral;
    CMaskedBitmap m_bmpYield;
    CMaskedBitmap m_bmpGlobe;
    CMaskedBitmap m_bmpClock;
    CMaskedBitmap m_bmpChat;
    CMaskedBitmap m_bmpMail;
    CMaskedBitmap m_bmpTarget;
    CMaskedBitmap m_bmpHelp;
    CMaskedBitmap m_bmpCheck1; // g_pbmpCheck1
    CMaskedBitmap m_bmpCheck2; // g_pbmpCheck2
    CVelButton m_btnBack;
    CVelButton m_btnMainMenu;
    CVelStatic2 m_stcGameHeader;
    CVelStatic2 m_stcLineTop;
    CRowListWindow m_wndList;
    // The windows of the rows near the list's view, in list order (statics held as their button
    // base): rows m_listRows.GetFirstIndex() onwards of m_listAllRows.
    CRowWindows m_listRows;
    CVelStatic2 m_stcLineBottom;
    CVelButton m_btnOptions;
    CVelButton m_btnEnterGame;
    EView m_eView = EView::GameList;
    std::wstring m_strCurrentGame;   // PlayerId of the game of view 3
    std::wstring m_strAnnouncedGame; // PlayerId of the last announcement's one game; empty: several

    // The window's commands (MainWndCommands.cpp) and its two menus (MainWndMenus.cpp). Enter
    // and IDOK/IDCANCEL do nothing: WM_CLOSE, which saves the placement, is the only way out.
    void OnOK() override;
    void OnCancel() override;
    // Test seams. m_fnMessageBox answers the message boxes (kind, title, text, OK + Cancel) in
    // place of a CWarningDialog; m_fnPause replaces the sleep between tries for a held PBEM.data.
    std::function<INT_PTR(EWarningKind, const std::wstring&, const std::wstring&, bool)>
        m_fnMessageBox;
    std::function<void(std::chrono::milliseconds)> m_fnPause;
    // The wall clock of the polling and of the last check in the tooltip; null: the system's.
    std::function<std::chrono::system_clock::time_point()> m_fnNow;
    // Whether the game runs now; null: a look at the processes for the installation's game.
    std::function<bool()> m_fnIsGameRunning;
    // Runs the "Online Games" window (IDC_ONLINE_GAMES) in place of its DoModal; null: DoModal.
    std::function<void(CLookForGamesDialog&)> m_fnRunLookForGames;
    // Set before the window is made (--hidden): it starts hidden in the tray, or minimised where
    // no tray shows the icon (MainWndAutostart.cpp).
    bool m_bStartHidden = false;
    // The desktop session's autostart entry that the preferences row ticks; tests point it
    // elsewhere.
    std::string m_strAutostartFile;
    // The games whose new events are not announced: read from the profile when the window
    // starts, written back when it is changed and when the window closes (MainWndCommands.cpp).
    CMuteList m_muteList;

protected:
    // Ends a download that still reports to this window, waiting for its thread. The destructor
    // does it; a subclass whose overrides the download may reach calls it in its own destructor,
    // before those go.
    void EndDownloadToThis();
    // The command table; WM_POPUP_CHOSEN goes through WindowProc.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnSize(UINT nType, int cx, int cy) override;
    // The frame; the first paint lets the start-up work go.
    void OnPaint() override;
    // IDT_POLL starts a download (nothing while one runs), IDT_POLL_CHECK one that is overdue,
    // IDT_HELD_NEWS shows the waiting announcement if the game has ended, IDT_MUTE_END marks
    // the game list anew once a timed mute has ended; other timers are ignored.
    void OnTimer(UINT_PTR nIDEvent) override;

    // Start-up steps that touch the disk: the PBEM folder, and loading the game list with the
    // stored events. A test window leaves them out and fills the store itself.
    virtual void CreateGameFolder();
    virtual void LoadGameList();
    // The last start-up step: the first download, then the poll timers and the watch for the
    // machine's waking up. A test window that must stay off the network leaves it out.
    virtual void StartPolling();

private:
    // Attaches the event files that LoadGameList found to their entries, so that the first frame
    // shows them; their announcement waits for the end of the first check.
    void TakeStoredEvents();
    // The entry of view 3 (m_strCurrentGame) in the running store; null when it is gone.
    CPBEMGameState* CurrentGame() const;
    // Loads the game list with its stored events, shows it and starts polling; once.
    void RunStartupWork();
    void LoadImages();
    void CreateControls(int W, int H);
    void BuildGameListRows();
    void BuildGameRows();
    // The last check's outcome (once one has ended), check now, online games, logout (only while
    // an account is stored) and the new-events icon's reset.
    void BuildPreferencesRows();
    // Lays out the game's row at y; returns its height. pShared: the first shared entry of its
    // game, if any. bMuted: the row is marked "muted" after the game's name.
    int AddGameRow(const CPBEMGameState& game, const CPBEMGameState* pShared, int y, UINT nID,
                   bool bMuted);
    // A fixed row of one command with its text (and an icon), as the game list's last rows and
    // the preferences have them. A row that is not shown is left out.
    struct SCommandRow
    {
        std::wstring strText;
        UINT nID = 0;
        CMaskedBitmap* pIcon = nullptr;
        CPoint ptIcon = CPoint();
        bool bShown = true;
    };
    // Lays out the rows that are shown one under the other from y; returns their height.
    int AddCommandRows(int y, std::initializer_list<SCommandRow> rows);
    // A fixed row that only tells: white, its text at ptText; fnDecorate adds its images and
    // further texts when its window is made.
    void AddTellingRow(const CRect& rcContent, std::wstring strText, CPoint ptText,
                       std::function<void(CVelStatic2&)> fnDecorate);
    void AddEventRows(CPBEMGameState& game);
    // Drops every row, its window too.
    void DeleteRows();

    // How to make a row's window at a rectangle of the list's client area.
    using FMakeRow = std::function<std::unique_ptr<CVelButton>(const CRect&)>;
    struct SListRow
    {
        CRect rcContent; // in the list's content
        FMakeRow fnMake;
    };
    // Lays out a row below those laid out so far (its window comes with ShowRowsNearView).
    void AddRow(const CRect& rcContent, FMakeRow fnMake);
    // Makes the windows of the rows within a margin of the list's view and drops the others'.
    void ShowRowsNearView();
    // Every row of the current view, top to bottom.
    std::vector<SListRow> m_listAllRows;

    void OpenGame(UINT nID);
    void ShowMainMenu();
    void ShowOptionsMenu();
    void OnMenuChosen(int nMenu);
    // The options menu's mute command with the key for the game of view 3.
    void MuteCurrentGame(const std::wstring& strChosenKey);
    void RemoveCurrentGame();
    void ShowCredentials();
    void StartCurrentGame();
    void Logout();
    void HideToTray();
    void ShowFromTray();
    // The start's --hidden, the autostart row, its command and the show request of another
    // start (MainWndAutostart.cpp).
    void ApplyStartHidden();
    int AddAutostartRow(int y);
    void ToggleAutostart();
    void OnShowRequest();
    // The tray icon's menu for the window's state now: show or hide, the preferences' commands,
    // quit.
    std::vector<STrayMenuItem> TrayMenuItems() const;
    // Mutes (until tEnd) or unmutes a game id or "*", writes the change into the profile and
    // marks the game list's rows anew.
    void SetMute(std::wstring_view strKey, std::optional<CMuteList::TimePoint> tEnd);
    // Arms IDT_MUTE_END for the next end of a timed mute while the game list shows marks.
    void WatchMuteEnd(bool bMarksShown);
    void OnMuteEndTimer();
    std::optional<std::chrono::system_clock::time_point> m_tMarksEnd; // of IDT_MUTE_END
    INT_PTR ShowBox(EWarningKind eKind, const std::wstring& strTitle, const std::wstring& strText,
                    bool bOkCancel);
    // Applies the change to PBEM.data, waiting up to 5 s for another holder. False, after a
    // warning box that says why, when the change is not in the file (held, read-only, not read
    // whole, not written): the running list must then stay as it is.
    bool ChangeGameList(const std::function<void(CPBEMGameStore&)>& change);

    // Polling (MainWndPolling.cpp). PollNow starts a download unless one runs or waits to be
    // collected; true when it started one.
    bool PollNow();
    std::chrono::system_clock::time_point Now() const;
    // Polls at once and starts the poll period over; nothing while a download runs.
    void CheckNow();
    void ShowLastCheck();
    // When the last check ended ("14:05"; empty before the first), what went wrong if anything
    // (" — server not reachable"; empty when nothing did), and both: the tail of the tooltip.
    std::wstring LastCheckTime() const;
    std::wstring LastCheckOutcome() const;
    std::wstring LastCheckText() const;
    // New events wait here while the game runs; ShowHeldNews announces them all in one balloon
    // once it has ended, and checks again in a minute while it has not.
    void HoldNews(const SNewEventsAnnouncement& news);
    void ShowHeldNews();
    int m_nHeldNews = 0;
    std::vector<std::wstring> m_listHeldLines; // the texts the balloon is to list
    std::wstring m_strHeldGame;                // the one game they belong to, if only one
    bool m_bHeldSeveralGames = false;
    std::chrono::system_clock::time_point m_tLastPoll{}; // when the last download started
    ECheckOutcome m_eLastCheck = ECheckOutcome::None;
    std::chrono::system_clock::time_point m_tLastCheck{}; // when the last check ended
    CResumeWatch m_resumeWatch;
};
