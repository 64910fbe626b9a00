// The program-wide game model: the game store and the events that have arrived but are not yet
// taken over by the main window.
#pragma once

#include "pbem/PBEMGameEvent.h"
#include "pbem/PBEMGameStore.h"

#include <memory>
#include <vector>

class CVelCurlTransfer;

class CPBEMMessageManager
{
public:
    CPBEMMessageManager() = default;
    CPBEMMessageManager(const CPBEMMessageManager&) = delete;
    CPBEMMessageManager& operator=(const CPBEMMessageManager&) = delete;

    // Forgets every waiting event and every entry.
    void ResetAll();
    // The first load of the game list (the file waited for while another holder has it), then
    // the flags of the entries.
    void LoadAtStartup();
    // Reads the event files of the PBEM folder that belong to known entries into m_listNewEvents.
    void ScanEventFiles();

    CPBEMGameStore m_store;
    std::vector<std::unique_ptr<CPBEMGameEvent>> m_listNewEvents;
    CVelCurlTransfer* m_pDownload = nullptr;
};

// The one manager of the program.
extern CPBEMMessageManager* g_pMessageManager;
