// The program's start-up with many stored events of one game: the game list load, the scan of
// the PBEM folder, the handling of the first (empty) download and the taking over of the events.
// Run for 10,000, 30,000 and 100,000 event files, which shows whether it grows linearly. Also the
// reading of a language file with one long line of escapes.
#include "base/Encoding.h"
#include "base/Format.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "pbem/PBEMMessageManager.h"
#include "res/LanguageTable.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

namespace
{

const std::wstring kGameId = L"G1000";
constexpr int kPlayer = 3;

class CStartupFixture
{
public:
    explicit CStartupFixture(int nEvents)
    {
        std::filesystem::create_directories(m_folder.Path() + "/PBEM");
        SetInstallFolder(FromNativePath(m_folder.Path()));

        CPBEMGameStore disk;
        for (const int nPlayer : {kPlayer, 0})
        {
            auto pGame = std::make_unique<CPBEMGameState>();
            pGame->m_strPlayerId = MakePlayerId(kGameId, nPlayer);
            pGame->m_strInstanceId = L"I1000";
            pGame->m_nHighestEventId = static_cast<std::uint32_t>(nEvents);
            disk.m_listGames.push_back(std::move(pGame));
        }
        std::ofstream(m_folder.Path() + "/PBEM/PBEM.data", std::ios::binary) << disk.Serialize();

        for (int nId = 1; nId <= nEvents; ++nId)
        {
            const std::string name =
                ToNativePath(FormatText(L"%s-P%02d-%d.event", {kGameId, kPlayer, nId}));
            std::ofstream(m_folder.Path() + "/PBEM/" + name, std::ios::binary)
                << MakeBenchRecord(kGameId, kPlayer, nId, 30 + nId % 70, 40);
        }
    }

private:
    CBenchFolder m_folder;
};

void BM_StartupWithStoredEvents(benchmark::State& state)
{
    const int nEvents = static_cast<int>(state.range(0));
    const CStartupFixture fixture(nEvents);
    int nAnnounced = 0;
    bool bAnswerRead = true;
    for (auto _ : state)
    {
        auto pManager = std::make_unique<CPBEMMessageManager>();
        pManager->ResetAll();
        pManager->LoadAtStartup();
        pManager->ScanEventFiles();
        const SDownloadResult answered = pManager->ProcessAnswer("SanityCheck-5170382 Version01 ");
        bAnswerRead = bAnswerRead && answered.eOutcome == EDownloadOutcome::Complete;
        nAnnounced = pManager->TakeNewEvents().nCount;
        // The program keeps its events until it ends: freeing them is not part of the start.
        state.PauseTiming();
        pManager.reset();
        state.ResumeTiming();
    }
    if (!bAnswerRead)
        state.SkipWithError("the empty answer was not read whole");
    if (nAnnounced != nEvents)
        state.SkipWithError("not every stored event was announced");
    state.SetItemsProcessed(state.iterations() * nEvents);
}
BENCHMARK(BM_StartupWithStoredEvents)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The language file is read before the window opens: a line of a few megabytes of escapes must
// cost its length, not its square.
void BM_LanguageFileWithALongLineOfEscapes(benchmark::State& state)
{
    std::wstring text = L"1=";
    for (std::int64_t i = 0; i < state.range(0); ++i)
        text += L"\\r";
    text += L"\r\n";
    const std::string bytes = "\xFF\xFE" + WideToUtf16Le(text);
    for (auto _ : state)
    {
        CLanguageTable table;
        table.LoadFromBytes(bytes);
        benchmark::DoNotOptimize(table.m_arrItems);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_LanguageFileWithALongLineOfEscapes)
    ->Arg(100000)
    ->Arg(300000)
    ->Arg(1200000) // a 2.4 MB line
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
