// CZorvexMessengerDlg: polling for new events and announcing them. The download runs on a worker
// thread that only posts IDC_DOWNLOAD_DONE; everything else happens here on the user-interface
// thread, shown or hidden in the tray alike.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "pbem/PBEMMessageManager.h"

void CZorvexMessengerDlg::StartPolling()
{
    if (g_pMessageManager != nullptr)
        g_pMessageManager->StartDownload(this);
    SetTimer(IDT_POLL, POLL_PERIOD_MS);
}

void CZorvexMessengerDlg::OnTimer(UINT_PTR nIDEvent)
{
    // The manager ignores a start while the previous download runs: ticks never pile up.
    if (nIDEvent == IDT_POLL)
    {
        if (g_pMessageManager != nullptr)
            g_pMessageManager->StartDownload(this);
        return;
    }
    CCustomDialog::OnTimer(nIDEvent);
}

void CZorvexMessengerDlg::OnDownloadDone()
{
    if (g_pMessageManager == nullptr)
        return;
    const SNewEventsAnnouncement news = g_pMessageManager->HandleDownloadDone();
    if (!news.bTookEvents)
        return;
    if (news.nCount > 0)
    {
        m_trayIcon.ShowBalloon(news.strText.c_str(), news.strTitle.c_str());
        m_trayIcon.SetIconFromResource(IDI_NEW_EVENTS);
    }
    Rebuild();
}
