// Measures a window program from outside, on the X server named by DISPLAY:
//   first_paint_probe [--size WxH] [--settle S] -- COMMAND [ARGS...]
// Starts the command and polls the server every millisecond for a new top-level window that is
// viewable (of that size, when given; else at least 50×50), then for its content to be other
// than black: the root must be black (Xvfb -br) and nothing may cover the window's place.
// Prints "map_ms N", "paint_ms N" (from the fork, CLOCK_MONOTONIC), "complete_ms N" (the last
// change of the window's content within 2 s of its first paint: a program that paints a part
// first and the rest later completes then), then S seconds (default 3) after the first paint
// "rss_kb N" from /proc, and ends the program with SIGTERM. Accurate to about a millisecond plus
// one image read (a 220×220 read takes well under a millisecond locally).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

double NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

int IgnoreXError(Display*, XErrorEvent*)
{
    return 0; // a window may vanish between the listing and the look at it
}

std::set<Window> TopLevels(Display* pDisplay)
{
    Window root = 0, parent = 0;
    Window* pChildren = nullptr;
    unsigned int nChildren = 0;
    std::set<Window> windows;
    if (XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &nChildren))
    {
        windows.insert(pChildren, pChildren + nChildren);
        XFree(pChildren);
    }
    return windows;
}

// A hash of the window's pixels; 0 while it is all black (or cannot be read).
unsigned long long ContentHash(Display* pDisplay, Window window, int cx, int cy)
{
    XImage* pImage = XGetImage(pDisplay, window, 0, 0, static_cast<unsigned>(cx),
                               static_cast<unsigned>(cy), AllPlanes, ZPixmap);
    if (pImage == nullptr)
        return 0;
    bool bContent = false;
    unsigned long long nHash = 1469598103934665603ull;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
        {
            const unsigned long nPixel = XGetPixel(pImage, x, y) & 0xffffff;
            bContent = bContent || nPixel != 0;
            nHash = (nHash ^ nPixel) * 1099511628211ull;
        }
    XDestroyImage(pImage);
    return bContent ? (nHash == 0 ? 1 : nHash) : 0;
}

long RssKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

void EndChild(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 1000; ++i) // 10 s for a clean end
    {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    std::fprintf(stderr, "first_paint_probe: no end 10 s after SIGTERM, killed\n");
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    int cxWanted = 0, cyWanted = 0;
    double dSettle = 3;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
    {
        if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc)
            std::sscanf(argv[++i], "%dx%d", &cxWanted, &cyWanted);
        else if (std::strcmp(argv[i], "--settle") == 0 && i + 1 < argc)
            dSettle = std::atof(argv[++i]);
    }
    if (i + 1 >= argc)
    {
        std::fprintf(stderr, "usage: %s [--size WxH] [--settle S] -- COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr)
    {
        std::fprintf(stderr, "first_paint_probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXError);
    const std::set<Window> before = TopLevels(pDisplay);

    const double dStart = NowMs();
    const pid_t pid = fork();
    if (pid == 0)
    {
        // The command's output is not ours to print; it would disturb the figures.
        // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): stdout stays open for the command
        std::freopen("/dev/null", "w", stdout);
        execvp(argv[i + 1], argv + i + 1);
        _exit(127);
    }
    if (pid < 0)
        return 2;

    double dMap = -1, dPaint = -1;
    unsigned long long nHash = 0;
    Window found = 0;
    int cx = 0, cy = 0;
    const timespec step{0, 1000000};
    while (dPaint < 0 && NowMs() - dStart < 30000)
    {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
        {
            std::fprintf(stderr, "first_paint_probe: the program ended before it painted\n");
            return 1;
        }
        if (found == 0)
        {
            for (const Window window : TopLevels(pDisplay))
            {
                XWindowAttributes attributes{};
                if (before.count(window) || !XGetWindowAttributes(pDisplay, window, &attributes) ||
                    attributes.map_state != IsViewable)
                    continue;
                const bool bFits =
                    cxWanted > 0 ? attributes.width == cxWanted && attributes.height == cyWanted
                                 : attributes.width >= 50 && attributes.height >= 50;
                if (!bFits)
                    continue;
                found = window;
                cx = attributes.width;
                cy = attributes.height;
                dMap = NowMs() - dStart;
                break;
            }
        }
        if (found != 0 && (nHash = ContentHash(pDisplay, found, cx, cy)) != 0)
            dPaint = NowMs() - dStart;
        else
            nanosleep(&step, nullptr);
    }
    if (dPaint < 0)
    {
        std::fprintf(stderr, "first_paint_probe: no painted window within 30 s\n");
        EndChild(pid);
        return 1;
    }
    // Watched closely for a while: a part painted later is what the player waits for.
    double dComplete = dPaint;
    const double dWatchEnd = dPaint + 2000;
    const timespec watchStep{0, 2000000};
    for (double dNow = NowMs() - dStart; dNow < dWatchEnd; dNow = NowMs() - dStart)
    {
        const unsigned long long nNow = ContentHash(pDisplay, found, cx, cy);
        if (nNow != nHash)
        {
            nHash = nNow;
            dComplete = dNow;
        }
        nanosleep(&watchStep, nullptr);
    }
    std::printf("map_ms %.1f\npaint_ms %.1f\ncomplete_ms %.1f\n", dMap, dPaint, dComplete);
    std::fflush(stdout);
    XCloseDisplay(pDisplay);

    const double dRssAt = dPaint + dSettle * 1000;
    const double dLeft = dRssAt - (NowMs() - dStart);
    if (dLeft > 0)
        usleep(static_cast<useconds_t>(dLeft * 1000));
    std::printf("rss_kb %ld\n", RssKb(pid));
    std::fflush(stdout);
    EndChild(pid);
    return 0;
}
