// The general windows: scrolling of the panel by its bars, ScrollBy and the wheel, commands
// passed to the parent, and the framed box with its inner panel.
#include "ui/GeneralWindow.h"

#include "UiTest.h"
#include "support/GuiTest.h"
#include "ui/GeneralSubWindow2.h"
#include "ui/VelButton.h"

#include <memory>

namespace
{

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kEdge = RGB(100, 100, 100);
constexpr COLORREF kCut = RGB(168, 174, 186);

// Where a child window is, in its parent's client coordinates.
CRect RectInParent(const CWnd& wnd)
{
    CRect rc;
    wnd.GetWindowRect(&rc);
    wnd.GetParent()->ScreenToClient(&rc);
    return rc;
}

// A 200 x 200 panel in a parent that records commands, with a button at content (0, 150).
class GeneralSubWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateAt(100, 100, 300, 300));
        ASSERT_TRUE(m_panel.Create(0, 0, 200, 200, &m_parent));
        ASSERT_TRUE(m_button.Create(L"row", WS_CHILD | WS_VISIBLE, CRect(0, 150, 100, 170),
                                    &m_panel, kButtonId));
    }

    static constexpr UINT kButtonId = 77;
    CTestParent m_parent;
    CGeneralSubWindow2 m_panel;
    CVelButton m_button;
};

TEST_F(GeneralSubWindowTest, ScrollBarMessagesMoveTheViewWithinTheContent)
{
    const struct
    {
        const char* pszName;
        int nContentWidth;
        int nContentHeight;
        UINT message;
        std::vector<UINT> codes;
        int nThumb;
        CPoint ptExpected; // scroll x, scroll y
    } cases[] = {
        {"page down stops at the end", 0, 300, WM_VSCROLL, {SB_PAGEDOWN}, 0, {0, 100}},
        {"page up returns to the top", 0, 300, WM_VSCROLL, {SB_PAGEDOWN, SB_PAGEUP}, 0, {0, 0}},
        {"line down", 0, 300, WM_VSCROLL, {SB_LINEDOWN, SB_LINEDOWN}, 0, {0, 20}},
        {"thumb", 0, 300, WM_VSCROLL, {SB_THUMBTRACK}, 60, {0, 60}},
        {"content smaller than the view",
         0,
         100,
         WM_VSCROLL,
         {SB_PAGEDOWN, SB_LINEDOWN},
         0,
         {0, 0}},
        {"page right is 3/4 of the view", 500, 0, WM_HSCROLL, {SB_PAGERIGHT}, 0, {150, 0}},
        {"other codes do nothing", 0, 300, WM_VSCROLL, {SB_ENDSCROLL, SB_BOTTOM}, 0, {0, 0}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_panel.SetContentSize(c.nContentWidth, c.nContentHeight);
        m_panel.ScrollBy(-1000, -1000);
        for (UINT nCode : c.codes)
            m_panel.SendMessage(c.message, MAKEWPARAM(nCode, c.nThumb), 0);

        EXPECT_EQ(CPoint(m_panel.GetScrollX(), m_panel.GetScrollY()), c.ptExpected);
        EXPECT_EQ(m_panel.GetScrollPos(SB_HORZ), c.ptExpected.x);
        EXPECT_EQ(m_panel.GetScrollPos(SB_VERT), c.ptExpected.y);
        // The children move with the content.
        EXPECT_EQ(RectInParent(m_button).TopLeft(), CPoint(-c.ptExpected.x, 150 - c.ptExpected.y));
        // Fitting content keeps the panel scrollable.
        EXPECT_TRUE(m_panel.IsVScrollOn());
        EXPECT_TRUE(m_panel.IsHScrollOn());
    }
}

TEST_F(GeneralSubWindowTest, ScrollByClampsToTheContentAndBarsShowOnlyWhenNeeded)
{
    m_panel.SetContentSize(0, 300);
    EXPECT_TRUE(m_panel.GetStyle() & WS_VSCROLL);
    EXPECT_FALSE(m_panel.GetStyle() & WS_HSCROLL);
    EXPECT_EQ(m_panel.GetViewSize(), CSize(200 - GetSystemMetrics(SM_CXVSCROLL), 200));

    m_panel.ScrollBy(0, 150);
    EXPECT_EQ(m_panel.GetScrollY(), 100);
    m_panel.ScrollBy(0, -30);
    EXPECT_EQ(m_panel.GetScrollY(), 70);

    // Content that shrinks below the view takes the view back to the top.
    m_panel.SetContentSize(0, 100);
    EXPECT_EQ(m_panel.GetScrollY(), 0);
    EXPECT_FALSE(m_panel.GetStyle() & WS_VSCROLL);
    EXPECT_EQ(RectInParent(m_button).TopLeft(), CPoint(0, 150));
}

TEST_F(GeneralSubWindowTest, AChildMadeAtItsContentPlaceWhileScrolledLinesUpWithTheOthers)
{
    m_panel.SetContentSize(300, 400);
    m_panel.ScrollBy(30, 120);
    const CRect rcContent(0, 150, 100, 170);
    CVelButton twin;
    ASSERT_TRUE(twin.Create(L"twin", WS_CHILD | WS_VISIBLE, m_panel.ContentToView(rcContent),
                            &m_panel, kButtonId + 1));
    EXPECT_EQ(RectInParent(twin), RectInParent(m_button));
    EXPECT_EQ(m_panel.ViewToContent(RectInParent(twin)), rcContent);
    // Both move on together with the content.
    m_panel.ScrollBy(-30, -120);
    EXPECT_EQ(RectInParent(twin), rcContent);
    EXPECT_EQ(RectInParent(m_button), rcContent);
}

TEST_F(GeneralSubWindowTest, WheelScrollsFortyPixelsANotch)
{
    ASSERT_NO_FATAL_FAILURE(ShowAndWait(m_parent));
    m_panel.SetContentSize(0, 300);
    const struct
    {
        int nStartY;
        int nDelta;
        int nExpectedY;
    } cases[] = {
        {100, WHEEL_DELTA, 60},
        {60, -WHEEL_DELTA, 100},
        {0, WHEEL_DELTA, 0},
        {80, -2 * WHEEL_DELTA, 100},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "from " << c.nStartY << " by " << c.nDelta);
        m_panel.ScrollBy(0, c.nStartY - m_panel.GetScrollY());
        // The wheel turns for the focused row, which passes it on to the panel.
        m_button.SetFocus();
        Wheel(m_panel, RectInParent(m_button).CenterPoint(), c.nDelta);
        EXPECT_EQ(m_panel.GetScrollY(), c.nExpectedY);
        EXPECT_EQ(RectInParent(m_button).top, 150 - c.nExpectedY);
    }
}

