// zorvex-pbem poll against a real HTTP server on the loopback interface.
#include "PbemCommands.h"

#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"
#include "support/CurlTestEnvironment.h"
#include "support/DownloadAnswerText.h"
#include "support/PollTestSupport.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

namespace
{

class PollCommandTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(m_server.Port(), 0); }

    void WriteGameList(std::uint32_t nHighest) const
    {
        WriteTestGameList(m_temp, "PBEM/PBEM.data", {L"G12-P03", L"G12-P00"}, nHighest);
    }
    std::uint32_t DiskHighest(const wchar_t* pszKey) const
    {
        CPBEMGameStore store;
        CDataBuffer buffer(m_temp.Read("PBEM/PBEM.data"));
        EXPECT_TRUE(store.Parse(buffer)) << "the game list on disk does not parse whole";
        return store.FindGame(pszKey) ? store.FindGame(pszKey)->m_nHighestEventId : 0xDEADu;
    }
    std::set<std::string> PbemFiles() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_temp.File("PBEM")))
            names.insert(entry.path().filename().string());
        return names;
    }

    // The server sends only what is above the ids it is given: answer to a post of 1057, then
    // an empty answer.
    void AnswerAbove1057(const std::string& answer) { AnswerOnlyAbove(m_server, "1057", answer); }

    struct SRun
    {
        int nStatus;
        std::string out;
        std::string err;
    };
    SRun Poll(const std::string& dir) const
    {
        std::ostringstream out, err;
        const int n = RunPollCommand(std::wstring(dir.begin(), dir.end()), out, err);
        return {n, out.str(), err.str()};
    }

    CTempDir m_temp;
    CTestHttpServer m_server;
    const CServerEnv m_serverEnv{m_server.BaseURL()};
};

} // namespace

TEST_F(PollCommandTest, DownloadsStoresAndAnnouncesAsTheProgramDoes)
{
    WriteGameList(1057);
    const CPBEMGameEvent stored = ServerEvent(L"G12", 3, L"Stored");
    m_temp.Write("PBEM/G12-P03-1050.event", stored.m_strRaw);
    const CPBEMGameEvent mail = ServerEvent(L"G12", 3, L"Caf\u00e9 \"at\" noon", false, "IM");
    const CPBEMGameEvent war = ServerEvent(L"G12", 0, L"War", true, "DeclareWar");
    const std::string answer = CAnswerText().Player().Event(1058, mail).Event(1059, war).Text();
    AnswerAbove1057(answer);

    const SRun first = Poll(m_temp.Path());
    EXPECT_EQ(first.nStatus, 0) << first.err;
    EXPECT_EQ(first.err, "");
    const std::string stored1050 =
        "{\"key\":\"G12-P03\",\"eventId\":1050,\"kind\":\"Mail\",\"text\":\"Stored\"}\n";
    const std::string mail1058 = "{\"key\":\"G12-P03\",\"eventId\":1058,\"kind\":\"IM\","
                                 "\"text\":\"Caf\xc3\xa9 \\\"at\\\" noon\"}\n";
    const std::string war1059 =
        "{\"key\":\"G12-P00\",\"eventId\":1059,\"kind\":\"DeclareWar\",\"text\":\"War\"}\n";
    const std::string count = "{\"count\":3,\"text\":\"Stored\\nCaf\xc3\xa9 \\\"at\\\" noon\"}\n";
    EXPECT_EQ(first.out, stored1050 + mail1058 + war1059 + count);
    EXPECT_EQ(m_temp.Read("PBEM/G12-P03-1058.event"), mail.m_strRaw);
    EXPECT_EQ(m_temp.Read("PBEM/G12-P00-1059.event"), war.m_strRaw);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1058u);
    EXPECT_EQ(DiskHighest(L"G12-P00"), 1059u);

    // The next start announces the stored files again, as the program does; nothing new arrives.
    const std::set<std::string> files = PbemFiles();
    const SRun second = Poll(m_temp.Path());
    EXPECT_EQ(second.nStatus, 0) << second.err;
    // The stored files come in the order of the start-up scan: by entry, then oldest first.
    EXPECT_EQ(second.out, war1059 + stored1050 + mail1058 + count);
    EXPECT_EQ(PbemFiles(), files);
    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Field("HEventId1"), "1058");
    EXPECT_EQ(requests[1].Field("HEventId2"), "1059");
}

TEST_F(PollCommandTest, AnAnswerThatEndsWithItsLastEventIsWhole)
{
    WriteGameList(1057);
    const CPBEMGameEvent mail = ServerEvent(L"G12", 3, L"Hello");
    // Nothing after the last event's content: the transfer ended normally, so nothing is missing.
    const std::string answer = CAnswerText().Player().Event(1058, mail).Unclosed();
    AnswerAbove1057(answer);

    const SRun first = Poll(m_temp.Path());
    EXPECT_EQ(first.nStatus, 0) << first.err;
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(m_temp.Read("PBEM/G12-P03-1058.event"), mail.m_strRaw);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1058u);

    const SRun second = Poll(m_temp.Path());
    EXPECT_EQ(second.nStatus, 0) << second.err;
    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Field("HEventId1"), "1058");
}

TEST_F(PollCommandTest, CreatesTheDataFolderAndReportsAServerThatDoesNotAnswer)
{
    m_server.SetHandler([](const CTestHttpRequest&, httplib::Response& res) { res.status = 404; });
    const SRun run = Poll(m_temp.Path());
    EXPECT_EQ(run.nStatus, 1);
    EXPECT_EQ(run.out, "{\"count\":0,\"text\":\"\"}\n");
    EXPECT_NE(run.err.find(m_server.URL("/ServerAssets/PBEM/DownloadNewGameEvents.php")),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(std::filesystem::is_directory(m_temp.File("PBEM")));
}

TEST_F(PollCommandTest, AMissingFolderIsBadInput)
{
    const SRun run = Poll(m_temp.File("nowhere"));
    EXPECT_EQ(run.nStatus, 2);
    EXPECT_NE(run.err.find("nowhere"), std::string::npos);
    EXPECT_TRUE(m_server.Requests().empty());
}
