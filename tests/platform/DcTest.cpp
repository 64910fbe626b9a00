// Drawing through memory device contexts: every pixel where the caller puts it.
#include "support/GuiTest.h"

#include <climits>

#include <QFontInfo>
#include <QFontMetrics>

#include "platform/internal/GdiData.h"

namespace
{

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A memory DC on a white w x h bitmap.
class DcTest : public ::testing::Test
{
protected:
    void SetUp() override { Reset(40, 30); }

    void Reset(int w, int h)
    {
        if (m_pOld != nullptr)
            m_dc.SelectObject(m_pOld);
        m_bitmap.DeleteObject();
        ASSERT_TRUE(m_bitmap.CreateCompatibleBitmap(nullptr, w, h));
        if (m_dc.GetSafeHdc() == nullptr)
        {
            ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
        }
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, w, h, kWhite);
    }

    // The pixels of one colour, row by row.
    std::vector<std::pair<int, int>> Pixels(COLORREF cr) const
    {
        std::vector<std::pair<int, int>> result;
        for (int y = 0; y < m_bitmap.GetHeight(); ++y)
        {
            for (int x = 0; x < m_bitmap.GetWidth(); ++x)
            {
                if (m_bitmap.GetPixel(x, y) == cr)
                    result.emplace_back(x, y);
            }
        }
        return result;
    }

    CBitmap m_bitmap;
    CDC m_dc;
    CBitmap* m_pOld = nullptr;
};

using Points = std::vector<std::pair<int, int>>;

TEST_F(DcTest, FillsAndPixelsLandExactly)
{
    CRect rc(2, 3, 5, 5);
    m_dc.FillSolidRect(&rc, kRed);
    EXPECT_EQ(Pixels(kRed), (Points{{2, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 4}, {4, 4}}));
    // FillSolidRect leaves its colour as the background colour.
    EXPECT_EQ(m_dc.GetBkColor(), kRed);

    EXPECT_EQ(m_dc.SetPixel(10, 11, kBlue), kBlue);
    EXPECT_EQ(m_dc.GetPixel(10, 11), kBlue);
    EXPECT_EQ(m_dc.GetPixel(40, 0), CLR_INVALID);

    CBrush brush(kBlue);
    CRect rcFill(20, 20, 22, 21);
    m_dc.FillRect(&rcFill, &brush);
    EXPECT_EQ(Pixels(kBlue), (Points{{10, 11}, {20, 20}, {21, 20}}));
}

TEST_F(DcTest, LinesStopBeforeTheirEndPoint)
{
    CPen pen(PS_SOLID, 1, kRed);
    CPen* pOldPen = m_dc.SelectObject(&pen);
    ASSERT_NE(pOldPen, nullptr);
    const struct
    {
        CPoint from;
        CPoint to;
        Points expected;
    } cases[] = {
        {CPoint(1, 1), CPoint(4, 1), {{1, 1}, {2, 1}, {3, 1}}},
        {CPoint(5, 4), CPoint(5, 1), {{5, 2}, {5, 3}, {5, 4}}},
        {CPoint(0, 0), CPoint(3, 3), {{0, 0}, {1, 1}, {2, 2}}},
        {CPoint(3, 3), CPoint(3, 3), {}},
    };
    for (const auto& c : cases)
    {
        Reset(8, 8);
        m_dc.MoveTo(c.from);
        EXPECT_TRUE(m_dc.LineTo(c.to));
        EXPECT_EQ(Pixels(kRed), c.expected) << c.from.x << "," << c.from.y;
        EXPECT_EQ(m_dc.GetCurrentPosition(), c.to);
    }
    m_dc.SelectObject(pOldPen);
}

TEST_F(DcTest, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    Reset(6, 6);
    CPen pen(PS_SOLID, 1, kRed);
    CBrush brush(kBlue);
    m_dc.SelectObject(&pen);
    m_dc.SelectObject(&brush);
    m_dc.Rectangle(1, 1, 5, 4);
    EXPECT_EQ(Pixels(kBlue), (Points{{2, 2}, {3, 2}}));
    EXPECT_EQ(Pixels(kRed).size(), 10u);
    EXPECT_EQ(m_dc.GetPixel(4, 3), kRed);
    EXPECT_EQ(m_dc.GetPixel(5, 4), kWhite);
    m_dc.SelectStockObject(BLACK_PEN);
    m_dc.SelectStockObject(WHITE_BRUSH);
}

