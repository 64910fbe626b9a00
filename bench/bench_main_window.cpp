// The main window's two heavy moments, with the bundled skin off screen:
// - opening a game with 1,000 events: view 3 rebuilt (1,000 row windows made, the old ones
//   destroyed) and the window painted by the event loop;
// - rebuilding the game list (view 0) with 100 games, painted the same way.
// The store is built in memory; nothing is read from or written to disk.
#include "mainwnd/ZorvexMessengerDlg.h"
#include "pbem/PBEMMessageManager.h"
#include "platform/Afx.h"
#include "res/FlagImages.h"
#include "ui/SkinImages.h"

#include <QCoreApplication>

#include "OffscreenBenchMain.h"
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace
{

class CBenchMessengerDlg : public CZorvexMessengerDlg
{
protected:
    void CreateGameFolder() override {}
    void LoadGameList() override {}
    void StartPolling() override {}
};

// The program's long-lived objects, made as main() makes them.
struct SProgram
{
    CBitmapFlagLoader flagLoader;
    CFlagImageLoaderScope flagScope{flagLoader};
    CPBEMMessageManager manager;
    CMessageManagerScope managerScope{manager};
    CSkinImages skin;
    CBenchMessengerDlg dlg;

    SProgram(int nGames, int nEventsPerGame)
    {
        static const char* const kKinds[] = {"IM", "Mail", "DeclareWar", "Alliance"};
        for (int g = 0; g < nGames; ++g)
        {
            auto pGame = std::make_unique<CPBEMGameState>();
            // Player 3 of the game: a shared entry (player 00) would list no events.
            pGame->m_strPlayerId = L"G" + std::to_wstring(1000 + g) + L"03";
            pGame->m_strInstanceId = L"I" + std::to_wstring(g);
            pGame->m_strFlagName = L"Flag" + std::to_wstring(g % 8);
            for (int e = 0; e < nEventsPerGame; ++e)
            {
                auto pEvent = std::make_unique<CPBEMGameEvent>();
                pEvent->m_nEventId = static_cast<std::uint32_t>(e + 1);
                pEvent->m_nFromPlayer = e % 7;
                pEvent->m_strKind = kKinds[e % 4];
                pEvent->m_strText = L"Turn " + std::to_wstring(e) + L": the fleet has arrived.";
                pGame->m_listEvents.push_back(std::move(pEvent));
            }
            manager.m_store.m_listGames.push_back(std::move(pGame));
        }
        dlg.SetInitialRect(CRect(100, 100, 420, 700));
        dlg.Create(nullptr);
        dlg.ShowWindow(SW_SHOW);
    }
    ~SProgram() { dlg.DestroyWindow(); }

    // What the program's event loop does after the handler: the deferred deletions and the
    // painting of what shows (the rows inside the list's view), as on a screen.
    static void LetTheLoopPaint() { QCoreApplication::processEvents(); }
};

void BM_OpenGameWith1000Events(benchmark::State& state)
{
    SProgram program(1, 1000);
    program.dlg.m_strCurrentGame = L"G100003";
    for (auto _ : state)
    {
        program.dlg.SwitchView(VIEW_GAME);
        program.LetTheLoopPaint();
    }
    state.counters["rows"] = static_cast<double>(program.dlg.m_listRows.size());
}
BENCHMARK(BM_OpenGameWith1000Events)->Unit(benchmark::kMillisecond);

void BM_RebuildGameListWith100Games(benchmark::State& state)
{
    SProgram program(100, 3);
    program.dlg.SwitchView(VIEW_GAME_LIST);
    program.LetTheLoopPaint();
    for (auto _ : state)
    {
        program.dlg.Rebuild();
        program.LetTheLoopPaint();
    }
    state.counters["rows"] = static_cast<double>(program.dlg.m_listRows.size());
}
BENCHMARK(BM_RebuildGameListWith100Games)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
