// Windows: life cycle, relations, geometry, painting and scrolling.
#include "support/GuiTest.h"

#include <QScrollBar>

namespace
{

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Paints its client area in one colour.
class CSolidWnd : public CRecordingWnd
{
public:
    explicit CSolidWnd(COLORREF cr) : m_crFill(cr) {}
    void OnPaint() override
    {
        ++m_nPaints;
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, m_crFill);
    }
    COLORREF m_crFill;
    int m_nPaints = 0;
};

class CSelfDeletingWnd : public CRecordingWnd
{
public:
    explicit CSelfDeletingWnd(bool* pDeleted) : m_pDeleted(pDeleted) {}
    ~CSelfDeletingWnd() override { *m_pDeleted = true; }
    void PostNcDestroy() override { delete this; }
    // As a popup that closes on a click does: the last thing the handler does.
    void OnLButtonUp(UINT, CPoint) override { DestroyWindow(); }
    bool* m_pDeleted;
};

TEST(WindowLifeTest, MessagesFromCreationToDestruction)
{
    CRecordingWnd top;
    CRecordingWnd child;
    ASSERT_TRUE(top.CreateTop(10, 20, 120, 80));
    const HWND h = top.GetSafeHwnd();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(CWnd::FromHandle(h), &top);
    EXPECT_FALSE(top.IsWindowVisible());
    EXPECT_EQ(top.Sequence({WM_CREATE, WM_MOVE, WM_SIZE}),
              (std::vector<UINT>{WM_CREATE, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(top.Of(WM_SIZE)[0].lParam, MAKELPARAM(120, 80));
    EXPECT_EQ(top.Of(WM_MOVE)[0].lParam, MAKELPARAM(10, 20));

    ASSERT_TRUE(child.CreateChild(&top, CRect(5, 5, 50, 30)));
    std::vector<std::pair<HWND, UINT>> order;
    top.m_onMessage = child.m_onMessage = nullptr;
    auto log = [&](CRecordingWnd& w)
    {
        return [&order, &w](UINT m, WPARAM, LPARAM, LRESULT&)
        {
            if (m == WM_DESTROY || m == WM_NCDESTROY)
                order.emplace_back(m == WM_DESTROY ? w.GetSafeHwnd() : nullptr, m);
            return false;
        };
    };
    top.m_onMessage = log(top);
    child.m_onMessage = log(child);
    const HWND hChild = child.GetSafeHwnd();
    EXPECT_TRUE(top.DestroyWindow());
    // WM_DESTROY parent first; WM_NCDESTROY child first, both after the handles are gone.
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], std::make_pair(h, WM_DESTROY));
    EXPECT_EQ(order[1], std::make_pair(hChild, WM_DESTROY));
    EXPECT_EQ(order[2].second, WM_NCDESTROY);
    EXPECT_EQ(order[3].second, WM_NCDESTROY);
    EXPECT_EQ(top.GetSafeHwnd(), nullptr);
    EXPECT_EQ(child.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(top.DestroyWindow());
}

TEST(WindowLifeTest, OwnedWindowsGoFirstAndTheirOwnedOnesWithThem)
{
    CRecordingWnd main;
    CRecordingWnd popup;
    CRecordingWnd tip;
    ASSERT_TRUE(main.CreateTop(0, 0, 100, 100));
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"", WS_POPUP, 10, 10, 50, 50, main, 0));
    ASSERT_TRUE(tip.CreateEx(0, nullptr, L"", WS_POPUP, 20, 20, 10, 10, popup, 0));
    EXPECT_EQ(popup.GetParent(), &main);
    EXPECT_EQ(popup.GetOwner(), &main);
    EXPECT_EQ(tip.GetWindow(GW_OWNER), &popup);
    std::vector<CRecordingWnd*> order;
    for (CRecordingWnd* p : {&main, &popup, &tip})
    {
        p->m_onMessage = [&order, p](UINT m, WPARAM, LPARAM, LRESULT&)
        {
            if (m == WM_DESTROY)
                order.push_back(p);
            return false;
        };
    }
    main.DestroyWindow();
    EXPECT_EQ(order, (std::vector<CRecordingWnd*>{&tip, &popup, &main}));
    EXPECT_EQ(tip.GetSafeHwnd(), nullptr);
    EXPECT_EQ(popup.GetSafeHwnd(), nullptr);
}