TEST_F(DcTest, WindowOriginShiftsLogicalCoordinates)
{
    // As an off-screen buffer does for a target area that starts at (100, 50).
    m_dc.SetWindowOrg(100, 50);
    m_dc.SetPixel(103, 52, kRed);
    EXPECT_EQ(Pixels(kRed), (Points{{3, 2}}));
    EXPECT_EQ(m_dc.GetPixel(103, 52), kRed);
    CRect rcClip;
    EXPECT_EQ(m_dc.GetClipBox(&rcClip), SIMPLEREGION);
    EXPECT_EQ(rcClip, CRect(100, 50, 140, 80));
    CPoint pt(103, 52);
    m_dc.LPtoDP(&pt);
    EXPECT_EQ(pt, CPoint(3, 2));
}

TEST_F(DcTest, BitBltCombinesSourceAndDestination)
{
    CBitmap source;
    const std::uint32_t pixels[] = {0xFF00FF00, 0xFFFF00FF};
    ASSERT_TRUE(source.CreateFromPixels(2, 1, pixels));
    CDC src;
    ASSERT_TRUE(src.CreateCompatibleDC(nullptr));
    CBitmap* pOld = src.SelectObject(&source);
    const COLORREF crDest = RGB(0x12, 0x34, 0x56);
    const struct
    {
        DWORD dwRop;
        COLORREF expected0;
        COLORREF expected1;
    } cases[] = {
        {SRCCOPY, RGB(0, 255, 0), kMagenta},
        {SRCAND, RGB(0, 0x34, 0), RGB(0x12, 0, 0x56)},
        {SRCINVERT, RGB(0x12, 0xCB, 0x56), RGB(0xED, 0x34, 0xA9)},
        {SRCPAINT, RGB(0x12, 0xFF, 0x56), RGB(0xFF, 0x34, 0xFF)},
        {DSna, RGB(0x12, 0, 0x56), RGB(0, 0x34, 0)},
    };
    for (const auto& c : cases)
    {
        m_dc.FillSolidRect(0, 0, 40, 30, crDest);
        EXPECT_TRUE(m_dc.BitBlt(7, 8, 2, 1, &src, 0, 0, c.dwRop));
        EXPECT_EQ(m_dc.GetPixel(7, 8), c.expected0) << std::hex << c.dwRop;
        EXPECT_EQ(m_dc.GetPixel(8, 8), c.expected1) << std::hex << c.dwRop;
        EXPECT_EQ(m_dc.GetPixel(9, 8), crDest);
    }
    src.SelectObject(pOld);
}

TEST(BitmapTest, PixelsWithoutMemoryGiveNoBitmap)
{
    // Rows of INT_MAX pixels are more than any image can hold: Qt hands out a null image, which
    // must not be written to nor pass for a bitmap.
    const std::uint32_t pixel = 0xFF123456;
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.CreateFromPixels(INT_MAX, 1, &pixel));
    EXPECT_EQ(bitmap.m_hObject, nullptr);
    // The same object still takes a picture that fits.
    EXPECT_TRUE(bitmap.CreateFromPixels(1, 1, &pixel));
    EXPECT_EQ(bitmap.GetWidth(), 1);
}

