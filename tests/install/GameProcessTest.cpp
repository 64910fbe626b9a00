#include "install/GameProcess.h"

#include "base/Paths.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

struct SProcess
{
    std::string strEntry;   // the folder's name under the fake /proc
    std::string strCmdline; // arguments split by "|"; empty: no cmdline file
    std::string strCwd;     // the working folder the "cwd" link names; empty: no link
};

// Processes of a fake /proc tree beside an installation folder ("games/Zorvex"), another
// installation ("other/Zorvex") and a link to the first ("link").
class GameProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_temp.File("games/Zorvex"));
        fs::create_directories(m_temp.File("other/Zorvex"));
        fs::create_directory_symlink(m_temp.File("games/Zorvex"), m_temp.File("link"));
        fs::create_directories(m_temp.File("proc"));
    }

    // "$" in a text stands for the temporary folder, "|" for a NUL.
    std::string Expand(std::string text) const
    {
        for (std::size_t pos; (pos = text.find('$')) != std::string::npos;)
            text.replace(pos, 1, m_temp.Path());
        std::replace(text.begin(), text.end(), '|', '\0');
        return text;
    }
    void AddProcess(const SProcess& process)
    {
        const std::string folder = "proc/" + process.strEntry;
        fs::create_directories(m_temp.File(folder));
        if (!process.strCmdline.empty())
            m_temp.Write(folder + "/cmdline", Expand(process.strCmdline));
        if (!process.strCwd.empty())
            fs::create_directory_symlink(Expand(process.strCwd), m_temp.File(folder + "/cwd"));
    }
    // The wine form of a path below the temporary folder.
    std::string WinePath(const std::string& relative) const
    {
        std::string path = "Z:" + m_temp.Path() + "/" + relative;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    CTempDir m_temp;
};

TEST_F(GameProcessTest, FindsTheInstallationsGameAmongTheProcesses)
{
    struct SCase
    {
        const char* pszName;
        std::vector<SProcess> processes;
        bool bRunning;
    };
    const std::string strWine = WinePath("games/Zorvex/Zorvex.exe");
    const std::string strWineOther = WinePath("other/Zorvex/Zorvex.exe");
    std::string strWineDriveC = strWine;
    strWineDriveC[0] = 'C';
    const SCase cases[] = {
        {"no process", {}, false},
        {"run directly", {{"41", "$/games/Zorvex/Zorvex.exe|-PBEM|I1", ""}}, true},
        {"through wine, unix path", {{"42", "wine|$/games/Zorvex/Zorvex.exe|-PBEM|I1", ""}}, true},
        {"wine's own form, Z: path", {{"43", strWine + "|-PBEM|I1", ""}}, true},
        {"other letter case of the name", {{"44", "$/games/Zorvex/zORVEX.EXE", ""}}, true},
        {"folder spelled with a trailing dot", {{"45", "$/games/Zorvex/./Zorvex.exe", ""}}, true},
        {"folder through a link", {{"46", "$/link/Zorvex.exe", ""}}, true},
        {"bare name in the installation folder",
         {{"47", "wine|Zorvex.exe", "$/games/Zorvex"}},
         true},
        {"relative path from above", {{"48", "Zorvex/Zorvex.exe", "$/games"}}, true},
        {"another installation's game", {{"49", "$/other/Zorvex/Zorvex.exe", ""}}, false},
        {"another installation's game, wine", {{"50", strWineOther, ""}}, false},
        {"bare name elsewhere", {{"51", "Zorvex.exe", "$/other/Zorvex"}}, false},
        {"bare name, working folder unknown", {{"52", "Zorvex.exe", ""}}, false},
        {"drive other than Z:", {{"53", strWineDriveC, ""}}, false},
        {"a longer file name", {{"54", "less|$/games/Zorvex/Zorvex.exe.log", ""}}, false},
        {"the folder of the game only", {{"55", "ls|$/games/Zorvex", ""}}, false},
        {"not a process folder", {{"self", "$/games/Zorvex/Zorvex.exe", ""}}, false},
        {"unreadable entries passed over",
         {{"60", "", ""}, {"61", "", "$/games/Zorvex"}, {"62", "$/games/Zorvex/Zorvex.exe", ""}},
         true},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        fs::remove_all(m_temp.File("proc"));
        fs::create_directories(m_temp.File("proc"));
        for (const SProcess& process : c.processes)
            AddProcess(process);
        EXPECT_EQ(IsGameRunning(m_temp.WidePath() + L"/games/Zorvex", m_temp.File("proc")),
                  c.bRunning);
    }
}

TEST_F(GameProcessTest, InstallationFolderWithTrailingSlashOrMissingProc)
{
    AddProcess({"41", "$/games/Zorvex/Zorvex.exe", ""});
    EXPECT_TRUE(IsGameRunning(m_temp.WidePath() + L"/games/Zorvex/", m_temp.File("proc")));
    EXPECT_FALSE(IsGameRunning(L"", m_temp.File("proc")));
    EXPECT_FALSE(IsGameRunning(m_temp.WidePath() + L"/games/Zorvex", m_temp.File("missing")));
}

// A process that ends while its command line is read makes read() fail; a folder in place of
// the file fails the same way. That process is passed over, the scan goes on.
TEST_F(GameProcessTest, CommandLineThatFailsToReadIsPassedOver)
{
    fs::create_directories(m_temp.File("proc/40/cmdline"));
    AddProcess({"41", "$/games/Zorvex/Zorvex.exe", ""});
    EXPECT_TRUE(IsGameRunning(m_temp.WidePath() + L"/games/Zorvex", m_temp.File("proc")));
    fs::remove_all(m_temp.File("proc/41"));
    EXPECT_FALSE(IsGameRunning(m_temp.WidePath() + L"/games/Zorvex", m_temp.File("proc")));
}

// A stand-in game (a link to sleep named Zorvex.exe) in the real /proc, for as long as it runs.
TEST_F(GameProcessTest, StandInGameInTheRealProc)
{
    const std::wstring strFolder = m_temp.WidePath() + L"/games/Zorvex";
    EXPECT_FALSE(IsGameRunning(strFolder));
    std::string strExe = m_temp.File("games/Zorvex/Zorvex.exe");
    fs::create_symlink("/bin/sleep", strExe);
    std::string strSeconds = "30";
    char* argv[] = {strExe.data(), strSeconds.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, strExe.c_str(), nullptr, nullptr, argv, environ), 0);
    // The new process names its program only once its exec has happened.
    bool bSeen = false;
    for (int i = 0; i < 200 && !bSeen; ++i)
    {
        bSeen = IsGameRunning(strFolder);
        if (!bSeen)
            ::usleep(10000);
    }
    EXPECT_TRUE(bSeen);
    EXPECT_FALSE(IsGameRunning(m_temp.WidePath() + L"/other/Zorvex"));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_FALSE(IsGameRunning(strFolder));
}

} // namespace
