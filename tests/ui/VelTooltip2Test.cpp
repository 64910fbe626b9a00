// CVelTooltip2 on offscreen windows: the rest time, hiding, placement at the screen edge, the
// drawn frame, the skinned frame's title-button tips and the poll that sleeps while the pointer
// is away. Time is driven through a clock of the test's own and ticks sent by hand.
#include "ui/VelTooltip2.h"

#include "SkinTest.h"
#include "UiTest.h"
#include "support/GuiTest.h"
#include "ui/CustomDialog.h"
#include "ui/TextMeasure.h"
#include "ui/VelButton.h"
#include "ui/VelStatic2.h"

#include <memory>

namespace
{

class CTestTooltip : public CVelTooltip2
{
public:
    double m_dNow = 1000.0;

protected:
    double Now() const override { return m_dNow; }
};

// On the button, (40, 30) in the parent's client area; and a point outside every window.
const CPoint kOnButton(140, 130);
const CPoint kOutside(700, 700);

class VelTooltip2Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pTip = std::make_unique<CTestTooltip>();
        ASSERT_TRUE(m_parent.CreateAt(100, 100, 300, 200));
        ShowAndWait(m_parent);
        ASSERT_TRUE(
            m_button.Create(L"", WS_CHILD | WS_VISIBLE, CRect(20, 20, 120, 50), &m_parent, 100));
        m_button.SetTooltipText(L"Save the game");
        ASSERT_TRUE(m_pTip->CreateTooltipWindow(&m_parent));
    }
    void TearDown() override
    {
        m_pTip.reset();
        SetCursorPos(kOutside.x, kOutside.y);
        Pump();
    }

    // One timer tick, dSeconds after the last.
    void TickAfter(double dSeconds)
    {
        m_pTip->m_dNow += dSeconds;
        m_pTip->SendMessage(WM_TIMER, CVelTooltip2::TIMER_TRACK);
    }
    // The pointer at pt, seen by one tick; then dRest seconds of rest, ticked at the end.
    void RestAt(CPoint pt, double dRest)
    {
        SetCursorPos(pt.x, pt.y);
        TickAfter(0.05);
        TickAfter(dRest);
    }
    bool Shown() const { return CVelTooltip2::IsTipShown() && m_pTip->IsWindowVisible(); }
    CRect TipRect() const
    {
        CRect rc;
        m_pTip->GetWindowRect(&rc);
        return rc;
    }
    std::wstring ShownText() const
    {
        return m_pTip->m_listLineWnds.empty() ? std::wstring()
                                              : m_pTip->m_listLineWnds.front()->GetWindowText();
    }

    CTestParent m_parent;
    CVelButton m_button;
    std::unique_ptr<CTestTooltip> m_pTip;
};

TEST_F(VelTooltip2Test, ShownOnTheFirstTickAfterHalfASecondOfRestBelowThePointer)
{
    RestAt(kOnButton, 0.45);
    EXPECT_FALSE(Shown());
    TickAfter(0.05);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownText(), L"Save the game");
    const CSize text = GetTextSize(L"Save the game", nullptr, 1000);
    EXPECT_EQ(TipRect(), CRect(kOnButton.x, kOnButton.y + 20, kOnButton.x + text.cx + 10,
                               kOnButton.y + 20 + text.cy + 4));
    EXPECT_EQ(m_pTip->m_listLineWnds.front()->GetDlgCtrlID(), 10001);
    // A shown tip stays while the pointer rests.
    TickAfter(5);
    EXPECT_TRUE(Shown());
}

TEST_F(VelTooltip2Test, OnePixelOfMovementHidesTheTipUntilThePointerRestsAgain)
{
    RestAt(kOnButton, 0.5);
    ASSERT_TRUE(Shown());
    SetCursorPos(kOnButton.x + 1, kOnButton.y);
    TickAfter(0.05);
    EXPECT_FALSE(Shown());
    TickAfter(0.45);
    EXPECT_FALSE(Shown());
    TickAfter(0.05);
    EXPECT_TRUE(Shown());
}

TEST_F(VelTooltip2Test, APressOnTheControlHidesTheTipAtOnce)
{
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
    {
        SCOPED_TRACE(static_cast<int>(button));
        RestAt(kOnButton, 0.5);
        ASSERT_TRUE(Shown());
        Press(m_button, CPoint(20, 10), button);
        EXPECT_FALSE(Shown());
        Release(m_button, CPoint(20, 10), button);
        SetCursorPos(kOutside.x, kOutside.y);
        TickAfter(0.05);
    }
}