TEST_F(DcTest, KeyedImageLeavesTheKeyColourUntouched)
{
    // A 3 x 2 picture: magenta corners and a red and blue middle.
    const std::uint32_t pixels[] = {0xFFFF00FF, 0xFFFF0000, 0xFFFF00FF,
                                    0xFFFF00FF, 0xFF0000FF, 0xFF00FF00};
    CBitmap image;
    ASSERT_TRUE(image.CreateFromPixels(3, 2, pixels));
    m_dc.FillSolidRect(0, 0, 40, 30, RGB(9, 9, 9));
    EXPECT_TRUE(m_dc.DrawImageKeyed(5, 6, image, kMagenta));
    EXPECT_EQ(m_dc.GetPixel(5, 6), RGB(9, 9, 9));
    EXPECT_EQ(m_dc.GetPixel(6, 6), kRed);
    EXPECT_EQ(m_dc.GetPixel(7, 6), RGB(9, 9, 9));
    EXPECT_EQ(m_dc.GetPixel(5, 7), RGB(9, 9, 9));
    EXPECT_EQ(m_dc.GetPixel(6, 7), kBlue);
    EXPECT_EQ(m_dc.GetPixel(7, 7), RGB(0, 255, 0));

    // Plain and cut copies take every pixel, magenta too.
    EXPECT_TRUE(m_dc.DrawImage(20, 20, image, 1, 0, 2, 1));
    EXPECT_EQ(m_dc.GetPixel(20, 20), kRed);
    EXPECT_EQ(m_dc.GetPixel(21, 20), kMagenta);
    EXPECT_EQ(m_dc.GetPixel(22, 20), RGB(9, 9, 9));
    EXPECT_EQ(m_dc.GetPixel(20, 21), RGB(9, 9, 9));

    // The mask made once draws like the keyed copy, also in part.
    CBitmap masked;
    ASSERT_TRUE(masked.CreateMaskedCopy(image, kMagenta));
    EXPECT_TRUE(m_dc.DrawMaskedImage(30, 6, masked));
    EXPECT_TRUE(m_dc.DrawMaskedImage(30, 20, masked, 1, 1, 2, 1));
    const struct
    {
        int x, y;
        COLORREF expected;
    } cases[] = {
        {30, 6, RGB(9, 9, 9)},  {31, 6, kRed},
        {32, 6, RGB(9, 9, 9)},  {30, 7, RGB(9, 9, 9)},
        {31, 7, kBlue},         {32, 7, RGB(0, 255, 0)},
        {30, 20, kBlue},        {31, 20, RGB(0, 255, 0)},
        {32, 20, RGB(9, 9, 9)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_dc.GetPixel(c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(FontTest, DefaultGuiFontIsPinnedLiberationSans)
{
    CFont* pFont = GetDefaultGuiFont();
    ASSERT_NE(pFont, nullptr);
    EXPECT_EQ(CFont::FromHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))), pFont);
    const QFont& font = static_cast<HFONT__*>(pFont->m_hObject)->font;
    const QFontInfo info(font);
    EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(info.pixelSize(), 11);

    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    TEXTMETRIC tm{};
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAscent, 10);
    EXPECT_EQ(dc.GetTextExtent(L"Hello World").cx,
              QFontMetrics(font).horizontalAdvance(QStringLiteral("Hello World")));

    // Windows faces become the Liberation families; a bold font is wider.
    CFont bold;
    ASSERT_TRUE(bold.CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"));
    EXPECT_EQ(QFontInfo(static_cast<HFONT__*>(bold.m_hObject)->font).family(),
              QStringLiteral("Liberation Sans"));
    dc.SelectObject(&bold);
    EXPECT_GT(dc.GetTextExtent(L"Hello World").cx, 57);
    dc.SelectObject(pFont);
    CFont point;
    ASSERT_TRUE(point.CreatePointFont(80, L"MS Shell Dlg"));
    LOGFONT lf{};
    point.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -11);
}

TEST_F(DcTest, DrawTextMeasuresAndWraps)
{
    const QFont& font = static_cast<HFONT__*>(GetDefaultGuiFont()->m_hObject)->font;
    const QFontMetrics fm(font);
    const int nWidth = fm.horizontalAdvance(QStringLiteral("Zorvex Messenger"));

    CRect rc(5, 7, 5, 7);
    EXPECT_EQ(m_dc.DrawText(L"Zorvex Messenger", &rc, DT_CALCRECT | DT_SINGLELINE), 13);
    EXPECT_EQ(rc, CRect(5, 7, 5 + nWidth, 20));

    // Wide enough for two of the three words.
    const int nTwo = fm.horizontalAdvance(QStringLiteral("aaa bbb"));
    CRect rcWrap(0, 0, nTwo + 2, 0);
    EXPECT_EQ(m_dc.DrawText(L"aaa bbb ccc", &rcWrap, DT_CALCRECT | DT_WORDBREAK), 26);
    EXPECT_EQ(rcWrap.right, nTwo);
    // A word wider than the rectangle keeps a line of its own; line breaks start lines.
    CRect rcNarrow(0, 0, 3, 0);
    EXPECT_EQ(m_dc.DrawText(L"aaa bbb\nc", &rcNarrow, DT_CALCRECT | DT_WORDBREAK), 39);
    EXPECT_EQ(rcNarrow.right, fm.horizontalAdvance(QStringLiteral("aaa")));
    CRect rcEmpty(3, 4, 50, 60);
    EXPECT_EQ(m_dc.DrawText(L"", &rcEmpty, DT_CALCRECT), 0);
    EXPECT_EQ(rcEmpty, CRect(3, 4, 3, 4));
}

