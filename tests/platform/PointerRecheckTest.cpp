// A pointer that stays put while the windows under it change: after children are scrolled under
// it, or after a capture ends, the window now under it gets a move at the pointer (and the one
// it left its leave), as the window system does, so that hover effects follow.
#include "support/GuiTest.h"

namespace
{

class PointerRecheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_top.CreateTop(100, 100, 200, 150));
        ASSERT_TRUE(m_first.CreateChild(&m_top, CRect(0, 0, 100, 30)));
        ASSERT_TRUE(m_second.CreateChild(&m_top, CRect(0, 30, 100, 60)));
        ShowAndWait(m_top);
        // The first row tracks the leave from its first move, as hover effects do.
        m_first.m_onMessage = [this](UINT message, WPARAM, LPARAM, LRESULT&)
        {
            if (message == WM_MOUSEMOVE && m_first.Of(WM_MOUSEMOVE).size() == 1)
            {
                TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_first.GetSafeHwnd(), 0};
                EXPECT_TRUE(_TrackMouseEvent(&tme));
            }
            return false;
        };
        CPoint pt(50, 15);
        m_top.ClientToScreen(&pt);
        // From elsewhere: a move to where the pointer already is would be no move.
        SetCursorPos(pt.x - 60, pt.y);
        SetCursorPos(pt.x, pt.y);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !m_first.Of(WM_MOUSEMOVE).empty(); }, 1000));
        Pump();
        m_top.m_messages.clear();
        m_second.m_messages.clear();
    }

    static bool MovedAt(const CRecordingWnd& wnd, CPoint pt)
    {
        const std::vector<CRecorded> moves = wnd.Of(WM_MOUSEMOVE);
        return !moves.empty() && moves.back().lParam == MAKELPARAM(pt.x, pt.y);
    }

    CRecordingWnd m_top;
    CRecordingWnd m_first;
    CRecordingWnd m_second;
};

TEST_F(PointerRecheckTest, ScrolledChildUnderTheStillPointerGetsAMove)
{
    m_top.ScrollWindow(0, -30);
    EXPECT_TRUE(QTest::qWaitFor([this] { return MovedAt(m_second, CPoint(50, 15)); }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !m_first.Of(WM_MOUSELEAVE).empty(); }, 1000));
    EXPECT_TRUE(m_top.Of(WM_MOUSEMOVE).empty());
}

TEST_F(PointerRecheckTest, EndOfACaptureGivesTheWindowUnderThePointerAMove)
{
    m_second.SetCapture();
    m_first.m_messages.clear();
    ReleaseCapture();
    EXPECT_TRUE(QTest::qWaitFor([this] { return MovedAt(m_first, CPoint(50, 15)); }, 1000));
    EXPECT_TRUE(m_second.Of(WM_MOUSEMOVE).empty());
}

} // namespace
