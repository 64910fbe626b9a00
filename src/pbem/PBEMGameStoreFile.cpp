// The game list file on disk: opening and locking it, reading it, and the two ways of saving.
#include "pbem/PBEMGameStore.h"

#include "base/FileIo.h"
#include "base/Paths.h"
#include "pbem/DataBuffer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace
{

// Another saver may rename its new file over the name between our open and our lock; each time
// that happens the open is tried again. More than this, and the caller waits as for a holder.
constexpr int kMaxOpenTries = 5;

SStoreSaveFault* s_pSaveFault = nullptr;

// Every write call and every other step of a save passes here, so that a test can stop it.
bool TakeSaveStep()
{
    if (s_pSaveFault == nullptr || s_pSaveFault->nSteps < 0)
        return true;
    if (s_pSaveFault->nSteps == 0)
    {
        errno = ENOSPC;
        return false;
    }
    --s_pSaveFault->nSteps;
    return true;
}

std::size_t WriteSize(std::size_t n)
{
    if (s_pSaveFault != nullptr && s_pSaveFault->nMaxWriteBytes > 0)
        return std::min(n, s_pSaveFault->nMaxWriteBytes);
    return n;
}

bool WriteAt(int fd, const char* p, std::size_t n, off_t nOffset)
{
    while (n > 0)
    {
        if (!TakeSaveStep())
            return false;
        const ssize_t nDone = ::pwrite(fd, p, WriteSize(n), nOffset);
        if (nDone < 0 && errno == EINTR)
            continue;
        if (nDone <= 0)
            return false;
        p += nDone;
        n -= static_cast<std::size_t>(nDone);
        nOffset += nDone;
    }
    return true;
}

SFileStamp StampOf(const struct stat& st)
{
    SFileStamp stamp;
    stamp.nSize = st.st_size;
    stamp.mtime = st.st_mtim;
    stamp.nDevice = st.st_dev;
    stamp.nInode = st.st_ino;
    return stamp;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Read-write, created when missing, never truncated. A file that may not be written is still
// opened for reading: the games show, and bReadOnly keeps every save away from it.
CFileDescriptor OpenGameList(const std::string& path, bool& bReadOnly)
{
    bReadOnly = false;
    int fd;
    do
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0 || (errno != EACCES && errno != EPERM && errno != EROFS))
        return CFileDescriptor(fd);
    do
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    bReadOnly = fd >= 0;
    return CFileDescriptor(fd);
}

} // namespace

void SetStoreSaveFault(SStoreSaveFault* pFault)
{
    s_pSaveFault = pFault;
}

