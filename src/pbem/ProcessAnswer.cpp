#include "pbem/DownloadAnswer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"
#include "pbem/StoreTransaction.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>

namespace
{

// The game program may hold PBEM.data for a while; the download waits for it in these steps.
constexpr std::chrono::milliseconds kStorePause(200);

EDownloadOutcome OutcomeOf(EAnswerRead eRead, bool bTransferComplete)
{
    switch (eRead)
    {
    case EAnswerRead::NotAnAnswer:
        return EDownloadOutcome::NoAnswer;
    case EAnswerRead::WrongVersion:
        return bTransferComplete ? EDownloadOutcome::OtherVersion : EDownloadOutcome::Incomplete;
    case EAnswerRead::Malformed:
        return EDownloadOutcome::Incomplete;
    case EAnswerRead::Read:
        break;
    }
    return bTransferComplete ? EDownloadOutcome::Complete : EDownloadOutcome::Incomplete;
}

} // namespace

bool StoreEventFile(CPBEMGameEvent& event)
{
    // A name means a file on disk: the event was read from it, or written or found there.
    if (!event.m_strFileName.empty())
        return true;
    const EWriteEvent eWritten = WriteEventFileChecked(event);
    return eWritten == EWriteEvent::Written || eWritten == EWriteEvent::AlreadyStored;
}

void RaiseHighestIds(CPBEMGameStore& store,
                     const std::vector<std::unique_ptr<CPBEMGameEvent>>& events,
                     const std::vector<bool>& onDisk,
                     const std::function<std::wstring(const CPBEMGameEvent&)>& keyOf)
{
    std::vector<std::wstring> keys;
    keys.reserve(events.size());
    for (const auto& pEvent : events)
        keys.push_back(keyOf(*pEvent));

    std::unordered_map<std::wstring, std::uint32_t> lowestUnsaved;
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        if (onDisk[i])
            continue;
        const auto [it, bNew] = lowestUnsaved.emplace(keys[i], events[i]->m_nEventId);
        if (!bNew)
            it->second = std::min(it->second, events[i]->m_nEventId);
    }

    // One lookup per key, not per event: a start-up may bring a hundred thousand events.
    std::unordered_map<std::wstring, CPBEMGameState*> entries;
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        if (!onDisk[i] || !events[i]->m_bIdCounts)
            continue;
        auto [itEntry, bNew] = entries.emplace(keys[i], nullptr);
        if (bNew)
            itEntry->second = store.FindGame(keys[i]);
        CPBEMGameState* pGame = itEntry->second;
        if (pGame == nullptr)
            continue;
        const auto it = lowestUnsaved.find(keys[i]);
        if (it != lowestUnsaved.end() && events[i]->m_nEventId >= it->second)
            continue;
        pGame->m_nHighestEventId = std::max(pGame->m_nHighestEventId, events[i]->m_nEventId);
    }
}

SDownloadResult CPBEMMessageManager::ProcessAnswer(std::string_view strAnswer,
                                                   bool bTransferComplete)
{
    SDownloadResult result;
    std::vector<std::unique_ptr<CPBEMGameEvent>> arrived;
    result.eOutcome = OutcomeOf(ReadAnswerEvents(strAnswer, arrived), bTransferComplete);
    if (!result.IsAnswer())
        return result;
    const bool bComplete = result.eOutcome == EDownloadOutcome::Complete;
    // An answer of another version brings no events, but like a complete one it still writes
    // through the ids of those already waiting.
    const bool bIdsGoBack = bComplete || result.eOutcome == EDownloadOutcome::OtherVersion;
    const std::size_t nFirstArrived = m_listNewEvents.size();
    for (auto& pEvent : arrived)
    {
        pEvent->m_bIdCounts = bComplete;
        m_listNewEvents.push_back(std::move(pEvent));
    }
    if (m_listNewEvents.empty())
        return result;

    // The files first: an id raised for an event that is not on disk would never be sent again
    // by the server, and the event would be lost with the end of the program.
    std::vector<bool> onDisk;
    onDisk.reserve(m_listNewEvents.size());
    for (std::size_t i = 0; i < m_listNewEvents.size(); ++i)
    {
        onDisk.push_back(StoreEventFile(*m_listNewEvents[i]));
        if (onDisk.back() && i >= nFirstArrived)
            ++result.nStored;
    }
    // A cut answer keeps its events (their files are recognised when they come again) but raises
    // no id: the events listed after the cut may have lower ids than those that arrived.
    if (!bIdsGoBack)
        return result;
    // The new names must outlast a power cut before the ids that cover them are saved.
    if (!SyncEventFolder())
    {
        result.idsSaved = ETransactionResult::NotSaved;
        return result;
    }
    RaiseHighestIds(m_store, m_listNewEvents, onDisk, GetEventKey);

    // Only the highest ids go back; everything else in the file stays as the game program left it.
    result.idsSaved = RunStoreTransaction(
        [this](CPBEMGameStore& disk)
        {
            for (const auto& pGame : m_store.m_listGames)
            {
                if (CPBEMGameState* pOnDisk = disk.FindGame(pGame->m_strPlayerId))
                    pOnDisk->m_nHighestEventId =
                        std::max(pOnDisk->m_nHighestEventId, pGame->m_nHighestEventId);
            }
        },
        kStorePause, {}, m_stillWaiting);
    return result;
}
