// One program per installation folder: a second copy for the same folder (however it is spelt)
// is refused and makes the first show its window, other folders run side by side, and a copy
// that died leaves nothing that blocks.
#include "platform/SingleInstance.h"

#include "support/TempDir.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <future>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{

using namespace std::chrono_literals;
using EClaim = CSingleInstance::EClaim;

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_dir.File("game"));
        std::filesystem::create_directories(m_dir.File("other"));
        std::filesystem::create_directories(m_dir.File("run"));
        std::filesystem::create_directory_symlink(m_dir.File("game"), m_dir.File("link"));
    }
    std::string Runtime() const { return m_dir.File("run"); }
    // Asks from another thread, as a second process would, while this one runs its events.
    static bool AskAndPump(const CSingleInstance& instance, std::chrono::milliseconds timeout)
    {
        auto answer = std::async(std::launch::async,
                                 [&instance, timeout] { return instance.AskOwnerToShow(timeout); });
        while (answer.wait_for(5ms) != std::future_status::ready)
            QCoreApplication::processEvents();
        return answer.get();
    }

    CTempDir m_dir;
};

TEST_F(SingleInstanceTest, SecondCopyIsRefusedAndShowsTheFirst)
{
    CSingleInstance first(m_dir.File("game"), Runtime());
    ASSERT_EQ(first.Claim(), EClaim::Owner);
    int nShown = 0;
    {
        // A request made before the first one watches waits for it.
        CSingleInstance early(m_dir.File("game"), Runtime());
        ASSERT_EQ(early.Claim(), EClaim::Taken);
        auto answer = std::async(std::launch::async, [&early] { return early.AskOwnerToShow(5s); });
        std::this_thread::sleep_for(100ms);
        first.WatchShowRequests([&nShown] { ++nShown; });
        while (answer.wait_for(5ms) != std::future_status::ready)
            QCoreApplication::processEvents();
        EXPECT_TRUE(answer.get());
        EXPECT_EQ(nShown, 1);
    }
    for (const std::string& strSpelling :
         {m_dir.File("game"), m_dir.File("link"), m_dir.File("game/"), m_dir.File("other/../game")})
    {
        SCOPED_TRACE(strSpelling);
        CSingleInstance second(strSpelling, Runtime());
        EXPECT_EQ(second.Claim(), EClaim::Taken);
        const int nBefore = nShown;
        EXPECT_TRUE(AskAndPump(second, 5s));
        EXPECT_EQ(nShown, nBefore + 1);
    }

    // Another folder has its own.
    CSingleInstance other(m_dir.File("other"), Runtime());
    EXPECT_EQ(other.Claim(), EClaim::Owner);
    EXPECT_NE(other.LockPath(), first.LockPath());
}

TEST_F(SingleInstanceTest, FolderIsFreeOnceItsCopyEnds)
{
    std::string strSocket;
    {
        CSingleInstance first(m_dir.File("game"), Runtime());
        ASSERT_EQ(first.Claim(), EClaim::Owner);
        strSocket = first.SocketPath();
        EXPECT_TRUE(std::filesystem::exists(strSocket));
    }
    EXPECT_FALSE(std::filesystem::exists(strSocket));
    CSingleInstance next(m_dir.File("game"), Runtime());
    EXPECT_EQ(next.Claim(), EClaim::Owner);
}

// A holder killed with SIGKILL: its lock goes with it, and the socket file it left (which nobody
// answers on) is replaced by the next holder's.
TEST_F(SingleInstanceTest, KilledCopyLeavesNothingThatBlocks)
{
    const CSingleInstance names(m_dir.File("game"), Runtime());
    // The socket file of the dead copy: bound, then closed without being removed.
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(names.SocketPath().size(), sizeof address.sun_path);
        std::strcpy(address.sun_path, names.SocketPath().c_str());
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
    // A process that holds the lock (one process: the shell becomes the sleep, keeping it).
    const char* argv[] = {"/bin/sh",
                          "-c",
                          "exec 9>\"$1\" && flock 9 && exec sleep 60",
                          "sh",
                          names.LockPath().c_str(),
                          nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    bool bHeld = false;
    for (int i = 0; i < 500 && !bHeld; ++i)
    {
        CSingleInstance probe(m_dir.File("game"), Runtime());
        bHeld = probe.Claim() == EClaim::Taken;
        if (!bHeld)
            std::this_thread::sleep_for(10ms);
    }
    if (!bHeld)
    {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        GTEST_SKIP() << "flock(1) did not take the lock";
    }
    {
        // A holder that does not answer: the second copy gives up and says so.
        CSingleInstance second(m_dir.File("game"), Runtime());
        ASSERT_EQ(second.Claim(), EClaim::Taken);
        EXPECT_FALSE(second.AskOwnerToShow(300ms));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);

    CSingleInstance next(m_dir.File("game"), Runtime());
    ASSERT_EQ(next.Claim(), EClaim::Owner);
    int nShown = 0;
    next.WatchShowRequests([&nShown] { ++nShown; });
    CSingleInstance second(m_dir.File("game"), Runtime());
    ASSERT_EQ(second.Claim(), EClaim::Taken);
    EXPECT_TRUE(AskAndPump(second, 5s));
    EXPECT_EQ(nShown, 1);
}

TEST_F(SingleInstanceTest, MissingRuntimeFolderIsUnavailable)
{
    CSingleInstance instance(m_dir.File("game"), m_dir.File("run/missing"));
    EXPECT_EQ(instance.Claim(), EClaim::Unavailable);
    EXPECT_FALSE(instance.Problem().empty());
}

} // namespace