bool CPBEMGameStore::OpenLocked()
{
    m_bBusy = false;
    if (m_file.IsOpen())
        return true;
    m_bReadOnly = false;

    const std::string path = ToNativePath(GetFilePath());
    for (int nTry = 0; nTry < kMaxOpenTries; ++nTry)
    {
        bool bReadOnly = false;
        CFileDescriptor file = OpenGameList(path, bReadOnly);
        if (!file.IsOpen())
            return false;

        // Only a regular file can be read and written in place.
        struct stat st;
        if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        // A reader that may not write shares the file with other readers; writers still wait
        // for it, so that it never reads a save half done.
        if (::flock(file.Get(), (bReadOnly ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0)
        {
            m_bBusy = errno == EWOULDBLOCK || errno == EINTR;
            return false;
        }
        // The lock counts only while the file still has the name: a saver that replaced it
        // holds the new file, and the old one is read by nobody.
        struct stat named;
        if (::stat(path.c_str(), &named) == 0 && SameFile(named, st))
        {
            m_file = std::move(file);
            m_bReadOnly = bReadOnly;
            return true;
        }
    }
    m_bBusy = true;
    return false;
}

void CPBEMGameStore::DropFile()
{
    m_file.Reset();
    std::string().swap(m_strLoadedBytes);
}

void CPBEMGameStore::CloseLocked()
{
    DropFile();
}

bool CPBEMGameStore::ReadHeld(std::string& bytes) const
{
    struct stat st;
    if (::fstat(m_file.Get(), &st) != 0)
        return false;
    if (static_cast<std::uint64_t>(st.st_size) > kMaxGameListBytes)
        return false;
    bytes.assign(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t nRead = 0;
    while (nRead < bytes.size())
    {
        const ssize_t n = ::pread(m_file.Get(), bytes.data() + nRead, bytes.size() - nRead,
                                  static_cast<off_t>(nRead));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        nRead += static_cast<std::size_t>(n);
    }
    return true;
}

bool CPBEMGameStore::Load()
{
    if (!m_file.IsOpen())
        return false;

    // The stamp is taken before reading, so a write that lands during the read shows as a change.
    struct stat st;
    if (::fstat(m_file.Get(), &st) != 0)
    {
        DropFile();
        return false;
    }
    try
    {
        std::string bytes;
        if (!ReadHeld(bytes))
        {
            DropFile();
            return false;
        }
        m_loadStamp = StampOf(st);
        // A file just created: an empty list.
        if (bytes.empty())
        {
            m_strLoadedBytes.clear();
            return true;
        }
        CDataBuffer buffer(std::move(bytes));
        const bool bComplete = Parse(buffer);
        // Kept to tell a writer that ignored the lock, and as the base of the next save.
        m_strLoadedBytes = buffer.TakeBytes();
        return bComplete;
    }
    catch (const std::bad_alloc&)
    {
        // Not enough memory for this list: as unreadable, and never saved over.
        DropFile();
        return false;
    }
}

bool CPBEMGameStore::ChangedSinceLoad() const
{
    if (!m_file.IsOpen() || !(StampNow() == m_loadStamp))
        return true;
    // A writer that keeps the size and lands within the time stamp's granularity shows only in
    // the bytes.
    try
    {
        std::string bytes;
        return !ReadHeld(bytes) || bytes != m_strLoadedBytes;
    }
    catch (const std::bad_alloc&)
    {
        return true;
    }
}

bool CPBEMGameStore::Save()
{
    if (!m_file.IsOpen() || m_bReadOnly)
        return false;
    try
    {
        std::vector<CByteRange> valueFields;
        const std::string bytes = SerializeBytes(&valueFields);
        std::string current;
        if (!ReadHeld(current))
            return false;

        // In place only when every byte but the fixed-size values is already there: whatever
        // part of the write lands, the file keeps its layout and loads complete, each value old
        // or new. A shorter list leaves a tail, a longer one would run past the file's list, and
        // texts or counts move the fields behind them: a write cut short there would misalign
        // the rest. Those saves go to a new file instead.
        bool bSameLayout = current.size() >= bytes.size();
        for (std::size_t nPos = 0, nField = 0; bSameLayout && nPos < bytes.size(); ++nPos)
        {
            while (nField < valueFields.size() && valueFields[nField].second <= nPos)
                ++nField;
            const bool bValue = nField < valueFields.size() && valueFields[nField].first <= nPos;
            bSameLayout = bValue || bytes[nPos] == current[nPos];
        }

        // What an in-place write of the whole store would leave: the old tail stays behind the
        // new end, where no reader looks, and the file never gets shorter.
        std::string content = bytes;
        if (current.size() > bytes.size())
            content.append(current, bytes.size());

        if (!(bSameLayout ? WriteValuesInPlace(bytes, current, valueFields)
                          : ReplaceHeldFile(content)))
            return false;

        struct stat st;
        if (::fstat(m_file.Get(), &st) == 0)
            m_loadStamp = StampOf(st);
        m_strLoadedBytes = std::move(content);
        return true;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

bool CPBEMGameStore::WriteValuesInPlace(const std::string& bytes, const std::string& current,
                                        const std::vector<CByteRange>& valueFields)
{
    // One write per changed value, so a write cut short leaves each of them old or new.
    for (const auto& [nStart, nEnd] : valueFields)
    {
        if (bytes.compare(nStart, nEnd - nStart, current, nStart, nEnd - nStart) == 0)
            continue;
        if (!WriteAt(m_file.Get(), bytes.data() + nStart, nEnd - nStart,
                     static_cast<off_t>(nStart)))
            return false;
    }
    // On disk before the lock goes, so the next holder reads what was written.
    return TakeSaveStep() && ::fdatasync(m_file.Get()) == 0;
}

bool CPBEMGameStore::ReplaceHeldFile(const std::string& content)
{
    const std::string path = ToNativePath(GetFilePath());
    struct stat held;
    struct stat named;
    // Never put a new file over one this store does not hold.
    if (::fstat(m_file.Get(), &held) != 0 || ::stat(path.c_str(), &named) != 0 ||
        !SameFile(held, named))
        return false;

    // Beside the old file, so that the rename stays within one file system. Private to the
    // owner until it is locked and has the name.
    const std::size_t nSlash = path.rfind('/');
    CTempFileBeside temp(path, path.substr(nSlash == std::string::npos ? 0 : nSlash + 1) + ".", "",
                         0600);
    if (!temp.IsOpen())
        return false;
    const int fd = temp.Get();
    // Locked before it gets the name: from the rename on, it is held as the old file was, and a
    // process that waited on the old file finds it no longer named and opens the new one.
    bool bReady = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fchmod(fd, held.st_mode & 07777) == 0;
    // The owner can be kept only with the right to give files away, the group when we are in
    // it; the mode is kept anyway.
    if (bReady && (held.st_uid != ::geteuid() || held.st_gid != ::getegid()) &&
        ::fchown(fd, held.st_uid, held.st_gid) != 0)
        static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), held.st_gid));
    bReady = bReady && WriteAt(fd, content.data(), content.size(), 0) && TakeSaveStep() &&
             ::fsync(fd) == 0 && TakeSaveStep() && temp.Replace();
    // Otherwise the old file is as it was; a full disk leaves no half-written file beside it.
    if (!bReady)
        return false;
    // The old file's lock goes with it: nobody can reach it by the name any more.
    m_file = temp.TakeDescriptor();
    // The rename itself must survive a power cut.
    return TakeSaveStep() && temp.SyncFolder();
}

SFileStamp CPBEMGameStore::StampNow() const
{
    struct stat st;
    if (::stat(ToNativePath(GetFilePath()).c_str(), &st) != 0)
        return {};
    return StampOf(st);
}
