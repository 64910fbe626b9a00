#include "platform/SingleInstance.h"

#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

constexpr std::string_view kRequest = "show\n";
constexpr std::string_view kAnswer = "ok\n";
// Connections that have not said their line yet; an older one goes when more come.
constexpr std::size_t kMaxPending = 8;
constexpr std::size_t kMaxLine = 64;

std::string FolderKey(const std::string& strFolder)
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::weakly_canonical(strFolder, error);
    if (error)
        folder = std::filesystem::absolute(strFolder, error).lexically_normal();
    std::string strPath = folder.native();
    while (strPath.size() > 1 && strPath.back() == '/')
        strPath.pop_back();
    // FNV-1a, 64 bits: a name of fixed length whatever the path holds.
    std::uint64_t nHash = 14695981039346656037ull;
    for (const unsigned char c : strPath)
        nHash = (nHash ^ c) * 1099511628211ull;
    char sz[17];
    std::snprintf(sz, sizeof sz, "%016llx", static_cast<unsigned long long>(nHash));
    return sz;
}

// The folder for lock and socket: $XDG_RUNTIME_DIR, else a folder of the user's own in /tmp that
// no one else can have made or reach. Empty (with the reason) when there is none.
std::string RuntimeFolder(std::string& strProblem)
{
    if (const char* psz = std::getenv("XDG_RUNTIME_DIR"); psz != nullptr && psz[0] == '/')
    {
        struct stat st
        {
        };
        if (stat(psz, &st) == 0 && S_ISDIR(st.st_mode))
            return psz;
    }
    std::string strFolder = "/tmp/zorvex-messenger-" + std::to_string(getuid());
    if (mkdir(strFolder.c_str(), 0700) != 0 && errno != EEXIST)
    {
        strProblem = strFolder + ": " + std::strerror(errno);
        return {};
    }
    struct stat st
    {
    };
    if (lstat(strFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0)
    {
        strProblem = strFolder + " is not a private folder of this user";
        return {};
    }
    return strFolder;
}

bool FillAddress(const std::string& strPath, sockaddr_un& address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (strPath.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, strPath.c_str(), strPath.size() + 1);
    return true;
}

int MillisecondsLeft(std::chrono::steady_clock::time_point tEnd)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        tEnd - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

// One try: connect, send the request, wait for the answer. The connection is refused or the
// socket missing while the owner is still making it.
bool AskOnce(const std::string& strPath, std::chrono::steady_clock::time_point tEnd)
{
    sockaddr_un address;
    if (!FillAddress(strPath, address))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool bAnswered = false;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, kRequest.data(), kRequest.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(kRequest.size()))
    {
        std::string strAnswer;
        while (strAnswer.size() < kAnswer.size())
        {
            pollfd pfd{fd, POLLIN, 0};
            if (poll(&pfd, 1, MillisecondsLeft(tEnd)) <= 0)
                break;
            char buf[16];
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR)))
                break;
            if (n > 0)
                strAnswer.append(buf, static_cast<std::size_t>(n));
        }
        bAnswered = strAnswer.starts_with(kAnswer);
    }
    close(fd);
    return bAnswered;
}

} // namespace

// The listening socket's watch and the connections that have not said their line yet.
struct CSingleInstance::SWatch
{
    struct SConnection
    {
        int fd = -1;
        std::string strLine;
        std::unique_ptr<QSocketNotifier> pNotifier;
        ~SConnection()
        {
            pNotifier.reset();
            if (fd >= 0)
                close(fd);
        }
    };

    int nListenFd = -1;
    std::function<void()> fnShow;
    std::unique_ptr<QSocketNotifier> pListen;
    std::vector<std::unique_ptr<SConnection>> connections;

