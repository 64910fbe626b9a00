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

EOpen OpenWaiting(CPBEMGameStore& store, std::chrono::milliseconds pause)
{
    while (!store.OpenLocked())
    {
        if (!store.WasBusy())
            return EOpen::Failed; // no folder, no permission: waiting would never end
        if (pause <= std::chrono::milliseconds::zero())
            return EOpen::Busy;
        std::this_thread::sleep_for(pause);
    }
    return EOpen::Held;
}

} // namespace

ETransactionResult RunStoreTransaction(const std::function<void(CPBEMGameStore&)>& change,
                                       std::chrono::milliseconds pause,
                                       const std::wstring& strFilePath)
{
    for (int nRound = 0; nRound < kMaxRounds; ++nRound)
    {
        CPBEMGameStore store;
        if (!strFilePath.empty())
            store.SetFilePath(strFilePath);

        switch (OpenWaiting(store, pause))
        {
        case EOpen::Held:
            break;
        case EOpen::Busy:
            return ETransactionResult::Busy;
        case EOpen::Failed:
            return ETransactionResult::NotSaved;
        }

        // Saving what was only partly read would drop the entries behind the damage, or the
        // fields of a newer record version, from the shared file.
        if (!store.Load())
            return ETransactionResult::NotSaved;

        change(store);

        // The lock is advisory: a program that does not take it (the game under a compatibility
        // layer) may have written since the load. Start over from its version of the file.
        if (!(store.StampNow() == store.GetLoadStamp()))
            continue;

        const bool bSaved = store.Save();
        store.CloseLocked();
        return bSaved ? ETransactionResult::Saved : ETransactionResult::NotSaved;
    }
    return ETransactionResult::NotSaved;
}

bool LoadStoreWaiting(CPBEMGameStore& store, std::chrono::milliseconds pause)
{
    if (OpenWaiting(store, pause) != EOpen::Held)
        return false;
    const bool bLoaded = store.Load();
    store.CloseLocked();
    return bLoaded;
}
