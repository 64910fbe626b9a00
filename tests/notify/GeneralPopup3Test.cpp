// CGeneralPopup3: its size from the items, its place near the work area's edges, and the ways it
// closes (a choice, a release outside, Enter, the application losing activation).
#include "notify/GeneralPopup3.h"

#include "support/GuiTest.h"
#include "ui/SkinTest.h"
#include "ui/TextMeasure.h"
#include "ui/UiTest.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace
{

class GeneralPopup3Test : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pSkin = std::make_unique<CBundledSkin>(); }
    static void TearDownTestSuite() { s_pSkin.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateTop(0, 0, 600, 600, WS_POPUP));
        ShowAndWait(m_owner);
    }
    void TearDown() override { Pump(); }

    // A popup with items "Item 1", "Item 2", ... (value i, value2 10 i, key "key i") and the
    // separators after the first nSeparators items; it deletes itself.
    static CGeneralPopup3* MakePopup(int nItems, int nSeparators = 0)
    {
        // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): shown, it deletes itself
        auto* pPopup = new CGeneralPopup3;
        for (int i = 1; i <= nItems; ++i)
        {
            pPopup->AddItem(L"", L"Item " + std::to_wstring(i), i, 10 * i,
                            L"key " + std::to_wstring(i));
            if (i <= nSeparators)
                pPopup->AddSeparator();
        }
        return pPopup;
    }

    // Shows it at (100, 100) as menu 7 of the owner and waits until it is on screen.
    CGeneralPopup3* ShowPopup(int nItems, int nSeparators = 0)
    {
        CGeneralPopup3* pPopup = MakePopup(nItems, nSeparators);
        EXPECT_TRUE(pPopup->Show(&m_owner, 7, 100, 100));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(ClientOf(*pPopup)->window()));
        return pPopup;
    }

    // The pointer over a point of the popup's client area, after the popup let it go.
    static void PointerOver(CGeneralPopup3& popup, CPoint pt)
    {
        MoveTo(popup, pt);
        QTRY_VERIFY(CWnd::GetCapture() != &popup);
    }

    std::vector<CRecorded> Posted(UINT message) const { return m_owner.Of(message); }

    CRecordingWnd m_owner;
    static std::unique_ptr<CBundledSkin> s_pSkin;
};

std::unique_ptr<CBundledSkin> GeneralPopup3Test::s_pSkin;

TEST_F(GeneralPopup3Test, SizeFollowsItemsAndScrollsAbove200)
{
    const struct
    {
        int nItems;
        int nSeparators;
        int nHeight;
        bool bScrolls;
    } cases[] = {
        {12, 0, 200, true}, // 6 + 264
        {9, 0, 200, true},  // 6 + 198 = 204
        {8, 2, 192, false}, // 6 + 176 + 10
        {7, 8, 200, false}, // 6 + 154 + 40: exactly the limit
        {0, 0, 6, false},
    };
    for (const auto& c : cases)
    {
        // The widest text sets the width.
        int nTextWidth = 0;
        for (int i = 1; i <= c.nItems; ++i)
            nTextWidth = std::max(nTextWidth, GetTextWidth(L"Item " + std::to_wstring(i)));
        SCOPED_TRACE(testing::Message()
                     << c.nItems << " items, " << c.nSeparators << " separators");
        CGeneralPopup3* pPopup = MakePopup(c.nItems, std::min(c.nSeparators, c.nItems));
        // The last case needs a separator more than there are items.
        for (int i = c.nItems; i < c.nSeparators; ++i)
            pPopup->AddSeparator();
        ASSERT_TRUE(pPopup->Show(&m_owner, 7, 100, 100));
        const int nItemWidth = c.nItems == 0 ? 0 : nTextWidth + 29 + 15;
        CRect rc;
        pPopup->GetWindowRect(&rc);
        EXPECT_EQ(rc.Size(), CSize(nItemWidth + (c.bScrolls ? 18 : 0) + 2, c.nHeight));
        EXPECT_EQ(rc.TopLeft(), CPoint(100, 100));
        const CGeneralSubWindow* pPanel = pPopup->m_wndItems.GetPanel();
        ASSERT_NE(pPanel, nullptr);
        EXPECT_EQ(pPanel->GetContentSize().cy > pPanel->GetViewSize().cy, c.bScrolls);
        pPopup->DestroyWindow();
        Pump();
    }
}

