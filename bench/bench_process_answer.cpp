// The answer of an event download: 10,000 events of about 300 bytes of escaped record each.
//
// ReadAnswer: the reading alone (answer to events), the part that grows with the answer.
// ProcessAnswerNoFolder: ProcessAnswer with the install folder lacking its PBEM folder, so every
//   write attempt fails at once: the reading plus one failed open and one stat per event.
// ProcessAnswerWritesFiles: ProcessAnswer writing 1,000 event files and the game list for real,
//   with the files removed between runs outside the timing; bound by the file system.
#include "base/Format.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "pbem/AnswerWriter.h"
#include "pbem/DownloadAnswer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{

constexpr int kGames = 40;

// One player block per game, the events spread over the games.
std::string MakeAnswer(int nEvents)
{
    CAnswerWriter writer;
    const int nPerGame = (nEvents + kGames - 1) / kGames;
    int nMade = 0;
    for (int g = 0; g < kGames && nMade < nEvents; ++g)
    {
        const std::wstring strGameId = FormatText(L"G%d", {1000 + g});
        writer.BeginPlayer(ToNativePath(strGameId));
        for (int i = 0; i < nPerGame && nMade < nEvents; ++i, ++nMade)
        {
            writer.AddEvent(static_cast<std::uint32_t>(5000 + nMade), "Solvania", "20090305",
                            "Mail",
                            MakeBenchRecord(strGameId, 1 + g % 8, nMade, 110 + nMade % 30, 16));
        }
    }
    return writer.Finish();
}

// A few entries that some events of the answer belong to.
void AddEntries(CPBEMMessageManager& manager)
{
    for (int g = 0; g < kGames; g += 10)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = MakePlayerId(FormatText(L"G%d", {1000 + g}), 1 + g % 8);
        manager.m_store.m_listGames.push_back(std::move(pGame));
    }
}

void BM_ReadAnswer(benchmark::State& state)
{
    const std::string answer = MakeAnswer(10000);
    std::vector<std::unique_ptr<CPBEMGameEvent>> events;
    EAnswerRead eRead = EAnswerRead::NotAnAnswer;
    for (auto _ : state)
    {
        events.clear();
        eRead = ReadAnswerEvents(answer, events);
        benchmark::DoNotOptimize(events.data());
    }
    if (eRead != EAnswerRead::Read || events.size() != 10000)
        state.SkipWithError("the answer was not read whole");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(answer.size()));
    state.counters["answer_bytes"] = static_cast<double>(answer.size());
}
BENCHMARK(BM_ReadAnswer)->Unit(benchmark::kMillisecond);

void BM_ProcessAnswerNoFolder(benchmark::State& state)
{
    const CBenchFolder folder;
    const std::string& strRoot = folder.Path();
    SetInstallFolder(FromNativePath(strRoot));
    const std::string answer = MakeAnswer(10000);
    CPBEMMessageManager manager;
    AddEntries(manager);
    SDownloadResult result;
    for (auto _ : state)
    {
        manager.m_listNewEvents.clear();
        result = manager.ProcessAnswer(answer);
    }
    if (result.eOutcome != EDownloadOutcome::Complete)
        state.SkipWithError("the answer was not read whole");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(answer.size()));
}
BENCHMARK(BM_ProcessAnswerNoFolder)->Unit(benchmark::kMillisecond);

void BM_ProcessAnswerWritesFiles(benchmark::State& state)
{
    const CBenchFolder folder;
    const std::string& strRoot = folder.Path();
    SetInstallFolder(FromNativePath(strRoot));
    const std::string strPbem = strRoot + "/PBEM";
    const std::string answer = MakeAnswer(1000);
    CPBEMMessageManager manager;
    AddEntries(manager);
    SDownloadResult result;
    for (auto _ : state)
    {
        state.PauseTiming();
        manager.m_listNewEvents.clear();
        std::filesystem::remove_all(strPbem);
        std::filesystem::create_directories(strPbem);
        state.ResumeTiming();
        result = manager.ProcessAnswer(answer);
    }
    if (result.eOutcome != EDownloadOutcome::Complete || result.nStored != 1000)
        state.SkipWithError("not every event was stored");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(answer.size()));
}
BENCHMARK(BM_ProcessAnswerWritesFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
