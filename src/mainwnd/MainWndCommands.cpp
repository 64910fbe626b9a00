// CZorvexMessengerDlg: the command table, and the commands that change the game list, start the
// game, show the boxes, hide in the tray and close. The menus are in MainWndMenus.cpp.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Bidi.h"
#include "base/Format.h"
#include "install/InstallFolder.h"
#include "install/ProfilePlacement.h"
#include "lookforgames/LookForGamesDialog.h"
#include "mainwnd/MainWndTexts.h"
#include "mainwnd/StartGame.h"
#include "notify/GeneralPopup3.h"
#include "pbem/PBEMMessageManager.h"
#include "pbem/StoreTransaction.h"
#include "res/TextIds.h"
#include "ui/WarningDialog.h"

#include <algorithm>
#include <thread>

namespace
{

using namespace std::chrono_literals;

// The game may hold PBEM.data for a moment while it saves: try again for up to 5 seconds.
constexpr std::chrono::milliseconds kLockRetryPause = 200ms;
constexpr int kLockRetries = 25;

constexpr STextId IDS_GAME_LIST_BUSY{
    90000, L"The game list is in use by another program (probably the game), so nothing was "
           L"changed.\nPlease try again in a moment."};

// Why a change of the game list did not reach the file.
const STextId& NotChangedText(ETransactionResult result)
{
    switch (result)
    {
    case ETransactionResult::Busy:
        return IDS_GAME_LIST_BUSY;
    case ETransactionResult::ReadOnly:
        return IDS_GAME_LIST_READ_ONLY;
    case ETransactionResult::Unreadable:
        return IDS_GAME_LIST_UNREADABLE;
    case ETransactionResult::Saved:
    case ETransactionResult::NotSaved:
        break;
    }
    return IDS_GAME_LIST_NOT_WRITTEN;
}

// Modal, inside the work area of the main window's monitor; its result is not used.
void RunLookForGames(CZorvexMessengerDlg& wnd)
{
    CLookForGamesDialog dlg;
    dlg.PlaceOver(&wnd);
    if (wnd.m_fnRunLookForGames)
        wnd.m_fnRunLookForGames(dlg);
    else
        dlg.DoModal();
}

} // namespace

void CZorvexMessengerDlg::OnOK() {}

void CZorvexMessengerDlg::OnCancel() {}

BOOL CZorvexMessengerDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (IDC_GAME_ROWS.Contains(nID))
    {
        OpenGame(nID);
        return TRUE;
    }
    switch (nID)
    {
    case IDC_MAIN_MENU:
        ShowMainMenu();
        return TRUE;
    case IDC_BACK:
        SwitchView(EView::GameList);
        return TRUE;
    case IDC_PREFERENCES:
        SwitchView(EView::Preferences);
        return TRUE;
    case IDC_HELP_ROW:
        ShowBox(EWarningKind::Information, Text(IDS_WHAT_IS_THIS_APP), Text(IDS_ABOUT_TEXT), false);
        return TRUE;
    case IDC_ENTER_GAME:
        StartCurrentGame();
        return TRUE;
    case IDC_GAME_OPTIONS:
        ShowOptionsMenu();
        return TRUE;
    case IDC_DOWNLOAD_DONE:
        OnDownloadDone();
        return TRUE;
    case IDC_LOGOUT:
        Logout();
        return TRUE;
    case IDC_EVENT_ROW:
        m_trayIcon.SetIconFromResource(IDI_NEW_EVENTS);
        return TRUE;
    case IDC_MUTE_ALL:
        SetMute(CMuteList::kAllGames, Now() + std::chrono::hours(1));
        return TRUE;
    case IDC_UNMUTE_ALL:
        SetMute(CMuteList::kAllGames, std::nullopt);
        return TRUE;
    case IDC_NORMAL_ICON:
        m_trayIcon.SetIconFromResource(IDR_MAINFRAME);
        return TRUE;
    case IDC_SKIN_MINIMIZE:
        // To the tray while one shows the icon, else to the task bar.
        HideToTray();
        return TRUE;
    case IDC_ONLINE_GAMES:
        RunLookForGames(*this);
        return TRUE;
    case IDC_CHECK_NOW:
        CheckNow();
        return TRUE;
    case IDC_AUTOSTART:
        ToggleAutostart();
        return TRUE;
    case IDC_SHOW_FROM_TRAY:
        ShowFromTray();
        return TRUE;
    case IDC_TRAY_QUIT:
        // As the close button: the placement is saved on the way out.
        SendMessage(WM_CLOSE);
        return TRUE;
    default:
        return CCustomDialog::OnCommand(wParam, lParam);
    }
}

