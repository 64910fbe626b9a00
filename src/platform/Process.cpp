#include "platform/Process.h"

#include <csignal>
#include <cstdlib>
#include <string_view>

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

bool IsExecutableFile(const std::string& strPath)
{
    struct stat st
    {
    };
    return ::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(strPath.c_str(), X_OK) == 0;
}

void WriteError(int fd, int nError)
{
    // Best effort: the parent reads "no error" when this fails.
    [[maybe_unused]] const ssize_t n = ::write(fd, &nError, sizeof nError);
}

// Runs in the forked grandchild; only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(const char* pszFile, char* const* argv, const char* pszFolder,
                            int fdError)
{
    // Dispositions the messenger ignores (SIGPIPE for the network) would survive exec.
    struct sigaction sa
    {
    };
    sa.sa_handler = SIG_DFL;
    for (int nSignal = 1; nSignal < NSIG; ++nSignal)
        ::sigaction(nSignal, &sa, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (pszFolder != nullptr && ::chdir(pszFolder) != 0)
    {
        WriteError(fdError, errno);
        ::_exit(127);
    }
    ::execv(pszFile, argv);
    WriteError(fdError, errno);
    ::_exit(127);
}

} // namespace

int SpawnDetached(const std::string& strFile, const std::vector<std::string>& argv,
                  const std::string& strFolder)
{
    // Built before fork: the child of a threaded process must not allocate.
    std::vector<char*> args;
    if (argv.empty())
        args.push_back(const_cast<char*>(strFile.c_str()));
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    // The exec error comes back through this pipe; a successful exec closes it empty.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return errno;

    // No signal handler of ours may run in the child before exec.
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        ::close(fds[0]);
        // The game outlives the messenger and its terminal; the middle process ends at once so
        // that the game is handed to init, which reaps it.
        ::setsid();
        const pid_t pidGame = ::fork();
        if (pidGame == 0)
            ExecChild(strFile.c_str(), args.data(), strFolder.empty() ? nullptr : strFolder.c_str(),
                      fds[1]);
        if (pidGame < 0)
            WriteError(fds[1], errno);
        ::_exit(0);
    }
    const int nForkError = pid < 0 ? errno : 0;
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::close(fds[1]);
    if (pid < 0)
    {
        ::close(fds[0]);
        return nForkError;
    }
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
    {
    }

    int nError = 0;
    ssize_t n;
    do
        n = ::read(fds[0], &nError, sizeof nError);
    while (n < 0 && errno == EINTR);
    ::close(fds[0]);
    return n == static_cast<ssize_t>(sizeof nError) ? nError : 0;
}

std::string FindProgramOnPath(const std::string& strName)
{
    if (strName.empty())
        return {};
    if (strName.find('/') != std::string::npos)
        return IsExecutableFile(strName) ? strName : std::string();
    const char* pszPath = std::getenv("PATH");
    const std::string_view path = pszPath != nullptr ? pszPath : "/usr/local/bin:/usr/bin:/bin";
    std::size_t nStart = 0;
    while (nStart <= path.size())
    {
        std::size_t nEnd = path.find(':', nStart);
        if (nEnd == std::string_view::npos)
            nEnd = path.size();
        // An empty entry is the current folder.
        std::string strFolder(path.substr(nStart, nEnd - nStart));
        std::string strCandidate = (strFolder.empty() ? "." : strFolder) + "/" + strName;
        if (IsExecutableFile(strCandidate))
            return strCandidate;
        nStart = nEnd + 1;
    }
    return {};
}

int SpawnWindowsProgram(const std::string& strFile, const std::vector<std::string>& args,
                        const std::string& strFolder)
{
    struct stat st
    {
    };
    if (::stat(strFile.c_str(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EACCES;

    std::vector<std::string> argv{strFile};
    argv.insert(argv.end(), args.begin(), args.end());
    const int nError =
        ::access(strFile.c_str(), X_OK) == 0 ? SpawnDetached(strFile, argv, strFolder) : EACCES;
    if (nError != ENOEXEC && nError != EACCES)
        return nError;

    const std::string strWine = FindProgramOnPath("wine");
    if (strWine.empty())
        return nError;
    argv.insert(argv.begin(), "wine");
    return SpawnDetached(strWine, argv, strFolder) == 0 ? 0 : nError;
}