TEST_F(DcTest, TextIsDrawnInsideItsRectangleUnlessNoClip)
{
    Reset(120, 40);
    m_dc.SetBkMode(TRANSPARENT);
    m_dc.SetTextColor(kBlack);
    // Clipped to a rectangle ten pixels wide.
    CRect rc(10, 5, 20, 25);
    m_dc.DrawText(L"WWWWWW", &rc, DT_LEFT | DT_TOP | DT_SINGLELINE);
    const Points black = Pixels(kBlack);
    ASSERT_FALSE(black.empty());
    for (const auto& p : black)
    {
        EXPECT_GE(p.first, 10);
        EXPECT_LT(p.first, 20);
        EXPECT_GE(p.second, 5);
        EXPECT_LT(p.second, 5 + 13);
    }
    CRect rcFree(10, 5, 20, 25);
    m_dc.DrawText(L"WWWWWW", &rcFree, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Pixels(kBlack).back().first, 20);

    // Opaque text fills its cell with the background colour; text has only two colours.
    Reset(120, 40);
    m_dc.SetBkMode(OPAQUE);
    m_dc.SetBkColor(kBlue);
    m_dc.TextOut(2, 3, L"Hi");
    const int nWidth = m_dc.GetTextExtent(L"Hi").cx;
    EXPECT_EQ(Pixels(kBlue).size() + Pixels(kBlack).size(), static_cast<size_t>(nWidth * 13));
}

TEST(RegionTest, RoundRectangleCutsSixteenPixelCorners)
{
    // The usual call for a 100 x 60 window.
    CRgn rgn;
    ASSERT_TRUE(rgn.CreateRoundRectRgn(0, 0, 101, 61, 16, 16));
    CRect rcBox;
    EXPECT_EQ(rgn.GetRgnBox(&rcBox), COMPLEXREGION);
    EXPECT_EQ(rcBox, CRect(0, 0, 100, 60));
    const struct
    {
        int x;
        int y;
        bool bInside;
    } cases[] = {
        {0, 0, false},  {4, 0, false},    {5, 0, true},    {0, 4, false},  {0, 5, true},
        {1, 1, false},  {2, 2, true},     {50, 0, true},   {0, 30, true},  {99, 0, false},
        {94, 0, true},  {95, 0, false},   {99, 59, false}, {97, 57, true}, {0, 59, false},
        {50, 59, true}, {100, 30, false}, {50, 60, false}, {99, 30, true}, {4, 59, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rgn.PtInRegion(c.x, c.y) != FALSE, c.bInside) << c.x << "," << c.y;

    CRgn rect;
    ASSERT_TRUE(rect.CreateRectRgn(0, 0, 100, 60));
    CRgn diff;
    ASSERT_TRUE(diff.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(diff.CombineRgn(&rect, &rgn, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(diff.PtInRegion(0, 0));
    EXPECT_FALSE(diff.PtInRegion(50, 30));
}

TEST(GdiObjectTest, SelectedObjectsOutliveTheirDeletion)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    auto* pBitmap = new CBitmap;
    ASSERT_TRUE(pBitmap->CreateCompatibleBitmap(&dc, 4, 4));
    CBitmap* pOld = dc.SelectObject(pBitmap);
    // Deleting a selected bitmap does not pull it from under the DC.
    delete pBitmap;
    dc.SetPixel(1, 1, kRed);
    EXPECT_EQ(dc.GetPixel(1, 1), kRed);
    dc.SelectObject(pOld);
    EXPECT_EQ(dc.GetCurrentBitmap(), pOld);

    CBitmap detached;
    ASSERT_TRUE(detached.CreateCompatibleBitmap(&dc, 2, 2));
    HGDIOBJ h = detached.Detach();
    EXPECT_EQ(detached.m_hObject, nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObject(h, sizeof(bm), &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_TRUE(DeleteObject(h));
    EXPECT_FALSE(DeleteObject(GetStockObject(NULL_BRUSH)));
}

TEST_F(DcTest, DrawEdgeUsesTheClassicThreeDColours)
{
    Reset(6, 6);
    CRect rc(0, 0, 6, 6);
    EXPECT_TRUE(m_dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT | BF_ADJUST));
    EXPECT_EQ(rc, CRect(2, 2, 4, 4));
    EXPECT_EQ(m_dc.GetPixel(0, 3), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(m_dc.GetPixel(5, 3), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(m_dc.GetPixel(1, 3), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(m_dc.GetPixel(4, 3), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(m_dc.GetPixel(3, 3), kWhite);
}

} // namespace
