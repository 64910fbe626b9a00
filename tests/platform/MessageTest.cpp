// Messages: packing of mouse input, queued delivery through PreTranslateMessage, posting from
// other threads, timers.
#include "support/GuiTest.h"

#include <QGuiApplication>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace
{

class MessageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_top.CreateTop(100, 100, 200, 150));
        ASSERT_TRUE(m_child.CreateChild(&m_top, CRect(40, 30, 140, 90), 77));
        ShowAndWait(m_top);
        m_top.m_messages.clear();
        m_child.m_messages.clear();
    }

    CRecordingWnd m_top;
    CRecordingWnd m_child;
};

TEST_F(MessageTest, ClickGivesButtonMessagesWithClientCoordinatesAndKeyState)
{
    Click(m_top, CPoint(12, 8), Qt::LeftButton, Qt::ShiftModifier);
    Click(m_top, CPoint(150, 120), Qt::RightButton);
    // Inside the child: its own client coordinates.
    Click(m_top, CPoint(45, 33));

    const std::vector<CRecorded> down = m_top.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].wParam, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(down[0].lParam, MAKELPARAM(12, 8));
    const std::vector<CRecorded> up = m_top.Of(WM_LBUTTONUP);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].wParam, static_cast<WPARAM>(MK_SHIFT));
    EXPECT_EQ(up[0].lParam, MAKELPARAM(12, 8));
    ASSERT_EQ(m_top.Of(WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(m_top.Of(WM_RBUTTONDOWN)[0].wParam, static_cast<WPARAM>(MK_RBUTTON));
    EXPECT_EQ(m_top.Of(WM_RBUTTONUP)[0].lParam, MAKELPARAM(150, 120));

    ASSERT_EQ(m_child.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(m_child.Of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(5, 3));
    EXPECT_EQ(m_child.Of(WM_LBUTTONUP).size(), 1u);
}

TEST_F(MessageTest, DoubleClickDependsOnTheClassStyle)
{
    DoubleClick(m_top, CPoint(10, 10));
    EXPECT_EQ(m_top.Sequence({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(m_top.Of(WM_LBUTTONDBLCLK)[0].lParam, MAKELPARAM(10, 10));

    // Without CS_DBLCLKS the second click is a plain press.
    CRecordingWnd plain;
    ASSERT_TRUE(plain.CreateTop(400, 100, 50, 50, WS_POPUP, AfxRegisterWndClass(0)));
    ShowAndWait(plain);
    DoubleClick(plain, CPoint(5, 5));
    EXPECT_TRUE(plain.Of(WM_LBUTTONDBLCLK).empty());
    EXPECT_EQ(plain.Of(WM_LBUTTONDOWN).size(), 2u);
}

TEST_F(MessageTest, PreTranslateRunsFromTheTargetUpAndMaySwallowOrChange)
{
    std::vector<HWND> order;
    m_child.m_onPreTranslate = [&](MSG* pMsg)
    {
        if (pMsg->message == WM_LBUTTONDOWN)
            order.push_back(m_child.GetSafeHwnd());
        if (pMsg->message == WM_LBUTTONDBLCLK)
            pMsg->message = WM_LBUTTONDOWN;
        return FALSE;
    };
    m_top.m_onPreTranslate = [&](MSG* pMsg)
    {
        if (pMsg->message == WM_LBUTTONDOWN)
            order.push_back(m_top.GetSafeHwnd());
        return pMsg->message == WM_RBUTTONDOWN ? TRUE : FALSE;
    };
    Press(m_top, CPoint(50, 40));
    EXPECT_EQ(order, (std::vector<HWND>{m_child.GetSafeHwnd(), m_top.GetSafeHwnd()}));
    Release(m_top, CPoint(50, 40));
    DoubleClick(m_top, CPoint(50, 40));
    EXPECT_EQ(m_child.Of(WM_LBUTTONDOWN).size(), 3u);
    EXPECT_TRUE(m_child.Of(WM_LBUTTONDBLCLK).empty());

    Click(m_top, CPoint(50, 40), Qt::RightButton);
    EXPECT_TRUE(m_child.Of(WM_RBUTTONDOWN).empty());
    EXPECT_EQ(m_child.Of(WM_RBUTTONUP).size(), 1u);
}

TEST_F(MessageTest, PostedMessagesPassPreTranslateAndSentOnesDoNot)
{
    const UINT nMessage = WM_APP + 10;
    m_child.PostMessage(nMessage, 1, 2);
    EXPECT_TRUE(m_child.Of(nMessage).empty());
    Pump();
    ASSERT_EQ(m_child.Of(nMessage).size(), 1u);
    EXPECT_EQ(m_child.Of(nMessage)[0].wParam, 1u);
    EXPECT_EQ(m_child.Of(nMessage)[0].lParam, 2);
    EXPECT_EQ(std::count(m_top.m_pretranslated.begin(), m_top.m_pretranslated.end(), nMessage), 1);

    m_top.m_pretranslated.clear();
    EXPECT_EQ(m_child.SendMessage(nMessage, 3, 4), 0);
    EXPECT_EQ(m_child.Of(nMessage).size(), 2u);
    EXPECT_TRUE(m_top.m_pretranslated.empty());
}

TEST_F(MessageTest, PostMessageFromAnotherThreadArrivesOnTheUserInterfaceThread)
{
    const std::thread::id uiThread = std::this_thread::get_id();
    std::thread::id handledOn;
    m_top.m_onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&)
    {
        if (message == WM_COMMAND)
            handledOn = std::this_thread::get_id();
        return false;
    };
    const HWND h = m_top.GetSafeHwnd();
    std::thread worker([h] { ::PostMessage(h, WM_COMMAND, 2013, 0); });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_top.Of(WM_COMMAND).empty(); }, 2000));
    EXPECT_EQ(handledOn, uiThread);
    EXPECT_EQ(m_top.Of(WM_COMMAND)[0].wParam, 2013u);
}

TEST_F(MessageTest, SendMessageFromAnotherThreadIsRefusedAtOnce)
{
    // The child of a death test is a fresh run of this program, not a fork of a threaded one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int nHandled = 0;
    m_top.m_onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT& lResult)
    {
        if (message != WM_APP)
            return false;
        ++nHandled;
        lResult = 42;
        return true;
    };
    const HWND h = m_top.GetSafeHwnd();
    // The user-interface thread does not pump while it waits here, as when it joins a worker: a
    // send that waited for it would not come back.
    const auto sendFromWorker = [h]
    {
        std::promise<LRESULT> answer;
        std::future<LRESULT> future = answer.get_future();
        std::thread worker([&] { answer.set_value(::SendMessage(h, WM_APP, 0, 0)); });
        const bool bAtOnce = future.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
        if (!bAtOnce)
        {
            ADD_FAILURE() << "SendMessage waited for the user-interface thread";
            // Let it through, so that the worker can be joined.
            EXPECT_TRUE(QTest::qWaitFor(
                [&]
                { return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                5000));
        }
        worker.join();
        EXPECT_EQ(future.get(), 0);
    };
    // Debug builds stop at the call; release builds refuse it.
    EXPECT_DEBUG_DEATH(sendFromWorker(), "SendMessage from a thread other than");
    Pump();
    EXPECT_EQ(nHandled, 0);
    // The same window answers a send from its own thread.
    EXPECT_EQ(::SendMessage(h, WM_APP, 0, 0), 42);
    EXPECT_EQ(nHandled, 1);
}

TEST(MessageQueueTest, PostToAWindowThatWentIsDropped)
{
    auto* pWnd = new CRecordingWnd;
    ASSERT_TRUE(pWnd->CreateTop(0, 0, 10, 10));
    const HWND h = pWnd->GetSafeHwnd();
    EXPECT_TRUE(::PostMessage(h, WM_APP, 0, 0));
    pWnd->DestroyWindow();
    EXPECT_TRUE(pWnd->Of(WM_APP).empty());
    // The object itself goes too: a late delivery would touch freed memory.
    EXPECT_TRUE(::PostMessage(h, WM_APP, 0, 0));
    delete pWnd;
    Pump();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandle(h), nullptr);
}