LRESULT CZorvexMessengerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_POPUP_CHOSEN)
    {
        OnMenuChosen(static_cast<int>(wParam));
        return 1;
    }
    if (message == WM_TRAY_MESSAGE_CLICKED)
    {
        OnAnnouncementClicked();
        return 0;
    }
    if (message == WM_SYSTEM_RESUMED)
    {
        OnSystemResumed();
        return 0;
    }
    if (message == WM_STARTUP_WORK)
    {
        RunStartupWork();
        return 0;
    }
    if (message == WM_SHOW_REQUEST)
    {
        OnShowRequest();
        return 0;
    }
    return CCustomDialog::WindowProc(message, wParam, lParam);
}

void CZorvexMessengerDlg::OnClose()
{
    CRect rc;
    GetWindowRect(&rc);
    // The program ends here, so a profile that cannot be written is let be: the next start uses
    // the older placement and mutes, or none.
    (void)WriteProfilePlacement(SPlacement{rc.left, rc.top, rc.Width(), rc.Height()});
    // Drops the mutes that have ended.
    (void)m_muteList.Save(InstallPath(PATH_PROFILE), Now());
    // OnCancel does nothing in this window, so the dialog's own closing would not end it.
    EndDialog(IDCANCEL);
}

void CZorvexMessengerDlg::OpenGame(UINT nID)
{
    for (const std::unique_ptr<CVelButton>& pRow : m_listRows)
    {
        if (pRow->GetSafeHwnd() != nullptr && static_cast<UINT>(pRow->GetDlgCtrlID()) == nID)
        {
            m_strCurrentGame = pRow->m_strKey;
            SwitchView(EView::Game);
            return;
        }
    }
}

INT_PTR CZorvexMessengerDlg::ShowBox(EWarningKind eKind, const std::wstring& strTitle,
                                     const std::wstring& strText, bool bOkCancel)
{
    if (m_fnMessageBox)
        return m_fnMessageBox(eKind, strTitle, strText, bOkCancel);
    CWarningDialog dlg(eKind, strTitle, strText, bOkCancel, this);
    return dlg.DoModal();
}

bool CZorvexMessengerDlg::ChangeGameList(const std::function<void(CPBEMGameStore&)>& change)
{
    ETransactionResult result = RunStoreTransaction(change, 0ms);
    for (int nRetry = 0; result == ETransactionResult::Busy && nRetry < kLockRetries; ++nRetry)
    {
        if (m_fnPause)
            m_fnPause(kLockRetryPause);
        else
            std::this_thread::sleep_for(kLockRetryPause);
        result = RunStoreTransaction(change, 0ms);
    }
    if (result == ETransactionResult::Saved)
        return true;
    // Changing only the running list would bring the change back at the next start.
    ShowBox(EWarningKind::Warning, Text(IDS_WARNING), Text(NotChangedText(result)), false);
    return false;
}

void CZorvexMessengerDlg::RemoveCurrentGame()
{
    const CPBEMGameState* pGame = CurrentGame();
    if (pGame == nullptr)
        return;
    // Copies: a download may rebuild the list while the box is open.
    const std::wstring strPlayerId = pGame->m_strPlayerId;
    const std::wstring strPassword = pGame->m_strPassword;
    const std::wstring strText = FormatText(
        Text(IDS_CONFIRM_REMOVE_GAME), {CloseOpenBidi(strPlayerId), CloseOpenBidi(strPassword)});
    if (ShowBox(EWarningKind::Warning, Text(IDS_WARNING), strText, true) != IDOK)
        return;
    if (!ChangeGameList([&](CPBEMGameStore& file) { file.RemoveGames(strPlayerId); }))
        return;
    g_pMessageManager->m_store.RemoveGames(strPlayerId);
    SwitchView(EView::GameList);
}

void CZorvexMessengerDlg::ShowCredentials()
{
    const CPBEMGameState* pGame = CurrentGame();
    if (pGame == nullptr)
        return;
    ShowBox(EWarningKind::Information, Text(IDS_INFORMATION),
            FormatText(Text(IDS_PLAYER_ID_PASSWORD),
                       {CloseOpenBidi(pGame->m_strPlayerId), CloseOpenBidi(pGame->m_strPassword)}),
            false);
}

