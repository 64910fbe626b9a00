// zorvex-pbem watch --notify: the program's announcement sent to the session's notification
// service, also by a watcher that ends right after it (--once).
#include "WatchCommand.h"

#include "install/MuteList.h"
#include "pbem/PBEMGameStore.h"
#include "support/CurlTestEnvironment.h"
#include "support/DownloadAnswerText.h"
#include "support/EnvVarScope.h"
#include "support/PollTestSupport.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace
{

class WatchNotifyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_server.Port(), 0);
        WriteTestGameList(m_temp, "install/PBEM/PBEM.data", {L"G12-P03", L"G12-P00", L"G13-P01"},
                          0);
        CMuteList mutes;
        mutes.Mute(L"G13", CMuteList::kAlways);
        const std::string strProfile = m_temp.File("install/Profile.ini");
        ASSERT_TRUE(mutes.Save(std::wstring(strProfile.begin(), strProfile.end()),
                               std::chrono::system_clock::now()));
        // The player's mail is listed; the shared entry's text and the muted game are not.
        const std::string answer =
            CAnswerText()
                .Player()
                .Event(1, ServerEvent(L"G12", 3, L"Caf\u00e9 \"at\" noon", false, "IM"))
                .Event(2, ServerEvent(L"G12", 0, L"War", true, "DeclareWar"))
                .Event(3, ServerEvent(L"G13", 1, L"Muted"))
                .Text();
        m_server.SetHandler([answer](const CTestHttpRequest&, httplib::Response& res)
                            { res.set_content(answer, "text/plain"); });
    }

    CTempDir m_temp;
    CTestHttpServer m_server;
    const CServerEnv m_serverEnv{m_server.BaseURL()};
};

} // namespace

TEST_F(WatchNotifyTest, TheProgramSendsTheBalloonBeforeItEnds)
{
    if (std::system("command -v dbus-run-session >/dev/null") != 0)
        GTEST_SKIP() << "needs dbus-run-session (scripts/install-deps.sh installs it)";
    // The stand-in service prints one "notify ..." line per Notify. The watcher ends at once after
    // its poll: what it sent must be on its way by then.
    m_temp.Write("run.sh", "cd \"$(dirname \"$0\")\"\n"
                           "\"$2\" >shown & standin=$!\n"
                           "i=0; while ! grep -q '^ready' shown && [ $i -lt 1000 ]; do "
                           "sleep 0.01; i=$((i+1)); done\n"
                           "\"$1\" watch install --notify --once >/dev/null 2>err; rc=$?\n"
                           "i=0; while ! grep -q '^notify' shown && [ $i -lt 500 ]; do "
                           "sleep 0.01; i=$((i+1)); done\n"
                           "kill $standin; exit $rc\n");
    const std::string strCommand = "dbus-run-session -- sh '" + m_temp.File("run.sh") +
                                   "' '" ZORVEX_PBEM_EXE "' '" ZORVEX_NOTIFY_STANDIN "'";
    EXPECT_EQ(std::system(strCommand.c_str()), 0);
    EXPECT_EQ(m_temp.Read("shown"),
              "ready\nnotify id=1 replaces=0 app=Zorvex Messenger actions= title=2 New Events "
              "text=Caf\xc3\xa9 \"at\" noon\n")
        << m_temp.Read("err");
}

TEST_F(WatchNotifyTest, WithoutASessionBusItIsToldAndTheWatcherGoesOn)
{
    const CEnvVarScope noBus("DBUS_SESSION_BUS_ADDRESS", nullptr);
    const CEnvVarScope runtime("XDG_RUNTIME_DIR", m_temp.Path()); // no bus socket there
    SWatchOptions options{.bNotify = true, .bOnce = true};
    const std::string strDir = m_temp.File("install");
    options.strInstallDir = std::wstring(strDir.begin(), strDir.end());
    std::ostringstream out, err;
    const int nStatus = RunWatchCommand(options, out, err);
    EXPECT_EQ(nStatus, 0);
    EXPECT_EQ(err.str(), "zorvex-pbem: no desktop notification service on the session bus; "
                         "nothing was shown\n");
    const std::string strOut = out.str();
    EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 3) << strOut;
}
