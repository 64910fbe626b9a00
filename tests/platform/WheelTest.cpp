// The wheel: small steps of high-resolution wheels and touchpads add up to whole notches, one
// WM_MOUSEWHEEL each.
#include "support/GuiTest.h"

#include <vector>

namespace
{

TEST(WheelNotchTest, StepsAddUpToOneMessagePerNotchAndDirectionChangesStartAfresh)
{
    const struct
    {
        const char* pszName;
        std::vector<int> steps;
        std::vector<short> delivered;
    } cases[] = {
        {"four quarter notches", {30, 30, 30, 30}, {120}},
        {"one notch", {120}, {120}},
        {"two notches at once", {240}, {120, 120}},
        {"down in thirds", {-40, -40, -40}, {-120}},
        {"a half notch waits", {60}, {}},
        {"reversal drops the part turned before", {90, -30, -90}, {-120}},
        {"the remainder carries on", {100, 100, 40}, {120, 120}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        // A fresh window each time: what is left of a notch stays with its window.
        CRecordingWnd wnd;
        ASSERT_TRUE(wnd.CreateTop(50, 50, 200, 200));
        ShowAndWait(wnd);
        for (int nStep : c.steps)
            Wheel(wnd, CPoint(100, 100), nStep);
        std::vector<short> delivered;
        for (const CRecorded& r : wnd.Of(WM_MOUSEWHEEL))
            delivered.push_back(GET_WHEEL_DELTA_WPARAM(r.wParam));
        EXPECT_EQ(delivered, c.delivered);
    }
}

TEST(WheelNotchTest, PartOfANotchStaysWithItsWindow)
{
    CRecordingWnd first;
    CRecordingWnd second;
    ASSERT_TRUE(first.CreateTop(50, 50, 200, 200));
    ASSERT_TRUE(second.CreateTop(300, 50, 200, 200));
    ShowAndWait(first);
    ShowAndWait(second);
    Wheel(first, CPoint(100, 100), 90);
    Wheel(second, CPoint(100, 100), 60);
    Wheel(first, CPoint(100, 100), 90);
    EXPECT_TRUE(first.Of(WM_MOUSEWHEEL).empty());
    EXPECT_TRUE(second.Of(WM_MOUSEWHEEL).empty());
    Wheel(first, CPoint(100, 100), 30);
    EXPECT_EQ(first.Of(WM_MOUSEWHEEL).size(), 1u);
}

} // namespace