TEST_F(GeneralSubWindowTest, OnlyRowsInViewPaintWithThePanelTheOthersWhenScrolledIn)
{
    // A long list paints only what shows: rows below the view wait until they are scrolled in.
    CRecordingWnd rowShown, rowBelow;
    ASSERT_TRUE(rowShown.CreateChild(&m_panel, CRect(0, 10, 100, 30)));
    ASSERT_TRUE(rowBelow.CreateChild(&m_panel, CRect(0, 400, 100, 420)));
    m_panel.SetContentSize(0, 500);
    ASSERT_NO_FATAL_FAILURE(ShowAndWait(m_parent));
    rowShown.m_messages.clear();
    rowBelow.m_messages.clear();

    rowShown.Invalidate();
    rowBelow.Invalidate();
    UpdateChildWindows(&m_panel);
    EXPECT_EQ(rowShown.Of(WM_PAINT).size(), 1u);
    EXPECT_TRUE(rowBelow.Of(WM_PAINT).empty());

    m_panel.ScrollBy(0, 300);
    UpdateChildWindows(&m_panel);
    Pump();
    EXPECT_FALSE(rowBelow.Of(WM_PAINT).empty());
}

TEST_F(GeneralSubWindowTest, ChildrensCommandsReachTheParent)
{
    ASSERT_NO_FATAL_FAILURE(ShowAndWait(m_parent));
    Click(m_button, CPoint(5, 5));
    Pump();
    EXPECT_EQ(m_parent.m_commands, std::vector<UINT>{kButtonId});

    const struct
    {
        UINT nID;
        UINT nCode;
        bool bPassed;
    } cases[] = {
        {3, BN_CLICKED, true},        {65000, BN_CLICKED, true},       {2, BN_CLICKED, false},
        {65001, BN_CLICKED, false},   {1200, LBN_SELCHANGE, true},     {1201, CBN_SELCHANGE, true},
        {1202, LBN_SELCHANGE, false}, {1300, EN_CHANGE, true},         {1305, EN_UPDATE, true},
        {1306, EN_CHANGE, false},     {1300, BN_DOUBLECLICKED, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nID << " code " << c.nCode);
        m_parent.m_commands.clear();
        m_panel.SendMessage(WM_COMMAND, MAKEWPARAM(c.nID, c.nCode), 0);
        EXPECT_EQ(m_parent.m_commands, c.bPassed ? std::vector<UINT>{c.nID} : std::vector<UINT>{});
    }
}

class GeneralWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateAt(100, 100, 300, 300));
        ASSERT_TRUE(m_box.Create(10, 10, 100, 50, &m_parent));
    }

    CTestParent m_parent;
    CGeneralWindow m_box;
};

