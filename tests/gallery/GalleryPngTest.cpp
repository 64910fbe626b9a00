// zorvex-gallery --png: one picture per window kind, each of the window's size, transparent
// exactly outside the window's shape.
#include "res/PngDecoder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace
{

class GalleryPngTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pDir = std::make_unique<CTempDir>();
        const std::string strCommand =
            std::string("'") + ZORVEX_GALLERY + "' --png '" + s_pDir->Path() + "/pictures'";
        s_nExitStatus = std::system(strCommand.c_str());
    }
    static void TearDownTestSuite() { s_pDir.reset(); }

    static CImageData Picture(const std::string& strName)
    {
        return DecodePngFile(s_pDir->WidePath() + L"/pictures/" +
                             std::wstring(strName.begin(), strName.end()) + L".png");
    }
    static int Alpha(const CImageData& image, int x, int y) { return image.GetPixel(x, y)[3]; }

    static std::unique_ptr<CTempDir> s_pDir;
    static int s_nExitStatus;
};

std::unique_ptr<CTempDir> GalleryPngTest::s_pDir;
int GalleryPngTest::s_nExitStatus = -1;

TEST_F(GalleryPngTest, EveryWindowKindHasAPictureOfItsSize)
{
    ASSERT_EQ(s_nExitStatus, 0);
    const struct
    {
        const char* pszName;
        int nWidth;
        int nHeight;
    } cases[] = {
        {"dialog-rounded", 320, 200},
        {"dialog-resizable", 400, 300},
        {"dialog-square", 300, 180},
        // One line, and two lines of 13 pixels: 130 more than the text.
        {"warning-0", 298, 143},
        {"warning-1", 298, 156},
        {"general-window", 200, 120},
        {"list-display", 300, 200},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        const CImageData image = Picture(c.pszName);
        ASSERT_FALSE(image.IsEmpty());
        EXPECT_EQ(image.m_nWidth, c.nWidth);
        EXPECT_EQ(image.m_nHeight, c.nHeight);
    }
}

TEST_F(GalleryPngTest, OnlyTheCornersOutsideTheShapeAreTransparent)
{
    ASSERT_EQ(s_nExitStatus, 0);
    const struct
    {
        const char* pszName;
        bool bRound;
    } cases[] = {
        {"dialog-rounded", true},
        {"dialog-square", false},
        {"warning-0", true},
        {"list-display", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        const CImageData image = Picture(c.pszName);
        ASSERT_FALSE(image.IsEmpty());
        const int W = image.m_nWidth;
        const int H = image.m_nHeight;
        for (const auto& [x, y] : {std::pair{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}})
        {
            EXPECT_EQ(Alpha(image, x, y), c.bRound ? 0 : 255) << x << ", " << y;
        }
        EXPECT_EQ(Alpha(image, W / 2, H / 2), 255);
        EXPECT_EQ(Alpha(image, W / 2, 0), 255);
        EXPECT_EQ(Alpha(image, 0, H / 2), 255);
        int nPartly = 0;
        for (int y = 0; y < H; ++y)
        {
            for (int x = 0; x < W; ++x)
                nPartly += Alpha(image, x, y) != 0 && Alpha(image, x, y) != 255;
        }
        EXPECT_EQ(nPartly, 0);
    }
}

} // namespace
