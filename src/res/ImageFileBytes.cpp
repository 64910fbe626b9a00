#include "res/ImageFileBytes.h"

#include "base/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

} // namespace

EImageError ReadImageFileBytes(const std::wstring& strPath, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    CFileDescriptor file(::open(ToNativePath(strPath).c_str(), O_RDONLY | O_CLOEXEC));
    if (file.m_fd < 0)
        return EImageError::CannotOpen;
    struct stat st;
    if (::fstat(file.m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        return EImageError::CannotOpen;
    if (static_cast<std::uint64_t>(st.st_size) > MAX_IMAGE_FILE_BYTES)
        return EImageError::TooLarge;

    try
    {
        bytes.resize(static_cast<std::size_t>(st.st_size));
    }
    catch (const std::bad_alloc&)
    {
        return EImageError::OutOfMemory;
    }
    // The size is only a hint: a file that shrinks meanwhile gives what is there.
    std::size_t nRead = 0;
    while (nRead < bytes.size())
    {
        const ssize_t n = ::read(file.m_fd, bytes.data() + nRead, bytes.size() - nRead);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            bytes.clear();
            return EImageError::CannotOpen;
        }
        if (n == 0)
            break;
        nRead += static_cast<std::size_t>(n);
    }
    bytes.resize(nRead);
    return EImageError::None;
}
