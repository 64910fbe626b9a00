// The screens' rectangles that start-up placement keeps the window on.
#include "support/GuiTest.h"

namespace
{

TEST(ScreenRectsTest, ListsThePrimaryScreenFirst)
{
    const std::vector<CRect> rects = GetScreenRects();
    ASSERT_EQ(static_cast<int>(rects.size()), GetSystemMetrics(SM_CMONITORS));
    MONITORINFO mi{sizeof(MONITORINFO), {}, {}, 0};
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(CPoint(0, 0), MONITOR_DEFAULTTOPRIMARY), &mi));
    EXPECT_EQ(rects.front(), CRect(mi.rcMonitor));
    // Offscreen Qt has one 800 x 800 screen.
    EXPECT_EQ(rects.front(), CRect(0, 0, 800, 800));
}

} // namespace
