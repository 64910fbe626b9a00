#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using EAction = CCommandLine::EAction;

TEST(CommandLineTest, Parses)
{
    const struct
    {
        std::vector<std::string> args;
        EAction action;
        const char* pszInstallDir;
        const char* pszErrorPart; // part of the error text
        bool bHidden = false;
    } cases[] = {
        {{}, EAction::Run, "", ""},
        {{"--help"}, EAction::Help, "", ""},
        {{"-h"}, EAction::Help, "", ""},
        {{"--version"}, EAction::Version, "", ""},
        {{"--install-dir", "/opt/Zorvex"}, EAction::Run, "/opt/Zorvex", ""},
        {{"--install-dir=/opt/Zorvex Game"}, EAction::Run, "/opt/Zorvex Game", ""},
        // The last folder given counts.
        {{"--install-dir=a", "--install-dir", "b"}, EAction::Run, "b", ""},
        {{"--install-dir", "x", "--help"}, EAction::Help, "x", ""},
        {{"--install-dir"}, EAction::Error, "", "requires an argument"},
        {{"--install-dir="}, EAction::Error, "", "requires a folder"},
        {{"--install-dirx"}, EAction::Error, "", "unknown option '--install-dirx'"},
        {{"--verbose"}, EAction::Error, "", "unknown option '--verbose'"},
        {{"-platform", "xcb"}, EAction::Error, "", "unknown option '-platform'"},
        {{"Zorvex"}, EAction::Error, "", "unexpected argument 'Zorvex'"},
        {{"--hidden"}, EAction::Run, "", "", true},
        {{"--hidden", "--install-dir", "/g"}, EAction::Run, "/g", "", true},
        {{"--install-dir=/g", "--hidden"}, EAction::Run, "/g", "", true},
        {{"--hidden=yes"}, EAction::Error, "", "unknown option '--hidden=yes'"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CCommandLine result = ParseCommandLine(c.args);
        EXPECT_EQ(result.m_action, c.action);
        if (c.action != EAction::Error)
        {
            EXPECT_EQ(result.m_strInstallDir, c.pszInstallDir);
            EXPECT_EQ(result.m_bHidden, c.bHidden);
        }
        EXPECT_NE(result.m_strError.find(c.pszErrorPart), std::string::npos) << result.m_strError;
        EXPECT_EQ(result.m_strError.empty(), c.action != EAction::Error);
    }
}

TEST(CommandLineTest, TextsNameTheProgramAsStarted)
{
    EXPECT_EQ(VersionText("/usr/bin/zorvex-messenger", "1.2.3"), "zorvex-messenger 1.2.3\n");
    const std::string strUsage = CommandLineUsage("./bin/zm");
    EXPECT_EQ(strUsage.rfind("Usage: zm [--install-dir DIR] [--hidden]\n", 0), 0u) << strUsage;
    for (const char* pszOption : {"--install-dir DIR", "--hidden", "--help", "--version"})
        EXPECT_NE(strUsage.find(pszOption), std::string::npos) << pszOption;
}

} // namespace
