// CZorvexMessengerDlg: polling for new events and announcing them. The download runs on a worker
// thread that only posts IDC_DOWNLOAD_DONE; everything else happens here on the user-interface
// thread, shown or hidden in the tray alike.
//
// The poll timer counts only the time the machine is awake, so after a suspend it could come
// late by up to a period: waking up polls at once, and a cheap once-a-minute check polls when
// the wall clock says a poll is overdue.
//
// A balloon over a game played full-screen is the last thing its player wants, and the game
// shows its news itself: while it runs, the events are stored and the icon changes, but the
// balloon waits for its end and then sums up all that came meanwhile.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Format.h"
#include "install/GameProcess.h"
#include "install/InstallFolder.h"
#include "mainwnd/MainWndTexts.h"
#include "pbem/PBEMMessageManager.h"
#include "res/TextIds.h"

#include <ctime>
#include <cwchar>
#include <iterator>

namespace
{

// The download waits for the game list without limit while another holder has it (the game
// saves in a moment); a wait this long is worth naming in the outcome of the check.
constexpr std::chrono::milliseconds kListHeldAfter(2000);

ECheckOutcome CheckOutcomeOf(const SDownloadResult& download, bool bListWaitLasted)
{
    switch (download.eOutcome)
    {
    case EDownloadOutcome::NotCollected:
        return ECheckOutcome::None;
    case EDownloadOutcome::NoAnswer:
        return ECheckOutcome::NotReachable;
    case EDownloadOutcome::Incomplete:
        return ECheckOutcome::CutShort;
    case EDownloadOutcome::OtherVersion:
    case EDownloadOutcome::Complete:
        break;
    }
    if (bListWaitLasted || download.idsSaved == ETransactionResult::Busy)
        return ECheckOutcome::ListHeld;
    return ECheckOutcome::Reached;
}

// Notes in bWaitLasted a wait for the game list that goes on past kListHeldAfter while it lives;
// the manager's own listener comes back afterwards, also when a throw leaves the scope.
class CListWaitWatch
{
public:
    CListWaitWatch(SStillWaiting& stillWaiting, bool& bWaitLasted)
        : m_stillWaiting(stillWaiting), m_previous(stillWaiting)
    {
        m_stillWaiting = {[&bWaitLasted] { bWaitLasted = true; }, kListHeldAfter};
    }
    ~CListWaitWatch() { m_stillWaiting = m_previous; }
    CListWaitWatch(const CListWaitWatch&) = delete;
    CListWaitWatch& operator=(const CListWaitWatch&) = delete;

private:
    SStillWaiting& m_stillWaiting;
    const SStillWaiting m_previous;
};

std::wstring OutcomeSuffix(ECheckOutcome eOutcome)
{
    switch (eOutcome)
    {
    case ECheckOutcome::NotReachable:
        return Text(IDS_CHECK_NOT_REACHABLE);
    case ECheckOutcome::CutShort:
        return Text(IDS_CHECK_CUT_SHORT);
    case ECheckOutcome::ListHeld:
        return Text(IDS_CHECK_LIST_HELD);
    case ECheckOutcome::None:
    case ECheckOutcome::Reached:
        break;
    }
    return {};
}

} // namespace

void CZorvexMessengerDlg::StartPolling()
{
    PollNow();
    SetTimer(IDT_POLL, POLL_PERIOD_MS);
    SetTimer(IDT_POLL_CHECK, POLL_CHECK_PERIOD_MS);
    m_resumeWatch.Watch(GetSafeHwnd(), WM_SYSTEM_RESUMED);
}

bool CZorvexMessengerDlg::PollNow()
{
    // A start the manager refuses (a download still running) keeps the time of the last one, so
    // that the check catches up once that download is over.
    if (g_pMessageManager == nullptr || !g_pMessageManager->StartDownload(this))
        return false;
    m_tLastPoll = Now();
    return true;
}

void CZorvexMessengerDlg::CheckNow()
{
    if (PollNow())
        SetTimer(IDT_POLL, POLL_PERIOD_MS);
}

std::chrono::system_clock::time_point CZorvexMessengerDlg::Now() const
{
    return m_fnNow ? m_fnNow() : std::chrono::system_clock::now();
}

void CZorvexMessengerDlg::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent)
    {
    case IDT_POLL:
        // Nothing while the previous download runs: ticks never pile up.
        PollNow();
        return;
    case IDT_POLL_CHECK:
        // A clock set back makes the difference negative: the poll timer alone goes on.
        if (Now() - m_tLastPoll > POLL_OVERDUE && PollNow())
            SetTimer(IDT_POLL, POLL_PERIOD_MS);
        return;
    case IDT_HELD_NEWS:
        ShowHeldNews();
        return;
    case IDT_STARTUP_WORK:
        RunStartupWork();
        return;
    case IDT_MUTE_END:
        OnMuteEndTimer();
        return;
    default:
        CCustomDialog::OnTimer(nIDEvent);
    }
}

void CZorvexMessengerDlg::OnSystemResumed()
{
    CheckNow();
}