TEST(WindowLifeTest, AnObjectMayDeleteItselfWhenItsWindowGoes)
{
    bool bDeleted = false;
    auto* pWnd = new CSelfDeletingWnd(&bDeleted);
    ASSERT_TRUE(pWnd->CreateTop(0, 0, 50, 50));
    ShowAndWait(*pWnd);
    QWindow* pWindow = WindowOf(*pWnd);
    QTest::mouseClick(pWindow, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(bDeleted);
    Pump();
}

TEST(WindowLifeTest, CreateFailsWhenOnCreateRefuses)
{
    CRecordingWnd wnd;
    wnd.m_onMessage = [](UINT m, WPARAM, LPARAM, LRESULT& lResult)
    {
        lResult = -1;
        return m == WM_CREATE;
    };
    EXPECT_FALSE(wnd.CreateTop(0, 0, 10, 10));
    EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
    EXPECT_EQ(wnd.Of(WM_NCDESTROY).size(), 1u);
    // A child needs an existing parent.
    CRecordingWnd orphan;
    EXPECT_FALSE(orphan.CreateChild(&wnd, CRect(0, 0, 5, 5)));
}

TEST(WindowRelationTest, ChildrenInCreationOrderWithIdsAndTabStops)
{
    CRecordingWnd top;
    CRecordingWnd a;
    CRecordingWnd b;
    CRecordingWnd c;
    ASSERT_TRUE(top.CreateTop(0, 0, 100, 100));
    ASSERT_TRUE(a.CreateChild(&top, CRect(0, 0, 10, 10), 11, WS_VISIBLE | WS_TABSTOP));
    ASSERT_TRUE(b.CreateChild(&top, CRect(0, 0, 10, 10), 12, WS_VISIBLE));
    ASSERT_TRUE(c.CreateChild(&top, CRect(0, 0, 10, 10), 13, WS_VISIBLE | WS_TABSTOP));
    EXPECT_EQ(top.GetWindow(GW_CHILD), &a);
    EXPECT_EQ(a.GetWindow(GW_HWNDNEXT), &b);
    EXPECT_EQ(b.GetWindow(GW_HWNDNEXT), &c);
    EXPECT_EQ(c.GetWindow(GW_HWNDNEXT), nullptr);
    EXPECT_EQ(top.GetDlgItem(12), &b);
    EXPECT_EQ(top.GetDlgItem(99), nullptr);
    EXPECT_EQ(b.GetDlgCtrlID(), 12);
    EXPECT_EQ(b.GetParent(), &top);
    EXPECT_EQ(b.GetTopLevelParent(), &top);
    EXPECT_TRUE(top.IsChild(&b));
    EXPECT_EQ(top.GetNextDlgTabItem(&a), &c);
    EXPECT_EQ(top.GetNextDlgTabItem(&c), &a);
    c.EnableWindow(FALSE);
    EXPECT_EQ(top.GetNextDlgTabItem(&a), nullptr);
    EXPECT_TRUE(c.GetStyle() & WS_DISABLED);
    // Raising a child puts it first.
    c.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(top.GetWindow(GW_CHILD), &c);
}

TEST(WindowStateTest, TextStylesAndEnabling)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(0, 0, 10, 10));
    wnd.SetWindowText(L"Zorvex");
    EXPECT_EQ(wnd.GetWindowText(), L"Zorvex");
    wchar_t buffer[4];
    EXPECT_EQ(wnd.GetWindowText(buffer, 4), 3);
    EXPECT_EQ(std::wstring(buffer), L"Zor");
    EXPECT_EQ(wnd.GetStyle() & (WS_POPUP | WS_VISIBLE), WS_POPUP);
    EXPECT_TRUE(wnd.ModifyStyle(0, WS_VISIBLE));
    EXPECT_TRUE(wnd.IsWindowVisible());
    EXPECT_FALSE(wnd.ModifyStyle(0, WS_VISIBLE));

    wnd.m_messages.clear();
    EXPECT_FALSE(wnd.EnableWindow(FALSE));
    EXPECT_FALSE(wnd.IsWindowEnabled());
    EXPECT_EQ(wnd.Sequence({WM_CANCELMODE, WM_ENABLE}),
              (std::vector<UINT>{WM_CANCELMODE, WM_ENABLE}));
    EXPECT_EQ(wnd.Of(WM_ENABLE)[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_TRUE(wnd.EnableWindow(TRUE));
    EXPECT_TRUE(wnd.IsWindowEnabled());
}

TEST(WindowGeometryTest, PositionsSizesAndCoordinates)
{
    CRecordingWnd top;
    CRecordingWnd child;
    ASSERT_TRUE(top.CreateTop(30, 40, 200, 100));
    ASSERT_TRUE(child.CreateChild(&top, CRect(10, 20, 60, 50)));
    CRect rc;
    top.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(30, 40, 230, 140));
    child.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(40, 60, 90, 90));
    child.GetClientRect(&rc);
    EXPECT_EQ(rc, CRect(0, 0, 50, 30));
    CPoint pt(1, 2);
    child.ClientToScreen(&pt);
    EXPECT_EQ(pt, CPoint(41, 62));
    top.ScreenToClient(&pt);
    EXPECT_EQ(pt, CPoint(11, 22));

    top.m_messages.clear();
    EXPECT_TRUE(top.SetWindowPos(nullptr, 0, 0, 220, 120, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(top.Sequence({WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_SIZE}));
    EXPECT_EQ(top.Of(WM_SIZE)[0].lParam, MAKELPARAM(220, 120));
    EXPECT_EQ(top.Of(WM_SIZE)[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    top.MoveWindow(-20, 5, 220, 120);
    top.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(-20, 5, 200, 125));
    EXPECT_EQ(top.Of(WM_MOVE).back().lParam, MAKELPARAM(static_cast<unsigned>(-20), 5));
    EXPECT_EQ(GET_X_LPARAM(top.Of(WM_MOVE).back().lParam), -20);

    CRect rcDesktop;
    CWnd::GetDesktopWindow()->GetClientRect(&rcDesktop);
    EXPECT_EQ(rcDesktop.Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetMonitorWorkArea(&top).Width(), GetSystemMetrics(SM_CXSCREEN));
}

TEST(WindowFromPointTest, FindsTheInnermostVisibleEnabledWindow)
{
    CRecordingWnd top;
    CRecordingWnd panel;
    CRecordingWnd button;
    CRecordingWnd hidden;
    ASSERT_TRUE(top.CreateTop(300, 200, 200, 100));
    ASSERT_TRUE(panel.CreateChild(&top, CRect(10, 10, 110, 90)));
    ASSERT_TRUE(button.CreateChild(&panel, CRect(5, 5, 45, 25)));
    ASSERT_TRUE(hidden.CreateChild(&panel, CRect(50, 5, 90, 25), 0, 0));
    ShowAndWait(top);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(320, 220)), &button);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(370, 220)), &panel);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(450, 280)), &top);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(5, 5)), nullptr);
    button.EnableWindow(FALSE);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(320, 220)), &panel);

    // Outside the window's shape nothing of it is hit.
    top.SetWindowRgn(CreateRoundRectRgn(0, 0, 201, 101, 16, 16), FALSE);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(300, 200)), nullptr);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(305, 200)), &top);
}

