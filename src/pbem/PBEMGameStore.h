// The game list: the account and the game entries, as kept in PBEM/PBEM.data, which the game
// program shares. The file is held open with an exclusive lock for the length of one transaction
// (a shared one when it can only be read).
#pragma once

#include "base/FileIo.h"
#include "pbem/PBEMGameState.h"

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CDataBuffer;

// A game list is read whole: a larger file is refused unread (it cannot be one the game wrote,
// and holding it would cost memory at every start).
inline constexpr std::uint64_t kMaxGameListBytes = std::uint64_t{64} * 1024 * 1024;

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
    // creating it when missing and never truncating it, and takes its exclusive lock. A file
    // that may not be written (permissions, read-only file system, immutable) is opened for
    // reading under a shared lock instead, and IsReadOnly() tells. False when another holder has
    // it (WasBusy() tells) or it cannot be opened at all.
    [[nodiscard]] bool OpenLocked();
    // True when the last OpenLocked failed only because another holder had the file; waiting
    // helps then, and only then.
    bool WasBusy() const { return m_bBusy; }
    // True when the last OpenLocked held the file for reading only: Save() then refuses. Kept
    // after CloseLocked, so a caller can tell the player after a load.
    bool IsReadOnly() const { return m_bReadOnly; }
    // Reads the held file and appends its entries. False when the file could not be read (a
    // read error, larger than kMaxGameListBytes, no memory to hold it) or could not be parsed to
    // its end (what was parsed is kept). A file that cannot be read is closed: the store holds
    // no file and no lock afterwards.
    [[nodiscard]] bool Load();
    // Writes the whole store over the held file and flushes it. No crash, kill, power cut or
    // full disk leaves the file with less than it had: a save that keeps the layout of the
    // loaded bytes (only fixed-size values change) writes those values in place; any other save
    // writes a new file beside it and renames it over the old one, and the store then holds and
    // locks the new file. The file never gets shorter: an old tail past the new content stays.
    // False (the file as it was) without a held file, for a read-only one, or on a failed write.
    [[nodiscard]] bool Save();
    void CloseLocked();
    // True while the store holds the file (and so its lock): from OpenLocked to CloseLocked, or
    // until a failed Load drops it.
    bool IsLocked() const { return m_file.IsOpen(); }
    // True when the held file is no longer what the last load or save saw: another file took
    // its name, or its size, time or bytes differ (a writer that does not take the lock).
    bool ChangedSinceLoad() const;

    // Parses a whole game list file; false when it ended early (what was read is kept).
    [[nodiscard]] bool Parse(CDataBuffer& buffer);
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

    std::wstring m_strUsername;
    std::wstring m_strPassword;
    std::int32_t m_nStoredValue = 1;
    std::vector<std::unique_ptr<CPBEMGameState>> m_listGames;

private:
    // A byte range [first, second) of the serialized store.
    using CByteRange = std::pair<std::size_t, std::size_t>;

    void DropFile();
    // The file's bytes as serialized; pValueFields, when given, receives the ranges of the
    // fixed-size values (ids, turns, flags), the only bytes an in-place save may change.
    std::string SerializeBytes(std::vector<CByteRange>* pValueFields) const;
    [[nodiscard]] bool ReadHeld(std::string& bytes) const;
    [[nodiscard]] bool WriteValuesInPlace(const std::string& bytes, const std::string& current,
                                          const std::vector<CByteRange>& valueFields);
    [[nodiscard]] bool ReplaceHeldFile(const std::string& bytes);

    std::wstring m_strFilePath;
    CFileDescriptor m_file; // the held file, locked
    SFileStamp m_loadStamp;
    std::string m_strLoadedBytes; // the held file's bytes at the last load or save
    bool m_bBusy = false;
    bool m_bReadOnly = false;
};

// A test seam: lets a test stop a save at any write boundary as a crash would. Every write call
// and every other step of a save (sync, rename) takes one of nSteps; when none is left, it fails
// as a full disk would. Writes put at most nMaxWriteBytes at a time (0: no limit), so a save
// crosses many boundaries. The program never sets it; nullptr turns it off.
struct SStoreSaveFault
{
    int nSteps = -1; // -1: no limit
    std::size_t nMaxWriteBytes = 0;
};
void SetStoreSaveFault(SStoreSaveFault* pFault);
