#include "PbemCommands.h"

#include "pbem/EventRecordWriter.h"
#include "pbem/PBEMGameStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace
{

std::string OneGameList()
{
    CPBEMGameStore store;
    store.SetAccount(L"m\x00e9lanie", L"pw\"1");
    auto pGame = std::make_unique<CPBEMGameState>();
    pGame->m_strPlayerId = L"G12-P03";
    pGame->m_strInstanceId = L"I-12";
    pGame->m_strPassword = L"pass";
    pGame->m_strFlagName = L"Tarn.png";
    pGame->m_strAnsiText = L"caf\x00e9";
    pGame->m_nTurn = 4;
    pGame->m_bNewEvents = true;
    pGame->m_nHighestEventId = 4000000000u;
    auto pPlayer = std::make_unique<CPBEMGamePlayer>();
    pPlayer->m_nPlayer = 3;
    pPlayer->m_strFlagName = L"Tarn.png";
    pPlayer->m_strAnsiText = "\x80";
    pGame->m_listPlayers.push_back(std::move(pPlayer));
    store.m_listGames.push_back(std::move(pGame));
    return store.Serialize();
}

struct SRun
{
    int nStatus;
    std::string out;
    std::string err;
};

SRun Dump(const std::string& path)
{
    std::ostringstream out, err;
    const int n = RunDumpCommand(std::wstring(path.begin(), path.end()), out, err);
    return {n, out.str(), err.str()};
}

} // namespace

TEST(PbemDump, PrintsTheWholeList)
{
    CTempDir dir;
    dir.Write("PBEM.data", OneGameList());
    const SRun run = Dump(dir.File("PBEM.data"));
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_EQ(run.out,
              "{\"storedValue\":1,\"username\":\"m\xc3\xa9lanie\",\"password\":\"pw\\\"1\","
              "\"complete\":true,\"games\":[{\"auxText\":\"\",\"instanceId\":\"I-12\","
              "\"playerId\":\"G12-P03\",\"gameId\":\"G12\",\"playerNumber\":3,"
              "\"password\":\"pass\",\"turn\":4,\"flagName\":\"Tarn.png\","
              "\"ansiText\":\"caf\xc3\xa9\",\"newEvents\":true,\"highestEventId\":4000000000,"
              "\"players\":[{\"player\":3,\"flagName\":\"Tarn.png\","
              "\"ansiText\":\"\xe2\x82\xac\"}]}]}\n");
}

TEST(PbemDump, ShowsWhatItCouldReadOfACutFile)
{
    CTempDir dir;
    const std::string bytes = OneGameList();
    dir.Write("PBEM.data", bytes.substr(0, bytes.size() - 3));
    const SRun run = Dump(dir.File("PBEM.data"));
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_NE(run.out.find("\"complete\":false"), std::string::npos);
    EXPECT_NE(run.out.find("\"username\":\"m\xc3\xa9lanie\""), std::string::npos);
    EXPECT_EQ(dir.Read("PBEM.data"), bytes.substr(0, bytes.size() - 3)); // never written
}

TEST(PbemDump, MissingOrUnreadableFilesFailWithStatus2)
{
    CTempDir dir;
    for (const std::string& path : {dir.File("missing.data"), dir.Path()})
    {
        const SRun run = Dump(path);
        EXPECT_EQ(run.nStatus, 2) << path;
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("cannot read"), std::string::npos);
    }
    EXPECT_FALSE(std::ifstream(dir.File("missing.data")).good()); // not created by the attempt
}

TEST(PbemDump, AFileAboveTheGameListLimitIsRefusedUnread)
{
    CTempDir dir;
    dir.Write("PBEM.data", OneGameList());
    // Sparse: the size counts, not the bytes.
    ASSERT_EQ(::truncate(dir.File("PBEM.data").c_str(), static_cast<off_t>(kMaxGameListBytes) + 1),
              0);
    const SRun run = Dump(dir.File("PBEM.data"));
    EXPECT_EQ(run.nStatus, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("too large for a game list"), std::string::npos) << run.err;
}

TEST(PbemEvent, PrintsEachFileAndFailsForMissingOnes)
{
    CTempDir dir;
    CPBEMGameEvent event;
    event.m_strGameId = L"G12";
    event.m_nFromPlayer = 2;
    event.m_nPlayer = 3;
    event.m_strKind = "IM";
    event.m_strText = L"Hi <there>";
    event.m_nDataSize = 3;
    event.m_pData.reset(new unsigned char[3]{0x00, 0xAB, 0x1F});
    dir.Write("G12-P03-1057.event", BuildEscapedEventRecord(event));
    dir.Write("G12-P03-9.event", "not an event record at all");

    std::ostringstream out, err;
    const std::vector<std::wstring> paths = {
        dir.WidePath() + L"/G12-P03-1057.event",
        dir.WidePath() + L"/missing.event",
        dir.WidePath() + L"/G12-P03-9.event",
    };
    EXPECT_EQ(RunEventCommand(paths, out, err), 2);
    EXPECT_EQ(out.str(),
              "{\"fileName\":\"G12-P03-1057.event\",\"eventId\":1057,\"gameId\":\"G12\","
              "\"fromPlayer\":2,\"shared\":false,\"player\":3,\"kind\":\"IM\","
              "\"text\":\"Hi <there>\",\"dataSize\":3,\"data\":\"00ab1f\"}\n"
              "{\"fileName\":\"G12-P03-9.event\",\"eventId\":0,\"gameId\":\"\","
              "\"fromPlayer\":0,\"shared\":false,\"player\":0,\"kind\":\"\",\"text\":\"\","
              "\"dataSize\":0,\"data\":\"\"}\n");
    EXPECT_NE(err.str().find("missing.event"), std::string::npos);
}

TEST(PbemEvent, RefusesAFileLargerThanAnyEventAndGoesOn)
{
    CTempDir dir;
    CPBEMGameEvent event;
    event.m_strGameId = L"G12";
    event.m_strText = L"Hi";
    dir.Write("G12-P03-1.event", BuildEscapedEventRecord(event));
    dir.Write("G12-P03-2.event", BuildEscapedEventRecord(event));
    // Sparse: 65 MiB and one byte that take no disk space and no time.
    ASSERT_EQ(::truncate(dir.File("G12-P03-2.event").c_str(), 65 * 1024 * 1024 + 1), 0);

    std::ostringstream out, err;
    const std::vector<std::wstring> paths = {dir.WidePath() + L"/G12-P03-2.event",
                                             dir.WidePath() + L"/G12-P03-1.event"};
    EXPECT_EQ(RunEventCommand(paths, out, err), 2);
    EXPECT_EQ(err.str(), "zorvex-pbem: cannot read " + dir.File("G12-P03-2.event") +
                             ": larger than 64 MiB, which no event file is\n");
    EXPECT_NE(out.str().find("\"fileName\":\"G12-P03-1.event\""), std::string::npos);
    EXPECT_EQ(out.str().find("G12-P03-2.event"), std::string::npos);
}
