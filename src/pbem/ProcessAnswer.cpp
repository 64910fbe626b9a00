#include "app/InstallFolder.h"
#include "base/Paths.h"
#include "pbem/DownloadAnswer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"
#include "pbem/StoreTransaction.h"

#include <algorithm>
#include <chrono>
#include <map>

namespace
{

// The game program may hold PBEM.data for a while; the download waits for it in these steps.
constexpr std::chrono::milliseconds kStorePause(200);

bool IsFileInPbemFolder(const std::wstring& strName)
{
    return FileExists(EventFilePath(strName));
}

} // namespace

bool StoreEventFile(CPBEMGameEvent& event)
{
    if (!WriteEventFile(event).empty())
        return true;
    // Nothing written: the file is there already, or the write failed (which leaves no file).
    std::wstring strName = event.m_strFileName;
    if (strName.empty())
    {
        if (!IsSafeGameId(event.m_strGameId))
            return false;
        strName = MakeEventFileName(event);
    }
    return IsFileInPbemFolder(strName);
}

void RaiseHighestIds(CPBEMGameStore& store,
                     const std::vector<std::unique_ptr<CPBEMGameEvent>>& events,
                     const std::vector<bool>& onDisk,
                     const std::function<std::wstring(const CPBEMGameEvent&)>& keyOf)
{
    std::map<std::wstring, std::uint32_t> lowestUnsaved;
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        if (onDisk[i])
            continue;
        const auto [it, bNew] = lowestUnsaved.emplace(keyOf(*events[i]), events[i]->m_nEventId);
        if (!bNew)
            it->second = std::min(it->second, events[i]->m_nEventId);
    }
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        if (!onDisk[i])
            continue;
        const std::wstring strKey = keyOf(*events[i]);
        CPBEMGameState* pGame = store.FindGame(strKey);
        if (pGame == nullptr)
            continue;
        const auto it = lowestUnsaved.find(strKey);
        if (it != lowestUnsaved.end() && events[i]->m_nEventId >= it->second)
            continue;
        pGame->m_nHighestEventId = std::max(pGame->m_nHighestEventId, events[i]->m_nEventId);
    }
}

bool CPBEMMessageManager::ProcessAnswer(std::string_view strAnswer)
{
    if (ReadAnswerEvents(strAnswer, m_listNewEvents) == EAnswerRead::NotAnAnswer)
        return false;
    if (m_listNewEvents.empty())
        return true;

    // The files first: an id raised for an event that is not on disk would never be sent again
    // by the server, and the event would be lost with the end of the program.
    std::vector<bool> onDisk;
    onDisk.reserve(m_listNewEvents.size());
    for (const auto& pEvent : m_listNewEvents)
        onDisk.push_back(StoreEventFile(*pEvent));
    RaiseHighestIds(m_store, m_listNewEvents, onDisk, GetEventKey);

    // Only the highest ids go back; everything else in the file stays as the game program left it.
    RunStoreTransaction(
        [this](CPBEMGameStore& disk)
        {
            for (const auto& pGame : m_store.m_listGames)
            {
                if (CPBEMGameState* pOnDisk = disk.FindGame(pGame->m_strPlayerId))
                    pOnDisk->m_nHighestEventId =
                        std::max(pOnDisk->m_nHighestEventId, pGame->m_nHighestEventId);
            }
        },
        kStorePause);
    return true;
}