TEST(WindowRegionTest, TheWindowKeepsItsShape)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(0, 0, 100, 60));
    CRgn shape;
    ASSERT_TRUE(shape.CreateRoundRectRgn(0, 0, 101, 61, 16, 16));
    EXPECT_NE(wnd.SetWindowRgn(shape, TRUE), 0);
    // The caller's region stays its own; the window holds a copy.
    EXPECT_NE(shape.m_hObject, nullptr);
    CRgn copy;
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(wnd.GetWindowRgn(copy), COMPLEXREGION);
    EXPECT_TRUE(copy.EqualRgn(&shape));
    EXPECT_FALSE(copy.PtInRegion(0, 0));
    EXPECT_TRUE(copy.PtInRegion(50, 0));
    wnd.SetWindowRgn(nullptr, TRUE);
    EXPECT_EQ(wnd.GetWindowRgn(copy), RGN_ERROR);
}

TEST(PaintTest, InvalidatedPartsArePaintedAtOnceOnRequest)
{
    CSolidWnd wnd(kRed);
    ASSERT_TRUE(wnd.CreateTop(0, 0, 60, 40));
    ShowAndWait(wnd);
    Pump();
    CBitmap shot;
    ASSERT_TRUE(wnd.GrabClientImage(shot));
    EXPECT_EQ(shot.GetWidth(), 60);
    EXPECT_EQ(shot.GetPixel(59, 39), kRed);

    wnd.m_crFill = kBlue;
    const int nPaints = wnd.m_nPaints;
    CRect rc(10, 10, 20, 20);
    wnd.InvalidateRect(&rc, FALSE);
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_nPaints, nPaints + 1);
    // Only the invalid part was painted over.
    CClientDC dc(&wnd);
    EXPECT_EQ(dc.GetPixel(15, 15), kBlue);
    EXPECT_EQ(dc.GetPixel(25, 15), kRed);
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_nPaints, nPaints + 1);
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(wnd.m_nPaints, nPaints + 2);
    EXPECT_EQ(dc.GetPixel(25, 15), kBlue);
}