TEST_F(GeneralPopup3Test, IsAMenuWindowTheWindowManagerLeavesAlone)
{
    CGeneralPopup3* pPopup = ShowPopup(2);
    const Qt::WindowFlags flags = ClientOf(*pPopup)->window()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_TRUE((flags & Qt::WindowType_Mask) == Qt::Tool);
    pPopup->DestroyWindow();
}

TEST(PlacePopupTest, OpensLeftOrAboveOnlyAtTheWorkAreaEdges)
{
    const struct
    {
        const char* pszCase;
        CPoint ptAnchor;
        CSize size;
        CRect rcWork;
        CPoint ptExpected;
    } cases[] = {
        {"room everywhere", {100, 100}, {102, 200}, {0, 0, 800, 800}, {100, 100}},
        {"right edge", {750, 100}, {102, 200}, {0, 0, 800, 800}, {648, 100}},
        {"within 30 of the bottom", {100, 600}, {102, 200}, {0, 0, 800, 800}, {100, 400}},
        {"just fits", {698, 570}, {102, 200}, {0, 0, 800, 800}, {698, 570}},
        {"both", {750, 700}, {102, 200}, {0, 0, 800, 800}, {648, 500}},
        {"second monitor", {2000, 100}, {102, 200}, {1920, 0, 3840, 1050}, {2000, 100}},
        {"second monitor's corner", {3800, 900}, {102, 200}, {1920, 0, 3840, 1050}, {3698, 700}},
        {"monitor left of the primary",
         {-1250, 100},
         {102, 200},
         {-1280, 0, 0, 1024},
         {-1250, 100}},
        {"monitor above", {50, -100}, {102, 200}, {0, -1024, 1280, 0}, {50, -300}},
        {"flipped past the left", {150, 100}, {180, 100}, {100, 50, 300, 400}, {100, 100}},
        {"flipped past the top", {150, 100}, {100, 300}, {100, 50, 300, 400}, {150, 50}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        EXPECT_EQ(PlacePopup(c.ptAnchor, c.size, c.rcWork), c.ptExpected);
    }
}

TEST_F(GeneralPopup3Test, ChoiceIsPostedToTheOwnerAndCloses)
{
    CGeneralPopup3* pPopup = ShowPopup(3, 1);
    const HWND hPopup = pPopup->GetSafeHwnd();
    EXPECT_EQ(CGeneralPopup3::s_nChosenValue, -1);
    // Item 2 is the third window: item 1, the separator, item 2.
    CVelButton& button = *pPopup->m_listButtons.at(2);
    ASSERT_EQ(button.GetDlgCtrlID(), 10002);
    const CPoint ptButton(20, 10);
    CPoint pt = ptButton;
    button.ClientToScreen(&pt);
    pPopup->ScreenToClient(&pt);
    PointerOver(*pPopup, pt);
    Click(button, ptButton);
    Pump();

    EXPECT_FALSE(IsWindow(hPopup));
    ASSERT_EQ(Posted(WM_POPUP_CHOSEN).size(), 1u);
    EXPECT_EQ(Posted(WM_POPUP_CHOSEN)[0].wParam, 7u);
    EXPECT_TRUE(Posted(WM_POPUP_DISMISSED).empty());
    EXPECT_EQ(CGeneralPopup3::s_nChosenValue, 2);
    EXPECT_EQ(CGeneralPopup3::s_nChosenValue2, 20);
    EXPECT_EQ(CGeneralPopup3::s_strChosenKey, L"key 2");
    EXPECT_EQ(CGeneralPopup3::s_strChosenText, L"Item 2");

    // The next popup forgets it.
    CGeneralPopup3* pNext = MakePopup(1);
    EXPECT_EQ(CGeneralPopup3::s_nChosenValue, -1);
    EXPECT_EQ(CGeneralPopup3::s_strChosenKey, L"");
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): never shown, so never deleted by itself
    delete pNext;
}

