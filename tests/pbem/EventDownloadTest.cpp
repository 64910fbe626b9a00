// The download against a real HTTP server on the loopback interface.
#include "DownloadTestFixture.h"

#include "net/VelCurlTransfer.h"
#include "support/CurlTestEnvironment.h"
#include "support/ServerEnv.h"
#include "support/TestHttpServer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace
{

constexpr const char* kScript = "/ServerAssets/PBEM/DownloadNewGameEvents.php";

// Stands for the main window: told on the worker thread.
class CDoneObserver : public CVelCurlObserver
{
public:
    void OnTransferData(CVelCurlTransfer*) override { ++m_nDataCalls; }
    void OnTransferDone(CVelCurlTransfer*) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_nDone;
        m_changed.notify_all();
    }
    bool WaitDone(int nCount = 1)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, 15s, [&] { return m_nDone >= nCount; });
    }
    int Done()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_nDone;
    }

    std::atomic<int> m_nDataCalls{0};

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_nDone = 0;
};

class EventDownloadTest : public CDownloadTest
{
protected:
    void SetUp() override
    {
        CDownloadTest::SetUp();
        ASSERT_NE(m_server.Port(), 0);
    }
    void TearDown() override
    {
        // The observer and the server go before the manager does.
        m_manager.Shutdown();
    }

    void Answer(std::string answer)
    {
        m_server.SetHandler(
            [answer = std::move(answer)](const CTestHttpRequest&, httplib::Response& res)
            { res.set_content(answer, "text/plain"); });
    }
    // A download handled as the main window handles it.
    SNewEventsAnnouncement Download()
    {
        const int nDone = m_observer.Done();
        EXPECT_TRUE(m_manager.StartDownload(&m_observer));
        EXPECT_TRUE(m_observer.WaitDone(nDone + 1));
        return m_manager.HandleDownloadDone();
    }
    std::vector<std::pair<std::string, std::string>> Fields(std::size_t nRequest) const
    {
        std::vector<std::pair<std::string, std::string>> fields;
        const auto requests = m_server.Requests();
        if (nRequest < requests.size())
        {
            for (const CTestHttpPart& part : requests[nRequest].m_parts)
                fields.emplace_back(part.m_strName, part.m_strContent);
        }
        return fields;
    }

    CTestHttpServer m_server;
    const CServerEnv m_serverEnv{m_server.BaseURL()};
    CDoneObserver m_observer;
};

using FieldList = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST_F(EventDownloadTest, PostsEveryEntryInListOrder)
{
    AddEntry(L"G12-P03", 1057, L"s\u00e9cret");
    AddEntry(L"G12-P00", 0);
    AddEntry(L"G30-P11", 4294967295u, L"x");

    ASSERT_TRUE(m_manager.StartDownload(&m_observer));
    ASSERT_NE(m_manager.m_pDownload, nullptr);
    EXPECT_EQ(m_manager.m_pDownload->Name(), "GetPBEMEvents");
    EXPECT_EQ(m_manager.m_pDownload->Timeout(), 10);
    EXPECT_EQ(m_manager.m_pDownload->Observer(), &m_observer);
    ASSERT_TRUE(m_observer.WaitDone());
    // The manager still owns the ended transfer (the worker did not delete it), and its end is
    // seen on this thread once the observer was told.
    ASSERT_NE(m_manager.m_pDownload, nullptr);
    EXPECT_TRUE(m_manager.m_pDownload->HasEnded());
    EXPECT_NE(m_manager.CollectDownload().eOutcome, EDownloadOutcome::NotCollected);

    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].m_strMethod, "POST");
    EXPECT_EQ(requests[0].m_strPath, kScript);
    const FieldList expected = {
        {"DownloadEvent", "1"},
        {"G1", "G12"},
        {"P1", "3"},
        {"Pw1", "s\xe9"
                "cret"},
        {"HEventId1", "1057"},
        {"G2", "G12"},
        {"P2", "0"},
        {"Pw2", ""},
        {"HEventId2", "0"},
        {"G3", "G30"},
        {"P3", "11"},
        {"Pw3", "x"},
        {"HEventId3", "-1"},
    };
    EXPECT_EQ(Fields(0), expected);
}

TEST_F(EventDownloadTest, TakesNewerTurnsAndIdsFromTheGameListFirst)
{
    AddEntry(L"G12-P03", 1057, L"", true).m_nTurn = 4;
    AddEntry(L"G13-P01", 4294967295u, L"", true).m_nTurn = 8;
    AddEntry(L"G20-P01", 3, L"", true);
    AddTo(m_disk, L"G12-P03", 1060, L"").m_nTurn = 5;
    AddTo(m_disk, L"G13-P01", 5, L"").m_nTurn = -2;
    AddTo(m_disk, L"G40-P01", 9, L"");
    SaveDisk();

    // The server sends nothing back: what changes comes from the game list alone.
    EXPECT_EQ(Download().download.eOutcome, EDownloadOutcome::NoAnswer);
    const CPBEMGameState* pFirst = m_manager.m_store.FindGame(L"G12-P03");
    EXPECT_EQ(pFirst->m_nTurn, 5);
    EXPECT_EQ(pFirst->m_nHighestEventId, 1060u);
    const CPBEMGameState* pSecond = m_manager.m_store.FindGame(L"G13-P01");
    EXPECT_EQ(pSecond->m_nTurn, 8);
    EXPECT_EQ(pSecond->m_nHighestEventId, 4294967295u);
    EXPECT_EQ(m_manager.m_store.m_listGames.size(), 3u);
    const FieldList fields = Fields(0);
    ASSERT_EQ(fields.size(), 13u);
    EXPECT_EQ(fields[4], (std::pair<std::string, std::string>("HEventId1", "1060")));
    EXPECT_EQ(fields[8], (std::pair<std::string, std::string>("HEventId2", "-1")));
}

