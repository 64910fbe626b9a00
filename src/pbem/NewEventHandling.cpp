#include "base/Format.h"
#include "pbem/DownloadAnswer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"
#include "res/TextIds.h"

#include <algorithm>

namespace
{

// True when the entry shows this event already: the server sends an event again while its id is
// not raised (its file could not be written the first time), and a start-up may find an event
// both in its file and in the first download.
bool HoldsEvent(const CPBEMGameState& game, const CPBEMGameEvent& event)
{
    const std::wstring strKey = GetEventKey(event);
    return std::any_of(game.m_listEvents.begin(), game.m_listEvents.end(),
                       [&](const auto& pHeld) {
                           return pHeld->m_nEventId == event.m_nEventId &&
                                  GetEventKey(*pHeld) == strKey;
                       });
}

// Unlike the file name, this key puts a shared event under its own player's entry.
std::wstring AttachKey(const CPBEMGameEvent& event)
{
    return MakePlayerId(event.m_strGameId, event.m_nPlayer);
}

} // namespace

SNewEventsAnnouncement CPBEMMessageManager::TakeNewEvents()
{
    SNewEventsAnnouncement result;
    if (m_listNewEvents.empty())
        return result;
    result.bTookEvents = true;

    std::vector<std::unique_ptr<CPBEMGameEvent>> events = std::move(m_listNewEvents);
    m_listNewEvents.clear();

    // Events of a download are on disk already (ProcessAnswer wrote them first); this writes those
    // of any other way in and tells which are safely stored.
    std::vector<bool> onDisk;
    onDisk.reserve(events.size());
    for (const auto& pEvent : events)
        onDisk.push_back(StoreEventFile(*pEvent));
    RaiseHighestIds(m_store, events, onDisk, AttachKey);

    for (std::unique_ptr<CPBEMGameEvent>& pEvent : events)
    {
        std::wstring strKey = AttachKey(*pEvent);
        CPBEMGameState* pGame = m_store.FindGame(strKey);
        if (pGame == nullptr)
            continue; // a game this program does not know: dropped
        // The copy already shown stays where it is and is not counted again.
        if (HoldsEvent(*pGame, *pEvent))
            continue;

        ++result.nCount;
        if (pGame->GetPlayerNumber() > 0 && !pEvent->m_strText.empty())
        {
            if (!result.strText.empty())
                result.strText += L'\n';
            result.strText += pEvent->m_strText;
        }
        result.listAnnounced.push_back({std::move(strKey), pEvent.get()});
        // Newest first: within one batch the event handled last ends up at the head.
        pGame->m_listEvents.insert(pGame->m_listEvents.begin(), std::move(pEvent));
        pGame->m_bNewEvents = true;
    }

    if (result.nCount > 0)
    {
        if (result.strText.empty())
            result.strText = L" ";
        result.strTitle = result.nCount == 1 ? Text(IDS_ONE_NEW_EVENT)
                                             : FormatText(Text(IDS_N_NEW_EVENTS), {result.nCount});
    }
    return result;
}
