// zorvex-pbem watch: polls an installation folder as the program does, at the start and then
// every period, until SIGTERM or SIGINT (exit status 0), and passes each event on.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

struct SWatchOptions
{
    std::wstring strInstallDir = {};
    std::string strExec = {}; // run through /bin/sh -c once per announced event; empty: none
    bool bNotify = false;     // a desktop notification per poll that announced events
    bool bOnce = false;       // one poll, then the poll command's exit status
    // The program's poll period.
    std::chrono::milliseconds period{15 * 60 * 1000};
    std::chrono::milliseconds execLimit{30000}; // a command still running then is killed
};

// Prints each announced event as `poll` prints it, one line each, flushed after every poll.
int RunWatchCommand(const SWatchOptions& options, std::ostream& out, std::ostream& err);