TEST_F(GeneralWindowTest, PanelFillsTheBoxInsideTheEdgeAndFollowsItsSize)
{
    CGeneralSubWindow* pPanel = m_box.CreatePanel();
    ASSERT_NE(pPanel, nullptr);
    EXPECT_EQ(pPanel->m_pOwnerWindow, &m_box);
    EXPECT_EQ(RectInParent(*pPanel), CRect(2, 2, 99, 49));
    EXPECT_EQ(pPanel->GetViewSize(), CSize(97, 47));

    m_box.SetWindowPos(nullptr, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(RectInParent(*pPanel), CRect(2, 2, 199, 119));
}

TEST_F(GeneralWindowTest, FramePaintsTheEdgeAndCutCorners)
{
    m_box.CreatePanel();
    CBitmap shot;
    ASSERT_TRUE(m_box.GrabClientImage(shot));
    const struct
    {
        int x;
        int y;
        COLORREF cr;
    } pixels[] = {
        // The points stay grouped by corner.
        // clang-format off
        // top left corner and the ends of the two edge lines
        {0, 0, kCut}, {2, 0, kCut}, {1, 1, kCut}, {0, 2, kCut}, {3, 0, kEdge}, {0, 3, kEdge},
        {2, 1, kEdge}, {3, 1, kEdge}, {1, 2, kEdge}, {1, 3, kEdge}, {4, 1, kWhite},
        {96, 0, kEdge}, {0, 46, kEdge},
        // top right
        {97, 0, kCut}, {99, 0, kCut}, {97, 1, kCut}, {99, 3, kCut}, {99, 4, kWhite},
        {1, 4, kWhite},
        // bottom left
        {0, 47, kCut}, {1, 47, kCut}, {0, 49, kCut}, {3, 49, kCut}, {1, 48, kCut},
        {4, 49, kWhite}, {1, 46, kWhite},
        // bottom right
        {97, 49, kCut}, {99, 49, kCut}, {99, 47, kCut}, {96, 49, kWhite}, {99, 46, kWhite},
        {50, 49, kWhite},
    };
    // clang-format on
    for (const auto& p : pixels)
    {
        SCOPED_TRACE(testing::Message() << "(" << p.x << ", " << p.y << ")");
        EXPECT_EQ(shot.GetPixel(p.x, p.y), p.cr);
    }
    // The edge runs along the top and the left only.
    EXPECT_EQ(ColourBox(shot, kEdge), CRect(0, 0, 97, 47));

    m_box.m_bFramed = false;
    m_box.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CBitmap plain;
    ASSERT_TRUE(m_box.GrabClientImage(plain));
    EXPECT_EQ(InkBox(plain, kWhite), CRect());
}

TEST_F(GeneralWindowTest, CommandsFromInsideReachTheParentExceptTheDroppedClicks)
{
    const struct
    {
        UINT nID;
        UINT nCode;
        bool bPassed;
    } cases[] = {
        {0, BN_CLICKED, true},           {8008, BN_CLICKED, true},        {8007, BN_CLICKED, false},
        {8007, BN_DOUBLECLICKED, false}, {8008, BN_DOUBLECLICKED, false}, {1302, EN_CHANGE, true},
        {1200, LBN_SELCHANGE, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nID << " code " << c.nCode);
        m_parent.m_commands.clear();
        m_box.SendMessage(WM_COMMAND, MAKEWPARAM(c.nID, c.nCode), 0);
        EXPECT_EQ(m_parent.m_commands, c.bPassed ? std::vector<UINT>{c.nID} : std::vector<UINT>{});
    }
}

// A parent that destroys the box when a button inside it is clicked.
class CClosingParent : public CTestParent
{
public:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == kClose && m_pBox != nullptr)
            AfxDeleteLater(std::move(m_pBox));
        return CTestParent::OnCommand(wParam, lParam);
    }
    static constexpr UINT kClose = 55;
    std::unique_ptr<CGeneralWindow> m_pBox = std::make_unique<CGeneralWindow>();
};

TEST(GeneralWindowLifetimeTest, BoxClosedByAClickInsideItsOwnPanel)
{
    CClosingParent parent;
    ASSERT_TRUE(parent.CreateAt(100, 100, 300, 300));
    ASSERT_TRUE(parent.m_pBox->Create(10, 10, 200, 100, &parent));
    CGeneralSubWindow* pPanel = parent.m_pBox->CreatePanel();
    CVelButton close;
    ASSERT_TRUE(close.Create(L"close", WS_CHILD | WS_VISIBLE, CRect(5, 5, 60, 25), pPanel,
                             CClosingParent::kClose));
    CVelButton other;
    ASSERT_TRUE(
        other.Create(L"other", WS_CHILD | WS_VISIBLE, CRect(10, 200, 60, 220), &parent, 66));
    ASSERT_NO_FATAL_FAILURE(ShowAndWait(parent));

    Click(close, CPoint(5, 5));
    Pump();
    EXPECT_FALSE(parent.m_pBox);
    EXPECT_EQ(close.GetSafeHwnd(), nullptr);
    Click(other, CPoint(5, 5));
    Pump();
    EXPECT_EQ(parent.m_commands, (std::vector<UINT>{CClosingParent::kClose, 66}));
}

} // namespace
