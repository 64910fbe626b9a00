// The start-up scan of the PBEM folder: 10,000 event files of known entries, page cache warm.
#include "app/InstallFolder.h"
#include "base/Format.h"
#include "base/Paths.h"
#include "pbem/DataBuffer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{

constexpr int kGames = 40;
constexpr int kEventsPerGame = 250;

// A record of 100 to 300 bytes once escaped, like the server's mail and war declarations.
std::string MakeRecord(const std::wstring& strGameId, int nPlayer, int nSeed)
{
    static const char* const kinds[] = {"Mail", "IM", "DeclareWar", "OrdersSubmitted"};
    CDataBuffer record;
    record.AppendRaw("Even", 4);
    record.AppendByte(1);
    record.AppendWide(strGameId);
    record.AppendInt32(1 + nSeed % 8);
    record.AppendByte(nSeed % 5 == 0 ? 1 : 0);
    record.AppendInt32(nPlayer);
    record.AppendBytes8(kinds[nSeed % 4]);
    record.AppendWide(std::wstring(static_cast<std::size_t>(30 + nSeed % 70), L'a' + nSeed % 26));
    const int nData = nSeed % 40;
    record.AppendInt32(nData);
    record.AppendInt32(nData);
    for (int i = 0; i < nData; ++i)
        record.AppendByte(static_cast<std::uint8_t>(i * 7 + nSeed));
    return EscapeEventText(
        std::string_view(reinterpret_cast<const char*>(record.GetData()), record.GetSize()));
}

class CScanFixture
{
public:
    CScanFixture()
    {
        std::string templ =
            (std::filesystem::temp_directory_path() / "zorvex-bench-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr)
            std::abort();
        m_strRoot = templ;
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
                    << MakeRecord(strGameId, nPlayer, nId);
            }
        }
    }
    ~CScanFixture() { std::filesystem::remove_all(m_strRoot); }

    CPBEMMessageManager m_manager;

private:
    std::string m_strRoot;
};

void BM_ScanEventFiles(benchmark::State& state)
{
    CScanFixture fixture;
    fixture.m_manager.ScanEventFiles(); // warms the page cache
    if (fixture.m_manager.m_listNewEvents.size() != kGames * kEventsPerGame)
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
