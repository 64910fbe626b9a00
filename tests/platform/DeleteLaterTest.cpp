// AfxDeleteLater: windows that go away inside their own handlers (a row removed by its own click)
// are destroyed at once; their objects live until the outermost handler returns.
#include "support/GuiTest.h"

#include <memory>
#include <utility>

namespace
{

// A button that reports its deletion.
class CWatchedButton : public CButton
{
public:
    explicit CWatchedButton(bool& bDeleted) : m_bDeleted(bDeleted) {}
    ~CWatchedButton() override { m_bDeleted = true; }
    bool& m_bDeleted;
};

// A window with two buttons; a click on the first hands that button over to AfxDeleteLater.
class CDeletingParent : public CWnd
{
public:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        const UINT nID = LOWORD(wParam);
        m_commands.push_back(nID);
        if (nID == kFirst && m_pFirst != nullptr)
        {
            const HWND hFirst = m_pFirst->GetSafeHwnd();
            AfxDeleteLater(std::move(m_pFirst));
            m_bWindowGoneInHandler = !IsWindow(hFirst);
            m_bObjectAliveInHandler = !m_bFirstDeleted;
        }
        return CWnd::OnCommand(wParam, lParam);
    }

    static constexpr UINT kFirst = 101;
    static constexpr UINT kSecond = 102;
    bool m_bFirstDeleted = false;
    bool m_bSecondDeleted = false;
    std::unique_ptr<CWatchedButton> m_pFirst = std::make_unique<CWatchedButton>(m_bFirstDeleted);
    std::unique_ptr<CWatchedButton> m_pSecond = std::make_unique<CWatchedButton>(m_bSecondDeleted);
    std::vector<UINT> m_commands;
    bool m_bWindowGoneInHandler = false;
    bool m_bObjectAliveInHandler = false;
};

class DeleteLaterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            m_parent.CreateEx(0, nullptr, L"parent", WS_POPUP, 200, 200, 200, 100, nullptr, 0));
        ASSERT_TRUE(m_parent.m_pFirst->Create(L"one", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40),
                                              &m_parent, CDeletingParent::kFirst));
        ASSERT_TRUE(m_parent.m_pSecond->Create(L"two", WS_CHILD | WS_VISIBLE,
                                               CRect(100, 10, 150, 40), &m_parent,
                                               CDeletingParent::kSecond));
        ShowAndWait(m_parent);
        Pump();
    }

    CDeletingParent m_parent;
};

TEST_F(DeleteLaterTest, ButtonClickedAwayGoesAtOnceAndItsObjectAfterTheClick)
{
    const HWND hFirst = m_parent.m_pFirst->GetSafeHwnd();
    Click(m_parent, CPoint(30, 25));
    Pump();

    EXPECT_EQ(m_parent.m_commands, std::vector<UINT>{CDeletingParent::kFirst});
    EXPECT_TRUE(m_parent.m_bWindowGoneInHandler);
    EXPECT_TRUE(m_parent.m_bObjectAliveInHandler);
    EXPECT_TRUE(m_parent.m_bFirstDeleted);
    EXPECT_FALSE(IsWindow(hFirst));
    EXPECT_EQ(m_parent.GetDlgItem(CDeletingParent::kFirst), nullptr);

    // The place where it was is empty now; the other button still works.
    Click(m_parent, CPoint(30, 25));
    Click(m_parent, CPoint(120, 25));
    Pump();
    EXPECT_EQ(m_parent.m_commands,
              (std::vector<UINT>{CDeletingParent::kFirst, CDeletingParent::kSecond}));
    EXPECT_FALSE(m_parent.m_bSecondDeleted);
}

TEST_F(DeleteLaterTest, ObjectWaitsForTheOutermostHandler)
{
    // The click arrives as a message sent from inside another handler.
    CRecordingWnd outer;
    ASSERT_TRUE(outer.CreateTop(0, 0, 50, 50));
    bool bAliveAfterInnerSend = false;
    outer.m_onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&)
    {
        if (message != WM_USER)
            return false;
        m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(CDeletingParent::kFirst, BN_CLICKED), 0);
        bAliveAfterInnerSend = !m_parent.m_bFirstDeleted;
        return true;
    };
    outer.SendMessage(WM_USER);

    EXPECT_TRUE(bAliveAfterInnerSend);
    EXPECT_TRUE(m_parent.m_bFirstDeleted);
}

TEST_F(DeleteLaterTest, OutsideAnyHandlerTheObjectGoesAtOnce)
{
    const HWND hSecond = m_parent.m_pSecond->GetSafeHwnd();
    AfxDeleteLater(std::move(m_parent.m_pSecond));
    EXPECT_TRUE(m_parent.m_bSecondDeleted);
    EXPECT_FALSE(IsWindow(hSecond));
    AfxDeleteLater(nullptr);
}

} // namespace
