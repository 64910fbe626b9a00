// Loading a window's skin: 50 small images, half BMP and half PNG with alpha, decoded from files
// (page cache warm) and flattened against magenta.
#include "../tests/res/ImageFixtures.h"

#include "base/Format.h"
#include "base/Paths.h"
#include "res/AlphaFlatten.h"
#include "res/ImageDecode.h"
#include "res/MaskedBitmap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

constexpr int kImages = 50;

class CSkinFixture
{
public:
    CSkinFixture()
    {
        std::string templ =
            (std::filesystem::temp_directory_path() / "zorvex-bench-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr)
            std::abort();
        m_strRoot = templ;
        for (int i = 0; i < kImages; ++i)
        {
            // From 16 × 16 up to 90 × 28, like button faces, frame pieces and flags.
            const int nWidth = 16 + (i * 37) % 75;
            const int nHeight = 16 + (i * 5) % 13;
            std::string bytes;
            std::wstring strName;
            if (i % 2 == 0)
            {
                std::vector<std::uint32_t> pixels;
                for (int p = 0; p < nWidth * nHeight; ++p)
                    pixels.push_back(p % 7 == 0
                                         ? 0xFF00FF
                                         : static_cast<std::uint32_t>(p * 2654435761u) & 0xFFFFFF);
                bytes = fixtures::MakeBmp24(nWidth, nHeight, pixels);
                strName = FormatText(L"Image%d.bmp", {i});
            }
            else
            {
                std::string rgba;
                for (int p = 0; p < nWidth * nHeight; ++p)
                    rgba +=
                        {static_cast<char>(p), static_cast<char>(p / 3), static_cast<char>(i * 5),
                         static_cast<char>(p % 5 == 0   ? 0
                                           : p % 3 == 0 ? 128
                                                        : 255)};
                bytes = fixtures::MakePngRgba(nWidth, nHeight, rgba);
                strName = FormatText(L"Image%d.png", {i});
            }
            const std::wstring strPath = JoinPath(FromNativePath(m_strRoot), strName);
            std::ofstream(ToNativePath(strPath), std::ios::binary) << bytes;
            m_paths.push_back(strPath);
        }
    }
    ~CSkinFixture() { std::filesystem::remove_all(m_strRoot); }

    std::string m_strRoot;
    std::vector<std::wstring> m_paths;
};

void BM_DecodeAndFlattenSkin(benchmark::State& state)
{
    static CSkinFixture fixture;
    for (auto _ : state)
    {
        std::size_t nPixels = 0;
        for (const std::wstring& strPath : fixture.m_paths)
        {
            const CImageData image = DecodeImageFile(strPath);
            const std::vector<std::uint32_t> pixels = FlattenAlpha(image, MakeRgb(255, 0, 255));
            if (pixels.empty())
                state.SkipWithError("an image did not decode");
            nPixels += pixels.size();
            benchmark::DoNotOptimize(pixels.data());
        }
        benchmark::DoNotOptimize(nPixels);
    }
    state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_DecodeAndFlattenSkin)->Unit(benchmark::kMillisecond);

// The real skin set made into bitmaps, as a window loads it: 50 loads, going round the skin's
// files, into bitmaps that already hold a picture (the old one is released first).
void BM_LoadSkinIntoMaskedBitmaps(benchmark::State& state)
{
    std::vector<std::wstring> files;
    for (const auto& entry : std::filesystem::directory_iterator(ZORVEX_SKIN_DIR))
        files.push_back(FromNativePath(entry.path().string()));
    std::sort(files.begin(), files.end());
    if (files.empty())
    {
        state.SkipWithError("no skin images");
        return;
    }
    std::vector<CMaskedBitmap> bitmaps(kImages);
    for (auto _ : state)
    {
        for (int i = 0; i < kImages; ++i)
        {
            const std::wstring& strPath = files[static_cast<std::size_t>(i) % files.size()];
            if (!bitmaps[static_cast<std::size_t>(i)].Load(strPath, MakeRgb(255, 0, 255)))
                state.SkipWithError("a skin image did not load");
        }
    }
    state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_LoadSkinIntoMaskedBitmaps)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