TEST(TimerTest, FiresWithItsIdAndTheSameIdReplaces)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(0, 0, 10, 10));
    EXPECT_EQ(wnd.SetTimer(7, 15), 7u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wnd.Of(WM_TIMER).size() >= 2; }, 2000));
    for (const CRecorded& r : wnd.Of(WM_TIMER))
        EXPECT_EQ(r.wParam, 7u);

    // A second SetTimer(7) with a long period replaces the fast one.
    EXPECT_EQ(wnd.SetTimer(7, 60000), 7u);
    wnd.m_messages.clear();
    QTest::qWait(120);
    EXPECT_TRUE(wnd.Of(WM_TIMER).empty());

    EXPECT_EQ(wnd.SetTimer(8, 15), 8u);
    EXPECT_TRUE(wnd.KillTimer(8));
    EXPECT_FALSE(wnd.KillTimer(8));
    QTest::qWait(60);
    EXPECT_TRUE(wnd.Of(WM_TIMER).empty());
}

TEST(TimerTest, DieWithTheirWindow)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(0, 0, 10, 10));
    wnd.SetTimer(1, 10);
    wnd.DestroyWindow();
    wnd.m_messages.clear();
    QTest::qWait(50);
    EXPECT_TRUE(wnd.m_messages.empty());
    EXPECT_EQ(wnd.SetTimer(1, 10), 0u);
}