std::wstring CZorvexMessengerDlg::LastCheckTime() const
{
    if (m_eLastCheck == ECheckOutcome::None)
        return {};
    const std::time_t t = std::chrono::system_clock::to_time_t(m_tLastCheck);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return {};
    wchar_t szTime[16];
    std::swprintf(szTime, std::size(szTime), L"%02d:%02d", local.tm_hour, local.tm_min);
    return szTime;
}

std::wstring CZorvexMessengerDlg::LastCheckOutcome() const
{
    return OutcomeSuffix(m_eLastCheck);
}

std::wstring CZorvexMessengerDlg::LastCheckText() const
{
    const std::wstring strTime = LastCheckTime();
    return strTime.empty() ? strTime : strTime + LastCheckOutcome();
}

void CZorvexMessengerDlg::ShowLastCheck()
{
    const std::wstring strCheck = LastCheckText();
    if (strCheck.empty())
        return;
    m_trayIcon.SetTooltipText(
        FormatText(Text(IDS_LAST_CHECK), {Text(IDS_ZORVEX), strCheck}).c_str());
}

void CZorvexMessengerDlg::OnDownloadDone()
{
    if (g_pMessageManager == nullptr)
        return;
    // Tells whether writing the ids back had to wait for the game list; only for this download.
    bool bListWaitLasted = false;
    const auto tNow = Now();
    const SNewEventsAnnouncement news = [&]
    {
        const CListWaitWatch watch(g_pMessageManager->m_stillWaiting, bListWaitLasted);
        return g_pMessageManager->HandleDownloadDone(
            [&](std::wstring_view strGameId) { return m_muteList.IsMuted(strGameId, tNow); });
    }();

    // Every download that ended is a check, whatever it met; the tooltip and the status row say
    // when it was and what went wrong.
    const ECheckOutcome eOutcome = CheckOutcomeOf(news.download, bListWaitLasted);
    if (eOutcome != ECheckOutcome::None)
    {
        m_eLastCheck = eOutcome;
        m_tLastCheck = Now();
        ShowLastCheck();
        if (!news.bTookEvents && m_eView == EView::Preferences)
            Rebuild();
    }
    if (news.nCount > 0)
        HoldNews(news);
    ShowHeldNews();
    if (!news.bTookEvents)
        return;
    if (news.nCount > 0)
        m_trayIcon.SetIconFromResource(IDI_NEW_EVENTS);
    Rebuild();
}

void CZorvexMessengerDlg::OnAnnouncementClicked()
{
    ShowFromTray();
    // The game may have been removed since the announcement.
    if (!m_strAnnouncedGame.empty() && g_pMessageManager != nullptr &&
        g_pMessageManager->m_store.FindGame(m_strAnnouncedGame) != nullptr)
    {
        m_strCurrentGame = m_strAnnouncedGame;
        SwitchView(EView::Game);
    }
    else
    {
        SwitchView(EView::GameList);
    }
}

void CZorvexMessengerDlg::HoldNews(const SNewEventsAnnouncement& news)
{
    m_nHeldNews += news.nCount;
    m_listHeldLines.insert(m_listHeldLines.end(), news.listLines.begin(), news.listLines.end());
    // One game may have events of the player's entry and of its shared one: the player's entry
    // is the one to open.
    const auto gameId = [](const std::wstring& strKey)
    { return strKey.size() >= 4 ? strKey.substr(0, strKey.size() - 4) : strKey; };
    const auto isShared = [](const std::wstring& strKey) { return strKey.ends_with(L"-P00"); };
    for (const SAnnouncedEvent& announced : news.listAnnounced)
    {
        if (m_bHeldSeveralGames)
            break;
        if (!m_strHeldGame.empty() && gameId(announced.strKey) != gameId(m_strHeldGame))
        {
            m_bHeldSeveralGames = true;
            m_strHeldGame.clear();
        }
        // The first game, or its player's entry in place of its shared one.
        else if (m_strHeldGame.empty() || (isShared(m_strHeldGame) && !isShared(announced.strKey)))
            m_strHeldGame = announced.strKey;
    }
}

void CZorvexMessengerDlg::ShowHeldNews()
{
    if (m_nHeldNews == 0)
        return;
    const bool bGameRunning =
        m_fnIsGameRunning ? m_fnIsGameRunning() : IsGameRunning(GetInstallFolder());
    if (bGameRunning)
    {
        SetTimer(IDT_HELD_NEWS, HELD_NEWS_CHECK_MS);
        return;
    }
    KillTimer(IDT_HELD_NEWS);
    const std::wstring strTitle = BalloonTitle(m_nHeldNews);
    const std::wstring strText = BalloonText(m_listHeldLines);
    // A click on the balloon opens the one game it speaks of, or the game list.
    m_strAnnouncedGame = m_strHeldGame;
    m_nHeldNews = 0;
    m_listHeldLines.clear();
    m_strHeldGame.clear();
    m_bHeldSeveralGames = false;
    m_trayIcon.ShowBalloon(strText.c_str(), strTitle.c_str());
}
