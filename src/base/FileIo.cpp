#include "base/FileIo.h"

#include "base/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace
{

// Serial numbers of temporary files, shared by every writer in the process.
std::atomic<unsigned> s_nTempSerial{0};

// The folder of a native path: "." for a bare name, "/" for a name in the root.
std::string NativeFolderOf(const std::string& strPath)
{
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos)
        return ".";
    return strPath.substr(0, nSlash == 0 ? 1 : nSlash);
}

bool SyncNativeFolder(const std::string& strFolder)
{
    const CFileDescriptor folder(::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.IsOpen() && FlushToDisk(folder.Get());
}

SFileReadResult Failure(EFileRead eResult, int nErrno = 0)
{
    SFileReadResult result;
    result.eResult = eResult;
    if (nErrno != 0)
        result.strError = std::strerror(nErrno);
    return result;
}

// Without bKnownRegular the file is asked for its kind and length first; with it (a folder
// listing said so) the length is found by reading, which saves a call per file.
SFileReadResult ReadOpenFile(const CFileDescriptor& file, std::string& bytes,
                             std::uint64_t nMaxBytes, bool bKnownRegular = false)
{
    if (file.Get() < 0)
        return Failure(errno == ENOENT || errno == ENOTDIR ? EFileRead::Missing : EFileRead::Failed,
                       errno);
    std::uint64_t nLength = 0;
    if (!bKnownRegular)
    {
        struct stat st;
        if (::fstat(file.Get(), &st) != 0)
            return Failure(EFileRead::Failed, errno);
        if (!S_ISREG(st.st_mode))
            return Failure(EFileRead::NotRegular);
        nLength = static_cast<std::uint64_t>(st.st_size);
        if (nLength > nMaxBytes)
            return Failure(EFileRead::TooLarge);
    }

    try
    {
        // One byte more than the length, so that a file of that length is read without growing
        // the buffer; a file that grows meanwhile is still read to its end (within the limit).
        bytes.resize(bKnownRegular ? std::size_t{4096} : static_cast<std::size_t>(nLength) + 1);
        std::size_t nUsed = 0;
        for (;;)
        {
            if (nUsed == bytes.size())
            {
                if (bytes.size() > nMaxBytes)
                {
                    bytes.clear();
                    return Failure(EFileRead::TooLarge);
                }
                bytes.resize(bytes.size() * 2);
            }
            const std::size_t nWanted = bytes.size() - nUsed;
            const ssize_t n = ::read(file.Get(), bytes.data() + nUsed, nWanted);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
            {
                const int nErrno = errno;
                bytes.clear();
                return Failure(EFileRead::Failed, nErrno);
            }
            nUsed += static_cast<std::size_t>(n);
            // A short read of a regular file at or past the length it had is its end: no
            // second call just to hear that (a folder scan reads many small files).
            if (n == 0 || (static_cast<std::size_t>(n) < nWanted && nUsed >= nLength))
                break;
        }
        bytes.resize(nUsed);
    }
    catch (const std::bad_alloc&)
    {
        bytes.clear();
        return Failure(EFileRead::Failed, ENOMEM);
    }
    SFileReadResult result;
    result.eResult = bytes.size() > nMaxBytes ? EFileRead::TooLarge : EFileRead::Ok;
    if (result.eResult == EFileRead::TooLarge)
        bytes.clear();
    result.bShort = bytes.size() < nLength;
    return result;
}

} // namespace

