// Polling and the announcement of new events: the balloon and icon on a stand-in tray, the rows,
// and a real download from a loopback server reaching the window through IDC_DOWNLOAD_DONE.
#include "mainwnd/ZorvexMessengerDlg.h"
#include "notify/FakeTray.h"
#include "pbem/PBEMMessageManager.h"
#include "res/FlagImages.h"
#include "support/CurlTestEnvironment.h"
#include "support/DownloadAnswerText.h"
#include "support/GuiTest.h"
#include "support/InstallFolderScope.h"
#include "support/LanguageScope.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"
#include "ui/SkinTest.h"

#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace std::chrono_literals;

// The main window on a stand-in tray; it polls only when asked to.
class CPollingDlg : public CZorvexMessengerDlg
{
public:
    CPollingDlg(CFakeTrayState& tray, bool bPoll)
        : CZorvexMessengerDlg(std::make_unique<CFakeTray>(tray)), m_bPoll(bPoll)
    {
    }
    // The download calls into this object: it ends while all of it is still here.
    ~CPollingDlg() override { EndDownloadToThis(); }

protected:
    void CreateGameFolder() override {}
    void LoadGameList() override {}
    void StartPolling() override
    {
        if (m_bPoll)
            CZorvexMessengerDlg::StartPolling();
    }

private:
    bool m_bPoll;
};

// Today at the given local time.
std::chrono::system_clock::time_point LocalTime(int nHour, int nMinute)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = nHour;
    local.tm_min = nMinute;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

struct SArrival
{
    const wchar_t* pszGameId;
    int nPlayer; // 0: the game's shared event
    const wchar_t* pszText;
};

// An installation folder of its own (the event files land in its PBEM folder) that sees the
// bundled images, a game store in memory, and the server the downloads go to.
class MainWindowPollingTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pSkin = std::make_unique<CBundledSkin>(); }
    static void TearDownTestSuite() { s_pSkin.reset(); }

    void SetUp() override
    {
        std::filesystem::create_directories(m_temp.File("PBEM"));
        // Absolute: a relative target would be read from the temporary folder, not from here.
        std::filesystem::create_directory_symlink(
            std::filesystem::absolute(CBundledSkin::AssetsFolder()) / "Data", m_temp.File("Data"));
        ASSERT_NE(m_server.Port(), 0);
    }
    void TearDown() override
    {
        // A download still running goes with the window it reports to.
        m_pDlg.reset();
        // Only the link goes, never what it points at.
        std::filesystem::remove(m_temp.File("Data"));
    }

    void Open(bool bPoll = false)
    {
        m_pDlg = std::make_unique<CPollingDlg>(m_tray, bPoll);
        m_pDlg->m_fnNow = [this] { return m_now; };
        m_pDlg->SetInitialRect(CRect(100, 100, 320, 320));
        ASSERT_TRUE(m_pDlg->Create(nullptr));
        m_pDlg->ShowWindow(SW_SHOW);
        // What the first paint sets off, without waiting for it.
        m_pDlg->SendMessage(WM_STARTUP_WORK, 0, 0);
    }

    CPBEMGameState& AddGame(const std::wstring& strPlayerId)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = strPlayerId;
        pGame->m_strInstanceId = L"I1";
        m_manager.m_store.m_listGames.push_back(std::move(pGame));
        return *m_manager.m_store.m_listGames.back();
    }
    void Arrive(const SArrival& arrival, std::uint32_t nEventId)
    {
        auto pEvent = std::make_unique<CPBEMGameEvent>(
            ServerEvent(arrival.pszGameId, arrival.nPlayer, arrival.pszText, arrival.nPlayer == 0));
        pEvent->m_nEventId = nEventId;
        m_manager.m_listNewEvents.push_back(std::move(pEvent));
    }
    int FirstRowHeight() const
    {
        if (m_pDlg->m_listRows.empty())
            return 0;
        CRect rc;
        m_pDlg->m_listRows.front()->GetWindowRect(&rc);
        return rc.Height();
    }
    // The server answers every download, with nothing new.
    void ServeEmptyAnswer()
    {
        m_server.SetHandler(
            [](const CTestHttpRequest&, httplib::Response& res)
            { res.set_content(CAnswerText().Player("G1-P01").Text(), "text/plain"); });
    }
    // The server has seen nCount downloads and the window has taken the last one's answer.
    bool WaitUntilCollected(std::size_t nCount)
    {
        return m_server.WaitForRequests(nCount, 5s) &&
               QTest::qWaitFor([this] { return m_manager.m_pDownload == nullptr; }, 10000);
    }
    bool ShowsNewEventsIcon() const { return m_tray.ShowsBundledIcon(134); }

    static std::unique_ptr<CBundledSkin> s_pSkin;

    CTempDir m_temp;
    const CInstallFolderScope m_installFolder{m_temp.WidePath()};
    CTestHttpServer m_server;
    const CServerEnv m_serverEnv{m_server.BaseURL()};
    CPBEMMessageManager m_manager;
    CMessageManagerScope m_managerScope{m_manager};
    CBitmapFlagLoader m_flagLoader;
    CFlagImageLoaderScope m_flagScope{m_flagLoader};
    CFakeTrayState m_tray;
    std::chrono::system_clock::time_point m_now = LocalTime(14, 5);
    std::unique_ptr<CPollingDlg> m_pDlg;
};

