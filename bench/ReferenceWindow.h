// What the reference programs of the desktop cost benchmark share: the end on SIGTERM through the
// event loop, and the "first paint" line on standard output when their window first paints.
#pragma once

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace reference
{

inline int g_signalPipe[2] = {-1, -1};

inline void OnTerm(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &c, 1);
}

// Quits app on SIGTERM; null when the pipe cannot be made.
inline std::unique_ptr<QSocketNotifier> QuitOnTerm(QApplication& app)
{
    if (pipe(g_signalPipe) != 0)
        return nullptr;
    std::signal(SIGTERM, OnTerm);
    auto pNotifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(pNotifier.get(), &QSocketNotifier::activated, &app, &QApplication::quit);
    return pNotifier;
}

// Prints "first paint" the first time it is called with bPainted false, and sets bPainted.
inline void SayFirstPaint(bool& bPainted)
{
    if (bPainted)
        return;
    bPainted = true;
    std::puts("first paint");
    std::fflush(stdout);
}

} // namespace reference
