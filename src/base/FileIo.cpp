#include "base/FileIo.h"

#include "base/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace
{

class CFileDescriptor
{
public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int m_fd;
};

SFileReadResult Failure(EFileRead eResult, int nErrno = 0)
{
    SFileReadResult result;
    result.eResult = eResult;
    if (nErrno != 0)
        result.strError = std::strerror(nErrno);
    return result;
}

} // namespace

SFileReadResult ReadWholeFile(std::wstring_view strPath, std::string& bytes,
                              std::uint64_t nMaxBytes)
{
    bytes.clear();
    // O_NONBLOCK: opening a pipe must not wait for a writer; regular files ignore it.
    CFileDescriptor file(::open(ToNativePath(strPath).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.m_fd < 0)
        return Failure(errno == ENOENT || errno == ENOTDIR ? EFileRead::Missing : EFileRead::Failed,
                       errno);
    struct stat st;
    if (::fstat(file.m_fd, &st) != 0)
        return Failure(EFileRead::Failed, errno);
    if (!S_ISREG(st.st_mode))
        return Failure(EFileRead::NotRegular);
    const auto nLength = static_cast<std::uint64_t>(st.st_size);
    if (nLength > nMaxBytes)
        return Failure(EFileRead::TooLarge);

    try
    {
        // One byte more than the length, so that a file of that length is read without growing
        // the buffer; a file that grows meanwhile is still read to its end (within the limit).
        bytes.resize(static_cast<std::size_t>(nLength) + 1);
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
            const ssize_t n = ::read(file.m_fd, bytes.data() + nUsed, bytes.size() - nUsed);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
            {
                const int nErrno = errno;
                bytes.clear();
                return Failure(EFileRead::Failed, nErrno);
            }
            if (n == 0)
                break;
            nUsed += static_cast<std::size_t>(n);
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
