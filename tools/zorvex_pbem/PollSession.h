// One installation folder polled as the program polls it: the start-up load and scan once, then
// any number of downloads, each stored and announced by the program's own code (the same locks,
// the event files written before the raised ids). Shared by `poll` and `watch`.
#pragma once

#include "net/CurlGlobal.h"
#include "pbem/PBEMMessageManager.h"

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>

// Stands for the main window, which is told on the worker thread that the download has ended.
class CDoneSignal : public CVelCurlObserver
{
public:
    void OnTransferDone(CVelCurlTransfer* pTransfer) override;
    // The transfer's own time limit ends every wait; the next wait needs a new signal.
    void WaitAndReset();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bDone = false;
};

struct SPollRound
{
    int nStatus = 0;             // as the poll command's exit status
    SNewEventsAnnouncement news; // every event, muted or not; its events belong to the session
};

class CPollSession
{
public:
    explicit CPollSession(std::ostream& err) : m_err(err) {}
    CPollSession(const CPollSession&) = delete;
    CPollSession& operator=(const CPollSession&) = delete;

    // Takes the folder as the program's installation folder and loads it as the program starts;
    // EXIT_BAD_INPUT (told on standard error) when it is no folder.
    int Open(const std::wstring& strInstallDir);
    // One download, its answer stored and its new events taken (at the first round also the
    // event files found at the start, as the program announces them). What went wrong is told.
    SPollRound Poll();
    CPBEMMessageManager& Manager() { return m_manager; }

private:
    std::ostream& m_err;
    const CCurlGlobal m_curl;
    CDoneSignal m_done; // outlives the manager, which may still tell it while it ends
    CPBEMMessageManager m_manager;
};

// One announced event as the JSON line `poll` prints: {"key","eventId","kind","text"}.
std::string EventJsonLine(const SAnnouncedEvent& announced);
