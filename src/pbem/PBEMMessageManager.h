// The program-wide game model: the game store and the events that have arrived but are not yet
// taken over by the main window, and the download that brings them.
#pragma once

#include "pbem/PBEMGameEvent.h"
#include "pbem/PBEMGameStore.h"
#include "pbem/StoreTransaction.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/VelCurlTransfer.h"

// How the handling of a download's answer went.
enum class [[nodiscard]] EDownloadOutcome{
    NotCollected, // no download, or it has not ended yet
    NoAnswer,     // the transfer failed, or its text is not one of the server's: nothing changed
    OtherVersion, // an answer of a version this program does not read: no events
    Incomplete,   // cut short (the transfer failed midway, or the text ended or went wrong inside
                  // it): the events that arrived are stored, and no highest event id is raised
    Complete,     // read to its end: the ids of its stored events are raised
};

struct [[nodiscard]] SDownloadResult
{
    EDownloadOutcome eOutcome = EDownloadOutcome::NotCollected;
    int nStored = 0; // events of the answer that are on disk (written now or before)
    // How writing the raised ids into PBEM.data went; empty when there was nothing to write.
    std::optional<ETransactionResult> idsSaved;

    // The text was one of the server's answers (complete or not).
    bool IsAnswer() const { return eOutcome >= EDownloadOutcome::OtherVersion; }
};

// One event the new-event handling attached to its entry and announced (its game not muted).
struct SAnnouncedEvent
{
    std::wstring strKey;              // the PlayerId of the entry it was attached to
    CPBEMGameEvent* pEvent = nullptr; // owned by that entry's m_listEvents
};

// What the handling of a finished download leaves for the main window to show.
struct [[nodiscard]] SNewEventsAnnouncement
{
    bool bTookEvents = false; // m_listNewEvents held events: the display is to be rebuilt
    int nCount = 0;       // events attached to an entry, not muted; a balloon is shown when above 0
    std::wstring strText; // the balloon text: BalloonText(listLines)
    std::wstring strTitle;                      // the balloon title: BalloonTitle(nCount)
    std::vector<std::wstring> listLines;        // the texts the balloon would list, all of them
    std::vector<SAnnouncedEvent> listAnnounced; // in the order they were handled
    SDownloadResult download;                   // set by HandleDownloadDone: how the download went
};

// The balloon text of these lines: the first 10 joined with "\n", then "and %d more" for the
// rest; " " when there are none (the tray shows no balloon without a text).
std::wstring BalloonText(const std::vector<std::wstring>& listLines);
// "1 New Event" or "%d New Events".
std::wstring BalloonTitle(int nCount);

// Whether the new events of a game (its id, without "-Pnn") are kept out of the announcement.
using FnGameMuted = std::function<bool(std::wstring_view strGameId)>;

class CPBEMMessageManager
{
public:
    CPBEMMessageManager() = default;
    // Ends a running download as Shutdown does.
    ~CPBEMMessageManager();
    CPBEMMessageManager(const CPBEMMessageManager&) = delete;
    CPBEMMessageManager& operator=(const CPBEMMessageManager&) = delete;

    // Forgets every waiting event and every entry.
    void ResetAll();
    // The first load of the game list (the file waited for while another holder has it, and
    // m_stillWaiting told when that lasts), then the flags of the entries. Afterwards
    // m_store.IsReadOnly() tells whether the raised event ids can be saved.
    void LoadAtStartup();
    // Reads the event files of the PBEM folder that belong to known entries into m_listNewEvents.
    void ScanEventFiles();

    // Starts the download of new events on a worker thread and returns at once; does nothing
    // (false) while an earlier download runs or has not been collected, or when no thread can be
    // started. The observer is told on the worker thread when the transfer has ended.
    [[nodiscard]] bool StartDownload(CVelCurlObserver* pObserver);
    // Takes the answer of a download that has ended and processes it; does nothing while none
    // has ended (NotCollected). A transfer that failed counts as cut short.
    SDownloadResult CollectDownload();
    // Reads the server's answer into m_listNewEvents and writes the event files. Unless the answer
    // was cut short, while events wait there it raises the highest event ids of the entries whose
    // events are on disk and came with an answer read whole (with bTransferComplete), and writes
    // every entry's id through into PBEM.data; an answer of another version does this for the
    // events that were waiting. An answer that is not one of the server's changes nothing.
    SDownloadResult ProcessAnswer(std::string_view strAnswer, bool bTransferComplete = true);
    // Fills event from the content of one event of an answer.
    static void EventFromAnswer(std::string_view strContent, std::uint32_t nEventId,
                                CPBEMGameEvent& event);

    // The main window's handling of a finished download: CollectDownload, then TakeNewEvents.
    SNewEventsAnnouncement HandleDownloadDone(const FnGameMuted& fnMuted = {});
    // Empties m_listNewEvents: writes the missing event files and attaches each event to the
    // entry of its game id and player number (events without an entry are dropped). Events of a
    // muted game are attached and stored all the same but left out of the count and the text.
    SNewEventsAnnouncement TakeNewEvents(const FnGameMuted& fnMuted = {});

    // Aborts a running download, waits for its thread and deletes it; its answer is dropped.
    // The program calls it before it ends, while libcurl is still set up. The download's
    // observer may still be told during the wait, so it must outlive this call.
    void Shutdown();

    CPBEMGameStore m_store;
    // Told when a wait for the game list lasts (nobody by default: the program waits silently).
    SStillWaiting m_stillWaiting;
    std::vector<std::unique_ptr<CPBEMGameEvent>> m_listNewEvents;
    std::unique_ptr<CVelCurlTransfer> m_pDownload; // set while a download runs or waits
    std::thread m_downloadThread; // the worker of m_pDownload until it is collected
};

// The one manager of the program, for the window code: main() owns it, so that its download
// thread ends before main returns (and before libcurl is cleaned up). Null outside that time.
extern CPBEMMessageManager* g_pMessageManager;

// Points g_pMessageManager at a manager for the scope's lifetime, then puts the previous one
// back. Declare it after the manager, so that the pointer goes before the manager does.
class CMessageManagerScope
{
public:
    explicit CMessageManagerScope(CPBEMMessageManager& manager);
    ~CMessageManagerScope();
    CMessageManagerScope(const CMessageManagerScope&) = delete;
    CMessageManagerScope& operator=(const CMessageManagerScope&) = delete;

private:
    CPBEMMessageManager* m_pPrevious;
};
