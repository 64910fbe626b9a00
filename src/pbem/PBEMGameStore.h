// The game list: the account and the game entries, as kept in PBEM/PBEM.data, which the game
// program shares. The file is held open with an exclusive lock for the length of one transaction.
#pragma once

#include "pbem/PBEMGameState.h"

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

class CDataBuffer;

// What a load saw of the file, to notice a writer that does not take the lock. The file's identity
// is part of it, so a writer that replaces the file is noticed as well.
struct SFileStamp
{
    off_t nSize = -1;
    timespec mtime{};
    dev_t nDevice = 0;
    ino_t nInode = 0;
    bool operator==(const SFileStamp& other) const
    {
        return nSize == other.nSize && mtime.tv_sec == other.mtime.tv_sec &&
               mtime.tv_nsec == other.mtime.tv_nsec && nDevice == other.nDevice &&
               nInode == other.nInode;
    }
};

class CPBEMGameStore
{
public:
    CPBEMGameStore();
    ~CPBEMGameStore();
    CPBEMGameStore(const CPBEMGameStore&) = delete;
    CPBEMGameStore& operator=(const CPBEMGameStore&) = delete;

    // Opens PBEM/PBEM.data below the installation folder (or the path set with SetFilePath),
    // creating it when missing and never truncating it, and takes its exclusive lock. False when
    // another holder has it (WasBusy() tells) or it cannot be opened at all.
    bool OpenLocked();
    // True when the last OpenLocked failed only because another holder had the file; waiting
    // helps then, and only then.
    bool WasBusy() const { return m_bBusy; }
    // Reads the held file and appends its entries. False when the file could not be read or
    // could not be parsed to its end (what was parsed is kept). A file that cannot be read is
    // closed: the store holds no file and no lock afterwards.
    bool Load();
    // Writes the whole store in place over the held file and flushes it; without a held file,
    // nothing is written (see StoreTransaction for when a save may happen at all).
    bool Save();
    void CloseLocked();

    // Parses a whole game list file; false when it ended early (what was read is kept).
    bool Parse(CDataBuffer& buffer);
    // The whole store as the file's bytes.
    std::string Serialize() const;

    CPBEMGameState* FindGame(std::wstring_view strPlayerId);
    CPBEMGameState* FindGame(std::wstring_view strGameId, int nPlayer);
    void RemoveGames(std::wstring_view strPlayerId);
    void SetAccount(std::wstring strUsername, std::wstring strPassword);
    void Clear();

    // The file this store opens; by default PBEM/PBEM.data below the installation folder.
    void SetFilePath(std::wstring strPath) { m_strFilePath = std::move(strPath); }
    std::wstring GetFilePath() const;
    // Size and modification time of the held file when it was last loaded or saved.
    const SFileStamp& GetLoadStamp() const { return m_loadStamp; }
    // Size, modification time and identity of the file at the store's path now.
    SFileStamp StampNow() const;

    bool m_bLocked = false;
    int m_fd = -1; // the held file; -1 when none
    std::wstring m_strUsername;
    std::wstring m_strPassword;
    std::int32_t m_nStoredValue = 1;
    std::vector<std::unique_ptr<CPBEMGameState>> m_listGames;

private:
    void DropFile();

    std::wstring m_strFilePath;
    SFileStamp m_loadStamp;
    bool m_bBusy = false;
};