TEST_F(VelTooltip2Test, AMouseMoveOfTheControlAwayFromTheLastPollHidesTheTip)
{
    RestAt(kOnButton, 0.5);
    ASSERT_TRUE(Shown());
    MSG same{m_button.GetSafeHwnd(), WM_MOUSEMOVE, 0, 0, 0, POINT(kOnButton)};
    m_pTip->RelayMouseMessage(&same);
    EXPECT_TRUE(Shown());
    MSG moved{m_button.GetSafeHwnd(), WM_MOUSEMOVE, 0, 0, 0, POINT{kOnButton.x, kOnButton.y + 1}};
    m_pTip->RelayMouseMessage(&moved);
    EXPECT_FALSE(Shown());
}

TEST_F(VelTooltip2Test, ANewTextReplacesTheOldAndAnEmptyOneShowsNothing)
{
    m_button.SetTooltipText(L"Load");
    RestAt(kOnButton, 0.5);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownText(), L"Load");

    m_button.SetTooltipText(L"");
    SetCursorPos(kOnButton.x, kOnButton.y + 2);
    TickAfter(0.05);
    TickAfter(1);
    EXPECT_FALSE(Shown());
}

TEST_F(VelTooltip2Test, AnotherWindowUnderThePointerHidesTheTip)
{
    RestAt(kOnButton, 0.5);
    ASSERT_TRUE(Shown());
    // The parent, next to the button, without moving the tip's rest clock forward.
    SetCursorPos(kOnButton.x + 150, kOnButton.y);
    TickAfter(0);
    EXPECT_FALSE(Shown());
    TickAfter(1);
    EXPECT_FALSE(Shown()) << "the parent has no text";
}

TEST_F(VelTooltip2Test, NearTheScreenEdgeTheTipMovesBackByItsOwnSize)
{
    const CRect rcWork = GetMonitorWorkArea(nullptr);
    const CSize text = GetTextSize(L"Tip", nullptr, 1000);
    const int w = text.cx + 9;
    const int h = text.cy + 2;
    const struct
    {
        const char* pszName;
        CPoint pt;
        CPoint ptExpected;
    } cases[] = {
        {"room", CPoint(300, 300), CPoint(300, 300)},
        {"right", CPoint(rcWork.right - w + 1, 300), CPoint(rcWork.right - 2 * w + 1, 300)},
        {"bottom", CPoint(300, rcWork.bottom - h + 1), CPoint(300, rcWork.bottom - 2 * h + 1)},
        {"fits exactly", CPoint(rcWork.right - w, rcWork.bottom - h),
         CPoint(rcWork.right - w, rcWork.bottom - h)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SetCursorPos(c.pt.x, c.pt.y - 20);
        m_pTip->ClearLines();
        m_pTip->AddLine(L"Tip");
        m_pTip->ShowAt(c.pt.x, c.pt.y);
        EXPECT_EQ(TipRect().TopLeft(), c.ptExpected);
    }
}

TEST_F(VelTooltip2Test, ThePaleBoxHasABlackFrameAndTheLinesCoverTheInside)
{
    m_pTip->AddLine(L"First line");
    m_pTip->AddLine(L"Second, longer line");
    SetCursorPos(300, 300);
    m_pTip->ShowAt(300, 320);
    const CSize first = GetTextSize(L"First line", nullptr, 1000);
    const CSize second = GetTextSize(L"Second, longer line", nullptr, 1000);
    const int w = second.cx + 9;
    const int h = first.cy + 2 + second.cy + 2;
    EXPECT_EQ(TipRect().Size(), CSize(w + 1, h + 2));

    ASSERT_EQ(m_pTip->m_listLineWnds.size(), 2u);
    CRect rcSecond;
    m_pTip->m_listLineWnds[1]->GetWindowRect(&rcSecond);
    m_pTip->ScreenToClient(&rcSecond);
    EXPECT_EQ(rcSecond, CRect(1, 1 + first.cy + 2, w, 1 + h));
    EXPECT_EQ(m_pTip->m_listLineWnds[1]->GetDlgCtrlID(), 10002);

    CBitmap shot;
    ASSERT_TRUE(m_pTip->GrabClientImage(shot));
    EXPECT_EQ(ColourBox(shot, RGB(0, 0, 0)), CRect(0, 0, w + 1, h + 2));
    EXPECT_EQ(shot.GetPixel(0, h / 2), RGB(0, 0, 0));
    EXPECT_EQ(shot.GetPixel(w, h / 2), RGB(0, 0, 0));
    EXPECT_EQ(shot.GetPixel(w / 2, h + 1), RGB(0, 0, 0));
    EXPECT_EQ(shot.GetPixel(w / 2, h / 2), RGB(255, 255, 225));
}

TEST_F(VelTooltip2Test, TheTipTakesNoInputAndWindowFromPointLooksThroughIt)
{
    m_pTip->AddLine(L"Over the parent");
    SetCursorPos(200, 200);
    m_pTip->ShowAt(150, 125);
    ASSERT_TRUE(m_pTip->IsWindowVisible());
    EXPECT_TRUE(m_pTip->GetExStyle() & WS_EX_TRANSPARENT);
    EXPECT_NE(CWnd::GetActiveWindow(), m_pTip.get());
    EXPECT_NE(CWnd::GetFocus(), m_pTip.get());
    // (160, 130) lies on the tip, which lies on the button.
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(160, 130)), &m_button);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(160, 170)), &m_parent);
}

