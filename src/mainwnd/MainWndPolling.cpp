// CZorvexMessengerDlg: polling for new events and announcing them. The download runs on a worker
// thread that only posts IDC_DOWNLOAD_DONE; everything else happens here on the user-interface
// thread, shown or hidden in the tray alike.
//
// The poll timer counts only the time the machine is awake, so after a suspend it could come
// late by up to a period: waking up polls at once, and a cheap once-a-minute check polls when
// the wall clock says a poll is overdue.
#include "mainwnd/ZorvexMessengerDlg.h"

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
    const auto tNow = Now();
    const SNewEventsAnnouncement news = g_pMessageManager->HandleDownloadDone(
        [&](std::wstring_view strGameId) { return m_muteList.IsMuted(strGameId, tNow); });
    // Any answer of the server counts as a check, even one that brought nothing or was cut
    // short; a download that never reached it leaves the last time shown.
    if (news.download.IsAnswer())
        ShowLastCheck();
    if (!news.bTookEvents)
        return;
    if (news.nCount > 0)
    {
        m_trayIcon.ShowBalloon(news.strText.c_str(), news.strTitle.c_str());
        m_trayIcon.SetIconFromResource(IDI_NEW_EVENTS);
    }
    Rebuild();
}