// A frame that repaints its children at once from its own WM_PAINT, as the skinned frames do.
class CFrameWnd : public CSolidWnd
{
public:
    CFrameWnd() : CSolidWnd(RGB(0, 255, 0)) {}
    void OnPaint() override
    {
        for (CWnd* pChild = GetWindow(GW_CHILD); pChild != nullptr;
             pChild = pChild->GetWindow(GW_HWNDNEXT))
            pChild->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        CSolidWnd::OnPaint();
    }
};

TEST(PaintTest, ChildrenRepaintedFromTheParentsPaintShowOnTop)
{
    CFrameWnd frame;
    CSolidWnd child(kBlue);
    ASSERT_TRUE(frame.CreateTop(0, 0, 80, 60));
    ASSERT_TRUE(
        child.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 30, 30), &frame, 1));
    ShowAndWait(frame);
    Pump();
    const int nChildPaints = child.m_nPaints;
    frame.RedrawWindow();
    EXPECT_GT(child.m_nPaints, nChildPaints);
    CBitmap shot;
    ASSERT_TRUE(frame.GrabClientImage(shot));
    EXPECT_EQ(shot.GetPixel(20, 20), kBlue);
    EXPECT_EQ(shot.GetPixel(50, 20), RGB(0, 255, 0));
}

TEST(PaintTest, EraseFillsWithTheClassBrushBeforePainting)
{
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = L"WhitePanel";
    ASSERT_TRUE(AfxRegisterClass(&wc));
    WNDCLASS found{};
    EXPECT_TRUE(GetClassInfo(nullptr, L"whitepanel", &found));
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(0, 0, 30, 30, WS_POPUP, L"WhitePanel"));
    ShowAndWait(wnd);
    Pump();
    EXPECT_FALSE(wnd.Of(WM_ERASEBKGND).empty());
    CBitmap shot;
    ASSERT_TRUE(wnd.GrabClientImage(shot));
    EXPECT_EQ(shot.GetPixel(15, 15), RGB(255, 255, 255));
}

