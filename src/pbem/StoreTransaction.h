// A change of the game list file: lock, load into a temporary store, change, save, unlock.
#pragma once

#include <chrono>
#include <functional>
#include <string>

class CPBEMGameStore;

enum class ETransactionResult
{
    Saved,    // the change is in the file
    Busy,     // the file was held by another holder and the caller asked for one try only
    NotSaved, // the file could not be read or parsed to its end: it was left as it was
};

// Applies change to a store loaded from the file and saves it. With a pause, a held file is waited
// for without limit, trying again after each pause; with no pause the transaction tries once.
// A change must be safe to apply twice: when the file changes under the lock (a writer that does
// not take it), the transaction loads again and applies the change again.
ETransactionResult RunStoreTransaction(const std::function<void(CPBEMGameStore&)>& change,
                                       std::chrono::milliseconds pause,
                                       const std::wstring& strFilePath = {});

// Loads the file into store without changing it: a held file is waited for (again after each
// pause; with no pause, one try), then loaded and let go. What could be parsed stays in store even
// when the result is false (the file could not be opened, read or parsed to its end).
bool LoadStoreWaiting(CPBEMGameStore& store, std::chrono::milliseconds pause);
