// A change of the game list file: lock, load into a temporary store, change, save, unlock.
#pragma once

#include <chrono>
#include <functional>
#include <string>

class CPBEMGameStore;

enum class [[nodiscard]] ETransactionResult{
    Saved,      // the change is in the file
    Busy,       // the file was held by another holder and the caller asked for one try only
    NotSaved,   // the file could not be opened, or the write failed: it was left as it was
    Unreadable, // the file could not be read or parsed to its end (damaged, too large): the
                // change was not applied, as saving would drop what lies behind the damage
    ReadOnly,   // the file may only be read (permissions, read-only file system): the change was
                // not applied, and no later try will save it until that changes
};

// Told once when a wait for another holder of the file goes on this long: a caller that can
// tell someone (the command line) says why nothing happens. The wait itself goes on.
struct SStillWaiting
{
    std::function<void()> fnNotify; // none: nobody is told
    std::chrono::milliseconds delay{5000};
};

// Applies change to a store loaded from the file and saves it. With a pause, a held file is waited
// for without limit, trying again after each pause; with no pause the transaction tries once.
// A change must be safe to apply twice: when the file changes under the lock (a writer that does
// not take it), the transaction loads again and applies the change again.
ETransactionResult RunStoreTransaction(const std::function<void(CPBEMGameStore&)>& change,
                                       std::chrono::milliseconds pause,
                                       const std::wstring& strFilePath = {},
                                       const SStillWaiting& stillWaiting = {});

// Loads the file into store without changing it: a held file is waited for (again after each
// pause; with no pause, one try), then loaded and let go. What could be parsed stays in store even
// when the result is false (the file could not be opened, read or parsed to its end). A file that
// may only be read is loaded too; store.IsReadOnly() tells afterwards.
[[nodiscard]] bool LoadStoreWaiting(CPBEMGameStore& store, std::chrono::milliseconds pause,
                                    const SStillWaiting& stillWaiting = {});
