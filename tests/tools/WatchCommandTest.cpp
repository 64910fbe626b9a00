// zorvex-pbem watch against a real HTTP server on the loopback interface, its commands recording
// what they were given.
#include "WatchCommand.h"

#include "install/MuteList.h"
#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"
#include "support/CurlTestEnvironment.h"
#include "support/DownloadAnswerText.h"
#include "support/EnvVarScope.h"
#include "support/PollTestSupport.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

namespace
{

const CPBEMGameEvent kMail = ServerEvent(L"G12", 3, L"Caf\u00e9 \"at\" noon", false, "IM");
const CPBEMGameEvent kWar = ServerEvent(L"G12", 0, L"War", true, "DeclareWar");
const CPBEMGameEvent kOther = ServerEvent(L"G13", 1, L"Other game");

const std::string kMailLine = "{\"key\":\"G12-P03\",\"eventId\":1058,\"kind\":\"IM\","
                              "\"text\":\"Caf\xc3\xa9 \\\"at\\\" noon\"}\n";
const std::string kWarLine =
    "{\"key\":\"G12-P00\",\"eventId\":1059,\"kind\":\"DeclareWar\",\"text\":\"War\"}\n";
const std::string kOtherLine =
    "{\"key\":\"G13-P01\",\"eventId\":1060,\"kind\":\"Mail\",\"text\":\"Other game\"}\n";

// Appends its input to "in" and one line "GAME|KIND|TEXT" to "env", in the folder it runs in.
const char kRecorder[] =
    "cat >> in && printf '%s|%s|%s\\n' \"$ZORVEX_GAME\" \"$ZORVEX_KIND\" \"$ZORVEX_TEXT\" >> env";

class WatchCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_server.Port(), 0);
        WriteTestGameList(m_temp, "install/PBEM/PBEM.data", {L"G12-P03", L"G12-P00", L"G13-P01"},
                          1057);
    }

    // The first request gets these events, later ones an empty answer.
    void AnswerOnce(const std::string& answer) { AnswerOnlyAbove(m_server, "1057", answer); }
    std::uint32_t DiskHighest(const wchar_t* pszKey) const
    {
        CPBEMGameStore store;
        CDataBuffer buffer(m_temp.Read("install/PBEM/PBEM.data"));
        EXPECT_TRUE(store.Parse(buffer)) << "the game list on disk does not parse whole";
        return store.FindGame(pszKey) ? store.FindGame(pszKey)->m_nHighestEventId : 0xDEADu;
    }

    struct SRun
    {
        int nStatus;
        std::string out;
        std::string err;
    };
    SRun Watch(SWatchOptions options) const
    {
        options.strInstallDir = FromUtf8(m_temp.File("install"));
        if (!options.strExec.empty())
            options.strExec = "cd '" + m_temp.Path() + "' && { " + options.strExec + "; }";
        std::ostringstream out, err;
        const int n = RunWatchCommand(options, out, err);
        return {n, out.str(), err.str()};
    }
    static std::wstring FromUtf8(const std::string& s) { return std::wstring(s.begin(), s.end()); }

    CTempDir m_temp;
    CTestHttpServer m_server;
    const CServerEnv m_serverEnv{m_server.BaseURL()};
};

} // namespace

TEST_F(WatchCommandTest, OnceStoresPrintsAndRunsTheCommandPerEvent)
{
    AnswerOnce(CAnswerText().Player().Event(1058, kMail).Event(1059, kWar).Text());
    SRun run;
    {
        const CEnvVarScope staleKind("ZORVEX_KIND", "stale");
        run = Watch({.strExec = kRecorder, .bOnce = true});
    }

    EXPECT_EQ(run.nStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, kMailLine + kWarLine);
    EXPECT_EQ(m_temp.Read("in"), kMailLine + kWarLine);
    EXPECT_EQ(m_temp.Read("env"), "G12|IM|Caf\xc3\xa9 \"at\" noon\nG12|DeclareWar|War\n");
    EXPECT_EQ(m_temp.Read("install/PBEM/G12-P03-1058.event"), kMail.m_strRaw);
    EXPECT_EQ(m_temp.Read("install/PBEM/G12-P00-1059.event"), kWar.m_strRaw);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1058u);
    EXPECT_EQ(DiskHighest(L"G12-P00"), 1059u);
}

TEST_F(WatchCommandTest, OnceEndsAsPollDoes)
{
    m_server.SetHandler([](const CTestHttpRequest&, httplib::Response& res) { res.status = 404; });
    const SRun failed = Watch({.strExec = kRecorder, .bOnce = true});
    EXPECT_EQ(failed.nStatus, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find("no answer from the game server"), std::string::npos) << failed.err;

    SWatchOptions options{.bOnce = true};
    options.strInstallDir = FromUtf8(m_temp.File("nowhere"));
    std::ostringstream out, err;
    EXPECT_EQ(RunWatchCommand(options, out, err), 2);
    EXPECT_NE(err.str().find("nowhere"), std::string::npos);
}

TEST_F(WatchCommandTest, MutedGamesArePrintedButNotPassedOn)
{
    CMuteList mutes;
    mutes.Mute(L"G12", CMuteList::kAlways);
    ASSERT_TRUE(
        mutes.Save(FromUtf8(m_temp.File("install/Profile.ini")), std::chrono::system_clock::now()));
    AnswerOnce(CAnswerText().Player().Event(1058, kMail).Event(1060, kOther).Text());
    const SRun run = Watch({.strExec = kRecorder, .bOnce = true});
    EXPECT_EQ(run.nStatus, 0) << run.err;
    EXPECT_EQ(run.out, kMailLine + kOtherLine);
    EXPECT_EQ(m_temp.Read("in"), kOtherLine);
    EXPECT_EQ(m_temp.Read("install/PBEM/G12-P03-1058.event"), kMail.m_strRaw);
}

