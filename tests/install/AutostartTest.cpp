// The autostart entry: where it goes, the quoting of its Exec value (checked against
// desktop-file-validate and a real launcher where they are installed), writing, removing and
// telling whether it names the installation.
#include "install/Autostart.h"

#include "support/EnvVarScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace
{

using Args = std::vector<std::string>;

bool HasTool(const char* pszTool)
{
    return std::system(("command -v " + std::string(pszTool) + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(AutostartTest, FileFollowsXdgConfigHome)
{
    const CEnvVarScope home("HOME", "/home/ann");
    CEnvVarScope config("XDG_CONFIG_HOME", nullptr);
    const struct
    {
        const char* pszConfig;
        const char* pszPath;
    } cases[] = {
        {nullptr, "/home/ann/.config/autostart/zorvex-messenger.desktop"},
        {"", "/home/ann/.config/autostart/zorvex-messenger.desktop"},
        {"cfg", "/home/ann/.config/autostart/zorvex-messenger.desktop"}, // relative: ignored
        {"/srv/cfg/", "/srv/cfg/autostart/zorvex-messenger.desktop"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszConfig != nullptr ? c.pszConfig : "(unset)");
        config.Set(c.pszConfig);
        EXPECT_EQ(AutostartFilePath(), c.pszPath);
    }
}

TEST(AutostartTest, QuotesExecArguments)
{
    const struct
    {
        std::string strArg;
        std::string strQuoted;
    } cases[] = {
        {"/usr/bin/zorvex-messenger", "/usr/bin/zorvex-messenger"},
        {"/opt/Zorvex Game", "\"/opt/Zorvex Game\""},
        {"/opt/Spiele/Größe", "/opt/Spiele/Größe"},
        {"/opt/100%", "/opt/100%%"},
        {"/opt/100% sure", "\"/opt/100%% sure\""},
        // Quoting escapes ", `, $ and \ with a backslash; the string escapes double each backslash.
        {"/opt/say \"hi\"", "\"/opt/say \\\\\"hi\\\\\"\""},
        {"/opt/a\\b", "\"/opt/a\\\\\\\\b\""},
        {"/opt/$HOME", "\"/opt/\\\\$HOME\""},
        {"/opt/`id`", "\"/opt/\\\\`id\\\\`\""},
        {"/opt/it's", "\"/opt/it's\""},
        {"/opt/a;b&c|d>e<f", "\"/opt/a;b&c|d>e<f\""},
        {"~/games", "\"~/games\""},
        {"/opt/tab\there", "\"/opt/tab\\there\""},
        {"", "\"\""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.strArg);
        const std::optional<std::string> quoted = QuoteExecArgument(c.strArg);
        ASSERT_TRUE(quoted.has_value());
        EXPECT_EQ(*quoted, c.strQuoted);
        EXPECT_EQ(SplitExecValue("/bin/x " + *quoted + " --hidden"),
                  std::optional<Args>(Args{"/bin/x", c.strArg, "--hidden"}));
    }
    // What an entry cannot hold: other control characters, bytes that are not UTF-8.
    for (const std::string& strArg :
         {std::string("/opt/a\x01"), std::string("/opt/\xff"), std::string("/opt/\xc0\xaf"),
          std::string("/opt/\xed\xa0\x80")})
    {
        SCOPED_TRACE(testing::PrintToString(strArg));
        EXPECT_EQ(QuoteExecArgument(strArg), std::nullopt);
        EXPECT_EQ(AutostartEntryText("/usr/bin/zm", strArg), std::nullopt);
    }
    for (const char* pszBroken : {"\"/opt/open", "\"/opt/a\\b\"", "/opt/a\\q"})
        EXPECT_EQ(SplitExecValue(pszBroken), std::nullopt) << pszBroken;
}

// The written entry passes the validator and, started by a real launcher, gives the program
// exactly its arguments, whatever the folder names hold.
TEST(AutostartTest, WrittenEntryValidatesAndLaunchesWithItsArguments)
{
    const bool bValidate = HasTool("desktop-file-validate");
    const bool bLaunch = HasTool("gio");
    if (!bValidate && !bLaunch)
        GTEST_SKIP() << "neither desktop-file-validate nor gio is installed";
    const CTempDir dir;
    const std::string strOut = dir.File("args.out");
    // A stand-in for the program, in a folder with a name that needs quoting. No "%" there: the
    // launcher's check that the program exists does not undo the doubled percent sign.
    const std::string strProgram = dir.File("bin \"x\" $y/zm's\\rec");
    dir.Write("bin \"x\" $y/zm's\\rec",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done >'" + strOut +
                  ".tmp'\nmv '" + strOut + ".tmp' '" + strOut + "'\n");
    std::filesystem::permissions(strProgram, std::filesystem::perms::owner_all);
    const std::string strEntry = dir.File("autostart/zorvex-messenger.desktop");
    for (const std::string& strFolder :
         {std::string("/opt/Zorvex Game"), std::string("/opt/a\\b \"c\" $d `e` 100%"),
          std::string("/opt/Größe;&|<>~*?#()'"), std::string("/opt/tab\tx")})
    {
        SCOPED_TRACE(strFolder);
        ASSERT_TRUE(WriteAutostartEntry(strEntry, strProgram, strFolder));
        if (bValidate)
        {
            EXPECT_EQ(std::system(("desktop-file-validate '" + strEntry + "' >&2").c_str()), 0);
        }
        if (!bLaunch)
            continue;
        std::filesystem::remove(strOut);
        ASSERT_EQ(std::system(("env -u DBUS_SESSION_BUS_ADDRESS gio launch '" + strEntry +
                               "' >&2 </dev/null")
                                  .c_str()),
                  0);
        const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(strOut) && std::chrono::steady_clock::now() < tEnd)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::string strArgs = dir.Read("args.out");
        EXPECT_EQ(strArgs,
                  std::string("--install-dir") + '\0' + strFolder + '\0' + "--hidden" + '\0');
    }
}

TEST(AutostartTest, WritesRemovesAndTellsWhichFolderItNames)
{
    const CTempDir dir;
    const std::string strGame = dir.File("game");
    const std::string strOther = dir.File("other");
    std::filesystem::create_directories(strGame);
    std::filesystem::create_directories(strOther);
    std::filesystem::create_directory_symlink(strGame, dir.File("link"));
    // The autostart folder does not exist yet.
    const std::string strEntry = dir.File("config/autostart/zorvex-messenger.desktop");

    EXPECT_FALSE(AutostartNamesFolder(strEntry, strGame));
    EXPECT_TRUE(RemoveAutostartEntry(strEntry)) << "no entry counts as removed";

    ASSERT_TRUE(WriteAutostartEntry(strEntry, "/usr/bin/zorvex-messenger", strGame));
    EXPECT_TRUE(AutostartNamesFolder(strEntry, strGame));
    EXPECT_TRUE(AutostartNamesFolder(strEntry, dir.File("link")));
    EXPECT_TRUE(AutostartNamesFolder(strEntry, strGame + "/."));
    EXPECT_FALSE(AutostartNamesFolder(strEntry, strOther));
    EXPECT_EQ(std::filesystem::status(strEntry).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0644));

    // Written for another folder, the entry is replaced whole and names that one only.
    ASSERT_TRUE(WriteAutostartEntry(strEntry, "/usr/bin/zorvex-messenger", strOther));
    EXPECT_FALSE(AutostartNamesFolder(strEntry, strGame));
    EXPECT_TRUE(AutostartNamesFolder(strEntry, strOther));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("config/autostart")),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file left beside it";

    EXPECT_TRUE(RemoveAutostartEntry(strEntry));
    EXPECT_FALSE(std::filesystem::exists(strEntry));
    EXPECT_FALSE(AutostartNamesFolder(strEntry, strOther));

    // Entries written by hand: the folder as "--install-dir=", an Exec of another group only,
    // broken quoting.
    const struct
    {
        const char* pszCase;
        std::string strText;
        bool bNames;
    } cases[] = {
        {"joined option",
         "[Desktop Entry]\r\nExec=zorvex-messenger --install-dir=" + strGame + "\r\n", true},
        {"other group only", "[Desktop Action x]\nExec=zm --install-dir " + strGame + "\n", false},
        {"broken quoting", "[Desktop Entry]\nExec=zm --install-dir \"" + strGame + "\n", false},
        {"no folder", "[Desktop Entry]\nExec=zm --hidden\n", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        dir.Write("config/autostart/zorvex-messenger.desktop", c.strText);
        EXPECT_EQ(AutostartNamesFolder(strEntry, strGame), c.bNames);
    }

    // A folder name no entry can hold leaves the file as it was.
    EXPECT_FALSE(WriteAutostartEntry(strEntry, "/usr/bin/zm", std::string("/opt/\xff")));
    EXPECT_EQ(dir.Read("config/autostart/zorvex-messenger.desktop"), cases[3].strText);
}

TEST(AutostartTest, RunningProgramPathIsAbsolute)
{
    const std::string strPath = RunningProgramPath();
    EXPECT_TRUE(strPath.starts_with('/')) << strPath;
    EXPECT_TRUE(std::filesystem::exists(strPath)) << strPath;
}

} // namespace