TEST_F(VelTooltip2Test, ThePollSleepsWhileThePointerIsAwayAndWakesOnItsReturn)
{
    SetCursorPos(kOnButton.x, kOnButton.y);
    QTRY_VERIFY(IsPointerInProgram());
    EXPECT_TRUE(m_pTip->IsPolling());
    RestAt(kOnButton, 0.5);
    ASSERT_TRUE(Shown());

    SetCursorPos(kOutside.x, kOutside.y);
    QTRY_VERIFY(!m_pTip->IsPolling());
    EXPECT_FALSE(IsPointerInProgram());
    EXPECT_FALSE(Shown()) << "the pointer's going hides the tip";

    // Back on the button: the rest starts anew.
    SetCursorPos(kOnButton.x, kOnButton.y);
    QTRY_VERIFY(m_pTip->IsPolling());
    TickAfter(0.05);
    TickAfter(0.45);
    EXPECT_FALSE(Shown());
    TickAfter(0.05);
    EXPECT_TRUE(Shown());
}

TEST(VelTooltip2Lifetime, TextsRegisteredBeforeTheWindowExistsAreKept)
{
    CTestParent parent;
    ASSERT_TRUE(parent.CreateAt(100, 100, 300, 200));
    CVelButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 100));
    {
        button.SetTooltipText(L"lost: no tooltip yet");
        CTestTooltip tip;
        EXPECT_EQ(g_pTooltipManager, &tip);
        EXPECT_EQ(tip.GetTooltipText(&button), L"");
        button.SetTooltipText(L"Kept");
        ASSERT_TRUE(tip.CreateTooltipWindow(&parent));
        EXPECT_EQ(tip.GetTooltipText(&button), L"Kept");
        {
            CVelButton gone;
            ASSERT_TRUE(gone.Create(L"", WS_CHILD, CRect(0, 0, 5, 5), &parent, 101));
            gone.SetTooltipText(L"Gone");
            EXPECT_EQ(tip.GetTooltipText(&gone), L"Gone");
        }
        EXPECT_EQ(tip.GetTooltipText(&button), L"Kept");
    }
    EXPECT_EQ(g_pTooltipManager, nullptr);
}

// The skinned frame registers its title buttons' texts in OnInitDialog.
class CCloseOnlyDialog : public CCustomDialog
{
public:
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CCustomDialog::OnInitDialog();
        ShowTitleButton(IDC_SKIN_CLOSE, true);
        return bResult;
    }
};

TEST_F(VelTooltip2Test, TheCloseButtonOfASkinnedDialogShowsClose)
{
    const CBundledSkin skin;
    CCloseOnlyDialog dlg;
    dlg.SetInitialRect(CRect(400, 400, 700, 600));
    ASSERT_TRUE(dlg.Create(nullptr));
    ShowAndWait(dlg);
    CRect rcClose;
    dlg.m_btnClose.GetWindowRect(&rcClose);
    ASSERT_FALSE(rcClose.IsRectEmpty());
    const CPoint pt = rcClose.CenterPoint();
    RestAt(pt, 0.5);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownText(), L"Close");
    EXPECT_EQ(TipRect().TopLeft(), CPoint(pt.x, pt.y + 20));
    dlg.DestroyWindow();
}

} // namespace
