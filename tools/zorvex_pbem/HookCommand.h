// Runs a player's command for one event: `/bin/sh -c COMMAND` in a process group of its own, with
// the given text on its standard input, its standard output sent to our standard error (ours
// carries only JSON lines), no other descriptor of ours, and a time limit after which the whole
// group is killed. A command that does not read its input never blocks the caller: from the first
// run on, the process ignores SIGPIPE.
#pragma once

#include <chrono>
#include <string>
#include <vector>

enum class EHookEnd
{
    Exited,    // nCode: its exit status
    Signalled, // nCode: the signal that ended it
    TimedOut,  // killed, with its group, at the limit
    Stopped,   // killed, with its group, because the stop descriptor became readable
    NotStarted // no process could be made
};

struct SHookResult
{
    EHookEnd eEnd = EHookEnd::NotStarted;
    int nCode = 0;
    bool Ok() const { return eEnd == EHookEnd::Exited && nCode == 0; }
};

struct SHookRun
{
    std::string strCommand;
    std::string strInput;
    std::vector<std::string> listEnv; // "NAME=value" added to (or replacing those of) ours
    std::chrono::milliseconds limit{30000};
    int nStopFd = -1; // readable: stop at once; -1: none
};

SHookResult RunHookCommand(const SHookRun& run);

// One line for standard error about a command that did not end well; empty when it did.
std::string DescribeHookFailure(const SHookResult& result);
