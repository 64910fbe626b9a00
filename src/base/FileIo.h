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

// Writes all of bytes to fd, resuming after interrupted and partial writes.
bool WriteAll(int fd, std::string_view bytes);
