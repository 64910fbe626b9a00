// Whole-file reading and complete writes: one implementation for every file the program reads
// at once (game list, event files, language file, profile, images).
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

enum class EFileRead
{
    Ok,
    Missing,    // no such file or folder
    NotRegular, // a folder, a pipe or a device: never read (a pipe would block)
    TooLarge,   // larger than the caller accepts: refused unread
    Failed,     // no permission, a read error, or too large to hold
};

struct SFileReadResult
{
    EFileRead eResult = EFileRead::Failed;
    // Fewer bytes arrived than the file's length said (it shrank while being read).
    bool bShort = false;
    std::string strError; // the system's words for Missing and Failed

    bool Ok() const { return eResult == EFileRead::Ok; }
};

// Reads a regular file to its end into bytes (emptied on failure).
SFileReadResult ReadWholeFile(std::wstring_view strPath, std::string& bytes,
                              std::uint64_t nMaxBytes = std::numeric_limits<std::uint64_t>::max());

// The same for the file strNativeName (bytes as the system takes them) in the open folder
// nFolderFd: a scan of a folder reads its files without a path walk per file. bKnownRegular: the
// folder's listing said the entry is a regular file, so it is not asked again (a file replaced
// by a pipe meanwhile reads as empty: it is opened without waiting).
SFileReadResult ReadWholeFileAt(int nFolderFd, const std::string& strNativeName, std::string& bytes,
                                std::uint64_t nMaxBytes = std::numeric_limits<std::uint64_t>::max(),
                                bool bKnownRegular = false);

// Writes all of bytes to fd, resuming after interrupted and partial writes.
bool WriteAll(int fd, std::string_view bytes);

// Flushes fd's data to disk (fsync). A file system that has no such flush (it answers EINVAL,
// ENOTSUP or ENOSYS) counts as flushed: nothing more can be done there, and refusing would keep
// every write on it from ever counting.
bool FlushToDisk(int fd);

enum class EFileMatch
{
    Same,       // a regular file holding exactly the bytes, now flushed to disk
    Different,  // a regular file holding anything else (a file of another length is not read)
    Missing,    // no such file
    NotRegular, // a folder, a pipe or a device: never read
    Failed,     // cannot be opened, read or flushed
};
// Whether the file at strPath holds exactly bytes. Same also means the file's data was flushed
// (fsync), so that a file found complete is as durable as one just written.
EFileMatch MatchFileBytes(std::wstring_view strPath, std::string_view bytes);

// Flushes a folder's entries (fsync of the folder), so that names created or renamed in it
// survive a crash of the system. False when the folder cannot be opened or flushed.
bool SyncFolder(std::wstring_view strPath);
