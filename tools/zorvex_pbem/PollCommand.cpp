#include "PbemCommands.h"

#include "JsonWriter.h"
#include "app/InstallFolder.h"
#include "base/Encoding.h"
#include "base/Paths.h"
#include "net/CurlGlobal.h"
#include "net/GameServer.h"
#include "net/VelCurlTransfer.h"
#include "pbem/PBEMMessageManager.h"

#include <sys/stat.h>

#include <condition_variable>
#include <mutex>
#include <utility>

namespace
{

// Stands for the main window, which is told on the worker thread that the download has ended.
class CDoneSignal : public CVelCurlObserver
{
public:
    void OnTransferDone(CVelCurlTransfer* /*pTransfer*/) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bDone = true;
        m_changed.notify_all();
    }
    // The transfer's own time limit ends every wait.
    void Wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_bDone; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bDone = false;
};

void PrintAnnouncement(const SNewEventsAnnouncement& announcement, std::ostream& out)
{
    for (const SAnnouncedEvent& announced : announcement.listAnnounced)
    {
        const CPBEMGameEvent& event = *announced.pEvent;
        CJsonWriter json;
        json.BeginObject()
            .Field("key", announced.strKey)
            .Field("eventId", event.m_nEventId)
            .Field("kind", AnsiToWide(event.m_strKind))
            .Field("text", event.m_strText)
            .EndObject();
        out << json.Text() << "\n";
    }
    CJsonWriter json;
    json.BeginObject()
        .Field("count", announcement.nCount)
        .Field("text", announcement.strText)
        .EndObject();
    out << json.Text() << "\n";
}

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

int RunPollCommand(const std::wstring& strInstallDir, std::ostream& out, std::ostream& err)
{
    if (!DirectoryExists(strInstallDir))
    {
        err << "zorvex-pbem: " << ToNativePath(strInstallDir) << " is not a folder\n";
        return EXIT_BAD_INPUT;
    }
    SetInstallFolder(strInstallDir);
    // The main window creates the data folder before it loads the game list.
    ::mkdir(ToNativePath(InstallPath(PATH_PBEM_FOLDER)).c_str(), 0755);

    const CCurlGlobal curl;
    CDoneSignal done; // outlives the manager, which may still tell it while it ends
    SDownloadResult download;
    {
        CPBEMMessageManager manager;
        manager.ResetAll();
        // The program waits silently; a person at the command line is told why nothing happens.
        manager.m_stillWaiting.fnNotify = [&err, bTold = false]() mutable
        {
            if (!std::exchange(bTold, true))
                err << "zorvex-pbem: waiting for the game to release PBEM/PBEM.data\n";
        };
        manager.LoadAtStartup();
        if (manager.m_store.IsReadOnly())
            err << "zorvex-pbem: PBEM/PBEM.data is read-only: the highest event ids cannot be "
                   "saved\n";
        manager.ScanEventFiles();
        manager.StartDownload(&done);
        if (manager.m_pDownload != nullptr)
            done.Wait();
        download = manager.CollectDownload();
        // The announced events belong to the manager's entries.
        PrintAnnouncement(manager.TakeNewEvents(), out);
    }
    return ReportDownload(download, err);
}
