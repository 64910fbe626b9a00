// zorvex-make-sample DIR: lays out a small installation folder with a game list and event files,
// written with the program's own writers, for trying the program and its tools.
#include "base/Encoding.h"
#include "base/Paths.h"
#include "pbem/EventFiles.h"
#include "pbem/EventRecordWriter.h"
#include "pbem/PBEMGameStore.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iostream>

namespace
{

struct SSamplePlayer
{
    int nPlayer;
    const wchar_t* pszFlag;
};

struct SSampleGame
{
    const wchar_t* pszPlayerId;
    const wchar_t* pszInstanceId;
    const wchar_t* pszPassword;
    const wchar_t* pszFlag;
    int nTurn;
    std::vector<SSamplePlayer> players;
};

struct SSampleEvent
{
    const wchar_t* pszGameId;
    int nPlayer; // 0: shared
    std::uint32_t nEventId;
    int nFromPlayer;
    const char* pszKind;
    const wchar_t* pszText;
};

const SSampleGame kGames[] = {
    {L"G1001-P02",
     L"I-1001",
     L"amber-fox",
     L"Ravenmark.png",
     12,
     {{1, L"Solvania.png"}, {2, L"Ravenmark.png"}, {3, L"Kethra.png"}, {4, L"Ostrevia.png"}}},
    {L"G1001-P00", L"I-1001", L"amber-fox", L"", 12, {}},
    {L"G2040-P01",
     L"I-2040",
     L"salt-river",
     L"Veldmoor.png",
     3,
     {{1, L"Veldmoor.png"}, {2, L"Ashcombe.png"}}},
    {L"G3177-P05",
     L"I-3177",
     L"north-wind",
     L"",
     27,
     {{1, L"Tarn.png"}, {5, L""}, {6, L"Lunegard.png"}}},
};

const SSampleEvent kEvents[] = {
    {L"G1001", 2, 101, 3, "Mail", L"Kethra: Our fleets should meet at the Narrows."},
    {L"G1001", 2, 102, 1, "DeclareWar", L"Solvania has declared war on Ravenmark!"},
    {L"G1001", 0, 103, 0, "NewTurn", L"Turn 12 has begun."},
    {L"G2040", 1, 57, 2, "OrdersSubmitted", L"Ashcombe has submitted its orders."},
    {L"G2040", 1, 58, 2, "IM", L"Ashcombe: Ready when you are."},
    {L"G9999", 1, 5, 0, "NewTurn", L"An event of a game that is not in the list."},
};

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: zorvex-make-sample DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string pbem = dir + "/PBEM";
    ::mkdir(dir.c_str(), 0755);
    ::mkdir(pbem.c_str(), 0755);

    CPBEMGameStore store;
    store.SetAccount(L"demo.player", L"secret");
    for (const SSampleGame& game : kGames)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = game.pszPlayerId;
        pGame->m_strInstanceId = game.pszInstanceId;
        pGame->m_strPassword = game.pszPassword;
        pGame->m_strFlagName = game.pszFlag;
        pGame->m_nTurn = game.nTurn;
        for (const SSamplePlayer& player : game.players)
        {
            auto pPlayer = std::make_unique<CPBEMGamePlayer>();
            pPlayer->m_nPlayer = player.nPlayer;
            pPlayer->m_strFlagName = player.pszFlag;
            pGame->m_listPlayers.push_back(std::move(pPlayer));
        }
        store.m_listGames.push_back(std::move(pGame));
    }
    if (!WriteFile(pbem + "/PBEM.data", store.Serialize()))
    {
        std::cerr << "zorvex-make-sample: cannot write " << pbem << "/PBEM.data\n";
        return 1;
    }

    for (const SSampleEvent& sample : kEvents)
    {
        CPBEMGameEvent event;
        event.m_nEventId = sample.nEventId;
        event.m_strGameId = sample.pszGameId;
        event.m_bShared = sample.nPlayer == 0;
        event.m_nPlayer = sample.nPlayer;
        event.m_nFromPlayer = sample.nFromPlayer;
        event.m_strKind = sample.pszKind;
        event.m_strText = sample.pszText;
        const std::string path = pbem + "/" + ToNativePath(MakeEventFileName(event));
        if (!WriteFile(path, BuildEscapedEventRecord(event)))
        {
            std::cerr << "zorvex-make-sample: cannot write " << path << "\n";
            return 1;
        }
    }
    std::cout << "sample installation in " << dir << "\n";
    return 0;
}
