// The bundled pictures: each decodes with the program's own loader at a size its place in the
// windows allows, the frame pieces fit together, and the files are exactly what the generator
// makes (so a hand-edited or stale file is caught).
#include "ImageSet.h"
#include "res/ImageDecode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace
{

namespace fs = std::filesystem;

const fs::path ASSETS = ZORVEX_ASSETS_DIR;

CImageData Decode(const fs::path& path)
{
    return DecodeImageFile(path.wstring());
}

CImageData DecodeAsset(const std::string& strRelative)
{
    return Decode(ASSETS / strRelative);
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsKey(const CImageData& image, int x, int y)
{
    const std::uint8_t* p = image.GetPixel(x, y);
    return p[0] == 255 && p[1] == 0 && p[2] == 255;
}

struct SSizeCase
{
    const char* pszPath;
    int nMinW, nMaxW, nMinH, nMaxH;
};

void PrintTo(const SSizeCase& c, std::ostream* os)
{
    *os << c.pszPath;
}

#define SKIN "Data/Skins/Default/"
#define IMAGES "Data/Images/"
#define FLAGS "Data/Images/Flags/"

// Where each picture goes and why its size is bounded so.
const SSizeCase SIZE_CASES[] = {
    {SKIN "ButtonBlank90.bmp", 90, 90, 28, 28}, // face of the 90 × 28 bottom buttons
    // Title buttons are 19 × 19 windows.
    {SKIN "ButtonClose.bmp", 19, 19, 19, 19},
    {SKIN "ButtonCloseHover.bmp", 19, 19, 19, 19},
    {SKIN "ButtonMaximize.bmp", 19, 19, 19, 19},
    {SKIN "ButtonMaxHover.bmp", 19, 19, 19, 19},
    {SKIN "ButtonMinimize.bmp", 19, 19, 19, 19},
    {SKIN "ButtonMinHover.bmp", 19, 19, 19, 19},
    {SKIN "ButtonHelp.bmp", 19, 19, 19, 19},
    {SKIN "ButtonHelpHover.bmp", 19, 19, 19, 19},
    {SKIN "DialogBackground.bmp", 1, 64, 1, 64},
    // Left ends: the title starts 4 pixels before their end, and near the content's x 10.
    {SKIN "DialogIconNone.bmp", 8, 16, 22, 27},
    {SKIN "DialogIconNone_Square.bmp", 8, 16, 22, 27},
    {SKIN "DialogUR_Square.bmp", 8, 26, 22, 27},
    {SKIN "DialogUR.bmp", 8, 26, 22, 27},
    // Lower corners hold the 8-pixel curve of the 16 × 16 corner ellipse, within the margin.
    {SKIN "DialogLL.bmp", 8, 16, 8, 16},
    {SKIN "DialogLL_Square.bmp", 8, 16, 8, 16},
    {SKIN "DialogLR.bmp", 8, 16, 8, 16},
    {SKIN "DialogLR_Square.bmp", 8, 16, 8, 16},
    {SKIN "DialogLR_Resize.bmp", 8, 16, 8, 16},
    {SKIN "Dialog0UL.bmp", 1, 64, 1, 64},
    {SKIN "DialogUR_NoBorder.bmp", 8, 16, 22, 27},
    {SKIN "Dialog0UR_Square.bmp", 1, 64, 1, 64},
    {SKIN "Dialog0UR.bmp", 1, 64, 1, 64},
    // The strip behind the title is cut, never stretched: it must be wider than a title.
    {SKIN "DialogTop_NoBorder.bmp", 300, 2048, 22, 27},
    {SKIN "Dialog0Top.bmp", 1, 64, 1, 64},
    // Its height is the title bar: text at y 7, buttons at y 3 to 22, caption band 25.
    {SKIN "DialogTop.bmp", 300, 2048, 22, 27},
    // Edges stay clear of the main window's content, 10 pixels in from each side.
    {SKIN "DialogBottom.bmp", 1, 64, 2, 10},
    {SKIN "DialogLeft.bmp", 2, 10, 1, 64},
    {SKIN "DialogRight.bmp", 2, 10, 1, 64},
    {SKIN "DialogTopDivider.bmp", 1, 16, 1, 27},
    {SKIN "DialogTopDivider_NoBorder.bmp", 1, 16, 1, 27},
    // Check boxes at (8, 8) in a 25-pixel row, and at (5, 8) in the looking-for-games box.
    {SKIN "Check1.bmp", 9, 13, 9, 13},
    {SKIN "Check2.bmp", 9, 13, 9, 13},
    {SKIN "Button-White-100.png", 96, 101, 22, 26}, // the 101 × 26 "Send Message" button
    {IMAGES "User-small.png", 12, 20, 12, 20},
    {IMAGES "Message.bmp", 10, 18, 10, 18},
    {IMAGES "Dropdown.bmp", 5, 11, 3, 7}, // at y 11 in a 25-pixel button
    {IMAGES "Add.bmp", 10, 18, 10, 18},
    {IMAGES "Back-Small.bmp", 8, 20, 8, 23},   // at (3, 2) in a 23 × 25 button
    {IMAGES "FlagNeutral.png", 14, 18, 9, 13}, // at (4, 7) in a game row, text at 27
    {IMAGES "UI-Yield.png", 8, 15, 8, 14},     // at (27, 24), its text at 42
    {IMAGES "Globe13x13.bmp", 13, 13, 13, 13},
    {IMAGES "Clock.bmp", 10, 15, 10, 15}, // at y 7 in a 22-pixel event row
    {IMAGES "Chat.bmp", 10, 15, 10, 15},
    {IMAGES "Mail-17x11.png", 17, 17, 11, 11},
    {IMAGES "Target2.bmp", 10, 15, 10, 16},     // at y 5 in a 22-pixel event row
    {IMAGES "Help.bmp", 10, 19, 10, 19},        // at (7, 5) in a 25-pixel row, text at 27
    {IMAGES "WarningIcon.bmp", 36, 43, 36, 43}, // at (0, 0) in a 43 × 43 label
    {IMAGES "IconCheck.bmp", 24, 36, 24, 36},   // at (7, 7) in a 43 × 43 label
    {FLAGS "Solvania.png", 14, 18, 9, 13},
    {FLAGS "Ravenmark.png", 14, 18, 9, 13},
    {FLAGS "Kethra.png", 14, 18, 9, 13},
    {FLAGS "Ostrevia.png", 14, 18, 9, 13},
    {FLAGS "Veldmoor.png", 14, 18, 9, 13},
    {FLAGS "Ashcombe.png", 14, 18, 9, 13},
    {FLAGS "Tarn.png", 14, 18, 9, 13},
    {FLAGS "Lunegard.png", 14, 18, 9, 13},
};

class AssetSizeTest : public testing::TestWithParam<SSizeCase>
{
};

TEST_P(AssetSizeTest, DecodesAtASizeThatFitsItsPlace)
{
    const SSizeCase& c = GetParam();
    const CImageData image = DecodeAsset(c.pszPath);
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_GE(image.m_nWidth, c.nMinW);
    EXPECT_LE(image.m_nWidth, c.nMaxW);
    EXPECT_GE(image.m_nHeight, c.nMinH);
    EXPECT_LE(image.m_nHeight, c.nMaxH);
}

INSTANTIATE_TEST_SUITE_P(Bundled, AssetSizeTest, testing::ValuesIn(SIZE_CASES),
                         [](const testing::TestParamInfo<SSizeCase>& info)
                         {
                             std::string name = fs::path(info.param.pszPath).stem().string();
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(AssetsTest, ProgramIconsComeInEveryTraySize)
{
    for (const char* pszIcon : {"icon128", "icon134"})
        for (const int nSize : {16, 22, 24, 32, 48, 64})
        {
            const std::string strPath =
                std::string("Data/Icons/") + pszIcon + "-" + std::to_string(nSize) + ".png";
            SCOPED_TRACE(strPath);
            const CImageData image = DecodeAsset(strPath);
            ASSERT_FALSE(image.IsEmpty());
            EXPECT_EQ(image.m_nWidth, nSize);
            EXPECT_EQ(image.m_nHeight, nSize);
        }
}

TEST(AssetsTest, TitleBarPiecesShareTheTitleBarHeight)
{
    const int nHeight = DecodeAsset(SKIN "DialogTop.bmp").m_nHeight;
    for (const char* pszName :
         {"DialogIconNone.bmp", "DialogIconNone_Square.bmp", "DialogUR.bmp", "DialogUR_Square.bmp",
          "DialogTop_NoBorder.bmp", "DialogUR_NoBorder.bmp"})
        EXPECT_EQ(DecodeAsset(std::string(SKIN) + pszName).m_nHeight, nHeight) << pszName;
}

// Frame pieces are copied without the colour key, so magenta may stand only where the rounded
// window region cuts the corner off: within 5 steps of the window's corner pixel.
TEST(AssetsTest, FramePiecesShowNoKeyColourInsideTheWindow)
{
    enum ECorner
    {
        NONE,
        TOP_LEFT,
        TOP_RIGHT,
        BOTTOM_LEFT,
        BOTTOM_RIGHT
    };
    const std::pair<const char*, ECorner> pieces[] = {
        {"DialogBackground.bmp", NONE},
        {"DialogIconNone.bmp", TOP_LEFT},
        {"DialogIconNone_Square.bmp", NONE},
        {"DialogUR_Square.bmp", NONE},
        {"DialogUR.bmp", TOP_RIGHT},
        {"DialogLL.bmp", BOTTOM_LEFT},
        {"DialogLL_Square.bmp", NONE},
        {"DialogLR.bmp", BOTTOM_RIGHT},
        {"DialogLR_Square.bmp", NONE},
        {"DialogLR_Resize.bmp", BOTTOM_RIGHT},
        {"DialogUR_NoBorder.bmp", NONE},
        {"DialogTop_NoBorder.bmp", NONE},
        {"DialogTop.bmp", NONE},
        {"DialogBottom.bmp", NONE},
        {"DialogLeft.bmp", NONE},
        {"DialogRight.bmp", NONE},
    };
    for (const auto& [pszName, eCorner] : pieces)
    {
        SCOPED_TRACE(pszName);
        const CImageData image = DecodeAsset(std::string(SKIN) + pszName);
        ASSERT_FALSE(image.IsEmpty());
        const int w = image.m_nWidth;
        const int h = image.m_nHeight;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                if (!IsKey(image, x, y))
                    continue;
                const int dx = eCorner == TOP_RIGHT || eCorner == BOTTOM_RIGHT ? w - 1 - x : x;
                const int dy = eCorner == BOTTOM_LEFT || eCorner == BOTTOM_RIGHT ? h - 1 - y : y;
                EXPECT_TRUE(eCorner != NONE && dx + dy <= 5) << "key at " << x << ", " << y;
            }
    }
}

// Alpha survives only as what the loader makes of it: the flags are flattened onto black (so
// they must be opaque), the neutral flag and the yield sign onto magenta (so a half-transparent
// pixel would turn pink).
TEST(AssetsTest, PngAlphaSuitsTheBackgroundItIsFlattenedOnto)
{
    const std::pair<const char*, bool> cases[] = {
        {IMAGES "FlagNeutral.png", true}, {IMAGES "UI-Yield.png", true},
        {FLAGS "Solvania.png", false},    {FLAGS "Ravenmark.png", false},
        {FLAGS "Kethra.png", false},      {FLAGS "Ostrevia.png", false},
        {FLAGS "Veldmoor.png", false},    {FLAGS "Ashcombe.png", false},
        {FLAGS "Tarn.png", false},        {FLAGS "Lunegard.png", false},
    };
    for (const auto& [pszPath, bClearAllowed] : cases)
    {
        SCOPED_TRACE(pszPath);
        const CImageData image = DecodeAsset(pszPath);
        ASSERT_FALSE(image.IsEmpty());
        for (int y = 0; y < image.m_nHeight; ++y)
            for (int x = 0; x < image.m_nWidth; ++x)
            {
                const int a = image.GetPixel(x, y)[3];
                EXPECT_TRUE(a == 255 || (bClearAllowed && a == 0)) << x << ", " << y << ": " << a;
            }
    }
}

TEST(AssetsTest, FilesDecodeToTheGeneratedPixels)
{
    for (const SImageFile& file : BuildImageSet())
    {
        SCOPED_TRACE(file.strPath);
        const CImageData image = DecodeAsset(file.strPath);
        ASSERT_FALSE(image.IsEmpty());
        ASSERT_EQ(image.m_nWidth, file.canvas.Width());
        ASSERT_EQ(image.m_nHeight, file.canvas.Height());
        int nDifferent = 0;
        for (int y = 0; y < image.m_nHeight; ++y)
            for (int x = 0; x < image.m_nWidth; ++x)
            {
                const std::uint8_t* p = image.GetPixel(x, y);
                const SColour c = file.canvas.Get(x, y);
                nDifferent += p[0] != c.r || p[1] != c.g || p[2] != c.b || p[3] != c.a;
            }
        EXPECT_EQ(nDifferent, 0);
    }
}

TEST(AssetsTest, GeneratorRewritesTheBundledFilesByteForByte)
{
    CTempDir dir;
    const ImageSet set = BuildImageSet();
    ASSERT_TRUE(WriteImageSet(set, dir.Path()).empty());
    std::set<std::string> generated;
    for (const SImageFile& file : set)
    {
        SCOPED_TRACE(file.strPath);
        generated.insert(file.strPath);
        const std::string bytes = ReadBytes(fs::path(dir.Path()) / file.strPath);
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(bytes == ReadBytes(ASSETS / file.strPath))
            << "differs from the generator's output; run zorvex-make-images assets";
    }
    // No picture in the bundle that the generator does not make (a stale or renamed file).
    for (const auto& entry : fs::recursive_directory_iterator(ASSETS / "Data"))
    {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".bmp" || ext == ".png"))
        {
            EXPECT_TRUE(generated.contains(fs::relative(entry.path(), ASSETS).generic_string()))
                << entry.path();
        }
    }
}

} // namespace
