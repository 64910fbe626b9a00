// CCustomDialog's sizing and pointer handling on offscreen windows: the minimum size, maximising
// and the window's shape, the resize zones, and the wheel.
#include "ui/CustomDialog.h"

#include "SkinTest.h"
#include "UiTest.h"
#include "platform/Button.h"
#include "support/GuiTest.h"

#include <memory>

namespace
{

class CustomDialogSizingTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pBundled = std::make_unique<CBundledSkin>(); }
    static void TearDownTestSuite() { s_pBundled.reset(); }

    // A resizable modeless dialog at rc, initialised and shown.
    static void MakeShown(CCustomDialog& dlg, const CRect& rc = CRect(100, 100, 400, 300))
    {
        dlg.m_bResizable = true;
        dlg.SetInitialRect(rc);
        ASSERT_TRUE(dlg.Create(nullptr));
        ShowAndWait(dlg);
    }
    static CRect WindowRect(const CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        return rc;
    }

    static std::unique_ptr<CBundledSkin> s_pBundled;
};

std::unique_ptr<CBundledSkin> CustomDialogSizingTest::s_pBundled;

TEST_F(CustomDialogSizingTest, SizingKeepsTheMinimumByMovingTheRightAndBottomEdges)
{
    CCustomDialog dlg;
    MakeShown(dlg);
    const struct
    {
        UINT nSide;
        CRect rcProposed;
        CRect rcExpected;
    } cases[] = {
        {WMSZ_LEFT, CRect(300, 100, 400, 300), CRect(300, 100, 530, 300)},
        {WMSZ_RIGHT, CRect(100, 100, 200, 300), CRect(100, 100, 330, 300)},
        {WMSZ_TOPLEFT, CRect(300, 250, 400, 300), CRect(300, 250, 530, 350)},
        {WMSZ_BOTTOMRIGHT, CRect(100, 100, 150, 150), CRect(100, 100, 330, 200)},
        {WMSZ_BOTTOM, CRect(100, 100, 400, 300), CRect(100, 100, 400, 300)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nSide);
        CRect rc = c.rcProposed;
        dlg.SendMessage(WM_SIZING, c.nSide, reinterpret_cast<LPARAM>(static_cast<RECT*>(&rc)));
        EXPECT_EQ(rc, c.rcExpected);
    }
}

// Without a window manager (offscreen) the layer resizes the window itself.
TEST_F(CustomDialogSizingTest, LeftEdgeDraggedBelowTheMinimumWidthMovesTheRightEdge)
{
    CCustomDialog dlg;
    MakeShown(dlg);
    QWindow* pWindow = WindowOf(dlg);
    PointerAt(pWindow, QPoint(102, 200), Qt::LeftButton);
    PointerAt(pWindow, QPoint(150, 200));
    EXPECT_EQ(WindowRect(dlg), CRect(148, 100, 400, 300));
    PointerAt(pWindow, QPoint(330, 200));
    EXPECT_EQ(WindowRect(dlg), CRect(328, 100, 558, 300));
    PointerAt(pWindow, QPoint(330, 200), Qt::NoButton, Qt::LeftButton);
}

