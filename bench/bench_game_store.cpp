// Load and save of a large game list: 1,000 games of 8 players each.
#include "pbem/PBEMGameStore.h"

#include "base/Format.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{

void FillStore(CPBEMGameStore& store)
{
    store.SetAccount(L"someone", L"secret");
    for (int nGame = 0; nGame < 1000; ++nGame)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = FormatText(L"Game%d-P%02d", {nGame, 1 + nGame % 8});
        pGame->m_strInstanceId = FormatText(L"Instance%d", {nGame});
        pGame->m_strAuxText = L"Scenario: The Long Campaign";
        pGame->m_strPassword = L"pa55word";
        pGame->m_strFlagName = L"flag_empire.png";
        pGame->m_strAnsiText = L"R\u00E9sum\u00E9 of the game";
        pGame->m_nTurn = nGame;
        pGame->m_nHighestEventId = static_cast<std::uint32_t>(nGame * 10);
        for (int nPlayer = 1; nPlayer <= 8; ++nPlayer)
        {
            auto pPlayer = std::make_unique<CPBEMGamePlayer>();
            pPlayer->m_nPlayer = nPlayer;
            pPlayer->m_strFlagName = FormatText(L"flag_%d.png", {nPlayer});
            pPlayer->m_strAnsiText = "Player name";
            pGame->m_listPlayers.push_back(std::move(pPlayer));
        }
        store.m_listGames.push_back(std::move(pGame));
    }
}

void BM_LoadAndSave(benchmark::State& state)
{
    const char* pszBase = std::getenv("TMPDIR");
    const std::filesystem::path folder =
        std::filesystem::path(pszBase != nullptr && *pszBase ? pszBase : "/tmp") /
        "zorvex-bench-game-store";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "PBEM.data";
    std::filesystem::remove(file);

    CPBEMGameStore store;
    store.SetFilePath(file.wstring());
    FillStore(store);
    if (!store.OpenLocked() || !store.Save())
    {
        state.SkipWithError("cannot write the game list");
        return;
    }
    const auto nBytes = std::filesystem::file_size(file);

    for (auto _ : state)
    {
        store.Clear();
        if (!store.Load() || store.m_listGames.size() != 1000 || !store.Save())
        {
            state.SkipWithError("load or save failed");
            break;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(nBytes);
    store.CloseLocked();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadAndSave)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
