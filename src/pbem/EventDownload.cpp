#include "net/GameServer.h"
#include "net/VelCurlTransfer.h"
#include "pbem/PBEMMessageManager.h"
#include "pbem/StoreTransaction.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <system_error>

namespace
{

constexpr std::chrono::milliseconds kStorePause(200);
constexpr std::int32_t kDownloadTimeout = 10; // seconds

// The game program raises turns and ids in the file while this program runs.
void RefreshFromDisk(CPBEMGameStore& store, const SStillWaiting& stillWaiting)
{
    CPBEMGameStore disk;
    // Values only ever go up, so the entries of a file read in part are as good as any; one that
    // could not be read at all holds none and changes nothing.
    (void)LoadStoreWaiting(disk, kStorePause, stillWaiting);
    for (const auto& pGame : store.m_listGames)
    {
        const CPBEMGameState* pOnDisk = disk.FindGame(pGame->m_strPlayerId);
        if (pOnDisk == nullptr)
            continue;
        pGame->m_nTurn = std::max(pGame->m_nTurn, pOnDisk->m_nTurn);
        pGame->m_nHighestEventId = std::max(pGame->m_nHighestEventId, pOnDisk->m_nHighestEventId);
    }
}

void AddDownloadFields(CVelCurlTransfer& transfer, const CPBEMGameStore& store)
{
    transfer.AddFormField("DownloadEvent", std::wstring_view(L"1"));
    int i = 0;
    for (const auto& pGame : store.m_listGames)
    {
        const std::string strNumber = std::to_string(++i);
        transfer.AddFormField("G" + strNumber, std::wstring_view(pGame->GetGameId()));
        transfer.AddFormField("P" + strNumber,
                              std::wstring_view(std::to_wstring(pGame->GetPlayerNumber())));
        transfer.AddFormField("Pw" + strNumber, std::wstring_view(pGame->m_strPassword));
        // The server reads the id as a signed number.
        transfer.AddFormField("HEventId" + strNumber,
                              std::wstring_view(std::to_wstring(
                                  static_cast<std::int32_t>(pGame->m_nHighestEventId))));
    }
}

} // namespace

CPBEMMessageManager::~CPBEMMessageManager()
{
    Shutdown();
}

bool CPBEMMessageManager::StartDownload(CVelCurlObserver* pObserver)
{
    if (m_pDownload != nullptr)
        return false;
    RefreshFromDisk(m_store, m_stillWaiting);

    // A new transfer is pending until it ends: a download not yet begun is not taken for ended.
    auto pTransfer = std::make_unique<CVelCurlTransfer>(pObserver);
    pTransfer->SetName("GetPBEMEvents");
    pTransfer->SetURL(GameServerURL(SCRIPT_DOWNLOAD_EVENTS));
    AddDownloadFields(*pTransfer, m_store);
    pTransfer->SetTimeout(kDownloadTimeout);
    try
    {
        m_downloadThread = std::thread(&CVelCurlTransfer::TransferThreadProc, pTransfer.get());
    }
    catch (const std::system_error&)
    {
        return false; // no thread to run it: like a failed download, tried again at the next tick
    }
    m_pDownload = std::move(pTransfer);
    return true;
}

SDownloadResult CPBEMMessageManager::CollectDownload()
{
    if (m_pDownload == nullptr || !m_pDownload->HasEnded())
        return {};
    // The end shows before the observer is told: the join waits until that call has returned.
    // On the worker itself (an observer that collects at once) the join could never end.
    if (m_downloadThread.get_id() == std::this_thread::get_id())
        return {};
    if (m_downloadThread.joinable())
        m_downloadThread.join();

    const std::unique_ptr<CVelCurlTransfer> pDownload = std::move(m_pDownload);
    const std::string strAnswer = pDownload->TakeResponse();
    // A reset connection, the time limit or the size cap can leave a text that begins like an
    // answer but ends early: it is handled as cut short.
    const bool bTransferComplete = pDownload->Succeeded();
    return ProcessAnswer(strAnswer, bTransferComplete);
}

SNewEventsAnnouncement CPBEMMessageManager::HandleDownloadDone(const FnGameMuted& fnMuted)
{
    const SDownloadResult download = CollectDownload();
    SNewEventsAnnouncement result = TakeNewEvents(fnMuted);
    result.download = download;
    return result;
}

void CPBEMMessageManager::Shutdown()
{
    if (m_pDownload == nullptr)
        return;
    m_pDownload->RequestAbort();
    if (m_downloadThread.joinable())
    {
        if (m_downloadThread.get_id() == std::this_thread::get_id())
        {
            // Called from the download's own observer: the thread finishes without us, and the
            // transfer it still uses must outlive it.
            m_downloadThread.detach();
            static_cast<void>(m_pDownload.release());
            return;
        }
        m_downloadThread.join();
    }
    m_pDownload.reset();
}
