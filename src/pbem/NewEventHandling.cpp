#include "base/Bidi.h"
#include "base/Format.h"
#include "pbem/DownloadAnswer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"
#include "res/TextIds.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace
{

// The balloon's last line when it lists only the first MAX_BALLOON_LINES events' texts: a poll that
// brings hundreds would make it taller than the screen. Kept here, where the text is built, for
// the tray and the command line alike; the other added texts are in src/mainwnd/MainWndTexts.h.
constexpr STextId IDS_AND_N_MORE{90012, L"and %d more"};
constexpr std::size_t MAX_BALLOON_LINES = 10;

// Unlike the file name, this key puts a shared event under its own player's entry.
std::wstring AttachKey(const CPBEMGameEvent& event)
{
    return MakePlayerId(event.m_strGameId, event.m_nPlayer);
}

// What one entry gets in one batch, and the events it shows already. The server sends an event
// again while its id is not raised (its file could not be written the first time, or its answer
// was cut short), and a start-up may find an event both in its file and in the first download:
// the copy already shown stays and is not counted again. Kept per entry, so that a batch of a
// hundred thousand events costs as much as it holds, not its square.
struct SEntryBatch
{
    std::unordered_map<std::wstring, std::unordered_set<std::uint32_t>> held; // file key -> ids
    bool bHeldKnown = false;
    std::vector<std::unique_ptr<CPBEMGameEvent>> arrived; // in the order they were handled

    bool TakeIfNew(const CPBEMGameState& game, const CPBEMGameEvent& event)
    {
        if (!bHeldKnown)
        {
            for (const auto& pHeld : game.m_listEvents)
                held[GetEventKey(*pHeld)].insert(pHeld->m_nEventId);
            bHeldKnown = true;
        }
        return held[GetEventKey(event)].insert(event.m_nEventId).second;
    }
};

} // namespace

SNewEventsAnnouncement CPBEMMessageManager::TakeNewEvents(const FnGameMuted& fnMuted)
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

    std::unordered_map<CPBEMGameState*, SEntryBatch> batches;
    std::vector<CPBEMGameState*> touched; // entries in the order they first got an event
    std::unordered_map<std::wstring, CPBEMGameState*> entries;
    for (std::unique_ptr<CPBEMGameEvent>& pEvent : events)
    {
        std::wstring strKey = AttachKey(*pEvent);
        auto [itEntry, bNewKey] = entries.emplace(strKey, nullptr);
        if (bNewKey)
            itEntry->second = m_store.FindGame(strKey);
        CPBEMGameState* pGame = itEntry->second;
        if (pGame == nullptr)
            continue; // a game this program does not know: dropped
        auto [itBatch, bNewEntry] = batches.try_emplace(pGame);
        if (bNewEntry)
            touched.push_back(pGame);
        if (!itBatch->second.TakeIfNew(*pGame, *pEvent))
            continue;

        if (!fnMuted || !fnMuted(pEvent->m_strGameId))
        {
            ++result.nCount;
            // One event's open direction controls must not turn the lines of the next ones.
            if (pGame->GetPlayerNumber() > 0 && !pEvent->m_strText.empty())
                result.listLines.push_back(CloseOpenBidi(pEvent->m_strText));
            result.listAnnounced.push_back({std::move(strKey), pEvent.get()});
        }
        itBatch->second.arrived.push_back(std::move(pEvent));
    }

    // Newest first: within one batch the event handled last ends up at the head. One insertion
    // per entry instead of one per event keeps this linear.
    for (CPBEMGameState* pGame : touched)
    {
        auto& arrived = batches[pGame].arrived;
        if (arrived.empty())
            continue;
        pGame->m_listEvents.insert(pGame->m_listEvents.begin(),
                                   std::make_move_iterator(arrived.rbegin()),
                                   std::make_move_iterator(arrived.rend()));
        pGame->m_bNewEvents = true;
    }

    if (result.nCount > 0)
    {
        result.strText = BalloonText(result.listLines);
        result.strTitle = BalloonTitle(result.nCount);
    }
    return result;
}

std::wstring BalloonText(const std::vector<std::wstring>& listLines)
{
    std::wstring strText;
    const std::size_t nShown = std::min(listLines.size(), MAX_BALLOON_LINES);
    for (std::size_t i = 0; i < nShown; ++i)
    {
        if (i > 0)
            strText += L'\n';
        strText += listLines[i];
    }
    if (listLines.size() > MAX_BALLOON_LINES)
        strText += L'\n' + FormatText(Text(IDS_AND_N_MORE),
                                      {static_cast<int>(listLines.size() - MAX_BALLOON_LINES)});
    return strText.empty() ? L" " : strText;
}

std::wstring BalloonTitle(int nCount)
{
    return nCount == 1 ? Text(IDS_ONE_NEW_EVENT) : FormatText(Text(IDS_N_NEW_EVENTS), {nCount});
}
