#include "pbem/PBEMMessageManager.h"

#include "pbem/StoreTransaction.h"

#include <chrono>

CPBEMMessageManager* g_pMessageManager = nullptr;

CMessageManagerScope::CMessageManagerScope(CPBEMMessageManager& manager)
    : m_pPrevious(g_pMessageManager)
{
    g_pMessageManager = &manager;
}

CMessageManagerScope::~CMessageManagerScope()
{
    g_pMessageManager = m_pPrevious;
}

void CPBEMMessageManager::ResetAll()
{
    m_listNewEvents.clear();
    m_store.Clear();
}

void CPBEMMessageManager::LoadAtStartup()
{
    // Another holder is waited for; a file that cannot be opened at all, or is too large to be a
    // game list, leaves the list empty. What could be parsed is shown even when the file is
    // damaged; no save follows. A file that may only be read is shown too.
    (void)LoadStoreWaiting(m_store, std::chrono::milliseconds(10), m_stillWaiting);

    for (const auto& pGame : m_store.m_listGames)
        LoadFlagOnce(pGame->m_strFlagName, pGame->m_bmpFlag, pGame->m_bFlagAsked);
}