void CZorvexMessengerDlg::StartCurrentGame()
{
    const CPBEMGameState* pGame = CurrentGame();
    if (pGame == nullptr)
        return;
    // Once per click, whether or not the game already runs; a failure shows nothing.
    StartGame(pGame->m_strInstanceId);
}

void CZorvexMessengerDlg::Logout()
{
    if (g_pMessageManager == nullptr)
        return;
    CPBEMGameStore& store = g_pMessageManager->m_store;
    if (store.m_strUsername.empty())
        return;
    if (ShowBox(EWarningKind::Warning, Text(IDS_WARNING), Text(IDS_CONFIRM_LOGOUT), true) != IDOK)
        return;
    if (!ChangeGameList([](CPBEMGameStore& file) { file.SetAccount(L"", L""); }))
        return;
    store.SetAccount(L"", L"");
    Rebuild();
}

void CZorvexMessengerDlg::HideToTray()
{
    // A hidden window that no tray icon can bring back would be lost: the task bar instead.
    if (!m_trayIcon.IsShownInTray())
    {
        ShowWindow(SW_MINIMIZE);
        return;
    }
    CSystemTray::HideWindowToTray(this);
    m_trayIcon.SetDefaultCommand(IDC_SHOW_FROM_TRAY);
}

void CZorvexMessengerDlg::ShowFromTray()
{
    CSystemTray::ShowWindowFromTray(this);
    m_trayIcon.SetDefaultCommand(IDC_SKIN_MINIMIZE);
}

std::vector<STrayMenuItem> CZorvexMessengerDlg::TrayMenuItems() const
{
    std::vector<STrayMenuItem> items;
    if (IsWindowVisible())
        items.push_back({IDC_SKIN_MINIMIZE, Text(IDS_TRAY_HIDE)});
    else
        items.push_back({IDC_SHOW_FROM_TRAY, Text(IDS_TRAY_SHOW)});
    items.push_back({0, {}});
    items.push_back({IDC_CHECK_NOW, Text(IDS_CHECK_NOW)});
    items.push_back({IDC_ONLINE_GAMES, Text(IDS_ONLINE_GAMES)});
    items.push_back({IDC_NORMAL_ICON, Text(IDS_CLEAR_NEW_EVENTS_ICON)});
    if (m_muteList.IsKeyMuted(CMuteList::kAllGames, Now()))
        items.push_back({IDC_UNMUTE_ALL, Text(IDS_UNMUTE_ALL)});
    else
        items.push_back({IDC_MUTE_ALL, Text(IDS_MUTE_ALL_HOUR)});
    if (g_pMessageManager != nullptr && !g_pMessageManager->m_store.m_strUsername.empty())
        items.push_back({IDC_LOGOUT, Text(IDS_LOGOUT)});
    items.push_back({0, {}});
    items.push_back({IDC_TRAY_QUIT, Text(IDS_TRAY_QUIT)});
    return items;
}

void CZorvexMessengerDlg::SetMute(std::wstring_view strKey,
                                  std::optional<CMuteList::TimePoint> tEnd)
{
    if (tEnd)
        m_muteList.Mute(strKey, *tEnd);
    else
        m_muteList.Unmute(strKey);
    // Not written now (the disk full, the file protected): held in memory, tried again at close.
    (void)m_muteList.Save(InstallPath(PATH_PROFILE), Now());
    // Only the game list shows the marks.
    if (m_eView == EView::GameList)
        Rebuild();
}

void CZorvexMessengerDlg::WatchMuteEnd(bool bMarksShown)
{
    m_tMarksEnd = bMarksShown ? m_muteList.NextEnd(Now()) : std::nullopt;
    if (m_tMarksEnd)
        OnMuteEndTimer();
    else
        KillTimer(IDT_MUTE_END);
}

void CZorvexMessengerDlg::OnMuteEndTimer()
{
    // Another view shows no marks; coming back to the game list builds them anew.
    if (m_eView != EView::GameList || !m_tMarksEnd)
    {
        m_tMarksEnd.reset();
        KillTimer(IDT_MUTE_END);
        return;
    }
    const auto tNow = Now();
    if (tNow >= *m_tMarksEnd)
    {
        Rebuild(); // watches the next end, if any
        return;
    }
    const auto nWait = std::chrono::ceil<std::chrono::milliseconds>(*m_tMarksEnd - tNow).count();
    SetTimer(IDT_MUTE_END, static_cast<UINT>(std::min<long long>(nWait, MUTE_END_CHECK_MS)));
}
