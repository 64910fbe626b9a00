// A transfer on a worker thread of its own, as the event download runs it.
#include "net/VelCurlTransfer.h"
#include "support/CurlTestEnvironment.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace
{

class CDoneObserver : public CVelCurlObserver
{
public:
    void OnTransferDone(CVelCurlTransfer* pTransfer) override
    {
        ++m_nDone;
        m_threadId = std::this_thread::get_id();
        m_bEndedWhenDone = pTransfer->HasEnded();
        m_bSucceededWhenDone = pTransfer->Succeeded();
        m_strAnswer = pTransfer->TakeResponse();
    }

    std::atomic<int> m_nDone{0};
    std::thread::id m_threadId;
    bool m_bEndedWhenDone = false;
    bool m_bSucceededWhenDone = false;
    std::string m_strAnswer;
};

} // namespace

TEST(TransferThreadTest, ObserverIsToldOnTheWorkerAfterTheTransferEnded)
{
    CTestHttpServer server;
    ASSERT_NE(server.Port(), 0);
    server.SetHandler([](const CTestHttpRequest&, httplib::Response& res)
                      { res.set_content("SanityCheck-5170382 Version01", "text/plain"); });
    CDoneObserver observer;
    CVelCurlTransfer transfer(&observer);
    transfer.SetName("GetPBEMEvents");
    transfer.SetURL(server.URL("/events"));
    // Not taken for ended before the worker has even begun.
    EXPECT_FALSE(transfer.HasEnded());

    std::thread worker(&CVelCurlTransfer::TransferThreadProc, &transfer);
    const std::thread::id workerId = worker.get_id();
    worker.join();

    EXPECT_EQ(observer.m_nDone, 1);
    EXPECT_EQ(observer.m_threadId, workerId);
    EXPECT_TRUE(observer.m_bEndedWhenDone);
    EXPECT_TRUE(observer.m_bSucceededWhenDone);
    EXPECT_EQ(observer.m_strAnswer, "SanityCheck-5170382 Version01");
    EXPECT_TRUE(transfer.HasEnded());
}

TEST(TransferThreadTest, OwnedTransferIsDeletedAfterTellingTheObserver)
{
    CTestHttpServer server;
    ASSERT_NE(server.Port(), 0);
    CDoneObserver observer;
    // Owned by the worker from here on; a leak shows under the address sanitizer.
    auto pTransfer = std::make_unique<CVelCurlTransfer>(&observer);
    pTransfer->SetURL(server.URL("/events"));

    std::thread worker(&CVelCurlTransfer::OwnedTransferThreadProc, std::move(pTransfer));
    worker.join();

    EXPECT_EQ(observer.m_nDone, 1);
    EXPECT_TRUE(observer.m_bSucceededWhenDone);
    EXPECT_EQ(server.Requests().size(), 1u);
}