std::unique_ptr<CBundledSkin> MainWindowPollingTest::s_pSkin;

TEST_F(MainWindowPollingTest, TrayIconMadeAtStartUp)
{
    Open();
    EXPECT_TRUE(m_tray.bVisible);
    EXPECT_EQ(m_tray.strTip, L"Zorvex");
    EXPECT_TRUE(m_tray.ShowsBundledIcon(128));
    EXPECT_TRUE(m_tray.messages.empty());
}

TEST_F(MainWindowPollingTest, AnnouncesTheEventsThatFindAnEntry)
{
    struct SCase
    {
        const char* pszName;
        std::vector<SArrival> events;
        std::wstring strTitle; // empty: no balloon
        std::wstring strText;
    };
    const SCase cases[] = {
        {"three events of one player, one without text",
         {{L"G1", 1, L"A"}, {L"G1", 1, L"B"}, {L"G1", 1, L""}},
         L"3 New Events",
         L"A\nB"},
        {"one event of the shared entry", {{L"G1", 0, L"news"}}, L"1 New Event", L" "},
        {"an unknown game", {{L"G9", 1, L"lost"}}, L"", L""},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_manager.m_store.m_listGames.clear();
        m_tray = CFakeTrayState{};
        CPBEMGameState& player = AddGame(L"G1-P01");
        CPBEMGameState& shared = AddGame(L"G1-P00");
        Open();
        const CVelButton* pOldRow = m_pDlg->m_listRows.front().get();
        EXPECT_EQ(FirstRowHeight(), 25);

        std::uint32_t nId = 10;
        for (const SArrival& arrival : c.events)
            Arrive(arrival, ++nId);
        m_pDlg->OnDownloadDone();

        EXPECT_TRUE(m_manager.m_listNewEvents.empty());
        EXPECT_NE(m_pDlg->m_listRows.front().get(), pOldRow); // rebuilt, whatever the count
        if (c.strTitle.empty())
        {
            EXPECT_TRUE(m_tray.messages.empty());
            EXPECT_FALSE(ShowsNewEventsIcon());
            EXPECT_EQ(FirstRowHeight(), 25);
        }
        else
        {
            ASSERT_EQ(m_tray.messages.size(), 1u);
            EXPECT_EQ(m_tray.messages[0].strTitle, c.strTitle);
            EXPECT_EQ(m_tray.messages[0].strText, c.strText);
            EXPECT_EQ(m_tray.messages[0].icon, ETrayMessageIcon::Information);
            EXPECT_TRUE(ShowsNewEventsIcon());
            // The player's row counts the events of its shared entry too.
            EXPECT_EQ(FirstRowHeight(), 41);
            const CPBEMGameState& entry = c.events.front().nPlayer == 0 ? shared : player;
            ASSERT_EQ(entry.m_listEvents.size(), c.events.size());
            EXPECT_EQ(entry.m_listEvents.front()->m_strText, c.events.back().pszText);
            EXPECT_TRUE(entry.m_bNewEvents);
        }
        m_pDlg.reset();
    }
}

