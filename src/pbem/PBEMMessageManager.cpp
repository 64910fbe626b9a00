#include "pbem/PBEMMessageManager.h"

#include <chrono>
#include <thread>

namespace
{
CPBEMMessageManager s_messageManager;
}

CPBEMMessageManager* g_pMessageManager = &s_messageManager;

void CPBEMMessageManager::ResetAll()
{
    m_listNewEvents.clear();
    m_store.Clear();
}

void CPBEMMessageManager::LoadAtStartup()
{
    constexpr auto kPause = std::chrono::milliseconds(10);
    bool bHeld = m_store.OpenLocked();
    // Wait for another holder; a file that cannot be opened at all leaves the list empty.
    while (!bHeld && m_store.WasBusy())
    {
        std::this_thread::sleep_for(kPause);
        bHeld = m_store.OpenLocked();
    }
    if (bHeld)
    {
        // What could be parsed is shown even when the file is damaged; no save follows.
        m_store.Load();
        m_store.CloseLocked();
    }

    for (const auto& pGame : m_store.m_listGames)
    {
        if (pGame->m_bmpFlag.m_nHeight == 0 && !pGame->m_strFlagName.empty())
            LoadFlagImage(pGame->m_bmpFlag, pGame->m_strFlagName);
    }
}
