#include "StopSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace
{

volatile sig_atomic_t g_bStop = 0;
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[2];
constexpr int kSignals[2] = {SIGTERM, SIGINT};

void OnStopSignal(int)
{
    const int nSaved = errno;
    g_bStop = 1;
    const char c = 's';
    // Full pipe: it is readable already.
    static_cast<void>(::write(g_pipe[1], &c, 1));
    errno = nSaved;
}

} // namespace

CStopSignals::CStopSignals()
{
    g_bStop = 0;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    ::sigemptyset(&action.sa_mask);
    for (int i = 0; i < 2; ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
    m_bOk = true;
}

CStopSignals::~CStopSignals()
{
    if (!m_bOk)
        return;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool CStopSignals::Requested() const
{
    return g_bStop != 0;
}

int CStopSignals::Fd() const
{
    return g_pipe[0];
}

bool CStopSignals::WaitFor(std::chrono::milliseconds wait) const
{
    // The steady clock stands still while the machine sleeps; the wall clock, looked at once a
    // minute, ends the wait after a suspend that outlasted it.
    const auto tEnd = std::chrono::steady_clock::now() + wait;
    const auto tWallEnd = std::chrono::system_clock::now() + wait;
    while (!Requested())
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              tEnd - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || std::chrono::system_clock::now() >= tWallEnd)
            return false;
        pollfd fd{g_pipe[0], POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(std::min<long long>(left, 60000)));
    }
    return true;
}