// Muted games (in the profile's [Mute] section) keep their events in the list but out of the
// balloon, its count and the tray icon.
TEST_F(MainWindowPollingTest, MutedGamesAreNotAnnounced)
{
    struct SCase
    {
        const char* pszName;
        std::string strMute;   // lines of [Mute]; "@+1h" / "@-1h" stand for an end from now
        std::wstring strTitle; // empty: no balloon
        std::wstring strText;
    };
    const SCase cases[] = {
        {"nothing muted", "", L"3 New Events", L"A\nB\nC"},
        {"one game", "G1=always", L"1 New Event", L"C"},
        {"one game for an hour more", "G1=@+1h", L"1 New Event", L"C"},
        {"a mute that has ended", "G1=@-1h", L"3 New Events", L"A\nB\nC"},
        {"garbage", "G1=tomorrow", L"3 New Events", L"A\nB\nC"},
        {"both games", "G1=always\r\nG2=always", L"", L""},
        {"every game", "*=@+1h", L"", L""},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        std::string strMute = c.strMute;
        for (const auto& [strMark, tEnd] : {std::pair{std::string("@+1h"), m_now + 1h},
                                            std::pair{std::string("@-1h"), m_now - 1h}})
        {
            if (const auto pos = strMute.find(strMark); pos != std::string::npos)
                strMute.replace(pos, strMark.size(), WideToUtf8(CMuteList::FormatValue(tEnd)));
        }
        m_temp.Write("Profile.ini", "[Mute]\r\n" + strMute + "\r\n");
        m_manager.m_store.m_listGames.clear();
        m_tray = CFakeTrayState{};
        CPBEMGameState& first = AddGame(L"G1-P01");
        AddGame(L"G2-P01");
        Open();

        Arrive({L"G1", 1, L"A"}, 11);
        Arrive({L"G1", 1, L"B"}, 12);
        Arrive({L"G2", 1, L"C"}, 13);
        m_pDlg->OnDownloadDone();

        // Stored and listed whatever the mute.
        EXPECT_EQ(first.m_listEvents.size(), 2u);
        EXPECT_TRUE(first.m_bNewEvents);
        EXPECT_EQ(FirstRowHeight(), 41);
        if (c.strTitle.empty())
        {
            EXPECT_TRUE(m_tray.messages.empty());
            EXPECT_FALSE(ShowsNewEventsIcon());
        }
        else
        {
            ASSERT_EQ(m_tray.messages.size(), 1u);
            EXPECT_EQ(m_tray.messages[0].strTitle, c.strTitle);
            EXPECT_EQ(m_tray.messages[0].strText, c.strText);
            EXPECT_TRUE(ShowsNewEventsIcon());
        }
        m_pDlg.reset();
    }
}

TEST_F(MainWindowPollingTest, NothingArrivedChangesNothing)
{
    AddGame(L"G1-P01");
    Open();
    const CVelButton* pRow = m_pDlg->m_listRows.front().get();
    m_pDlg->OnDownloadDone();
    EXPECT_EQ(m_pDlg->m_listRows.front().get(), pRow);
    EXPECT_TRUE(m_tray.messages.empty());
}

