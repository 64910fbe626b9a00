// Fills an installation folder's PBEM folder with a large game list for the desktop cost
// benchmark: GAMES game entries (four players each, flags of the bundled images) and EVENTS stored
// event files spread over them, written through the model's own save code. The folder's other
// files (images, language file) come from zorvex-make-sample beforehand.
//   make_big_install DIR [GAMES [EVENTS]]        (default 100 games, 2000 event files)
#include "base/Paths.h"
#include "pbem/EventFiles.h"
#include "pbem/EventRecordWriter.h"
#include "pbem/PBEMGameStore.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{

const wchar_t* const kFlags[] = {L"Solvania.png", L"Ravenmark.png", L"Kethra.png", L"Ostrevia.png",
                                 L"Veldmoor.png", L"Ashcombe.png",  L"Tarn.png",   L"Lunegard.png"};
constexpr int kFlagCount = sizeof(kFlags) / sizeof(kFlags[0]);
constexpr int kPlayers = 4;

struct SKind
{
    const char* pszKind;
    const wchar_t* pszText;
};
const SKind kKinds[] = {{"Mail", L"Mail about the border at the Narrows"},
                        {"IM", L"Ready when you are."},
                        {"DeclareWar", L"War has been declared!"},
                        {"NewTurn", L"A new turn has begun."}};

bool WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::wstring GameId(int nGame)
{
    return L"G" + std::to_wstring(5000 + nGame);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4)
    {
        std::fprintf(stderr, "usage: %s DIR [GAMES [EVENTS]]\n", argv[0]);
        return 2;
    }
    const fs::path pbem = fs::path(argv[1]) / "PBEM";
    const int nGames = argc > 2 ? std::atoi(argv[2]) : 100;
    const int nEvents = argc > 3 ? std::atoi(argv[3]) : 2000;
    if (nGames <= 0 || nEvents < 0)
    {
        std::fprintf(stderr, "%s: GAMES must be above 0, EVENTS not below 0\n", argv[0]);
        return 2;
    }
    std::error_code error;
    fs::create_directories(pbem, error);
    // Only what is written here: the sample's own event files would change the count.
    for (const fs::directory_entry& entry : fs::directory_iterator(pbem, error))
        if (entry.path().extension() == ".event")
            fs::remove(entry.path(), error);

    // Event ids per game: 1..n, the highest stored in the game list, so nothing counts as new
    // from the server and the start-up announces the stored files only.
    std::vector<int> eventsOfGame(static_cast<std::size_t>(nGames), nEvents / nGames);
    for (int i = 0; i < nEvents % nGames; ++i)
        ++eventsOfGame[static_cast<std::size_t>(i)];

    CPBEMGameStore store;
    store.SetAccount(L"bench.player", L"secret");
    for (int nGame = 0; nGame < nGames; ++nGame)
    {
        const int nMe = 1 + nGame % kPlayers;
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = MakePlayerId(GameId(nGame), nMe);
        pGame->m_strInstanceId = L"I-" + std::to_wstring(5000 + nGame);
        pGame->m_strPassword = L"pw" + std::to_wstring(nGame);
        pGame->m_strFlagName = kFlags[(nGame + nMe) % kFlagCount];
        pGame->m_nTurn = 1 + nGame % 30;
        pGame->m_nHighestEventId = static_cast<std::uint32_t>(eventsOfGame[std::size_t(nGame)]);
        for (int nPlayer = 1; nPlayer <= kPlayers; ++nPlayer)
        {
            auto pPlayer = std::make_unique<CPBEMGamePlayer>();
            pPlayer->m_nPlayer = nPlayer;
            pPlayer->m_strFlagName = kFlags[(nGame + nPlayer) % kFlagCount];
            pGame->m_listPlayers.push_back(std::move(pPlayer));
        }
        store.m_listGames.push_back(std::move(pGame));
    }
    if (!WriteBytes(pbem / "PBEM.data", store.Serialize()))
    {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], (pbem / "PBEM.data").c_str());
        return 1;
    }

    for (int nGame = 0; nGame < nGames; ++nGame)
    {
        const int nMe = 1 + nGame % kPlayers;
        for (int nId = 1; nId <= eventsOfGame[std::size_t(nGame)]; ++nId)
        {
            const SKind& kind = kKinds[nId % 4];
            CPBEMGameEvent event;
            event.m_nEventId = static_cast<std::uint32_t>(nId);
            event.m_strGameId = GameId(nGame);
            event.m_nPlayer = nMe;
            event.m_nFromPlayer = 1 + (nMe + nId) % kPlayers;
            event.m_strKind = kind.pszKind;
            event.m_strText = kind.pszText;
            const fs::path path = pbem / ToNativePath(MakeEventFileName(event));
            if (!WriteBytes(path, BuildEscapedEventRecord(event)))
            {
                std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
                return 1;
            }
        }
    }
    std::printf("%d games, %d event files in %s\n", nGames, nEvents, pbem.c_str());
    return 0;
}
