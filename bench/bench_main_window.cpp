// The main window's heavy moments, with the bundled skin off screen:
// - opening a game with 1,000 or 25,000 events, or with one event of 100,000 lines: view 3
//   rebuilt (the old rows destroyed) and the window painted by the event loop;
// - rebuilding the game list (view 0) with 100 or 20,000 games, painted the same way;
// - scrolling a long list by the wheel, a notch at a time.
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

    SProgram(int nGames, int nEventsPerGame, int nLinesPerEvent = 1)
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
                for (int l = 1; l < nLinesPerEvent; ++l)
                    pEvent->m_strText += L"\nLine " + std::to_wstring(l) + L" of the report.";
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

// Opening the one game of the store: range(0) events of range(1) lines each.
void BM_OpenGame(benchmark::State& state)
{
    SProgram program(1, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    program.dlg.m_strCurrentGame = L"G100003";
    for (auto _ : state)
    {
        program.dlg.SwitchView(EView::Game);
        program.LetTheLoopPaint();
    }
    state.counters["rows"] = static_cast<double>(program.dlg.m_listRows.size());
}
BENCHMARK(BM_OpenGame)
    ->ArgNames({"events", "lines"})
    ->Args({1000, 1})
    ->Args({25000, 1})
    ->Args({1, 100000})
    ->Unit(benchmark::kMillisecond);

// Rebuilding the game list of range(0) games.
void BM_RebuildGameList(benchmark::State& state)
{
    SProgram program(static_cast<int>(state.range(0)), 3);
    program.dlg.SwitchView(EView::GameList);
    program.LetTheLoopPaint();
    for (auto _ : state)
    {
        program.dlg.Rebuild();
        program.LetTheLoopPaint();
    }
    state.counters["rows"] = static_cast<double>(program.dlg.m_listRows.size());
}
BENCHMARK(BM_RebuildGameList)
    ->ArgName("games")
    ->Arg(100)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);

// One wheel notch down the list of 20,000 games (back to the top at the end), painted.
void BM_WheelThroughGameList(benchmark::State& state)
{
    SProgram program(20000, 3);
    program.dlg.SwitchView(EView::GameList);
    program.LetTheLoopPaint();
    CGeneralSubWindow& list = program.dlg.m_wndList;
    for (auto _ : state)
    {
        if (list.GetScrollY() + list.GetViewSize().cy >= list.GetContentSize().cy)
            list.ScrollBy(0, -list.GetScrollY());
        list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        program.LetTheLoopPaint();
    }
    state.counters["rows"] = static_cast<double>(program.dlg.m_listRows.size());
}
BENCHMARK(BM_WheelThroughGameList)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
