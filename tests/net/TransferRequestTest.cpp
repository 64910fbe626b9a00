// What a transfer puts on the wire, as a real server receives it.
#include "net/GameServer.h"
#include "net/VelCurlTransfer.h"
#include "support/CurlTestEnvironment.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

class TransferRequestTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(m_server.Port(), 0); }

    // Performs the transfer and gives the one request the server received.
    CTestHttpRequest PerformOne(CVelCurlTransfer& transfer)
    {
        EXPECT_TRUE(transfer.Perform());
        EXPECT_TRUE(transfer.Succeeded());
        EXPECT_FALSE(transfer.Failed());
        const auto requests = m_server.Requests();
        EXPECT_EQ(requests.size(), 1u);
        return requests.empty() ? CTestHttpRequest() : requests.back();
    }

    CTestHttpServer m_server;
};

} // namespace

TEST_F(TransferRequestTest, WithoutFormFieldsItIsAGet)
{
    m_server.SetHandler([](const CTestHttpRequest&, httplib::Response& res)
                        { res.set_content("Hello", "text/plain"); });
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/ServerAssets/PBEM/Get.php"));

    const CTestHttpRequest request = PerformOne(transfer);
    EXPECT_EQ(request.m_strMethod, "GET");
    EXPECT_EQ(request.m_strTarget, "/ServerAssets/PBEM/Get.php");
    EXPECT_TRUE(request.m_strBody.empty());
    EXPECT_FALSE(request.HasHeader("Content-Type"));
    EXPECT_FALSE(request.HasHeader("Expect"));
    EXPECT_EQ(transfer.TakeResponse(), "Hello");
}

TEST_F(TransferRequestTest, FormFieldsArePostedAsMultipartInOrderWithoutExpect)
{
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/ServerAssets/PBEM/DownloadNewGameEvents.php"));
    // Out of alphabetical order, with a repeated name, an empty value and bytes above 0x7F.
    transfer.AddFormField("Zeta", "last letter");
    transfer.AddFormField("Count", "2");
    transfer.AddFormField("Alpha", "");
    transfer.AddFormField("Count", "3");
    transfer.AddFormField("Name", std::wstring(L"Jos\u00e9"));
    // A body this size would make libcurl ask for 100-continue by default.
    const std::string strBig(2 * 1024 * 1024, 'b');
    transfer.AddFormField("Big", strBig);

    const CTestHttpRequest request = PerformOne(transfer);
    EXPECT_EQ(request.m_strMethod, "POST");
    EXPECT_EQ(request.Header("Content-Type").rfind("multipart/form-data; boundary=", 0), 0u)
        << request.Header("Content-Type");
    EXPECT_FALSE(request.HasHeader("Expect")) << request.Header("Expect");

    const struct
    {
        const char* pszName;
        std::string strContent;
    } expected[] = {{"Zeta", "last letter"}, {"Count", "2"},      {"Alpha", ""},
                    {"Count", "3"},          {"Name", "Jos\xe9"}, {"Big", strBig}};
    ASSERT_EQ(request.m_parts.size(), std::size(expected));
    for (std::size_t i = 0; i < request.m_parts.size(); ++i)
    {
        const CTestHttpPart& part = request.m_parts[i];
        EXPECT_EQ(part.m_strName, expected[i].pszName) << i;
        EXPECT_EQ(part.m_strContent, expected[i].strContent) << i;
        EXPECT_EQ(part.m_strFilename, "") << i;
        EXPECT_EQ(part.m_strContentType, "") << i;
    }
}

TEST_F(TransferRequestTest, FormFileSendsTheFilesContentUnderItsName)
{
    const CTempDir dir;
    const std::string strContent("line 1\r\nbinary \0\xff end", 22);
    dir.Write("orders.dat", strContent);

    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/upload"));
    transfer.AddFormField("GameId", "77");
    transfer.AddFormFile("Orders", dir.File("orders.dat"));

    const CTestHttpRequest request = PerformOne(transfer);
    ASSERT_EQ(request.m_parts.size(), 2u);
    EXPECT_EQ(request.m_parts[0].m_strName, "GameId");
    EXPECT_EQ(request.m_parts[1].m_strName, "Orders");
    EXPECT_EQ(request.m_parts[1].m_strFilename, "orders.dat");
    EXPECT_EQ(request.m_parts[1].m_strContentType, "application/octet-stream");
    EXPECT_EQ(request.m_parts[1].m_strContent, strContent);
}

TEST_F(TransferRequestTest, MissingFormFileFailsTheTransfer)
{
    const CTempDir dir;
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/upload"));
    transfer.AddFormFile("Orders", dir.File("missing.dat"));

    EXPECT_TRUE(transfer.Perform());
    EXPECT_TRUE(transfer.Failed());
    EXPECT_FALSE(transfer.Succeeded());
}

TEST_F(TransferRequestTest, UrlParamsReachTheServerEscapedOnlyAsTheServerExpects)
{
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/list.php?a=1"));
    transfer.AddUrlParam("x", "5% #1");

    const CTestHttpRequest request = PerformOne(transfer);
    EXPECT_EQ(request.m_strTarget, "/list.php?a=1&x=5%25%20%231");
    EXPECT_EQ(request.m_strQuery, "a=1&x=5%25%20%231");
    const auto it = request.m_params.find("x");
    ASSERT_NE(it, request.m_params.end());
    EXPECT_EQ(it->second, "5% #1");
}

TEST_F(TransferRequestTest, HttpErrorStatusIsStillACompletedRequest)
{
    m_server.SetHandler(
        [](const CTestHttpRequest&, httplib::Response& res)
        {
            res.status = 500;
            res.set_content("Broken", "text/plain");
        });
    CVelCurlTransfer transfer;
    transfer.SetURL(m_server.URL("/fail"));

    PerformOne(transfer);
    EXPECT_EQ(transfer.TakeResponse(), "Broken");
}

TEST_F(TransferRequestTest, ServerThatIsNotHttpIsRefused)
{
    // A folder laid out as the server, holding an answer the download would take.
    const CTempDir dir;
    dir.Write(std::string(SCRIPT_DOWNLOAD_EVENTS).substr(1), "SanityCheck-5170382 Version01");
    struct CCounter : CVelCurlObserver
    {
        void OnTransferData(CVelCurlTransfer*) override { ++m_nData; }
        int m_nData = 0;
    } observer;
    for (const std::string& strBase :
         {"file://" + dir.Path(), "FILE://" + dir.Path(), "file://localhost" + dir.Path()})
    {
        SCOPED_TRACE(strBase);
        const CServerEnv env(strBase.c_str());
        CVelCurlTransfer transfer(&observer);
        transfer.SetURL(GameServerURL(SCRIPT_DOWNLOAD_EVENTS));

        EXPECT_TRUE(transfer.Perform());
        EXPECT_TRUE(transfer.Failed());
        EXPECT_FALSE(transfer.Succeeded());
        EXPECT_EQ(transfer.TakeResponse(), "");
    }
    EXPECT_EQ(observer.m_nData, 0);
}
