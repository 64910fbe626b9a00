// The command run per event: its input, its end, and what it may not take from the watcher.
#include "HookCommand.h"

#include "support/EnvVarScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace
{

// True once the process is gone (or a zombie nobody of ours reaps), waiting at most a while:
// a killed process needs a moment to go.
bool Gone(pid_t pid)
{
    for (int i = 0; i < 500; ++i)
    {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string strPid, strName, strState;
        if (!(stat >> strPid >> strName >> strState) || strState == "Z" || strState == "X")
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

TEST(HookCommand, EndsAreToldAndNoneBlocks)
{
    struct SCase
    {
        const char* pszCommand;
        std::size_t nInput;
        EHookEnd eEnd;
        int nCode;
    } const cases[] = {
        {"cat >/dev/null", 10, EHookEnd::Exited, 0},
        {"exit 3", 10, EHookEnd::Exited, 3},
        {"kill -9 $$", 10, EHookEnd::Signalled, 9},
        // Input larger than a pipe holds, to a command that never reads it: neither a block
        // nor a SIGPIPE for us.
        {"true", 1 << 20, EHookEnd::Exited, 0},
        {"exec 0<&-; sleep 0.2; exit 0", 1 << 20, EHookEnd::Exited, 0},
        {"sleep 30", 1 << 20, EHookEnd::TimedOut, 0},
        {"/nonexistent/command", 10, EHookEnd::Exited, 127},
    };
    for (const SCase& test : cases)
    {
        SCOPED_TRACE(test.pszCommand);
        SHookRun run;
        run.strCommand = test.pszCommand;
        run.strInput.assign(test.nInput, 'x');
        run.limit = std::chrono::milliseconds(test.eEnd == EHookEnd::TimedOut ? 300 : 20000);
        const SHookResult result = RunHookCommand(run);
        EXPECT_EQ(result.eEnd, test.eEnd);
        EXPECT_EQ(result.nCode, test.nCode);
        EXPECT_EQ(result.Ok(), test.eEnd == EHookEnd::Exited && test.nCode == 0);
        EXPECT_EQ(DescribeHookFailure(result).empty(), result.Ok());
    }
}

TEST(HookCommand, GetsItsInputAndEnvironmentAndNoneOfOurDescriptors)
{
    CTempDir dir;
    const CEnvVarScope staleText("ZORVEX_TEXT", "stale");
    // A descriptor without close-on-exec, as a library might leave one.
    const int nLeak = ::open(dir.Path().c_str(), O_RDONLY);
    ASSERT_GE(nLeak, 3);
    SHookRun run;
    run.strCommand = "cat > in; printf '%s|%s' \"$ZORVEX_TEXT\" \"$HOME\" > env; "
                     "ls /proc/self/fd > fds";
    run.strCommand = "cd '" + dir.Path() + "' && " + run.strCommand;
    run.strInput = "{\"key\":1}\n";
    run.listEnv = {"ZORVEX_TEXT=caf\xc3\xa9 'now'"};
    const SHookResult result = RunHookCommand(run);
    ::close(nLeak);
    EXPECT_TRUE(result.Ok()) << DescribeHookFailure(result);
    EXPECT_EQ(dir.Read("in"), "{\"key\":1}\n");
    EXPECT_EQ(dir.Read("env"), std::string("caf\xc3\xa9 'now'|") + std::getenv("HOME"));
    // 0, 1, 2 and the one ls opens to read the folder; the leaked one would come before it.
    EXPECT_EQ(dir.Read("fds"), "0\n1\n2\n3\n");
}

TEST(HookCommand, TheLimitAndAStopKillTheWholeGroup)
{
    for (const bool bStop : {false, true})
    {
        SCOPED_TRACE(bStop ? "stop" : "limit");
        CTempDir dir;
        int stopPipe[2];
        ASSERT_EQ(::pipe(stopPipe), 0);
        SHookRun run;
        // A job in the background, the shell itself waiting for it.
        run.strCommand = "sleep 60 & echo $! > '" + dir.File("pid.tmp") + "'; mv '" +
                         dir.File("pid.tmp") + "' '" + dir.File("pid") + "'; wait";
        run.limit = std::chrono::milliseconds(bStop ? 60000 : 1500);
        run.nStopFd = stopPipe[0];
        // The stop comes once the job runs.
        std::thread stopper(
            [&]
            {
                for (int i = 0; bStop && i < 2000 && dir.Read("pid").empty(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                if (bStop)
                    static_cast<void>(::write(stopPipe[1], "s", 1));
            });
        const SHookResult result = RunHookCommand(run);
        stopper.join();
        ::close(stopPipe[0]);
        ::close(stopPipe[1]);
        EXPECT_EQ(result.eEnd, bStop ? EHookEnd::Stopped : EHookEnd::TimedOut);
        const std::string strPid = dir.Read("pid");
        ASSERT_FALSE(strPid.empty());
        EXPECT_TRUE(Gone(std::stoi(strPid))) << strPid;
    }
}
