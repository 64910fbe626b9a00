#include "HookCommand.h"

#include "base/FileIo.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace
{

using Clock = std::chrono::steady_clock;

// Poll's interval when the kernel cannot hand out a descriptor for the child's end.
constexpr int kReapPollMs = 20;

bool HasName(const char* pszEntry, const std::vector<std::string>& listEnv)
{
    for (const std::string& entry : listEnv)
    {
        const std::size_t nName = entry.find('=');
        if (std::strncmp(pszEntry, entry.c_str(), nName + 1) == 0)
            return true;
    }
    return false;
}

// Only what is safe between fork and exec in a program with threads: no allocation here.
[[noreturn]] void RunChild(int nInputFd, const char* const* argv, char* const* envp)
{
    ::setpgid(0, 0);
    // Ignored signals stay ignored across exec; the command gets the defaults.
    struct sigaction dfl
    {
    };
    dfl.sa_handler = SIG_DFL;
    for (const int nSignal : {SIGPIPE, SIGINT, SIGTERM, SIGCHLD})
        ::sigaction(nSignal, &dfl, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    if (::dup2(nInputFd, 0) < 0 || ::dup2(2, 1) < 0)
        ::_exit(127);
    // Whatever else is open here (the game list, sockets, pipes of libraries) stays ours.
    if (::syscall(SYS_close_range, 3u, ~0u, 0u) != 0)
    {
        const long nMax = ::sysconf(_SC_OPEN_MAX);
        for (int fd = 3; fd < (nMax > 0 ? nMax : 1024); ++fd)
            ::close(fd);
    }
    ::execve("/bin/sh", const_cast<char* const*>(argv), envp);
    ::_exit(127);
}

// Waits without blocking for the child; true once it is reaped.
bool Reaped(pid_t pid, int& nStatus)
{
    for (;;)
    {
        const pid_t n = ::waitpid(pid, &nStatus, WNOHANG);
        if (n == pid)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        // ECHILD: someone else reaped it; nothing more to wait for.
        if (n < 0)
        {
            nStatus = 0;
            return true;
        }
        return false;
    }
}

void KillGroupAndReap(pid_t pid)
{
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL); // in case it had no group of its own yet
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR)
    {
    }
}

} // namespace

SHookResult RunHookCommand(const SHookRun& run)
{
    SHookResult result;
    // A command that closes its input early must not end us with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);

    // Everything the child needs is built before the fork.
    std::vector<std::string> env;
    for (char** pp = environ; pp != nullptr && *pp != nullptr; ++pp)
        if (!HasName(*pp, run.listEnv))
            env.emplace_back(*pp);
    env.insert(env.end(), run.listEnv.begin(), run.listEnv.end());
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    const char* argv[] = {"sh", "-c", run.strCommand.c_str(), nullptr};

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return result;
    CFileDescriptor input(pipeFds[0]);
    CFileDescriptor output(pipeFds[1]);

    const pid_t pid = ::fork();
    if (pid < 0)
        return result;
    if (pid == 0)
        RunChild(input.Get(), argv, envp.data());
    ::setpgid(pid, pid); // also here: the kill at the limit may come before the child runs
    // Pipe ends are let go with Reset: a pipe's close has nothing to report.
    input.Reset();
    ::fcntl(output.Get(), F_SETFL, O_NONBLOCK);
    if (run.strInput.empty())
        output.Reset();

    // The child's end as a descriptor, where the kernel offers one; else a short poll.
    CFileDescriptor pidFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));

    const Clock::time_point tEnd = Clock::now() + run.limit;
    std::size_t nWritten = 0;
    int nStatus = 0;
    for (;;)
    {
        if (Reaped(pid, nStatus))
            break;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(tEnd - Clock::now()).count();
        if (left <= 0)
        {
            KillGroupAndReap(pid);
            result.eEnd = EHookEnd::TimedOut;
            return result;
        }
        pollfd fds[3];
        nfds_t n = 0;
        const nfds_t nStop = run.nStopFd >= 0 ? n++ : 3;
        if (nStop == 0)
            fds[0] = {run.nStopFd, POLLIN, 0};
        const nfds_t nOut = output.Get() >= 0 ? n++ : 3;
        if (nOut < 3)
            fds[nOut] = {output.Get(), POLLOUT, 0};
        const nfds_t nPid = pidFd.Get() >= 0 ? n++ : 3;
        if (nPid < 3)
            fds[nPid] = {pidFd.Get(), POLLIN, 0};
        const int nWait = pidFd.Get() >= 0
                              ? static_cast<int>(left)
                              : static_cast<int>(std::min<long long>(left, kReapPollMs));
        if (::poll(fds, n, nWait) < 0 && errno != EINTR)
            continue;
        if (nStop < 3 && (fds[nStop].revents & POLLIN))
        {
            KillGroupAndReap(pid);
            result.eEnd = EHookEnd::Stopped;
            return result;
        }
        if (nOut < 3 && fds[nOut].revents != 0)
        {
            const ssize_t w = ::write(output.Get(), run.strInput.data() + nWritten,
                                      run.strInput.size() - nWritten);
            if (w > 0)
                nWritten += static_cast<std::size_t>(w);
            // A command that does not read its input (closed, or gone) is no failure of ours.
            if ((w < 0 && errno != EAGAIN && errno != EINTR) || nWritten == run.strInput.size())
                output.Reset();
        }
    }
    if (WIFEXITED(nStatus))
    {
        result.eEnd = EHookEnd::Exited;
        result.nCode = WEXITSTATUS(nStatus);
    }
    else
    {
        result.eEnd = EHookEnd::Signalled;
        result.nCode = WIFSIGNALED(nStatus) ? WTERMSIG(nStatus) : 0;
    }
    return result;
}

std::string DescribeHookFailure(const SHookResult& result)
{
    switch (result.eEnd)
    {
    case EHookEnd::Exited:
        return result.nCode == 0 ? std::string()
                                 : "exited with status " + std::to_string(result.nCode);
    case EHookEnd::Signalled:
        return "ended by signal " + std::to_string(result.nCode);
    case EHookEnd::TimedOut:
        return "did not end in time and was killed";
    case EHookEnd::Stopped:
        return "was killed because zorvex-pbem is ending";
    case EHookEnd::NotStarted:
        return "could not be started";
    }
    return {};
}
