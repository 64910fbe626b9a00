// Dialogs: the modal loop, the owner, the dialog keys.
#include "support/GuiTest.h"

namespace
{

class CTestDialog : public CDialog
{
public:
    using CDialog::CDialog;
    BOOL OnInitDialog() override
    {
        ++m_nInits;
        m_bVisibleAtInit = IsWindowVisible() != FALSE;
        if (m_onInit)
            m_onInit();
        return CDialog::OnInitDialog();
    }
    void OnTimer(UINT_PTR) override
    {
        if (m_onTimer)
            m_onTimer();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_messages.push_back(message);
        return CDialog::WindowProc(message, wParam, lParam);
    }

    int m_nInits = 0;
    bool m_bVisibleAtInit = true;
    std::function<void()> m_onInit;
    std::function<void()> m_onTimer;
    std::vector<UINT> m_messages;
};

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateTop(10, 20, 300, 200));
        ShowAndWait(m_owner);
        m_owner.m_messages.clear();
    }
    void TearDown() override { AfxSetMainWnd(nullptr); }

    CRecordingWnd m_owner;
};

TEST_F(DialogTest, DoModalRunsANestedLoopWithTheOwnerDisabled)
{
    CTestDialog dlg(134, &m_owner);
    dlg.SetInitialRect(CRect(50, 60, 250, 160));
    bool bOwnerEnabled = true;
    bool bVisible = false;
    CRect rc;
    dlg.m_onInit = [&]
    {
        dlg.SetTimer(1, 20);
        m_owner.PostMessage(WM_APP);
    };
    dlg.m_onTimer = [&]
    {
        bOwnerEnabled = m_owner.IsWindowEnabled() != FALSE;
        bVisible = dlg.IsWindowVisible() != FALSE;
        dlg.GetWindowRect(&rc);
        dlg.EndDialog(42);
    };
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.m_nInits, 1);
    EXPECT_FALSE(dlg.m_bVisibleAtInit);
    EXPECT_TRUE(bVisible);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_EQ(rc, CRect(50, 60, 250, 160));
    // Posted messages ran meanwhile; the owner is back and the dialog's window gone.
    EXPECT_EQ(m_owner.Of(WM_APP).size(), 1u);
    EXPECT_TRUE(m_owner.IsWindowEnabled());
    ASSERT_EQ(m_owner.Of(WM_ENABLE).size(), 2u);
    EXPECT_EQ(m_owner.Of(WM_ENABLE)[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST_F(DialogTest, EnterAndEscapeEndTheDialogUnlessTheFocusWantsAllKeys)
{
    // Without a parent the main window owns the dialog.
    AfxSetMainWnd(&m_owner);
    const struct
    {
        Qt::Key key;
        bool bPanelFocused;
        INT_PTR nExpected;
    } cases[] = {
        {Qt::Key_Return, false, IDOK},
        {Qt::Key_Escape, false, IDCANCEL},
        {Qt::Key_Return, true, 7},
    };
    for (const auto& c : cases)
    {
        CTestDialog dlg;
        CRecordingWnd panel;
        panel.m_onMessage = [](UINT message, WPARAM, LPARAM, LRESULT& lResult)
        {
            lResult = DLGC_WANTALLKEYS;
            return message == WM_GETDLGCODE;
        };
        bool bOwnerEnabled = true;
        int nTicks = 0;
        dlg.m_onInit = [&]
        {
            EXPECT_TRUE(panel.CreateChild(&dlg, CRect(0, 0, 50, 50)));
            if (c.bPanelFocused)
                panel.SetFocus();
            dlg.SetTimer(1, 20);
        };
        dlg.m_onTimer = [&]
        {
            bOwnerEnabled = m_owner.IsWindowEnabled() != FALSE;
            if (++nTicks == 1)
                QTest::keyClick(WindowOf(dlg), c.key);
            else
                dlg.EndDialog(7);
        };
        EXPECT_EQ(dlg.DoModal(), c.nExpected) << c.key;
        EXPECT_FALSE(bOwnerEnabled);
        if (c.bPanelFocused)
        {
            ASSERT_FALSE(panel.Of(WM_KEYDOWN).empty());
            EXPECT_EQ(panel.Of(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>(VK_RETURN));
            EXPECT_EQ(panel.Of(WM_CHAR)[0].wParam, static_cast<WPARAM>('\r'));
        }
    }
}

TEST_F(DialogTest, ClosingCancelsAndEndingEarlySkipsTheLoop)
{
    CTestDialog closed(0, &m_owner);
    closed.m_onInit = [&] { closed.PostMessage(WM_CLOSE); };
    EXPECT_EQ(closed.DoModal(), IDCANCEL);

    CTestDialog early(0, &m_owner);
    early.m_onInit = [&] { early.EndDialog(5); };
    EXPECT_EQ(early.DoModal(), 5);
    EXPECT_EQ(std::count(early.m_messages.begin(), early.m_messages.end(), WM_SHOWWINDOW), 0);
    EXPECT_TRUE(m_owner.IsWindowEnabled());
}

// A program that starts in the tray runs its window's loop without ever showing it.
TEST_F(DialogTest, DoModalShowsTheWindowAsAsked)
{
    const struct
    {
        const char* pszCase;
        int nShowCmd;
        bool bVisible;
        bool bIconic;
    } cases[] = {{"normal", SW_SHOWNORMAL, true, false},
                 {"hidden", SW_HIDE, false, false},
                 {"minimised", SW_SHOWMINNOACTIVE, true, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        CTestDialog dlg(0, &m_owner);
        dlg.m_nInitialShowCmd = c.nShowCmd;
        bool bVisible = !c.bVisible;
        bool bIconic = !c.bIconic;
        dlg.m_onInit = [&] { dlg.SetTimer(1, 20); };
        dlg.m_onTimer = [&]
        {
            bVisible = dlg.IsWindowVisible() != FALSE;
            bIconic = dlg.IsIconic() != FALSE;
            dlg.EndDialog(7);
        };
        EXPECT_EQ(dlg.DoModal(), 7) << "the loop ran";
        EXPECT_EQ(bVisible, c.bVisible);
        EXPECT_EQ(bIconic, c.bIconic);
    }
}

TEST_F(DialogTest, ModelessDialogIsCreatedHiddenAtTheOwnersClientOrigin)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(134, &m_owner));
    EXPECT_EQ(dlg.m_nInits, 1);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.GetParent(), &m_owner);
    CRect rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(10, 20, 10 + 287, 20 + 163));
    // Its window goes with the owner's.
    m_owner.DestroyWindow();
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

} // namespace
