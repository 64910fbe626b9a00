// Owner-drawn push buttons: press tracking, the click notification and the drawing states.
#include "support/GuiTest.h"

namespace
{

constexpr COLORREF kPressed = RGB(255, 0, 0);
constexpr COLORREF kNormal = RGB(0, 0, 255);

class COwnerDrawButton : public CButton
{
public:
    void PreSubclassWindow() override
    {
        m_nStyleAtSubclass = GetStyle();
        ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
        CButton::PreSubclassWindow();
    }
    void DrawItem(LPDRAWITEMSTRUCT pDis) override
    {
        m_states.push_back(pDis->itemState);
        CDC* pDC = CDC::FromHandle(pDis->hDC);
        pDC->FillSolidRect(&pDis->rcItem, (pDis->itemState & ODS_SELECTED) ? kPressed : kNormal);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            m_bCreateAfterSubclass = m_nStyleAtSubclass != 0;
        return CButton::WindowProc(message, wParam, lParam);
    }
    UINT LastState() const { return m_states.empty() ? 0xFFFF : m_states.back(); }

    DWORD m_nStyleAtSubclass = 0;
    bool m_bCreateAfterSubclass = false;
    std::vector<UINT> m_states;
};

class ButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateTop(200, 200, 200, 100));
        ASSERT_TRUE(m_button.Create(L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                    CRect(10, 10, 60, 40), &m_parent, 1234));
        ShowAndWait(m_parent);
        Pump();
        m_parent.m_messages.clear();
    }

    std::vector<CRecorded> Clicks() const
    {
        std::vector<CRecorded> result;
        for (const CRecorded& r : m_parent.Of(WM_COMMAND))
        {
            if (r.wParam == MAKEWPARAM(1234, BN_CLICKED))
                result.push_back(r);
        }
        return result;
    }

    COLORREF Shown(int x, int y)
    {
        CBitmap shot;
        EXPECT_TRUE(m_button.GrabClientImage(shot));
        return shot.GetPixel(x, y);
    }

    CRecordingWnd m_parent;
    COwnerDrawButton m_button;
};

TEST_F(ButtonTest, SubclassHookRunsBeforeCreationAndMakesItOwnerDrawn)
{
    EXPECT_TRUE(m_button.m_bCreateAfterSubclass);
    EXPECT_EQ(m_button.m_nStyleAtSubclass & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(m_button.GetButtonStyle(), BS_OWNERDRAW);
    ASSERT_FALSE(m_button.m_states.empty());
    EXPECT_EQ(Shown(5, 5), kNormal);
}

TEST_F(ButtonTest, PressShowsSelectedWhileInsideAndReleaseInsideClicks)
{
    Press(m_parent, CPoint(20, 20));
    EXPECT_EQ(CWnd::GetCapture(), &m_button);
    EXPECT_EQ(CWnd::GetFocus(), &m_button);
    EXPECT_EQ(m_button.LastState() & (ODS_SELECTED | ODS_FOCUS), ODS_SELECTED | ODS_FOCUS);
    EXPECT_TRUE(m_button.GetState() & BST_PUSHED);
    EXPECT_EQ(Shown(5, 5), kPressed);

    // Out of the button the pressed look goes, and comes back inside.
    MoveTo(m_parent, CPoint(150, 80));
    EXPECT_EQ(m_button.LastState() & ODS_SELECTED, 0u);
    MoveTo(m_parent, CPoint(30, 25));
    EXPECT_EQ(m_button.LastState() & ODS_SELECTED, static_cast<UINT>(ODS_SELECTED));
    EXPECT_TRUE(Clicks().empty());

    Release(m_parent, CPoint(30, 25));
    ASSERT_EQ(Clicks().size(), 1u);
    EXPECT_EQ(Clicks()[0].lParam, reinterpret_cast<LPARAM>(m_button.GetSafeHwnd()));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(m_button.LastState() & ODS_SELECTED, 0u);
    EXPECT_EQ(Shown(5, 5), kNormal);

    // Released outside: no click.
    Press(m_parent, CPoint(20, 20));
    MoveTo(m_parent, CPoint(150, 80));
    Release(m_parent, CPoint(150, 80));
    EXPECT_EQ(Clicks().size(), 1u);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(ButtonTest, DoubleClickGivesTwoClicks)
{
    DoubleClick(m_parent, CPoint(20, 20));
    EXPECT_EQ(Clicks().size(), 2u);
}

TEST_F(ButtonTest, DisabledButtonDrawsDisabledAndItsClicksGoToTheParent)
{
    m_button.EnableWindow(FALSE);
    EXPECT_EQ(m_button.LastState() & ODS_DISABLED, static_cast<UINT>(ODS_DISABLED));
    Click(m_parent, CPoint(20, 20));
    EXPECT_TRUE(Clicks().empty());
    ASSERT_EQ(m_parent.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(m_parent.Of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(20, 20));
}

TEST_F(ButtonTest, ParentMayDestroyTheButtonWhenClicked)
{
    auto* pButton = new COwnerDrawButton;
    ASSERT_TRUE(
        pButton->Create(L"X", WS_CHILD | WS_VISIBLE, CRect(100, 10, 150, 40), &m_parent, 99));
    m_parent.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM, LRESULT&)
    {
        if (message == WM_COMMAND && LOWORD(wParam) == 99)
        {
            delete pButton;
            pButton = nullptr;
        }
        return false;
    };
    Click(m_parent, CPoint(110, 20));
    EXPECT_EQ(pButton, nullptr);
    Pump();
}

} // namespace
