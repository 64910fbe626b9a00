#include "pbem/StoreTransaction.h"

#include "pbem/PBEMGameStore.h"

#include <thread>

namespace
{

// A writer that ignores the lock and keeps rewriting the file would otherwise hold the
// transaction forever.
constexpr int kMaxRounds = 5;

enum class EOpen
{
    Held,
    Busy,
    Failed,
};

// The waits of one transaction or load, which tell their caller once when they last long.
class CWaitClock
{
public:
    explicit CWaitClock(const SStillWaiting& stillWaiting) : m_stillWaiting(stillWaiting) {}

    void StillBusy()
    {
        if (m_bTold || !m_stillWaiting.fnNotify)
            return;
        if (std::chrono::steady_clock::now() - m_start < m_stillWaiting.delay)
            return;
        m_bTold = true;
        m_stillWaiting.fnNotify();
    }

private:
    const SStillWaiting& m_stillWaiting;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    bool m_bTold = false;
};

EOpen OpenWaiting(CPBEMGameStore& store, std::chrono::milliseconds pause, CWaitClock& clock)
{
    while (!store.OpenLocked())
    {
        if (!store.WasBusy())
            return EOpen::Failed; // no folder, no permission: waiting would never end
        if (pause <= std::chrono::milliseconds::zero())
            return EOpen::Busy;
        clock.StillBusy();
        std::this_thread::sleep_for(pause);
    }
    return EOpen::Held;
}

} // namespace

ETransactionResult RunStoreTransaction(const std::function<void(CPBEMGameStore&)>& change,
                                       std::chrono::milliseconds pause,
                                       const std::wstring& strFilePath,
                                       const SStillWaiting& stillWaiting)
{
    CWaitClock clock(stillWaiting);
    for (int nRound = 0; nRound < kMaxRounds; ++nRound)
    {
        CPBEMGameStore store;
        if (!strFilePath.empty())
            store.SetFilePath(strFilePath);

        switch (OpenWaiting(store, pause, clock))
        {
        case EOpen::Held:
            break;
        case EOpen::Busy:
            return ETransactionResult::Busy;
        case EOpen::Failed:
            return ETransactionResult::NotSaved;
        }
        if (store.IsReadOnly())
            return ETransactionResult::ReadOnly;

        // Saving what was only partly read would drop the entries behind the damage, or the
        // fields of a newer record version, from the shared file.
        if (!store.Load())
            return ETransactionResult::Unreadable;

        change(store);

        // The lock is advisory: a program that does not take it (the game under a compatibility
        // layer) may have written since the load. Start over from its version of the file.
        if (store.ChangedSinceLoad())
            continue;

        const bool bSaved = store.Save();
        store.CloseLocked();
        return bSaved ? ETransactionResult::Saved : ETransactionResult::NotSaved;
    }
    return ETransactionResult::NotSaved;
}

bool LoadStoreWaiting(CPBEMGameStore& store, std::chrono::milliseconds pause,
                      const SStillWaiting& stillWaiting)
{
    CWaitClock clock(stillWaiting);
    if (OpenWaiting(store, pause, clock) != EOpen::Held)
        return false;
    const bool bLoaded = store.Load();
    store.CloseLocked();
    return bLoaded;
}