// While the game runs the events are stored and the icon changes, but the balloon waits; the
// game's end, seen by the minute's check or at a download's end, brings one balloon for all.
TEST_F(MainWindowPollingTest, AnnouncementWaitsUntilTheGameHasEnded)
{
    for (const bool bEndSeenByTimer : {true, false})
    {
        SCOPED_TRACE(bEndSeenByTimer ? "end seen by the timer" : "end seen at a download's end");
        m_manager.m_store.m_listGames.clear();
        m_tray = CFakeTrayState{};
        AddGame(L"G1-P01");
        AddGame(L"G1-P00");
        Open();
        bool bGameRunning = true;
        int nLooks = 0;
        m_pDlg->m_fnIsGameRunning = [&]
        {
            ++nLooks;
            return bGameRunning;
        };

        // Nothing waits: no look at the processes, no timer.
        m_pDlg->OnDownloadDone();
        EXPECT_EQ(nLooks, 0);
        EXPECT_FALSE(m_pDlg->KillTimer(IDT_HELD_NEWS));

        Arrive({L"G1", 1, L"A"}, 11);
        Arrive({L"G1", 0, L""}, 12);
        m_pDlg->OnDownloadDone();
        EXPECT_TRUE(m_tray.messages.empty());
        EXPECT_TRUE(ShowsNewEventsIcon());
        EXPECT_EQ(FirstRowHeight(), 41);
        EXPECT_TRUE(m_pDlg->KillTimer(IDT_HELD_NEWS));

        Arrive({L"G1", 1, L"B"}, 13);
        m_pDlg->OnDownloadDone();
        m_pDlg->SendMessage(WM_TIMER, IDT_HELD_NEWS, 0);
        EXPECT_TRUE(m_tray.messages.empty());
        EXPECT_EQ(m_manager.m_store.FindGame(L"G1-P01")->m_listEvents.size(), 2u);

        bGameRunning = false;
        if (bEndSeenByTimer)
            m_pDlg->SendMessage(WM_TIMER, IDT_HELD_NEWS, 0);
        else
            m_pDlg->OnDownloadDone();
        ASSERT_EQ(m_tray.messages.size(), 1u);
        EXPECT_EQ(m_tray.messages[0].strTitle, L"3 New Events");
        EXPECT_EQ(m_tray.messages[0].strText, L"A\nB");

        // Once told, nothing waits any more.
        nLooks = 0;
        EXPECT_FALSE(m_pDlg->KillTimer(IDT_HELD_NEWS));
        m_pDlg->SendMessage(WM_TIMER, IDT_HELD_NEWS, 0);
        m_pDlg->OnDownloadDone();
        EXPECT_EQ(m_tray.messages.size(), 1u);
        EXPECT_EQ(nLooks, 0);
        m_pDlg.reset();
    }
}

// What waited through several downloads is one balloon under the same ten-line rule.
TEST_F(MainWindowPollingTest, HeldNewsKeepTheTenLineCap)
{
    AddGame(L"G1-P01");
    Open();
    bool bGameRunning = true;
    m_pDlg->m_fnIsGameRunning = [&] { return bGameRunning; };
    std::uint32_t nId = 10;
    for (const int nEvents : {7, 6})
    {
        for (int i = 0; i < nEvents; ++i, ++nId)
            Arrive({L"G1", 1, (L"E" + std::to_wstring(nId)).c_str()}, nId);
        m_pDlg->OnDownloadDone();
    }
    EXPECT_TRUE(m_tray.messages.empty());
    bGameRunning = false;
    m_pDlg->SendMessage(WM_TIMER, IDT_HELD_NEWS, 0);
    ASSERT_EQ(m_tray.messages.size(), 1u);
    EXPECT_EQ(m_tray.messages[0].strTitle, L"13 New Events");
    EXPECT_EQ(m_tray.messages[0].strText,
              L"E10\nE11\nE12\nE13\nE14\nE15\nE16\nE17\nE18\nE19\nand 3 more");
}