TEST(ActivateAppTest, ApplicationStateReachesEveryTopLevelWindow)
{
    CRecordingWnd first;
    CRecordingWnd second;
    CRecordingWnd child;
    ASSERT_TRUE(first.CreateTop(0, 0, 10, 10));
    ASSERT_TRUE(second.CreateTop(20, 0, 10, 10));
    ASSERT_TRUE(child.CreateChild(&first, CRect(0, 0, 5, 5)));
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    for (const CRecordingWnd* p : {&first, &second})
    {
        ASSERT_EQ(p->Of(WM_ACTIVATEAPP).size(), 2u);
        EXPECT_EQ(p->Of(WM_ACTIVATEAPP)[0].wParam, static_cast<WPARAM>(FALSE));
        EXPECT_EQ(p->Of(WM_ACTIVATEAPP)[1].wParam, static_cast<WPARAM>(TRUE));
    }
    EXPECT_TRUE(child.Of(WM_ACTIVATEAPP).empty());
}

TEST(RegisteredMessageTest, StableNumbersFromC000IgnoringCase)
{
    const UINT a = RegisterWindowMessage(L"TaskbarCreated");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage(L"taskbarcreated"), a);
    EXPECT_NE(RegisterWindowMessage(L"SomethingElse"), a);
    EXPECT_EQ(RegisterWindowMessage(L""), 0u);
}

TEST(MouseWheelTest, GoesToTheFocusWindowAndUpTheParentsByDefault)
{
    CRecordingWnd top;
    CRecordingWnd panel;
    CRecordingWnd row;
    ASSERT_TRUE(top.CreateTop(50, 50, 200, 200));
    ASSERT_TRUE(panel.CreateChild(&top, CRect(0, 0, 200, 200)));
    ASSERT_TRUE(row.CreateChild(&panel, CRect(0, 0, 200, 20)));
    ShowAndWait(top);
    row.SetFocus();
    top.m_messages.clear();
    panel.m_onMessage = [](UINT message, WPARAM, LPARAM, LRESULT& lResult)
    {
        lResult = TRUE;
        return message == WM_MOUSEWHEEL;
    };
    // Turned over the panel, below the row that has the focus.
    QWheelEvent wheel(QPointF(100, 150), QPointF(150, 200), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(ClientOf(panel), &wheel);
    ASSERT_EQ(row.Of(WM_MOUSEWHEEL).size(), 1u);
    const CRecorded r = row.Of(WM_MOUSEWHEEL)[0];
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(r.wParam), -120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(r.wParam), MK_CONTROL);
    EXPECT_EQ(r.lParam, MAKELPARAM(150, 200));
    EXPECT_EQ(panel.Of(WM_MOUSEWHEEL).size(), 1u);
    EXPECT_TRUE(top.Of(WM_MOUSEWHEEL).empty());
}

TEST(MouseLeaveTest, ArrivesOnceAfterTrackingWhenThePointerLeaves)
{
    CRecordingWnd top;
    CRecordingWnd button;
    ASSERT_TRUE(top.CreateTop(300, 300, 200, 100));
    ASSERT_TRUE(button.CreateChild(&top, CRect(10, 10, 60, 40)));
    ShowAndWait(top);
    // Tracking starts from a mouse move over the button, as hover effects do.
    button.m_onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&)
    {
        if (message == WM_MOUSEMOVE && button.Of(WM_MOUSEMOVE).size() == 1)
        {
            TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, button.GetSafeHwnd(), 0};
            EXPECT_TRUE(_TrackMouseEvent(&tme));
        }
        return false;
    };
    MoveTo(top, CPoint(20, 20));
    MoveTo(top, CPoint(25, 25));
    Pump();
    EXPECT_EQ(button.Of(WM_MOUSEMOVE).size(), 2u);
    EXPECT_TRUE(button.Of(WM_MOUSELEAVE).empty());
    MoveTo(top, CPoint(150, 80));
    MoveTo(top, CPoint(160, 80));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button.Of(WM_MOUSELEAVE).empty(); }, 1000));
    Pump();
    EXPECT_EQ(button.Of(WM_MOUSELEAVE).size(), 1u);
}

TEST(CaptureTest, TheCapturingWindowGetsTheMouseEverywhere)
{
    CRecordingWnd top;
    CRecordingWnd button;
    ASSERT_TRUE(top.CreateTop(300, 300, 200, 100));
    ASSERT_TRUE(button.CreateChild(&top, CRect(10, 10, 60, 40)));
    ShowAndWait(top);
    EXPECT_EQ(button.SetCapture(), nullptr);
    EXPECT_EQ(CWnd::GetCapture(), &button);
    Click(top, CPoint(150, 80));
    ASSERT_EQ(button.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(button.Of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(140, 70));
    EXPECT_TRUE(top.Of(WM_LBUTTONDOWN).empty());

    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(button.Of(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    Click(top, CPoint(150, 80));
    EXPECT_EQ(top.Of(WM_LBUTTONDOWN).size(), 1u);
}

} // namespace
