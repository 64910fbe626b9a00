// The start-up scan of the PBEM folder: 10,000 event files of known entries, page cache warm.
#include "base/Format.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{

constexpr int kGames = 40;
constexpr int kEventsPerGame = 250;

class CScanFixture
{
public:
    CScanFixture()
    {
        std::filesystem::create_directories(m_strRoot + "/PBEM");
        SetInstallFolder(FromNativePath(m_strRoot));

        for (int g = 0; g < kGames; ++g)
        {
            const std::wstring strGameId = FormatText(L"G%d", {1000 + g});
            const int nPlayer = 1 + g % 8;
            auto pGame = std::make_unique<CPBEMGameState>();
            pGame->m_strPlayerId = MakePlayerId(strGameId, nPlayer);
            m_manager.m_store.m_listGames.push_back(std::move(pGame));
            for (int e = 0; e < kEventsPerGame; ++e)
            {
                const int nId = 5000 + g * kEventsPerGame + e;
                const std::string name =
                    ToNativePath(FormatText(L"%s-P%02d-%d.event", {strGameId, nPlayer, nId}));
                std::ofstream(m_strRoot + "/PBEM/" + name, std::ios::binary)
                    << MakeBenchRecord(strGameId, nPlayer, nId, 30 + nId % 70, 40);
            }
        }
    }
    CPBEMMessageManager m_manager;

private:
    CBenchFolder m_folder;
    const std::string m_strRoot = m_folder.Path();
};

void BM_ScanEventFiles(benchmark::State& state)
{
    CScanFixture fixture;
    fixture.m_manager.ScanEventFiles(); // warms the page cache
    if (fixture.m_manager.m_listNewEvents.size() != std::size_t{kGames} * kEventsPerGame)
    {
        state.SkipWithError("not every event file was read");
        return;
    }
    for (auto _ : state)
    {
        state.PauseTiming();
        fixture.m_manager.m_listNewEvents.clear();
        state.ResumeTiming();
        fixture.m_manager.ScanEventFiles();
        benchmark::DoNotOptimize(fixture.m_manager.m_listNewEvents.data());
    }
    state.SetItemsProcessed(state.iterations() * kGames * kEventsPerGame);
}
BENCHMARK(BM_ScanEventFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
