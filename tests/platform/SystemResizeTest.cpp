// The window manager's resizing of a frameless window: the minimum track size holds only while it
// runs, never for the program's own sizing.
#include "support/GuiTest.h"

namespace
{

class CMinimumWnd : public CRecordingWnd
{
public:
    void OnGetMinMaxInfo(MINMAXINFO* pMMI) override { pMMI->ptMinTrackSize = POINT{220, 150}; }
};

QWidget* TopWidget(const CWnd& wnd)
{
    return ClientOf(wnd)->window();
}

TEST(SystemResizeTest, MinimumHoldsUntilThePointerIsFreeAgain)
{
    CMinimumWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(100, 100, 300, 200));
    ShowAndWait(wnd);
    CWndHost* pHost = wnd::HostOf(&wnd);
    pHost->BeginSystemResize();
    EXPECT_EQ(TopWidget(wnd)->minimumSize(), QSize(220, 150));
    // Still the resize: events queued before it carry the held button.
    QMouseEvent held(QEvent::MouseMove, QPointF(50, 50), QPointF(150, 150), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(ClientOf(wnd), &held);
    EXPECT_EQ(TopWidget(wnd)->minimumSize(), QSize(220, 150));
    MoveTo(wnd, CPoint(60, 60));
    EXPECT_EQ(TopWidget(wnd)->minimumSize(), QSize(0, 0));
}

TEST(SystemResizeTest, ProgramSizesBelowTheMinimumDuringAndAfterIt)
{
    CMinimumWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(100, 100, 300, 200));
    ShowAndWait(wnd);
    wnd::HostOf(&wnd)->BeginSystemResize();
    wnd.SetWindowPos(nullptr, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER);
    CRect rc;
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(100, 100, 300, 220));
    EXPECT_EQ(TopWidget(wnd)->minimumSize(), QSize(0, 0));
    // A window already below the minimum keeps its size when the resizing starts.
    wnd::HostOf(&wnd)->BeginSystemResize();
    EXPECT_EQ(TopWidget(wnd)->minimumSize(), QSize(200, 120));
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(100, 100, 300, 220));
}

} // namespace