// The window shows before the game list is read and the first download starts; its first paint
// sets them off, and only once.
TEST_F(MainWindowPollingTest, FirstDownloadWaitsForTheFirstPaint)
{
    ServeEmptyAnswer();
    AddGame(L"G1-P01");
    m_pDlg = std::make_unique<CPollingDlg>(m_tray, true);
    m_pDlg->SetInitialRect(CRect(100, 100, 320, 320));
    ASSERT_TRUE(m_pDlg->Create(nullptr));
    EXPECT_EQ(m_manager.m_pDownload, nullptr);
    m_pDlg->ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_server.WaitForRequests(1, 0ms); }, 5000));
    ASSERT_TRUE(WaitUntilCollected(1));
    m_pDlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    EXPECT_FALSE(m_server.WaitForRequests(2, 300ms));
}

// Events stored by an earlier run are in the first frame, and announced with what the first
// check brings, in one balloon.
TEST_F(MainWindowPollingTest, StoredEventsAreListedAtOnceAndAnnouncedAfterTheFirstCheck)
{
    m_server.SetHandler(
        [](const CTestHttpRequest&, httplib::Response& res)
        {
            res.set_content(
                CAnswerText().Player("G1-P01").Event(30, ServerEvent(L"G1", 1, L"new")).Text(),
                "text/plain");
        });
    AddGame(L"G1-P01");
    Arrive({L"G1", 1, L"stored"}, 20); // as found in the PBEM folder at start
    m_pDlg = std::make_unique<CPollingDlg>(m_tray, true);
    m_pDlg->SetInitialRect(CRect(100, 100, 320, 320));
    ASSERT_TRUE(m_pDlg->Create(nullptr));

    // Before the first paint: listed, the icon tells, the balloon waits.
    EXPECT_EQ(FirstRowHeight(), 41);
    EXPECT_TRUE(ShowsNewEventsIcon());
    EXPECT_TRUE(m_tray.messages.empty());

    m_pDlg->ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_tray.messages.empty(); }, 10000));
    ASSERT_EQ(m_tray.messages.size(), 1u);
    EXPECT_EQ(m_tray.messages[0].strTitle, L"2 New Events");
    EXPECT_EQ(m_tray.messages[0].strText, L"stored\nnew");
    const CPBEMGameState* pGame = m_manager.m_store.FindGame(L"G1-P01");
    ASSERT_NE(pGame, nullptr);
    ASSERT_EQ(pGame->m_listEvents.size(), 2u);
    EXPECT_EQ(pGame->m_listEvents.front()->m_strText, L"new");
}

TEST_F(MainWindowPollingTest, TickWhileDownloadingDoesNothing)
{
    m_server.SetHandler(
        [this](const CTestHttpRequest&, httplib::Response& res)
        {
            m_server.WaitWhileRunning(10s);
            res.set_content("", "text/plain");
        });
    AddGame(L"G1-P01");
    Open(true);
    ASSERT_TRUE(m_server.WaitForRequests(1, 5s));
    const CVelCurlTransfer* pDownload = m_manager.m_pDownload.get();
    ASSERT_NE(pDownload, nullptr);

    m_pDlg->SendMessage(WM_TIMER, IDT_POLL, 0);

    EXPECT_FALSE(m_server.WaitForRequests(2, 300ms));
    EXPECT_EQ(m_manager.m_pDownload.get(), pDownload);
}

