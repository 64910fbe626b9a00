// How a transfer ends: its answer and its flags, against a real server.
#include "net/VelCurlTransfer.h"
#include "support/CurlTestEnvironment.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace
{

using Clock = std::chrono::steady_clock;

class TransferOutcomeTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(m_server.Port(), 0); }

    // A handler that answers only after a long stall (or when the server stops).
    void StallAnswers()
    {
        m_server.SetHandler(
            [this](const CTestHttpRequest&, httplib::Response& res)
            {
                m_server.WaitWhileRunning(3s);
                res.set_content("late", "text/plain");
            });
    }

    CTestHttpServer m_server;
};

void ExpectFailedOnly(const CVelCurlTransfer& transfer)
{
    EXPECT_TRUE(transfer.Failed());
    EXPECT_FALSE(transfer.Succeeded());
    EXPECT_TRUE(transfer.HasEnded());
}

} // namespace

TEST_F(TransferOutcomeTest, AnswerEndsAtItsFirstZeroByte)
{
    m_server.SetHandler([](const CTestHttpRequest&, httplib::Response& res)
                        { res.set_content(std::string("before\0after", 12), "text/plain"); });
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/zero"));

    EXPECT_TRUE(transfer.Perform());
    EXPECT_TRUE(transfer.Succeeded());
    EXPECT_EQ(transfer.TakeResponse(), "before");
}

TEST_F(TransferOutcomeTest, AnswerInManyBlocksIsJoinedInOrder)
{
    std::string strExpected;
    for (int i = 0; i < 30; ++i)
        strExpected += "piece" + std::to_string(i) + ";";
    m_server.SetHandler(
        [](const CTestHttpRequest&, httplib::Response& res)
        {
            res.set_chunked_content_provider("text/plain",
                                             [](std::size_t, httplib::DataSink& sink)
                                             {
                                                 for (int i = 0; i < 30; ++i)
                                                 {
                                                     const std::string strPiece =
                                                         "piece" + std::to_string(i) + ";";
                                                     sink.write(strPiece.data(), strPiece.size());
                                                     // Separate packets, so that libcurl hands over
                                                     // separate blocks.
                                                     std::this_thread::sleep_for(2ms);
                                                 }
                                                 sink.done();
                                                 return true;
                                             });
        });
    struct CCounter : CVelCurlObserver
    {
        void OnTransferData(CVelCurlTransfer*) override { ++m_nData; }
        int m_nData = 0;
    } observer;
    CVelCurlTransfer transfer(&observer);
    transfer.SetURL(m_server.URL("/chunks"));

    EXPECT_TRUE(transfer.Perform());
    EXPECT_TRUE(transfer.Succeeded());
    EXPECT_GT(transfer.Blocks().size(), 1u);
    EXPECT_EQ(observer.m_nData, static_cast<int>(transfer.Blocks().size()));
    EXPECT_EQ(transfer.TakeResponse(), strExpected);
}

TEST_F(TransferOutcomeTest, AnswerBeyondTheLimitFailsTheTransfer)
{
    m_server.SetHandler([](const CTestHttpRequest&, httplib::Response& res)
                        { res.set_content(std::string(100000, 'a'), "text/plain"); });
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/big"));
    transfer.SetMaxResponseBytes(5000);

    EXPECT_TRUE(transfer.Perform());
    ExpectFailedOnly(transfer);
    EXPECT_LE(transfer.TakeResponse().size(), 5000u);
}

TEST_F(TransferOutcomeTest, TimeLimitEndsAStalledTransfer)
{
    StallAnswers();
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/stall"));
    transfer.SetTimeout(1);

    const auto start = Clock::now();
    EXPECT_TRUE(transfer.Perform());
    const auto elapsed = Clock::now() - start;
    ExpectFailedOnly(transfer);
    EXPECT_NE(transfer.Outcome(), ETransferOutcome::Aborted);
    EXPECT_GE(elapsed, 900ms);
    EXPECT_LT(elapsed, 1500ms);
    EXPECT_EQ(transfer.TakeResponse(), "");
}

TEST_F(TransferOutcomeTest, AbortFromAnotherThreadEndsTheTransferPromptly)
{
    StallAnswers();
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/stall"));
    transfer.AddFormField("GameId", "1");

    std::thread aborter(
        [&]
        {
            // Abort only once the request is surely in flight.
            if (m_server.WaitForRequests(1, 5s))
                transfer.RequestAbort();
        });
    const auto start = Clock::now();
    const bool bResult = transfer.Perform();
    const auto elapsed = Clock::now() - start;
    aborter.join();

    EXPECT_TRUE(bResult);
    ExpectFailedOnly(transfer);
    EXPECT_EQ(transfer.Outcome(), ETransferOutcome::Aborted);
    EXPECT_NE(transfer.Outcome(), ETransferOutcome::HostNotFound);
    EXPECT_LT(elapsed, 1s);
}

TEST_F(TransferOutcomeTest, UnresolvableHostIsReported)
{
    CVelCurlTransfer transfer;
    transfer.SetURL("http://nohost.invalid/");
    transfer.SetTimeout(20);

    EXPECT_TRUE(transfer.Perform());
    ExpectFailedOnly(transfer);
    EXPECT_EQ(transfer.Outcome(), ETransferOutcome::HostNotFound);
    EXPECT_NE(transfer.Outcome(), ETransferOutcome::Aborted);
}

TEST_F(TransferOutcomeTest, PerformStartsFromCleanFlagsAndAnswer)
{
    m_server.SetHandler([](const CTestHttpRequest&, httplib::Response& res)
                        { res.set_content("fresh", "text/plain"); });
    CVelCurlTransfer transfer;
    transfer.SetURL("http://nohost.invalid/");
    EXPECT_TRUE(transfer.Perform());
    ASSERT_EQ(transfer.Outcome(), ETransferOutcome::HostNotFound);
    std::string strStale = "stale";
    CVelCurlTransfer::OnCurlWrite(strStale.data(), 1, strStale.size(), &transfer);

    transfer.SetURL(m_server.URL("/again"));
    EXPECT_TRUE(transfer.Perform());
    EXPECT_TRUE(transfer.Succeeded());
    EXPECT_FALSE(transfer.Failed());
    EXPECT_NE(transfer.Outcome(), ETransferOutcome::HostNotFound);
    EXPECT_EQ(transfer.TakeResponse(), "fresh");
}

TEST_F(TransferOutcomeTest, OnlyHttpUrlsAreFetched)
{
    CVelCurlTransfer transfer;
    transfer.SetURL("file:///etc/hostname");

    EXPECT_TRUE(transfer.Perform());
    ExpectFailedOnly(transfer);
    EXPECT_EQ(transfer.TakeResponse(), "");
}
