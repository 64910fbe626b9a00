// Whole-file reading and complete writes: one implementation for every file the program reads
// at once (game list, event files, language file, profile, images), and the one way files are
// written whole (a temporary file beside the final one, then renamed or linked there).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

// An owned file descriptor, closed when it goes out of scope. Move-only; -1 holds none.
class CFileDescriptor
{
public:
    CFileDescriptor() = default;
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() { Reset(); }
    CFileDescriptor(CFileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept;
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Gives the descriptor up unclosed; the caller closes it.
    [[nodiscard]] int Release();
    // Closes now. False when close reports an error (on some file systems the first sign of a
    // write that failed); nothing is held afterwards either way.
    [[nodiscard]] bool Close();
    // Closes what is held and holds fd instead.
    void Reset(int fd = -1);

private:
    int m_fd = -1;
};

enum class [[nodiscard]] EFileRead{
    Ok,
    Missing,    // no such file or folder
    NotRegular, // a folder, a pipe or a device: never read (a pipe would block)
    TooLarge,   // larger than the caller accepts: refused unread
    Failed,     // no permission, a read error, or too large to hold
};

struct [[nodiscard]] SFileReadResult
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
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

// Flushes fd's data to disk (fsync). A file system that has no such flush (it answers EINVAL,
// ENOTSUP or ENOSYS) counts as flushed: nothing more can be done there, and refusing would keep
// every write on it from ever counting.
[[nodiscard]] bool FlushToDisk(int fd);

enum class [[nodiscard]] EFileMatch{
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
[[nodiscard]] bool SyncFolder(std::wstring_view strPath);

// A new temporary file beside a final path, for writing a file whole: written and flushed there,
// it takes the final name in one step, so a crash leaves the old file or the complete new one.
// Its name is "<folder of the final path>/<prefix><pid>-<n><suffix>", n counting up within the
// process (another name is tried while one is taken, e.g. by a leftover of a process that had our
// pid). Created exclusively, read-write and close-on-exec with nMode (the umask applies). The
// temporary name is removed when the object goes out of scope, unless it was renamed away.
class CTempFileBeside
{
public:
    CTempFileBeside(std::string strFinalPath, std::string_view strPrefix,
                    std::string_view strSuffix, mode_t nMode);
    ~CTempFileBeside();
    CTempFileBeside(const CTempFileBeside&) = delete;
    CTempFileBeside& operator=(const CTempFileBeside&) = delete;

    // False when no temporary file could be created.
    bool IsOpen() const { return m_file.IsOpen(); }
    int Get() const { return m_file.Get(); }
    const std::string& GetPath() const { return m_strPath; }
    // Closes the descriptor; false when close reports an error.
    [[nodiscard]] bool Close() { return m_file.Close(); }
    // Hands the descriptor over, e.g. to keep holding the file once it has the final name.
    CFileDescriptor TakeDescriptor() { return std::move(m_file); }

    // Renames the file over the final path, replacing a file there.
    [[nodiscard]] bool Replace();
    enum class [[nodiscard]] ELink{
        Linked, // the final name now holds this file
        Exists, // something has the final name already; it was left alone
        Failed,
    };
    // Gives the file the final name only when nothing has it (a hard link; where the file system
    // has none, a rename that refuses to replace). The temporary name goes with the object.
    ELink Link();
    // Flushes the folder's entries, so that the final name survives a crash of the system.
    [[nodiscard]] bool SyncFolder() const;

private:
    std::string m_strFinalPath;
    std::string m_strPath; // empty once renamed away
    CFileDescriptor m_file;
};