TEST_F(MainWindowPollingTest, DownloadFromTheServerIsAnnounced)
{
    m_server.SetHandler(
        [](const CTestHttpRequest&, httplib::Response& res)
        {
            res.set_content(CAnswerText()
                                .Player("G1-P01")
                                .Event(1058, ServerEvent(L"G1", 1, L"Your turn"))
                                .Event(1059, ServerEvent(L"G1", 1, L"Hello"))
                                .Text(),
                            "text/plain");
        });
    AddGame(L"G1-P01");
    Open(true);

    // The worker only posts IDC_DOWNLOAD_DONE; the window's own loop takes the answer.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_tray.messages.empty(); }, 10000));
    EXPECT_EQ(m_server.Requests().size(), 1u);
    EXPECT_EQ(m_manager.m_pDownload, nullptr);
    EXPECT_EQ(m_tray.messages[0].strTitle, L"2 New Events");
    EXPECT_EQ(m_tray.messages[0].strText, L"Your turn\nHello");
    EXPECT_TRUE(ShowsNewEventsIcon());
    EXPECT_EQ(FirstRowHeight(), 41);
    const CPBEMGameState* pGame = m_manager.m_store.FindGame(L"G1-P01");
    ASSERT_NE(pGame, nullptr);
    EXPECT_EQ(pGame->m_listEvents.size(), 2u);
    EXPECT_EQ(pGame->m_nHighestEventId, 1059u);
}

TEST_F(MainWindowPollingTest, WakingUpPollsAtOnce)
{
    ServeEmptyAnswer();
    AddGame(L"G1-P01");
    Open(true);
    ASSERT_TRUE(WaitUntilCollected(1));

    m_pDlg->SendMessage(WM_SYSTEM_RESUMED, 0, 0);

    EXPECT_TRUE(m_server.WaitForRequests(2, 5s));
}

TEST_F(MainWindowPollingTest, CheckPollsOnlyWhenThePollIsOverdue)
{
    ServeEmptyAnswer();
    AddGame(L"G1-P01");
    Open(true);
    ASSERT_TRUE(WaitUntilCollected(1));

    m_now += 16min; // a period and a minute: late, but not overdue yet
    m_pDlg->SendMessage(WM_TIMER, IDT_POLL_CHECK, 0);
    EXPECT_FALSE(m_server.WaitForRequests(2, 300ms));

    m_now += 1s;
    m_pDlg->SendMessage(WM_TIMER, IDT_POLL_CHECK, 0);
    ASSERT_TRUE(WaitUntilCollected(2));

    // The poll just made is the one the next check measures from.
    m_now += 15min;
    m_pDlg->SendMessage(WM_TIMER, IDT_POLL_CHECK, 0);
    EXPECT_FALSE(m_server.WaitForRequests(3, 300ms));
}

