// Painting a skinned dialog's frame: a 450 × 520 dialog with the bundled skin and a title, drawn
// into an off-screen context of its size (the whole of its WM_PAINT but the children).
#include "platform/Afx.h"
#include "ui/CustomDialog.h"
#include "ui/SkinImages.h"

#include "OffscreenBenchMain.h"
#include <benchmark/benchmark.h>

namespace
{

void BM_DrawDialogFrame(benchmark::State& state)
{
    CSkinImages skin;
    CCustomDialog dlg;
    dlg.m_bResizable = true;
    dlg.SetInitialRect(CRect(100, 100, 550, 620));
    dlg.Create(nullptr);
    dlg.SetWindowText(L"Zorvex Messenger");
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap target;
    target.CreateCompatibleBitmap(&dc, 450, 520);
    CBitmap* pOld = dc.SelectObject(&target);
    for (auto _ : state)
        dlg.DrawFrame(&dc);
    dc.SelectObject(pOld);
    dlg.DestroyWindow();
}
BENCHMARK(BM_DrawDialogFrame)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
