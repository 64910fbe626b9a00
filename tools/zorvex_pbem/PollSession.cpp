#include "PollSession.h"

#include "JsonWriter.h"
#include "PbemCommands.h"
#include "base/Encoding.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "net/GameServer.h"

#include <sys/stat.h>

#include <utility>

namespace
{

// Tells on standard error what went wrong with the download; the exit status for it.
int ReportDownload(const SDownloadResult& download, std::ostream& err)
{
    switch (download.eOutcome)
    {
    case EDownloadOutcome::NotCollected:
    case EDownloadOutcome::NoAnswer:
        err << "zorvex-pbem: no answer from the game server at "
            << GameServerURL(SCRIPT_DOWNLOAD_EVENTS)
            << " (set ZORVEX_SERVER to its base URL, for example http://127.0.0.1:8080)\n";
        return EXIT_FAILED;
    case EDownloadOutcome::OtherVersion:
        err << "zorvex-pbem: the game server answered in a version this program does not read\n";
        return EXIT_FAILED;
    case EDownloadOutcome::Incomplete:
        err << "zorvex-pbem: the game server's answer was cut short; the " << download.nStored
            << " event(s) that arrived are stored, and no event id was raised, so the rest is "
               "asked for again next time\n";
        return EXIT_FAILED;
    case EDownloadOutcome::Complete:
        break;
    }
    // A game list that may only be read was reported when it was loaded.
    if (download.idsSaved && *download.idsSaved != ETransactionResult::Saved &&
        *download.idsSaved != ETransactionResult::ReadOnly)
    {
        err << "zorvex-pbem: the events are stored, but the raised event ids could not be "
               "written into PBEM/PBEM.data; the server will send those events again\n";
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

} // namespace

void CDoneSignal::OnTransferDone(CVelCurlTransfer* /*pTransfer*/)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_bDone = true;
    m_changed.notify_all();
}

void CDoneSignal::WaitAndReset()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bDone; });
    m_bDone = false;
}

int CPollSession::Open(const std::wstring& strInstallDir)
{
    if (!DirectoryExists(strInstallDir))
    {
        m_err << "zorvex-pbem: " << ToNativePath(strInstallDir) << " is not a folder\n";
        return EXIT_BAD_INPUT;
    }
    SetInstallFolder(strInstallDir);
    // The main window creates the data folder before it loads the game list.
    ::mkdir(ToNativePath(InstallPath(PATH_PBEM_FOLDER)).c_str(), 0755);

    m_manager.ResetAll();
    // The program waits silently; a person at the command line is told why nothing happens.
    m_manager.m_stillWaiting.fnNotify = [&err = m_err, bTold = false]() mutable
    {
        if (!std::exchange(bTold, true))
            err << "zorvex-pbem: waiting for the game to release PBEM/PBEM.data\n";
    };
    m_manager.LoadAtStartup();
    if (m_manager.m_store.IsReadOnly())
        m_err << "zorvex-pbem: PBEM/PBEM.data is read-only: the highest event ids cannot be "
                 "saved\n";
    m_manager.ScanEventFiles();
    return EXIT_OK;
}

SPollRound CPollSession::Poll()
{
    SPollRound round;
    if (m_manager.StartDownload(&m_done))
        m_done.WaitAndReset();
    // Unmuted: the tool lists every event, as the program's window does.
    round.news = m_manager.HandleDownloadDone();
    round.nStatus = ReportDownload(round.news.download, m_err);
    return round;
}

std::string EventJsonLine(const SAnnouncedEvent& announced)
{
    const CPBEMGameEvent& event = *announced.pEvent;
    CJsonWriter json;
    json.BeginObject()
        .Field("key", announced.strKey)
        .Field("eventId", event.m_nEventId)
        .Field("kind", AnsiToWide(event.m_strKind))
        .Field("text", event.m_strText)
        .EndObject();
    return json.Text();
}
