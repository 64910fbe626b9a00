// Drawing a CMaskedBitmap: whole, cut, and with a colour key.
#include "res/MaskedBitmap.h"

#include "UiTest.h"
#include "res/ImageFixtures.h"
#include "support/TempDir.h"

namespace
{

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGrey = RGB(90, 90, 90);

// 3 × 2, rows top to bottom: red, magenta, green / magenta, blue, white (0x00RRGGBB).
const std::vector<std::uint32_t> kPixels = {0xFF0000, 0xFF00FF, 0x00FF00,
                                            0xFF00FF, 0x0000FF, 0xFFFFFF};

class MaskedBitmapDraw : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir.Write("p.bmp", fixtures::MakeBmp24(3, 2, kPixels));
        ASSERT_TRUE(m_bitmap.Load(m_dir.WidePath() + L"/p.bmp"));
        m_dc.CreateCompatibleDC(nullptr);
        m_target.CreateCompatibleBitmap(&m_dc, 8, 6);
        m_pOld = m_dc.SelectObject(&m_target);
        m_dc.FillSolidRect(0, 0, 8, 6, kGrey);
    }
    void TearDown() override { m_dc.SelectObject(m_pOld); }

    // The target's pixels in rows, for comparison.
    std::vector<std::vector<COLORREF>> Rows(int x, int y, int cx, int cy) const
    {
        std::vector<std::vector<COLORREF>> rows;
        for (int r = 0; r < cy; ++r)
        {
            rows.emplace_back();
            for (int c = 0; c < cx; ++c)
                rows.back().push_back(m_target.GetPixel(x + c, y + r));
        }
        return rows;
    }

    CTempDir m_dir;
    CMaskedBitmap m_bitmap;
    CDC m_dc;
    CBitmap m_target;
    CBitmap* m_pOld = nullptr;
};

constexpr COLORREF R = RGB(255, 0, 0), G = RGB(0, 255, 0), B = RGB(0, 0, 255),
                   W = RGB(255, 255, 255), M = kMagenta, _ = kGrey;

TEST_F(MaskedBitmapDraw, TransparentDrawLeavesTheTargetUnderTheKey)
{
    m_bitmap.DrawTransparent(&m_dc, 2, 1, kMagenta);
    EXPECT_EQ(Rows(1, 0, 5, 4), (std::vector<std::vector<COLORREF>>{
                                    {_, _, _, _, _},
                                    {_, R, _, G, _},
                                    {_, _, B, W, _},
                                    {_, _, _, _, _},
                                }));
    // Again on a changed target, and with another key.
    m_dc.FillSolidRect(0, 0, 8, 6, kGrey);
    m_bitmap.DrawTransparent(&m_dc, 2, 1, W);
    EXPECT_EQ(Rows(2, 1, 3, 2), (std::vector<std::vector<COLORREF>>{{R, M, G}, {M, B, _}}));
    // Partly outside the target.
    m_dc.FillSolidRect(0, 0, 8, 6, kGrey);
    m_bitmap.DrawTransparent(&m_dc, -1, 5, kMagenta);
    EXPECT_EQ(Rows(0, 4, 3, 2), (std::vector<std::vector<COLORREF>>{{_, _, _}, {_, G, _}}));
}

TEST_F(MaskedBitmapDraw, TransparentDrawFollowsAReload)
{
    m_bitmap.DrawTransparent(&m_dc, 0, 0, kMagenta);
    // The same file name with the colours swapped round: nothing of the old picture may show.
    m_dir.Write("p.bmp", fixtures::MakeBmp24(
                             3, 2, {0xFF00FF, 0xFF0000, 0xFF00FF, 0x0000FF, 0xFF00FF, 0xFF00FF}));
    ASSERT_TRUE(m_bitmap.Load(m_dir.WidePath() + L"/p.bmp"));
    m_dc.FillSolidRect(0, 0, 8, 6, kGrey);
    m_bitmap.DrawTransparent(&m_dc, 0, 0, kMagenta);
    EXPECT_EQ(Rows(0, 0, 3, 2), (std::vector<std::vector<COLORREF>>{{_, R, _}, {B, _, _}}));
}

TEST_F(MaskedBitmapDraw, DrawCopiesAllAndDrawClippedTheTopLeftPart)
{
    m_bitmap.Draw(&m_dc, 4, 3);
    EXPECT_EQ(Rows(4, 3, 4, 3),
              (std::vector<std::vector<COLORREF>>{{R, M, G, _}, {M, B, W, _}, {_, _, _, _}}));
    m_dc.FillSolidRect(0, 0, 8, 6, kGrey);
    m_bitmap.DrawClipped(&m_dc, 0, 0, 2, 10);
    m_bitmap.DrawClipped(&m_dc, 4, 0, 10, 1);
    m_bitmap.DrawClipped(&m_dc, 4, 3, 0, 5);
    EXPECT_EQ(Rows(0, 0, 8, 3), (std::vector<std::vector<COLORREF>>{
                                    {R, M, _, _, R, M, G, _},
                                    {M, B, _, _, _, _, _, _},
                                    {_, _, _, _, _, _, _, _},
                                }));
    EXPECT_EQ(InkBox(m_target, CRect(0, 3, 8, 6), kGrey), CRect());
}

} // namespace
