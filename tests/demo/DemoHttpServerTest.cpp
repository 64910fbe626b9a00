// The demo server over a real loopback connection.
#include "DemoHttpServer.h"
#include "DemoAnswers.h"

#include "pbem/DownloadAnswer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

const std::string kDownload = "/ServerAssets/PBEM/DownloadNewGameEvents.php";
const std::string kLooking = "/ServerAssets/PBEM/SetLookingForPBEMGame.php";

httplib::MultipartFormDataItems Items(const DemoFormFields& fields)
{
    httplib::MultipartFormDataItems items;
    for (const auto& [strName, strValue] : fields)
        items.push_back({strName, strValue, "", ""});
    return items;
}

class DemoHttpServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nPort = m_http.Bind("127.0.0.1", 0);
        ASSERT_NE(m_nPort, 0);
        m_http.Start();
    }

    CDemoGameServer m_game{1};
    CDemoHttpServer m_http{m_game};
    int m_nPort = 0;
};

} // namespace

TEST_F(DemoHttpServerTest, AnswersTheProgramsPosts)
{
    httplib::Client client("127.0.0.1", m_nPort);
    const auto download =
        client.Post(kDownload, Items(DownloadForm({{"G1001", 2, "-1"}, {"G2045", 1}})));
    ASSERT_TRUE(download);
    EXPECT_EQ(download->status, 200);
    std::vector<std::unique_ptr<CPBEMGameEvent>> events;
    EXPECT_EQ(ReadAnswerEvents(download->body, events), EAnswerRead::Read);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->m_strGameId, L"G2045");

    const auto looking = client.Post(
        kLooking, Items({{"Username", "ann"}, {"Password", "pw"}, {"LookingForPBEMGame", "1"}}));
    ASSERT_TRUE(looking);
    EXPECT_EQ(looking->status, 200);
    EXPECT_EQ(looking->body, "OK\n");
}

TEST_F(DemoHttpServerTest, RefusesWhatIsNotAPostOfTheProgram)
{
    httplib::Client client("127.0.0.1", m_nPort);
    const DemoFormFields good = DownloadForm({{"G1", 1}});
    DemoFormFields garbled = good;
    garbled["HEventId1"] = "lots";
    DemoFormFields huge = DownloadForm({{"G1", 1}});
    huge["Pw1"] = std::string(CDemoHttpServer::kMaxBodySize + 1, 'x');

    struct SCase
    {
        const char* pszName;
        std::function<httplib::Result()> send;
        int nStatus;
    };
    const SCase cases[] = {
        {"GET of a script", [&] { return client.Get(kDownload); }, 405},
        {"DELETE of a script", [&] { return client.Delete(kLooking); }, 405},
        {"unknown path", [&] { return client.Post("/ServerAssets/PBEM/Other.php", Items(good)); },
         404},
        {"dot is not a wildcard",
         [&] { return client.Post("/ServerAssets/PBEM/DownloadNewGameEventsXphp", Items(good)); },
         404},
        {"no fields", [&] { return client.Post(kDownload, Items({})); }, 400},
        {"garbage body",
         [&] { return client.Post(kDownload, "\x01\x02 not a form", "text/plain"); }, 400},
        {"form not multipart",
         [&] {
             return client.Post(kDownload, "DownloadEvent=1&G1=G1",
                                "application/x-www-form-urlencoded");
         },
         400},
        {"garbled multipart",
         [&] { return client.Post(kDownload, "--x\r\nbroken", "multipart/form-data; boundary=x"); },
         400},
        {"non-numeric HEventId", [&] { return client.Post(kDownload, Items(garbled)); }, 400},
        {"huge body", [&] { return client.Post(kDownload, Items(huge)); }, 413},
    };
    for (const SCase& test : cases)
    {
        const httplib::Result result = test.send();
        ASSERT_TRUE(result) << test.pszName;
        EXPECT_EQ(result->status, test.nStatus) << test.pszName << ": " << result->body;
        EXPECT_FALSE(result->body.empty()) << test.pszName;
        EXPECT_LT(result->body.size(), 100u) << test.pszName;
    }
    // Still serving.
    const auto after = client.Post(kDownload, Items(DownloadForm({{"G1", 1}})));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200);
}

TEST(DemoHttpServerBacklogTest, TakesSixteenConnectionsAtOnce)
{
    // Bound but not yet serving, nothing accepts: every connection the kernel completes waits
    // in the listen queue, so the queue must hold all sixteen (a short one drops the rest).
    CDemoGameServer game{1};
    CDemoHttpServer http{game};
    const int nPort = http.Bind("127.0.0.1", 0);
    ASSERT_NE(nPort, 0);

    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<int> sockets;
    for (int i = 0; i < 16; ++i)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        sockets.push_back(fd);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    int nConnected = 0;
    for (const int fd : sockets)
    {
        pollfd wait = {fd, POLLOUT, 0};
        int nError = -1;
        socklen_t nLength = sizeof nError;
        if (::poll(&wait, 1, 500) == 1 &&
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &nError, &nLength) == 0 && nError == 0)
            ++nConnected;
    }
    EXPECT_EQ(nConnected, 16);
    for (const int fd : sockets)
        ::close(fd);

    http.Start();
    httplib::Client client("127.0.0.1", nPort);
    const auto answer = client.Post(kDownload, Items(DownloadForm({{"G1", 1}})));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
}
