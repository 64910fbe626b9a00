// The sample installation polled twice against the demo server, as the run command does.
#include "DemoHappenings.h"
#include "DemoHttpServer.h"
#include "PbemCommands.h"
#include "SampleInstall.h"

#include "base/Encoding.h"
#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace
{

std::set<std::string> EventFiles(const CTempDir& temp)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp.File("PBEM")))
    {
        if (entry.path().extension() == ".event")
            names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace

TEST(DemoEndToEndTest, SecondPollOfTheSampleWritesNothingNew)
{
    CDemoGameServer game(4);
    CDemoHttpServer http(game);
    const int nPort = http.Bind("127.0.0.1", 0);
    ASSERT_NE(nPort, 0);
    http.Start();
    const CServerEnv serverEnv("http://127.0.0.1:" + std::to_string(nPort));

    CTempDir temp;
    std::ostringstream err;
    ASSERT_TRUE(LayOutSampleInstall(temp.Path(), temp.File("no-assets"), err)) << err.str();
    const std::set<std::string> stored = EventFiles(temp);

    std::ostringstream out1, err1;
    ASSERT_EQ(RunPollCommand(temp.WidePath(), out1, err1), EXIT_OK) << err1.str();
    const std::set<std::string> afterFirst = EventFiles(temp);
    std::set<std::string> written;
    for (const std::string& name : afterFirst)
    {
        if (!stored.count(name))
            written.insert(name);
    }
    // Two events for each of the four entries, each announced.
    EXPECT_EQ(written.size(), 8u);
    for (const std::string& name : written)
    {
        const std::string id = name.substr(name.rfind('-') + 1, name.size() - name.rfind('-') - 7);
        EXPECT_NE(out1.str().find("\"key\":\"" + name.substr(0, name.rfind('-')) +
                                  "\",\"eventId\":" + id + ","),
                  std::string::npos)
            << name << " not announced:\n"
            << out1.str();
    }

    std::ostringstream out2, err2;
    ASSERT_EQ(RunPollCommand(temp.WidePath(), out2, err2), EXIT_OK) << err2.str();
    EXPECT_EQ(EventFiles(temp), afterFirst);

    // The game list knows the highest id of each entry's files.
    CPBEMGameStore store;
    CDataBuffer buffer(temp.Read("PBEM/PBEM.data"));
    ASSERT_TRUE(store.Parse(buffer));
    std::map<std::string, std::uint32_t> highest;
    for (const std::string& name : afterFirst)
    {
        const std::string key = name.substr(0, name.rfind('-'));
        const auto id = static_cast<std::uint32_t>(std::stoul(name.substr(name.rfind('-') + 1)));
        highest[key] = std::max(highest[key], id);
    }
    for (const auto& pGame : store.m_listGames)
        EXPECT_EQ(pGame->m_nHighestEventId, highest[WideToUtf8(pGame->m_strPlayerId)])
            << WideToUtf8(pGame->m_strPlayerId);
}

// The main window shows a sender's flag beside the demo server's text naming the sender, and the
// game's turn beside its "Turn %d" texts.
TEST(DemoEndToEndTest, SampleFitsTheDemoServersGames)
{
    CPBEMGameStore store;
    CDataBuffer buffer(SampleGameListBytes());
    ASSERT_TRUE(store.Parse(buffer));
    std::set<std::wstring> nations;
    for (const auto& pGame : store.m_listGames)
    {
        const std::string gameId = WideToAnsi(pGame->GetGameId());
        EXPECT_EQ(pGame->m_nTurn, DemoFirstTurn(gameId)) << gameId;
        for (const auto& pPlayer : pGame->m_listPlayers)
        {
            if (pPlayer->m_strFlagName.empty())
                continue;
            EXPECT_EQ(pPlayer->m_strFlagName, DemoNationName(gameId, pPlayer->m_nPlayer) + L".png");
            nations.insert(pPlayer->m_strFlagName);
        }
    }
    EXPECT_EQ(nations.size(), 8u);
}
