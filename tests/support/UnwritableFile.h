// Makes a file that this process may read but not open for writing, for as long as it lives:
// by its mode, or, for root (whom modes do not stop), by the immutable attribute. Ok() is false
// where neither works (a file system without the attribute, no right to set it).
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

class CUnwritableFile
{
public:
    explicit CUnwritableFile(std::string path) : m_path(std::move(path))
    {
        if (::geteuid() != 0)
            ::chmod(m_path.c_str(), 0444);
        else
            m_bImmutable = SetImmutable(true);
        const int fd = ::open(m_path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        m_bOk = fd < 0;
    }
    ~CUnwritableFile()
    {
        if (m_bImmutable)
            SetImmutable(false);
        ::chmod(m_path.c_str(), 0644);
    }
    CUnwritableFile(const CUnwritableFile&) = delete;
    CUnwritableFile& operator=(const CUnwritableFile&) = delete;

    bool Ok() const { return m_bOk; }

private:
    bool SetImmutable(bool bOn) const
    {
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int nFlags = 0;
        bool bDone = ::ioctl(fd, FS_IOC_GETFLAGS, &nFlags) == 0;
        nFlags = bOn ? (nFlags | FS_IMMUTABLE_FL) : (nFlags & ~FS_IMMUTABLE_FL);
        bDone = bDone && ::ioctl(fd, FS_IOC_SETFLAGS, &nFlags) == 0;
        ::close(fd);
        return bDone;
    }

    std::string m_path;
    bool m_bImmutable = false;
    bool m_bOk = false;
};