TEST(ScrollTest, ScrollWindowMovesPixelsAndChildren)
{
    CSolidWnd top(kRed);
    CRecordingWnd child;
    ASSERT_TRUE(top.CreateTop(0, 0, 100, 100));
    ASSERT_TRUE(child.CreateChild(&top, CRect(10, 50, 30, 60)));
    ShowAndWait(top);
    Pump();
    {
        CClientDC dc(&top);
        dc.SetPixel(40, 40, kBlue);
    }
    top.m_crFill = RGB(0, 255, 0);
    top.ScrollWindow(0, -30);
    CRect rc;
    child.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(10, 20, 30, 30));
    EXPECT_EQ(child.Of(WM_MOVE).back().lParam, MAKELPARAM(10, 20));
    CClientDC dc(&top);
    EXPECT_EQ(dc.GetPixel(40, 10), kBlue);
    // The strip that came free is painted anew.
    top.UpdateWindow();
    EXPECT_EQ(dc.GetPixel(40, 80), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(40, 60), kRed);
}

TEST(ScrollTest, ScrollBarsFollowTheirRangeAndTakeSpaceFromTheClientArea)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(0, 0, 200, 100));
    ShowAndWait(wnd);
    CRect rc;
    wnd.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), 200);
    // Content 300 in a view of 100: the bar shows and the client area loses its width.
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 300, 100, 0, 0};
    wnd.m_messages.clear();
    EXPECT_TRUE(wnd.SetScrollInfo(SB_VERT, &si));
    wnd.GetClientRect(&rc);
    EXPECT_EQ(rc, CRect(0, 0, 200 - GetSystemMetrics(SM_CXVSCROLL), 100));
    ASSERT_FALSE(wnd.Of(WM_SIZE).empty());
    EXPECT_EQ(wnd.Of(WM_SIZE).back().lParam, MAKELPARAM(184, 100));
    EXPECT_EQ(wnd.GetScrollLimit(SB_VERT), 201);
    EXPECT_EQ(wnd.SetScrollPos(SB_VERT, 500), 0);
    EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 201);

    // Content that fits: the bar goes, unless told to stay disabled.
    si.nMax = 50;
    wnd.SetScrollInfo(SB_VERT, &si);
    wnd.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), 200);
    EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 0);
    si.fMask |= SIF_DISABLENOSCROLL;
    wnd.SetScrollInfo(SB_VERT, &si);
    wnd.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), 184);
    EXPECT_TRUE(wnd.GetStyle() & WS_VSCROLL);
}

TEST(ScrollTest, ScrollBarActionsBecomeScrollMessagesAndTheWindowMovesTheThumb)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(0, 0, 200, 100));
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 300, 100, 40, 0};
    wnd.SetScrollInfo(SB_VERT, &si);
    QScrollBar* pBar = wnd::HostOf(&wnd)->m_pBars[SB_VERT];
    const struct
    {
        QAbstractSlider::SliderAction action;
        UINT nCode;
    } cases[] = {
        {QAbstractSlider::SliderSingleStepAdd, SB_LINEDOWN},
        {QAbstractSlider::SliderSingleStepSub, SB_LINEUP},
        {QAbstractSlider::SliderPageStepAdd, SB_PAGEDOWN},
        {QAbstractSlider::SliderPageStepSub, SB_PAGEUP},
        {QAbstractSlider::SliderToMaximum, SB_BOTTOM},
    };
    for (const auto& c : cases)
    {
        wnd.m_messages.clear();
        pBar->triggerAction(c.action);
        ASSERT_EQ(wnd.Of(WM_VSCROLL).size(), 1u) << c.nCode;
        EXPECT_EQ(LOWORD(wnd.Of(WM_VSCROLL)[0].wParam), c.nCode);
        // Nobody called SetScrollPos: the thumb stays.
        EXPECT_EQ(pBar->value(), 40);
        EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 40);
    }
    // Dragging the thumb reports its position; the window's position changes when it says so.
    wnd.m_messages.clear();
    pBar->setSliderPosition(120);
    ASSERT_EQ(wnd.Of(WM_VSCROLL).size(), 1u);
    EXPECT_EQ(wnd.Of(WM_VSCROLL)[0].wParam, MAKEWPARAM(SB_THUMBTRACK, 120));
    SCROLLINFO track{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    wnd.GetScrollInfo(SB_VERT, &track, SIF_TRACKPOS);
    EXPECT_EQ(track.nTrackPos, 120);
    EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 40);
    wnd.SetScrollPos(SB_VERT, 120);
    EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 120);
}

