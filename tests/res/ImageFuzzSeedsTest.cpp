// The seed images of the fuzz targets fuzz_bmp and fuzz_png. Writing them is not run by default:
//   ZORVEX_IMAGE_SEED_DIR=fuzz/corpus test_res --gtest_also_run_disabled_tests
//   --gtest_filter='*WriteFuzzSeeds*'
#include "res/BmpDecoder.h"
#include "res/ImageFixtures.h"
#include "res/PngDecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

std::vector<std::pair<std::string, std::string>> BmpSeeds()
{
    using namespace fixtures;
    std::vector<std::pair<std::string, std::string>> seeds;
    seeds.emplace_back(
        "rgb24.bmp", MakeBmp24(3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF00FF, 0xFFFFFF, 0x000000}));
    CBmpDesc pal;
    pal.nWidth = 5;
    pal.nHeight = 2;
    pal.nBits = 8;
    pal.nColoursUsed = 3;
    pal.palette = {0xFF00FF, 0x102030, 0xFFFFFF};
    pal.rows = {std::string("\0\1\2\1\0", 5), std::string("\2\2\1\0\1", 5)};
    seeds.emplace_back("pal8.bmp", MakeBmp(pal));
    CBmpDesc top;
    top.nWidth = 2;
    top.nHeight = -2;
    top.nBits = 32;
    top.rows = {std::string("\1\2\3\0\4\5\6\0", 8), std::string("\7\10\11\0\12\13\14\0", 8)};
    seeds.emplace_back("topdown32.bmp", MakeBmp(top));
    CBmpDesc v5 = top;
    v5.nHeight = 2;
    v5.nInfoSize = 124;
    v5.nCompression = 3;
    v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    v5.rows = {std::string("\1\2\3\200\4\5\6\377", 8), std::string("\7\10\11\0\12\13\14\20", 8)};
    seeds.emplace_back("v5alpha32.bmp", MakeBmp(v5));
    CBmpDesc fields = top;
    fields.nCompression = 3;
    fields.masks = {0x7C00, 0x03E0, 0x001F};
    seeds.emplace_back("bitfields32.bmp", MakeBmp(fields));
    return seeds;
}

std::vector<std::pair<std::string, std::string>> PngSeeds()
{
    using namespace fixtures;
    std::vector<std::pair<std::string, std::string>> seeds;
    seeds.emplace_back("rgba.png", MakePngRgba(2, 2,
                                               std::string("\377\0\0\377\0\377\0\200"
                                                           "\0\0\377\0\377\377\377\377",
                                                           16)));
    CPngDesc grey;
    grey.nWidth = 9;
    grey.nHeight = 2;
    grey.nColourType = PNG_COLOR_TYPE_GRAY;
    grey.nBitDepth = 1;
    grey.rows = {std::string("\xA5\x80", 2), std::string("\x5A\x00", 2)};
    grey.gamma = 1.0;
    seeds.emplace_back("grey1-gamma.png", MakePng(grey));
    CPngDesc pal;
    pal.nWidth = 3;
    pal.nHeight = 1;
    pal.nColourType = PNG_COLOR_TYPE_PALETTE;
    pal.palette = {{255, 0, 255}, {10, 20, 30}, {200, 100, 50}};
    pal.paletteAlpha = {0, 128};
    pal.rows = {std::string("\0\1\2", 3)};
    seeds.emplace_back("palette-trns.png", MakePng(pal));
    CPngDesc greyAlpha;
    greyAlpha.nWidth = 2;
    greyAlpha.nHeight = 1;
    greyAlpha.nColourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.nBitDepth = 16;
    greyAlpha.rows = {std::string("\x80\x00\xFF\xFF\xFF\xFF\x00\x00", 8)};
    greyAlpha.background = png_color_16{0, 0, 0, 0, 0x4000};
    seeds.emplace_back("greyalpha16-bkgd.png", MakePng(greyAlpha));
    CPngDesc interlaced;
    interlaced.nWidth = 3;
    interlaced.nHeight = 3;
    interlaced.nColourType = PNG_COLOR_TYPE_RGB;
    interlaced.bInterlaced = true;
    interlaced.rows.assign(3, std::string("\1\2\3\4\5\6\7\10\11", 9));
    seeds.emplace_back("interlaced-rgb.png", MakePng(interlaced));
    return seeds;
}

void WriteSeeds(const std::filesystem::path& folder,
                const std::vector<std::pair<std::string, std::string>>& seeds)
{
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : seeds)
        std::ofstream(folder / name, std::ios::binary) << bytes;
}

TEST(ImageFuzzSeedsTest, SeedsDecode)
{
    for (const auto& [name, bytes] : BmpSeeds())
        EXPECT_FALSE(DecodeBmpMemory(fixtures::AsBytes(bytes)).IsEmpty()) << name;
    for (const auto& [name, bytes] : PngSeeds())
        EXPECT_FALSE(DecodePngMemory(fixtures::AsBytes(bytes)).IsEmpty()) << name;
}

TEST(ImageFuzzSeedsTest, DISABLED_WriteFuzzSeeds)
{
    const char* pszFolder = std::getenv("ZORVEX_IMAGE_SEED_DIR");
    ASSERT_NE(pszFolder, nullptr);
    WriteSeeds(std::filesystem::path(pszFolder) / "bmp", BmpSeeds());
    WriteSeeds(std::filesystem::path(pszFolder) / "png", PngSeeds());
}

} // namespace