// The tooltip and the preferences' status row give the time of the last check that ended and
// name what went wrong with it; every check replaces what the one before it met.
TEST_F(MainWindowPollingTest, LastCheckNamesWhatWentWrong)
{
    CAnswerText answer;
    answer.Player("G1-P01").Event(1058, ServerEvent(L"G1", 1, L"Your turn"));
    const std::string strAnswer = answer.Text();
    // A few bytes short of the counted length of the event's content.
    const std::size_t nCut = answer.Unclosed().size() - 3;
    const struct
    {
        const char* pszCase;
        bool bRefused; // nothing listens on the port
        std::string strBody;
        std::wstring strCheck;
        std::wstring strRowOutcome; // the status row's second line; empty: it has one line
    } cases[] = {
        {"refused", true, "", L"14:05 \u2014 server not reachable", L"\u2014 server not reachable"},
        {"not an answer of the server", false, "<html>busy</html>",
         L"14:05 \u2014 server not reachable", L"\u2014 server not reachable"},
        {"answer cut inside an event", false, strAnswer.substr(0, nCut),
         L"14:05 \u2014 answer cut short", L"\u2014 answer cut short"},
        {"a whole answer", false, strAnswer, L"14:05", L""},
    };
    AddGame(L"G1-P01");
    // A whole answer ahead of each case, so that what is shown after it is that case's alone.
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        ServeEmptyAnswer();
        m_now = LocalTime(13, 50);
        Open(true);
        ASSERT_TRUE(WaitUntilCollected(1));
        EXPECT_EQ(m_tray.strTip, L"Zorvex \u2014 checked 13:50");

        const std::size_t nBefore = m_server.Requests().size();
        if (c.bRefused)
            m_serverEnv.Set("http://127.0.0.1:1");
        m_server.SetHandler([&c](const CTestHttpRequest&, httplib::Response& res)
                            { res.set_content(c.strBody, "text/plain"); });
        m_now = LocalTime(14, 5);
        m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHECK_NOW, BN_CLICKED), 0);
        ASSERT_NE(m_manager.m_pDownload, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([this] { return m_manager.m_pDownload == nullptr; }, 10000));
        EXPECT_EQ(m_server.Requests().size(), nBefore + (c.bRefused ? 0 : 1));
        EXPECT_EQ(m_tray.strTip, L"Zorvex \u2014 checked " + c.strCheck);
        m_pDlg->SwitchView(EView::Preferences);
        ASSERT_FALSE(m_pDlg->m_listRows.empty());
        // It only tells: a static, not a row that sends a command. What went wrong is on a line
        // of its own, where the window's first width does not cut it.
        const auto* pStatus = dynamic_cast<const CVelStatic2*>(m_pDlg->m_listRows.front().get());
        ASSERT_NE(pStatus, nullptr);
        EXPECT_EQ(pStatus->GetWindowText(), L"Last check: 14:05");
        if (c.strRowOutcome.empty())
            EXPECT_TRUE(pStatus->GetTexts().empty());
        else
        {
            ASSERT_EQ(pStatus->GetTexts().size(), 1u);
            EXPECT_EQ(pStatus->GetTexts()[0]->m_strText, c.strRowOutcome);
        }

        m_pDlg.reset();
        m_tray = CFakeTrayState{};
        m_serverEnv.Set(m_server.BaseURL());
    }
}

// The ids of a whole answer go into the game list; when another holder keeps it locked for a
// while, the check says so once the ids are in.
TEST_F(MainWindowPollingTest, LastCheckNamesTheGameListHeld)
{
    AddGame(L"G1-P01");
    const std::string strList = m_temp.File("PBEM/PBEM.data");
    {
        std::ofstream file(strList, std::ios::binary);
        file << m_manager.m_store.Serialize();
    }
    // The lock is taken before the answer leaves the server, and let go well after the window
    // has begun to wait for it.
    std::thread releaser;
    m_server.SetHandler(
        [&](const CTestHttpRequest&, httplib::Response& res)
        {
            const int fd = ::open(strList.c_str(), O_RDWR | O_CLOEXEC);
            if (fd >= 0 && ::flock(fd, LOCK_EX) == 0)
                releaser = std::thread(
                    [fd]
                    {
                        std::this_thread::sleep_for(3s);
                        ::close(fd);
                    });
            res.set_content(CAnswerText()
                                .Player("G1-P01")
                                .Event(1058, ServerEvent(L"G1", 1, L"Your turn"))
                                .Text(),
                            "text/plain");
        });
    Open(true);
    const bool bCollected = WaitUntilCollected(1);
    if (releaser.joinable())
        releaser.join();
    ASSERT_TRUE(bCollected);
    EXPECT_EQ(m_tray.strTip,
              L"Zorvex \u2014 checked 14:05 \u2014 the game list is held by the game");
    CPBEMGameStore disk;
    disk.SetFilePath(Utf8ToWide(strList));
    ASSERT_TRUE(disk.OpenLocked());
    ASSERT_TRUE(disk.Load());
    ASSERT_NE(disk.FindGame(L"G1-P01"), nullptr);
    EXPECT_EQ(disk.FindGame(L"G1-P01")->m_nHighestEventId, 1058u);
}