    void Accept()
    {
        for (;;)
        {
            const int fd = accept4(nListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                return;
            if (connections.size() >= kMaxPending)
                connections.erase(connections.begin());
            auto pConnection = std::make_unique<SConnection>();
            pConnection->fd = fd;
            pConnection->pNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            SConnection* p = pConnection.get();
            QObject::connect(pConnection->pNotifier.get(), &QSocketNotifier::activated,
                             [this, p] { Read(p); });
            connections.push_back(std::move(pConnection));
        }
    }

    void Read(SConnection* p)
    {
        char buf[kMaxLine];
        const ssize_t n = recv(p->fd, buf, sizeof buf, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (n > 0)
            p->strLine.append(buf, static_cast<std::size_t>(n));
        const bool bRequest = p->strLine.starts_with(kRequest);
        if (!bRequest && n > 0 && p->strLine.size() < kRequest.size() &&
            std::string_view(kRequest).starts_with(p->strLine))
        {
            return; // the rest of the line is on its way
        }
        if (bRequest)
            send(p->fd, kAnswer.data(), kAnswer.size(), MSG_NOSIGNAL);
        // The connection goes before the window is shown: fnShow may run a message loop.
        Drop(p);
        if (bRequest && fnShow)
            fnShow();
    }

    void Drop(SConnection* p)
    {
        std::erase_if(connections,
                      [p](const std::unique_ptr<SConnection>& q) { return q.get() == p; });
    }
};

CSingleInstance::CSingleInstance(const std::string& strFolder, std::string strRuntimeFolder)
{
    if (strRuntimeFolder.empty())
        strRuntimeFolder = RuntimeFolder(m_strProblem);
    if (strRuntimeFolder.empty())
        return;
    const std::string strBase = strRuntimeFolder + "/zorvex-messenger-" + FolderKey(strFolder);
    m_strLockPath = strBase + ".lock";
    m_strSocketPath = strBase + ".sock";
}

CSingleInstance::~CSingleInstance()
{
    m_pWatch.reset();
    if (m_nListenFd >= 0)
    {
        close(m_nListenFd);
        // Still the lock's holder: the socket file is ours to remove. The lock file stays, as
        // removing it could split the next two starts between two files.
        unlink(m_strSocketPath.c_str());
    }
    if (m_nLockFd >= 0)
        close(m_nLockFd);
}

CSingleInstance::EClaim CSingleInstance::Claim()
{
    if (m_nLockFd >= 0)
        return EClaim::Owner;
    if (m_strLockPath.empty())
        return EClaim::Unavailable;
    const int fd = open(m_strLockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
    {
        m_strProblem = m_strLockPath + ": " + std::strerror(errno);
        return EClaim::Unavailable;
    }
    int nResult;
    do
        nResult = flock(fd, LOCK_EX | LOCK_NB);
    while (nResult != 0 && errno == EINTR);
    if (nResult != 0)
    {
        const int nError = errno;
        close(fd);
        if (nError == EWOULDBLOCK)
            return EClaim::Taken;
        m_strProblem = m_strLockPath + ": " + std::strerror(nError);
        return EClaim::Unavailable;
    }
    m_nLockFd = fd;

    // A socket file left by a copy that died answers nobody: replaced.
    sockaddr_un address;
    if (!FillAddress(m_strSocketPath, address))
        return EClaim::Owner;
    unlink(m_strSocketPath.c_str());
    const int nListen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (nListen < 0)
        return EClaim::Owner;
    // Listening from now on: a request that comes before the window system waits in the queue.
    if (bind(nListen, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(nListen, 8) != 0)
    {
        close(nListen);
        return EClaim::Owner;
    }
    m_nListenFd = nListen;
    return EClaim::Owner;
}

bool CSingleInstance::AskOwnerToShow(std::chrono::milliseconds timeout) const
{
    if (m_strSocketPath.empty())
        return false;
    const auto tEnd = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        if (AskOnce(m_strSocketPath, tEnd))
            return true;
        if (MillisecondsLeft(tEnd) <= 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void CSingleInstance::WatchShowRequests(std::function<void()> fnShow)
{
    if (m_nListenFd < 0)
        return;
    m_pWatch = std::make_unique<SWatch>();
    m_pWatch->nListenFd = m_nListenFd;
    m_pWatch->fnShow = std::move(fnShow);
    m_pWatch->pListen = std::make_unique<QSocketNotifier>(m_nListenFd, QSocketNotifier::Read);
    SWatch* pWatch = m_pWatch.get();
    QObject::connect(pWatch->pListen.get(), &QSocketNotifier::activated,
                     [pWatch] { pWatch->Accept(); });
}