TEST_F(WatchCommandTest, AFailingOrHangingCommandIsToldAndTheNextEventStillGoesOut)
{
    AnswerOnce(CAnswerText().Player().Event(1058, kMail).Event(1059, kWar).Text());
    struct SCase
    {
        const char* pszCommand;
        const char* pszTold;
    } const cases[] = {
        {"exit 4", "exited with status 4"},
        {"sleep 30", "did not end in time and was killed"},
    };
    for (const SCase& test : cases)
    {
        SCOPED_TRACE(test.pszCommand);
        // Fails for the first event only; the second one is recorded.
        const std::string strCommand = std::string("if [ \"$ZORVEX_KIND\" = IM ]; then ") +
                                       test.pszCommand + "; fi; " + kRecorder;
        std::remove(m_temp.File("in").c_str());
        const SRun run = Watch(
            {.strExec = strCommand, .bOnce = true, .execLimit = std::chrono::milliseconds(500)});
        EXPECT_EQ(run.nStatus, 0);
        EXPECT_EQ(run.err, std::string("zorvex-pbem: the command for event 1058 of G12-P03 ") +
                               test.pszTold + "\n");
        EXPECT_EQ(m_temp.Read("in"), kWarLine);
    }
}

TEST_F(WatchCommandTest, PollsAgainAndASignalEndsItWithStatus0)
{
    // The first poll brings the mail, the second the war, whose command asks the watcher to end.
    m_server.SetHandler(
        [](const CTestHttpRequest& request, httplib::Response& res)
        {
            const std::string strHighest = request.Field("HEventId1");
            const std::string answer =
                strHighest == "1057"   ? CAnswerText().Player().Event(1058, kMail).Text()
                : strHighest == "1058" ? CAnswerText().Player().Event(1059, kWar).Text()
                                       : "SanityCheck-5170382 Version01 ";
            res.set_content(answer, "text/plain");
        });
    const std::string strCommand =
        std::string(kRecorder) + "; [ \"$ZORVEX_KIND\" != DeclareWar ] || kill -TERM $PPID";
    const SRun run = Watch({.strExec = strCommand, .period = std::chrono::milliseconds(0)});
    EXPECT_EQ(run.nStatus, 0);
    // The stored mail is not announced again by the second poll.
    EXPECT_EQ(run.out, kMailLine + kWarLine);
    EXPECT_EQ(m_temp.Read("in"), kMailLine + kWarLine);
    EXPECT_EQ(m_server.Requests().size(), 2u);
    // The handler is the previous one again.
    struct sigaction now
    {
    };
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

// The program itself: a signal while a command runs or while it waits for the next poll ends it
// with status 0, the command's group killed, standard output holding only the JSON lines.
TEST_F(WatchCommandTest, TheProgramEndsOnSIGTERMAndSIGINTWithStatus0)
{
    AnswerOnce(CAnswerText().Player().Event(1058, kMail).Text());
    struct SCase
    {
        int nSignal;
        const char* pszCommand; // null: none
        const char* pszTold;
    } const cases[] = {
        {SIGTERM, "echo noise; touch running; sleep 60",
         "was killed because zorvex-pbem is ending"},
        {SIGINT, nullptr, ""},
    };
    for (const SCase& test : cases)
    {
        SCOPED_TRACE(test.nSignal);
        std::remove(m_temp.File("install/PBEM/G12-P03-1058.event").c_str());
        SetUp(); // the same game list again: the mail is new each time
        int outPipe[2];
        ASSERT_EQ(::pipe(outPipe), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
        posix_spawn_file_actions_addclose(&actions, outPipe[0]);
        posix_spawn_file_actions_addopen(&actions, 2, m_temp.File("stderr").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string strExec =
            test.pszCommand ? "cd '" + m_temp.Path() + "' && " + test.pszCommand : std::string();
        const std::string strDir = m_temp.File("install");
        std::vector<const char*> argv = {ZORVEX_PBEM_EXE, "watch", strDir.c_str()};
        if (test.pszCommand)
            argv.insert(argv.end(), {"--exec", strExec.c_str()});
        argv.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, ZORVEX_PBEM_EXE, &actions, nullptr,
                              const_cast<char* const*>(argv.data()), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(outPipe[1]);

        // The mail's line has been printed: the command runs next, or the wait has begun.
        std::string out;
        char c = 0;
        while (out.find('\n') == std::string::npos && ::read(outPipe[0], &c, 1) == 1)
            out += c;
        EXPECT_EQ(out, kMailLine);
        for (int i = 0;
             test.pszCommand && i < 2000 && ::access(m_temp.File("running").c_str(), F_OK) != 0;
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::kill(pid, test.nSignal);
        int nStatus = -1;
        ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
        EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << nStatus;
        while (::read(outPipe[0], &c, 1) == 1)
            out += c;
        ::close(outPipe[0]);
        EXPECT_EQ(out, kMailLine);
        const std::string err = m_temp.Read("stderr");
        EXPECT_NE(err.find(test.pszTold), std::string::npos) << err;
        if (test.pszCommand)
        {
            EXPECT_NE(err.find("noise"), std::string::npos) << err;
        }
        std::remove(m_temp.File("running").c_str());
    }
}