// A saved placement may be smaller than the minimum for the user's resizing.
TEST_F(CustomDialogSizingTest, ProgramSizesBelowTheMinimumEvenAfterAResize)
{
    CCustomDialog dlg;
    dlg.m_nMinWidth = 220;
    dlg.m_nMinHeight = 200;
    MakeShown(dlg, CRect(100, 100, 400, 350));
    QWindow* pWindow = WindowOf(dlg);
    PointerAt(pWindow, QPoint(398, 200), Qt::LeftButton);
    PointerAt(pWindow, QPoint(420, 200));
    PointerAt(pWindow, QPoint(420, 200), Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(WindowRect(dlg), CRect(100, 100, 422, 350));
    EXPECT_EQ(ClientOf(dlg)->window()->minimumSize(), QSize(0, 0));
    dlg.SetWindowPos(nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(dlg), CRect(100, 100, 300, 300));
    dlg.MoveWindow(50, 60, 150, 120);
    EXPECT_EQ(WindowRect(dlg), CRect(50, 60, 200, 180));
}

TEST_F(CustomDialogSizingTest, MaximisingSquaresTheShapeAndStopsTheResizeZones)
{
    CCustomDialog dlg;
    MakeShown(dlg);
    const auto HitAt = [&](int x, int y)
    {
        CPoint pt(x, y);
        dlg.ClientToScreen(&pt);
        return dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    };
    EXPECT_TRUE(RoundShape(dlg));
    EXPECT_EQ(HitAt(2, 100), HTLEFT);
    EXPECT_EQ(HitAt(295, 195), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(100, 20), HTCAPTION);
    EXPECT_EQ(HitAt(100, 100), HTCLIENT);

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SKIN_MAXIMIZE, BN_CLICKED));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.IsZoomed() != FALSE; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !RoundShape(dlg); }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowRect(dlg).Width() > 300; }, 2000));
    EXPECT_EQ(HitAt(2, 100), HTCLIENT);
    EXPECT_EQ(HitAt(2, 10), HTCAPTION);

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SKIN_MAXIMIZE, BN_CLICKED));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.IsZoomed() == FALSE; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return RoundShape(dlg); }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowRect(dlg).Width() == 300; }, 2000));
    EXPECT_EQ(HitAt(2, 100), HTLEFT);
}

// A list: scrolls 40 pixels for every wheel message that reaches it.
class CScrollPanel : public CWnd
{
public:
    BOOL OnMouseWheel(UINT, short, CPoint) override
    {
        m_nScrolled += 40;
        return TRUE;
    }
    int m_nScrolled = 0;
};

TEST_F(CustomDialogSizingTest, OneWheelNotchScrollsOnceTheListUnderThePointer)
{
    CCustomDialog dlg;
    MakeShown(dlg, CRect(100, 100, 400, 400));
    // Two lists of button rows; the first row of the first list has the focus.
    CScrollPanel focusedList;
    CScrollPanel otherList;
    ASSERT_TRUE(focusedList.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(20, 40, 280, 140),
                                   &dlg, 100));
    ASSERT_TRUE(
        otherList.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(20, 160, 280, 260), &dlg, 101));
    CButton rows[3];
    ASSERT_TRUE(rows[0].Create(L"a", WS_CHILD | WS_VISIBLE, CRect(0, 0, 260, 30), &focusedList, 1));
    ASSERT_TRUE(
        rows[1].Create(L"b", WS_CHILD | WS_VISIBLE, CRect(0, 30, 260, 60), &focusedList, 2));
    ASSERT_TRUE(rows[2].Create(L"c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 260, 30), &otherList, 3));
    rows[0].SetFocus();
    ASSERT_EQ(CWnd::GetFocus(), &rows[0]);

    const struct
    {
        const char* pszWhere;
        CPoint pt; // dialog client coordinates
        Qt::KeyboardModifiers modifiers;
        int nFocusedList;
        int nOtherList;
    } cases[] = {
        {"the focused row", CPoint(100, 50), Qt::NoModifier, 40, 0},
        {"another row of the focused list", CPoint(100, 80), Qt::NoModifier, 40, 0},
        {"the focused list below its rows", CPoint(100, 120), Qt::NoModifier, 40, 0},
        {"the dialog between the lists", CPoint(100, 150), Qt::NoModifier, 40, 0},
        {"a row of the other list", CPoint(100, 170), Qt::NoModifier, 0, 40},
        {"the other list below its row", CPoint(100, 230), Qt::NoModifier, 0, 40},
        {"the other list, Shift held", CPoint(100, 230), Qt::ShiftModifier, 40, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhere);
        focusedList.m_nScrolled = 0;
        otherList.m_nScrolled = 0;
        Wheel(dlg, c.pt, 120, c.modifiers);
        Pump();
        EXPECT_EQ(focusedList.m_nScrolled, c.nFocusedList);
        EXPECT_EQ(otherList.m_nScrolled, c.nOtherList);
    }
}

} // namespace
