// The pointer's presence over the program's windows (TrackPointerInProgram) and windows that take
// no input (WS_EX_TRANSPARENT).
#include "support/GuiTest.h"

namespace
{

// What a tracking window was told, in order: 1 entered, 0 left.
std::vector<WPARAM> Told(const CRecordingWnd& wnd)
{
    std::vector<WPARAM> result;
    for (const CRecorded& r : wnd.Of(WM_POINTERINPROGRAM))
        result.push_back(r.wParam);
    return result;
}

class PointerPresenceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCursorPos(kOutside.x, kOutside.y);
        Pump();
        ASSERT_TRUE(m_left.CreateTop(100, 100, 100, 100));
        ASSERT_TRUE(m_right.CreateTop(200, 100, 100, 100));
        ShowAndWait(m_left);
        ShowAndWait(m_right);
        ASSERT_TRUE(TrackPointerInProgram(m_left.GetSafeHwnd(), TRUE));
    }
    void TearDown() override
    {
        SetCursorPos(kOutside.x, kOutside.y);
        Pump();
    }
    static void MovePointer(int x, int y)
    {
        SetCursorPos(x, y);
        QTest::qWait(20);
        Pump();
    }

    const CPoint kOutside{700, 700};
    CRecordingWnd m_left;
    CRecordingWnd m_right;
};

TEST_F(PointerPresenceTest, EnteringAndLeavingTheProgramIsToldOnceEach)
{
    MovePointer(150, 150);
    EXPECT_TRUE(IsPointerInProgram());
    // Straight from one window into the next is no change.
    MovePointer(250, 150);
    EXPECT_TRUE(IsPointerInProgram());
    MovePointer(kOutside.x, kOutside.y);
    EXPECT_FALSE(IsPointerInProgram());
    EXPECT_EQ(Told(m_left), (std::vector<WPARAM>{TRUE, FALSE}));
}

TEST_F(PointerPresenceTest, HidingTheWindowUnderThePointerCountsAsLeaving)
{
    MovePointer(250, 150);
    ASSERT_TRUE(IsPointerInProgram());
    m_right.ShowWindow(SW_HIDE);
    Pump();
    EXPECT_FALSE(IsPointerInProgram());
    EXPECT_EQ(Told(m_left), (std::vector<WPARAM>{TRUE, FALSE}));
}

TEST_F(PointerPresenceTest, AWindowThatTakesNoInputIsLookedThroughAndHoldsNoPointer)
{
    CRecordingWnd tip;
    ASSERT_TRUE(tip.CreateEx(WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, nullptr,
                             L"tip", WS_POPUP, 120, 50, 60, 100, m_left.GetSafeHwnd(), 0));
    tip.ShowWindow(SW_SHOWNA);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(150, 130)), &m_left);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(150, 70)), nullptr);

    MovePointer(150, 70);
    EXPECT_FALSE(IsPointerInProgram());
    EXPECT_TRUE(Told(m_left).empty());
    EXPECT_NE(CWnd::GetActiveWindow(), &tip);
}

} // namespace
