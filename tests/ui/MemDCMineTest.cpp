// The off-screen context: where its drawing lands and how its shared bitmap grows.
#include "ui/MemDCMine.h"

#include "UiTest.h"

namespace
{

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A memory context on a bitmap of its own, standing in for a window being painted.
class CTarget
{
public:
    CTarget(int cx, int cy, COLORREF crFill)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateCompatibleBitmap(&m_dc, cx, cy);
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, cx, cy, crFill);
    }
    ~CTarget() { m_dc.SelectObject(m_pOld); }
    // Paints only inside rc, as a paint context of an update rectangle does.
    void ClipTo(const CRect& rc)
    {
        CRgn rgn;
        rgn.CreateRectRgnIndirect(&rc);
        m_dc.SelectClipRgn(&rgn);
    }

    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

TEST(MemDCMine, SharedBitmapGrowsToTheLargestSidesAndNeverShrinks)
{
    CMemDCMine::FreeSharedBitmap();
    EXPECT_EQ(CMemDCMine::GetSharedBitmapSize(), CSize(0, 0));
    const struct
    {
        CSize paint;
        CSize shared;
    } steps[] = {
        {{200, 20}, {200, 20}},
        {{120, 30}, {200, 30}},
        {{50, 10}, {200, 30}},
        {{201, 31}, {201, 31}},
    };
    for (const auto& step : steps)
    {
        CTarget target(step.paint.cx, step.paint.cy, kBlue);
        {
            CMemDCMine dc(&target.m_dc);
        }
        EXPECT_EQ(CMemDCMine::GetSharedBitmapSize(), step.shared)
            << step.paint.cx << " x " << step.paint.cy;
    }
}

TEST(MemDCMine, DrawingAtTargetCoordinatesLandsInTheClipBoxOnly)
{
    CTarget target(100, 80, kBlue);
    target.m_dc.SetBkColor(kGreen);
    const CRect rcClip(30, 40, 80, 70);
    target.ClipTo(rcClip);
    {
        CMemDCMine dc(&target.m_dc);
        // Nothing reaches the target before the end.
        EXPECT_EQ(target.m_bitmap.GetPixel(35, 45), kBlue);
        dc.FillSolidRect(50, 50, 10, 10, kRed);
        // Outside the clip box: lost, as on the target.
        dc.FillSolidRect(0, 0, 30, 40, kRed);
    }
    const CBitmap& shown = target.m_bitmap;
    EXPECT_EQ(shown.GetPixel(50, 50), kRed);
    EXPECT_EQ(shown.GetPixel(59, 59), kRed);
    // The rest of the clip box has the target's background colour.
    EXPECT_EQ(shown.GetPixel(30, 40), kGreen);
    EXPECT_EQ(shown.GetPixel(79, 69), kGreen);
    EXPECT_EQ(shown.GetPixel(60, 60), kGreen);
    // Outside it the target is untouched.
    EXPECT_EQ(InkBox(shown, kBlue), rcClip);
}

TEST(MemDCMine, TargetWindowOriginIsKept)
{
    CTarget target(60, 40, kBlue);
    target.m_dc.SetWindowOrg(100, 200);
    target.m_dc.SetBkColor(kGreen);
    {
        CMemDCMine dc(&target.m_dc);
        dc.FillSolidRect(110, 205, 5, 5, kRed);
    }
    EXPECT_EQ(InkBox(target.m_bitmap, kGreen), CRect(10, 5, 15, 10));
}

TEST(MemDCMine, NestedInstanceDrawsOnABitmapOfItsOwn)
{
    CMemDCMine::FreeSharedBitmap();
    CTarget outer(40, 40, kBlue);
    CTarget inner(80, 10, kBlue);
    {
        CMemDCMine dcOuter(&outer.m_dc);
        dcOuter.FillSolidRect(0, 0, 10, 10, kRed);
        {
            CMemDCMine dcInner(&inner.m_dc);
            dcInner.FillSolidRect(0, 0, 80, 10, kGreen);
        }
        EXPECT_EQ(CMemDCMine::GetSharedBitmapSize(), CSize(40, 40));
    }
    EXPECT_EQ(outer.m_bitmap.GetPixel(5, 5), kRed);
    EXPECT_EQ(outer.m_bitmap.GetPixel(20, 20), kBlue); // the target's background colour
    EXPECT_EQ(inner.m_bitmap.GetPixel(79, 9), kGreen);
}

} // namespace