TEST_F(EventDownloadTest, OnlyOneDownloadAtATime)
{
    AddEntry(L"G12-P03", 1057);
    Answer(CAnswerText().Player().Event(1058, ServerEvent(L"G12", 3, L"Hi")).Text());

    ASSERT_TRUE(m_manager.StartDownload(&m_observer));
    EXPECT_FALSE(m_manager.StartDownload(&m_observer));
    ASSERT_TRUE(m_observer.WaitDone());
    // Ended but not collected: still blocks.
    EXPECT_FALSE(m_manager.StartDownload(&m_observer));
    const SNewEventsAnnouncement result = m_manager.HandleDownloadDone();
    EXPECT_EQ(result.nCount, 1);
    EXPECT_EQ(m_manager.m_pDownload, nullptr);
    EXPECT_EQ(m_server.Requests().size(), 1u);
    EXPECT_EQ(m_observer.Done(), 1);

    // Once collected, the next download goes out, with the raised id.
    EXPECT_EQ(Download().nCount, 0);
    ASSERT_EQ(m_server.Requests().size(), 2u);
    EXPECT_EQ(m_server.Requests()[1].Field("HEventId1"), "1058");
}

TEST_F(EventDownloadTest, AnAnswerInManySmallBlocks)
{
    AddEntry(L"G12-P03", 1057);
    AddEntry(L"G13-P01", 0);
    const std::string answer = CAnswerText()
                                   .Player("G12-P03")
                                   .Event(1058, ServerEvent(L"G12", 3, L"one two"))
                                   .Event(1059, ServerEvent(L"G12", 3, L"three"))
                                   .Player("G13-P01")
                                   .Event(4, ServerEvent(L"G13", 1, L"four"))
                                   .Text();
    m_server.SetHandler(
        [answer](const CTestHttpRequest&, httplib::Response& res)
        {
            res.set_chunked_content_provider("text/plain",
                                             [answer](std::size_t nOffset, httplib::DataSink& sink)
                                             {
                                                 if (nOffset >= answer.size())
                                                 {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 std::this_thread::sleep_for(2ms); // arrive apart
                                                 const std::size_t n = std::min<std::size_t>(
                                                     37, answer.size() - nOffset);
                                                 return sink.write(answer.data() + nOffset, n);
                                             });
        });

    const SNewEventsAnnouncement result = Download();
    EXPECT_GT(m_observer.m_nDataCalls, 1);
    EXPECT_EQ(result.nCount, 3);
    EXPECT_EQ(result.strText, L"one two\nthree\nfour");
    EXPECT_EQ(Highest(L"G12-P03"), 1059u);
    EXPECT_EQ(DiskHighest(L"G13-P01"), 4u);
}

TEST_F(EventDownloadTest, FailedDownloadsChangeNothing)
{
    AddEntry(L"G12-P03", 1057);
    const std::string before = m_temp.Read("PBEM/PBEM.data");

    m_server.SetHandler(
        [](const CTestHttpRequest&, httplib::Response& res)
        {
            res.status = 500;
            res.set_content("<html>Internal Server Error</html>", "text/html");
        });
    ASSERT_TRUE(m_manager.StartDownload(&m_observer));
    ASSERT_TRUE(m_observer.WaitDone(1));
    EXPECT_EQ(m_manager.CollectDownload().eOutcome, EDownloadOutcome::NoAnswer);

    // Nothing listens on the server's port any more.
    const std::string strURL = m_server.BaseURL();
    {
        CTestHttpServer closed;
        m_serverEnv.Set(closed.BaseURL());
    }
    ASSERT_TRUE(m_manager.StartDownload(&m_observer));
    ASSERT_TRUE(m_observer.WaitDone(2));
    EXPECT_EQ(m_manager.CollectDownload().eOutcome, EDownloadOutcome::NoAnswer);

    EXPECT_EQ(m_manager.m_pDownload, nullptr);
    EXPECT_TRUE(m_manager.m_listNewEvents.empty());
    EXPECT_EQ(m_temp.Read("PBEM/PBEM.data"), before);
}

TEST_F(EventDownloadTest, TheManagerEndsAStalledDownloadPromptly)
{
    AddEntry(L"G12-P03", 1057);
    m_server.SetHandler(
        [this](const CTestHttpRequest&, httplib::Response& res)
        {
            m_server.WaitWhileRunning(60s);
            res.set_content("SanityCheck-5170382 Version01 ", "text/plain");
        });
    auto pManager = std::make_unique<CPBEMMessageManager>();
    ASSERT_TRUE(pManager->StartDownload(&m_observer));
    ASSERT_TRUE(m_server.WaitForRequests(1, 5s));
    EXPECT_EQ(pManager->CollectDownload().eOutcome,
              EDownloadOutcome::NotCollected); // still running: nothing to collect
    EXPECT_NE(pManager->m_pDownload, nullptr);

    const auto start = std::chrono::steady_clock::now();
    pManager.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(m_observer.Done(), 1); // told during the wait, and not after

    // Shutdown leaves a manager that downloads again.
    ASSERT_TRUE(m_manager.StartDownload(&m_observer));
    ASSERT_TRUE(m_server.WaitForRequests(2, 5s));
    m_manager.Shutdown();
    EXPECT_EQ(m_manager.m_pDownload, nullptr);
    Answer("SanityCheck-5170382 Version01 ");
    EXPECT_EQ(Download().download.eOutcome, EDownloadOutcome::Complete);
    EXPECT_EQ(m_server.Requests().size(), 3u);
}