// "Check now" from the tray polls at once, not while a download runs, and the next tick of the
// poll period counts from it.
TEST_F(MainWindowPollingTest, CheckNowPollsAtOnceUnlessADownloadRuns)
{
    std::atomic<bool> bStall = false;
    m_server.SetHandler(
        [&](const CTestHttpRequest&, httplib::Response& res)
        {
            if (bStall)
                m_server.WaitWhileRunning(10s);
            res.set_content(CAnswerText().Player("G1-P01").Text(), "text/plain");
        });
    AddGame(L"G1-P01");
    Open(true);
    m_pDlg->m_trayIcon.m_pCommandTarget = m_pDlg.get();
    ASSERT_TRUE(WaitUntilCollected(1));

    ASSERT_TRUE(m_tray.ChooseFromMenu(L"Check now"));
    Pump();
    ASSERT_TRUE(WaitUntilCollected(2));

    bStall = true;
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHECK_NOW, BN_CLICKED), 0);
    ASSERT_TRUE(m_server.WaitForRequests(3, 5s));
    const CVelCurlTransfer* pDownload = m_manager.m_pDownload.get();
    ASSERT_NE(pDownload, nullptr);
    ASSERT_TRUE(m_tray.ChooseFromMenu(L"Check now"));
    Pump();
    EXPECT_FALSE(m_server.WaitForRequests(4, 300ms));
    EXPECT_EQ(m_manager.m_pDownload.get(), pDownload);
}

TEST_F(MainWindowPollingTest, TooltipOfTheLastCheckFollowsTheLanguage)
{
    const CLanguageScope german(7, L"26=Zorvex\r\n90006=%s: gepr\u00FCft %s\r\n");
    ServeEmptyAnswer();
    AddGame(L"G1-P01");
    Open(true);
    ASSERT_TRUE(WaitUntilCollected(1));
    EXPECT_EQ(m_tray.strTip, L"Zorvex: gepr\u00FCft 14:05");
}

} // namespace

// A click on the balloon brings the window out of the tray, at the game it told of; news of
// several games opens the game list.
TEST_F(MainWindowPollingTest, ClickOnTheBalloonOpensWhatItAnnounced)
{
    struct SCase
    {
        const char* pszName;
        std::vector<SArrival> events;
        EView eView;
        std::wstring strGame; // of the game view
    };
    const SCase cases[] = {
        {"one game", {{L"G2", 1, L"A"}, {L"G2", 1, L"B"}}, EView::Game, L"G2-P01"},
        {"two games", {{L"G2", 1, L"A"}, {L"G1", 1, L"B"}}, EView::GameList, L""},
        // The shared entry's event is of the same game: the player's entry opens.
        {"one game and its shared entry",
         {{L"G2", 0, L"W"}, {L"G2", 1, L"A"}},
         EView::Game,
         L"G2-P01"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_manager.m_store.m_listGames.clear();
        m_tray = CFakeTrayState{};
        AddGame(L"G1-P01");
        AddGame(L"G2-P01");
        AddGame(L"G2-P00");
        Open();
        m_pDlg->m_trayIcon.m_pCommandTarget = m_pDlg.get();
        m_pDlg->SwitchView(EView::Preferences);
        m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SKIN_MINIMIZE, BN_CLICKED), 0);
        ASSERT_FALSE(m_pDlg->IsWindowVisible());

        std::uint32_t nId = 10;
        for (const SArrival& arrival : c.events)
            Arrive(arrival, ++nId);
        m_pDlg->OnDownloadDone();
        ASSERT_EQ(m_tray.messages.size(), 1u);
        ASSERT_TRUE(m_tray.messageClickHandler);
        m_tray.messageClickHandler();

        EXPECT_TRUE(
            QTest::qWaitFor([this] { return m_pDlg->m_eView != EView::Preferences; }, 5000));
        EXPECT_TRUE(m_pDlg->IsWindowVisible());
        EXPECT_EQ(m_pDlg->m_eView, c.eView);
        if (c.eView == EView::Game)
        {
            EXPECT_EQ(m_pDlg->m_strCurrentGame, c.strGame);
        }
        m_pDlg.reset();
    }
}