TEST(SysCommandTest, CloseDestroysAPlainWindowAndMaximizeReportsItsState)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(10, 10, 100, 80));
    ShowAndWait(wnd);
    wnd.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wnd.IsZoomed() != FALSE; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return wnd.Of(WM_SIZE).back().wParam == static_cast<WPARAM>(SIZE_MAXIMIZED); },
        2000));
    WINDOWPLACEMENT wp{};
    ASSERT_TRUE(wnd.GetWindowPlacement(&wp));
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    wnd.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return wnd.Of(WM_SIZE).back().wParam == static_cast<WPARAM>(SIZE_RESTORED); }, 2000));

    wnd.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(wnd.Sequence({WM_CLOSE, WM_DESTROY}), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
}

class CCaptionWnd : public CRecordingWnd
{
public:
    LRESULT OnNcHitTest(CPoint point) override
    {
        CPoint pt = point;
        ScreenToClient(&pt);
        CRect rc;
        GetClientRect(&rc);
        if (pt.x > rc.right - 10 && pt.y > rc.bottom - 10)
            return HTBOTTOMRIGHT;
        if (pt.x < 5)
            return HTLEFT;
        return pt.y < 25 ? HTCAPTION : HTCLIENT;
    }
    void OnGetMinMaxInfo(MINMAXINFO* pMMI) override { pMMI->ptMinTrackSize = POINT{150, 100}; }
};

// Without a window manager (offscreen here) the window follows the pointer itself.
TEST(MoveResizeTest, CaptionPressMovesTheWindowUntilRelease)
{
    CCaptionWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(100, 100, 200, 150));
    ShowAndWait(wnd);
    QWindow* pWindow = WindowOf(wnd);
    PointerAt(pWindow, QPoint(150, 110), Qt::LeftButton);
    EXPECT_TRUE(wnd.Of(WM_LBUTTONDOWN).empty());
    PointerAt(pWindow, QPoint(180, 130));
    CRect rc;
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(130, 120, 330, 270));
    PointerAt(pWindow, QPoint(160, 115));
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(110, 105));
    PointerAt(pWindow, QPoint(160, 115), Qt::NoButton, Qt::LeftButton);
    PointerAt(pWindow, QPoint(250, 250));
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(110, 105));
    EXPECT_FALSE(wnd.Of(WM_MOVE).empty());
    // Below the caption a press is an ordinary click.
    Click(wnd, CPoint(100, 100));
    EXPECT_EQ(wnd.Of(WM_LBUTTONDOWN).size(), 1u);
}

TEST(MoveResizeTest, EdgeDragResizesButKeepsTheMinimumSize)
{
    CCaptionWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(100, 100, 200, 150));
    ShowAndWait(wnd);
    QWindow* pWindow = WindowOf(wnd);
    PointerAt(pWindow, QPoint(295, 245), Qt::LeftButton);
    PointerAt(pWindow, QPoint(315, 265));
    CRect rc;
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(100, 100, 320, 270));
    ASSERT_FALSE(wnd.Of(WM_SIZING).empty());
    EXPECT_EQ(wnd.Of(WM_SIZING).back().wParam, static_cast<WPARAM>(WMSZ_BOTTOMRIGHT));
    EXPECT_EQ(wnd.Of(WM_SIZE).back().lParam, MAKELPARAM(220, 170));
    PointerAt(pWindow, QPoint(120, 120));
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(100, 100, 250, 200));
    PointerAt(pWindow, QPoint(120, 120), Qt::NoButton, Qt::LeftButton);

    // Dragging the left edge keeps the right edge where it was.
    PointerAt(pWindow, QPoint(102, 160), Qt::LeftButton);
    PointerAt(pWindow, QPoint(240, 160));
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(100, 100, 250, 200));
    PointerAt(pWindow, QPoint(82, 160));
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(80, 100, 250, 200));
    PointerAt(pWindow, QPoint(82, 160), Qt::NoButton, Qt::LeftButton);
}

} // namespace