TEST_F(GeneralPopup3Test, ReleaseOutsideClosesAndTheClickStaysWithThePopup)
{
    CGeneralPopup3* pPopup = ShowPopup(3);
    const HWND hPopup = pPopup->GetSafeHwnd();
    const CPoint ptOutside(400, 400);
    MoveTo(m_owner, ptOutside);
    QTRY_VERIFY(CWnd::GetCapture() == pPopup);
    m_owner.m_messages.clear();
    Click(m_owner, ptOutside);
    Pump();

    EXPECT_FALSE(IsWindow(hPopup));
    EXPECT_TRUE(m_owner.Of(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(m_owner.Of(WM_LBUTTONUP).empty());
    ASSERT_EQ(Posted(WM_POPUP_DISMISSED).size(), 1u);
    EXPECT_EQ(Posted(WM_POPUP_DISMISSED)[0].wParam, 7u);
    EXPECT_TRUE(Posted(WM_POPUP_CHOSEN).empty());
    EXPECT_EQ(CGeneralPopup3::s_nChosenValue, -1);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

// A quick pointer: the click lands on an item before the popup noticed the pointer inside and
// let go of it. The item is still chosen; a click on a separator still chooses nothing.
TEST_F(GeneralPopup3Test, ClickFasterThanTheCaptureTimerStillChoosesTheItem)
{
    for (const bool bOnSeparator : {false, true})
    {
        SCOPED_TRACE(bOnSeparator ? "separator" : "item");
        CGeneralPopup3::s_nChosenValue = -1;
        m_owner.m_messages.clear();
        CGeneralPopup3* pPopup = ShowPopup(3, 1);
        MoveTo(m_owner, CPoint(400, 400));
        QTRY_VERIFY(CWnd::GetCapture() == pPopup);
        // Item 2 comes after the separator that follows item 1.
        const CVelButton& target = *pPopup->m_listButtons[bOnSeparator ? 1 : 2];
        CRect rc;
        target.GetClientRect(&rc);
        Click(target, rc.CenterPoint());
        Pump();

        if (bOnSeparator)
        {
            EXPECT_EQ(Posted(WM_POPUP_DISMISSED).size(), 1u);
            EXPECT_EQ(CGeneralPopup3::s_nChosenValue, -1);
        }
        else
        {
            ASSERT_EQ(Posted(WM_POPUP_CHOSEN).size(), 1u);
            EXPECT_EQ(CGeneralPopup3::s_nChosenValue, 2);
            EXPECT_EQ(CGeneralPopup3::s_strChosenKey, L"key 2");
        }
    }
}

// The popup holds the pointer while it is outside; the first move onto an item highlights that
// item once the popup lets go, without a second move.
TEST_F(GeneralPopup3Test, FirstMoveOntoAnItemHighlightsIt)
{
    CGeneralPopup3* pPopup = ShowPopup(3);
    CPoint ptOutside(400, 400);
    m_owner.ClientToScreen(&ptOutside);
    SetCursorPos(ptOutside.x, ptOutside.y);
    ASSERT_TRUE(QTest::qWaitFor([&] { return CWnd::GetCapture() == pPopup; }, 1000));
    const CVelButton& item = *pPopup->m_listButtons[1];
    CRect rc;
    item.GetClientRect(&rc);
    CPoint ptItem = rc.CenterPoint();
    item.ClientToScreen(&ptItem);
    SetCursorPos(ptItem.x, ptItem.y);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item.IsHovered(); }, 1000));
    EXPECT_FALSE(pPopup->m_listButtons[0]->IsHovered());
    pPopup->OnCancel();
}

TEST_F(GeneralPopup3Test, EnterAndDeactivationCloseWithoutChoice)
{
    const struct
    {
        const char* pszCase;
        std::function<void(CGeneralPopup3&)> close;
    } cases[] = {
        {"Enter", [](CGeneralPopup3& popup)
         { QTest::keyClick(ClientOf(popup)->window()->windowHandle(), Qt::Key_Return); }},
        {"application deactivated",
         [](CGeneralPopup3& popup) { popup.SendMessage(WM_ACTIVATEAPP, FALSE, 0); }},
        {"closed", [](CGeneralPopup3& popup) { popup.SendMessage(WM_CLOSE); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_owner.m_messages.clear();
        CGeneralPopup3* pPopup = ShowPopup(2);
        const HWND hPopup = pPopup->GetSafeHwnd();
        c.close(*pPopup);
        Pump();
        EXPECT_FALSE(IsWindow(hPopup));
        EXPECT_EQ(Posted(WM_POPUP_DISMISSED).size(), 1u);
        EXPECT_TRUE(Posted(WM_POPUP_CHOSEN).empty());
        EXPECT_EQ(CGeneralPopup3::s_nChosenValue, -1);
    }
}

} // namespace
