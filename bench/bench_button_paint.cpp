// Painting skinned buttons: one button with two images and two text items, repainted through the
// window system (WM_PAINT, owner drawing, the off-screen context) 1,000 times; and the
// transparent copy of one image on its own.
#include "platform/Afx.h"
#include "res/MaskedBitmap.h"
#include "ui/VelButton.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{

// A w × h picture with a magenta border, like the skin's icons.
std::unique_ptr<CMaskedBitmap> MakeIcon(int nWidth, int nHeight, std::uint32_t nColour)
{
    auto pBitmap = std::make_unique<CMaskedBitmap>();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(nWidth) * nHeight);
    for (int y = 0; y < nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x)
        {
            const bool bBorder = x < 2 || y < 2 || x >= nWidth - 2 || y >= nHeight - 2;
            pixels[static_cast<std::size_t>(y) * nWidth + x] = bBorder ? 0xFF00FF : nColour + x;
        }
    }
    pBitmap->CreateFromPixels(nWidth, nHeight, pixels.data());
    pBitmap->m_nWidth = nWidth;
    pBitmap->m_nHeight = nHeight;
    return pBitmap;
}

void BM_PaintButtonThousandTimes(benchmark::State& state)
{
    CWnd parent;
    parent.CreateEx(0, nullptr, L"bench", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, nullptr, 0);
    CVelButton button;
    button.Create(L"Game 12345", WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 40), &parent, 1000);
    button.AddImage(MakeIcon(24, 24, 0x336699).release(), 3, 3, true);
    button.AddImage(MakeIcon(16, 11, 0xCC3300).release(), 170, 10, true);
    button.AddText(L"Turn 7", 90, 4);
    button.AddText(L"3 new events", 90, 17)->m_nWidth = 70;
    for (auto _ : state)
    {
        for (int i = 0; i < 1000; ++i)
            button.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    button.DestroyWindow();
    parent.DestroyWindow();
}
BENCHMARK(BM_PaintButtonThousandTimes)->Unit(benchmark::kMillisecond);

// One 24 × 24 image with the colour key, onto a memory context.
void BM_TransparentImage(benchmark::State& state)
{
    const auto pIcon = MakeIcon(24, 24, 0x336699);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap target;
    target.CreateCompatibleBitmap(&dc, 200, 30);
    CBitmap* pOld = dc.SelectObject(&target);
    for (auto _ : state)
        pIcon->DrawTransparent(&dc, 3, 3, RGB(255, 0, 255));
    dc.SelectObject(pOld);
}
BENCHMARK(BM_TransparentImage);

} // namespace

int main(int argc, char** argv)
{
    // No display needed: the windows are drawn off-screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    InitPlatform(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ExitPlatform();
    return 0;
}