SFileReadResult ReadWholeFile(std::wstring_view strPath, std::string& bytes,
                              std::uint64_t nMaxBytes)
{
    bytes.clear();
    // O_NONBLOCK: opening a pipe must not wait for a writer; regular files ignore it.
    const CFileDescriptor file(
        ::open(ToNativePath(strPath).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    return ReadOpenFile(file, bytes, nMaxBytes);
}

SFileReadResult ReadWholeFileAt(int nFolderFd, const std::string& strNativeName, std::string& bytes,
                                std::uint64_t nMaxBytes, bool bKnownRegular)
{
    bytes.clear();
    const CFileDescriptor file(
        ::openat(nFolderFd, strNativeName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    return ReadOpenFile(file, bytes, nMaxBytes, bKnownRegular);
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FlushToDisk(int fd)
{
    if (::fsync(fd) == 0)
        return true;
    return errno == EINVAL || errno == ENOTSUP || errno == ENOSYS;
}

EFileMatch MatchFileBytes(std::wstring_view strPath, std::string_view bytes)
{
    CFileDescriptor file(::open(ToNativePath(strPath).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0)
        return errno == ENOENT ? EFileMatch::Missing : EFileMatch::Failed;
    struct stat st;
    if (::fstat(file.Get(), &st) != 0)
        return EFileMatch::Failed;
    if (!S_ISREG(st.st_mode))
        return EFileMatch::NotRegular;
    if (static_cast<std::uint64_t>(st.st_size) != bytes.size())
        return EFileMatch::Different;
    // Compared in blocks: the file may be as large as the bytes, which need not be held twice.
    char block[64 * 1024];
    std::size_t nDone = 0;
    for (;;)
    {
        const ssize_t n = ::read(file.Get(), block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return EFileMatch::Failed;
        if (n == 0)
            break;
        const auto nRead = static_cast<std::size_t>(n);
        if (nRead > bytes.size() - nDone || std::memcmp(block, bytes.data() + nDone, nRead) != 0)
            return EFileMatch::Different; // grew meanwhile, or other bytes
        nDone += nRead;
    }
    if (nDone != bytes.size())
        return EFileMatch::Different; // shrank meanwhile
    return FlushToDisk(file.Get()) ? EFileMatch::Same : EFileMatch::Failed;
}

bool SyncFolder(std::wstring_view strPath)
{
    return SyncNativeFolder(ToNativePath(strPath));
}

CFileDescriptor& CFileDescriptor::operator=(CFileDescriptor&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int CFileDescriptor::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool CFileDescriptor::Close()
{
    if (m_fd < 0)
        return true;
    // Closed even when close reports an error (also EINTR on Linux): never to be tried again.
    return ::close(Release()) == 0;
}

void CFileDescriptor::Reset(int fd)
{
    if (m_fd >= 0 && m_fd != fd)
        ::close(m_fd);
    m_fd = fd;
}

CTempFileBeside::CTempFileBeside(std::string strFinalPath, std::string_view strPrefix,
                                 std::string_view strSuffix, mode_t nMode)
    : m_strFinalPath(std::move(strFinalPath))
{
    const std::size_t nSlash = m_strFinalPath.rfind('/');
    const std::string strFolder =
        nSlash == std::string::npos ? std::string() : m_strFinalPath.substr(0, nSlash + 1);
    // Beyond this many taken names something else is wrong; a writer gives up then.
    constexpr int kMaxTries = 100;
    for (int nTry = 0; nTry < kMaxTries; ++nTry)
    {
        std::string strPath = strFolder;
        strPath.append(strPrefix);
        strPath += std::to_string(::getpid()) + "-" + std::to_string(++s_nTempSerial);
        strPath.append(strSuffix);
        int fd;
        do
            fd = ::open(strPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, nMode);
        while (fd < 0 && errno == EINTR);
        if (fd >= 0)
        {
            m_file.Reset(fd);
            m_strPath = std::move(strPath);
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

CTempFileBeside::~CTempFileBeside()
{
    // The name goes before the descriptor closes: a lock held on the file lasts until nobody
    // can reach it by that name.
    if (!m_strPath.empty())
        ::unlink(m_strPath.c_str());
}

bool CTempFileBeside::Replace()
{
    if (m_strPath.empty() || ::rename(m_strPath.c_str(), m_strFinalPath.c_str()) != 0)
        return false;
    m_strPath.clear();
    return true;
}

CTempFileBeside::ELink CTempFileBeside::Link()
{
    if (m_strPath.empty())
        return ELink::Failed;
    // link never replaces a file: a complete file that a racing writer put there first stays.
    if (::link(m_strPath.c_str(), m_strFinalPath.c_str()) == 0)
        return ELink::Linked;
    int nErrno = errno;
    if (nErrno == EPERM || nErrno == EOPNOTSUPP || nErrno == ENOSYS)
    {
        // A file system without hard links: a rename that refuses to replace does the same.
        if (::renameat2(AT_FDCWD, m_strPath.c_str(), AT_FDCWD, m_strFinalPath.c_str(),
                        RENAME_NOREPLACE) == 0)
        {
            m_strPath.clear();
            return ELink::Linked;
        }
        nErrno = errno;
    }
    return nErrno == EEXIST ? ELink::Exists : ELink::Failed;
}

bool CTempFileBeside::SyncFolder() const
{
    return SyncNativeFolder(NativeFolderOf(m_strFinalPath));
}
