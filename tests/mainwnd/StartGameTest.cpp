#include "mainwnd/StartGame.h"

#include "support/EnvVarScope.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"
#include "support/WorkingFolderScope.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Writes its arguments (count, then each in brackets) and its working folder next to itself.
constexpr const char* kRecorder =
    "#!/bin/sh\n"
    "out=\"$(dirname \"$0\")/$(basename \"$0\").ran\"\n"
    "{ echo \"$#\"; for a in \"$@\"; do echo \"[$a]\"; done; pwd -P; }"
    " > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n";

const std::wstring kInstanceId = L"Game \"one\" of Bob's";

// The game runs detached: wait for what it leaves behind.
std::string WaitForFile(const CTempDir& dir, const std::string& relative)
{
    for (int i = 0; i < 500 && !std::filesystem::exists(dir.File(relative)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return dir.Read(relative);
}

class StartGameTest : public ::testing::Test
{
protected:
    static void Install(const CTempDir& dir, const std::string& name, const std::string& bytes,
                        mode_t mode)
    {
        dir.Write(name, bytes);
        ASSERT_EQ(::chmod(dir.File(name).c_str(), mode), 0);
    }

    // Where the game must run: it opens its files by relative paths.
    std::string InstallFolder() const
    {
        return std::filesystem::canonical(m_install.Path()).string();
    }

    CTempDir m_install;
    CTempDir m_working;
    CTempDir m_bin;
    const CInstallFolderScope m_installFolder{m_install.WidePath()};
    // The messenger runs in another folder than the game's, as with --install-dir.
    const CWorkingFolderScope m_workingFolder{m_working.Path()};
    // Only the test's own programs and the basic tools the recorder uses.
    const CEnvVarScope m_path{"PATH", m_bin.Path() + ":/usr/bin:/bin"};
};

TEST_F(StartGameTest, StartsTheGameWithPbemAndTheInstanceIdInTheInstallationFolder)
{
    Install(m_install, "Zorvex.exe", kRecorder, 0755);
    ASSERT_TRUE(StartGame(kInstanceId));
    EXPECT_EQ(WaitForFile(m_install, "Zorvex.exe.ran"),
              "2\n[-PBEM]\n[Game \"one\" of Bob's]\n" + InstallFolder() + "\n");
}

TEST_F(StartGameTest, GoesThroughWineWhenTheSystemCannotRunTheProgram)
{
    const struct
    {
        const char* name;
        std::string bytes;
        mode_t mode;
    } cases[] = {
        {"not executable", kRecorder, 0644},
        {"no format the system knows", std::string("MZ\x90\x00\x03", 5), 0755},
    };
    Install(m_bin, "wine", kRecorder, 0755);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_bin.File("wine.ran"));
        Install(m_install, "Zorvex.exe", c.bytes, c.mode);
        ASSERT_TRUE(StartGame(kInstanceId));
        EXPECT_EQ(WaitForFile(m_bin, "wine.ran"), "3\n[" + m_install.Path() +
                                                      "/Zorvex.exe]\n[-PBEM]\n"
                                                      "[Game \"one\" of Bob's]\n" +
                                                      InstallFolder() + "\n");
        EXPECT_FALSE(std::filesystem::exists(m_install.File("Zorvex.exe.ran")));
    }
}

TEST_F(StartGameTest, AFailedStartWritesOneLineAndReturnsFalse)
{
    const struct
    {
        const char* name;
        bool bInstall;
    } cases[] = {
        {"no program", false},
        {"not executable and no wine", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.bInstall)
            Install(m_install, "Zorvex.exe", kRecorder, 0644);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(StartGame(kInstanceId));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("Zorvex.exe"), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
}

} // namespace
