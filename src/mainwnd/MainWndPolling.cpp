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

#include "app/GameProcess.h"
#include "app/InstallFolder.h"
#include "base/Format.h"
#include "mainwnd/MainWndTexts.h"
#include "pbem/PBEMMessageManager.h"
#include "res/TextIds.h"

#include <ctime>
#include <cwchar>
#include <iterator>

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
    default:
        CCustomDialog::OnTimer(nIDEvent);
    }
}

void CZorvexMessengerDlg::OnSystemResumed()
{
    if (PollNow())
        SetTimer(IDT_POLL, POLL_PERIOD_MS);
}

void CZorvexMessengerDlg::ShowLastCheck()
{
    const std::time_t t = std::chrono::system_clock::to_time_t(Now());
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return;
    wchar_t szTime[16];
    std::swprintf(szTime, std::size(szTime), L"%02d:%02d", local.tm_hour, local.tm_min);
    m_trayIcon.SetTooltipText(FormatText(Text(IDS_LAST_CHECK), {Text(IDS_ZORVEX), szTime}).c_str());
}

void CZorvexMessengerDlg::OnDownloadDone()
{
    if (g_pMessageManager == nullptr)
        return;
    const SNewEventsAnnouncement news = g_pMessageManager->HandleDownloadDone();
    // Any answer of the server counts as a check, even one that brought nothing or was cut
    // short; a download that never reached it leaves the last time shown.
    if (news.download.IsAnswer())
        ShowLastCheck();
    if (news.nCount > 0)
        HoldNews(news.nCount, news.strText);
    ShowHeldNews();
    if (!news.bTookEvents)
        return;
    if (news.nCount > 0)
        m_trayIcon.SetIconFromResource(IDI_NEW_EVENTS);
    Rebuild();
}

void CZorvexMessengerDlg::HoldNews(int nCount, const std::wstring& strText)
{
    m_nHeldNews += nCount;
    // " " stands for no text at all.
    if (strText == L" ")
        return;
    if (!m_strHeldNewsText.empty())
        m_strHeldNewsText += L'\n';
    m_strHeldNewsText += strText;
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
    const std::wstring strTitle = m_nHeldNews == 1
                                      ? Text(IDS_ONE_NEW_EVENT)
                                      : FormatText(Text(IDS_N_NEW_EVENTS), {m_nHeldNews});
    const std::wstring strText = m_strHeldNewsText.empty() ? L" " : m_strHeldNewsText;
    m_nHeldNews = 0;
    m_strHeldNewsText.clear();
    m_trayIcon.ShowBalloon(strText.c_str(), strTitle.c_str());
}
