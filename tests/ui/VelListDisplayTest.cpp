// The list display: border and panel layout, the header band, and rows that are cleared, also by
// a click on one of them.
#include "ui/VelListDisplay.h"

#include "UiTest.h"
#include "support/GuiTest.h"

#include <memory>
#include <string>

namespace
{

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBorder = RGB(200, 200, 200);
constexpr UINT kFirstRowId = 1000;

CRect RectInParent(const CWnd& wnd)
{
    CRect rc;
    wnd.GetWindowRect(&rc);
    wnd.GetParent()->ScreenToClient(&rc);
    return rc;
}

// A window holding a display whose rows it makes, as the windows with lists do; a click on a
// row rebuilds the list when asked.
class CListOwner : public CTestParent
{
public:
    void AddRows(int nCount, const std::wstring& strPrefix)
    {
        for (int i = 0; i < nCount; ++i)
        {
            auto pRow = std::make_unique<CVelButton>();
            const std::wstring strText = strPrefix + std::to_wstring(i);
            pRow->Create(strText.c_str(), WS_CHILD | WS_VISIBLE, CRect(0, i * 20, 200, i * 20 + 20),
                         &m_display.m_wndPanel, kFirstRowId + static_cast<UINT>(i));
            m_display.AddRow(std::move(pRow));
        }
        m_display.m_wndPanel.SetContentSize(200, nCount * 20);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (m_bRebuildOnClick && LOWORD(wParam) >= kFirstRowId)
        {
            m_display.ClearRows();
            AddRows(2, L"new ");
        }
        return CTestParent::OnCommand(wParam, lParam);
    }

    CVelListDisplay m_display;
    bool m_bRebuildOnClick = false;
};

class VelListDisplayTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_owner.CreateAt(100, 100, 400, 300)); }

    CListOwner m_owner;
    CVelListDisplay& m_display = m_owner.m_display;
};

TEST_F(VelListDisplayTest, BorderAndPanelAfterCreateAndAfterAResize)
{
    const struct
    {
        const char* pszName;
        CSize sizeCreated;
        CRect rcPanel;
    } cases[] = {
        // Create leaves the panel one pixel short on the right and at the bottom.
        {"as created", {300, 200}, {1, 21, 298, 198}},
        {"resized", {250, 150}, {1, 21, 299, 199}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CListOwner owner;
        ASSERT_TRUE(owner.CreateAt(100, 100, 400, 300));
        CVelListDisplay& display = owner.m_display;
        ASSERT_TRUE(display.Create(10, 10, 10 + c.sizeCreated.cx, 10 + c.sizeCreated.cy, &owner));
        display.SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);

        EXPECT_EQ(RectInParent(display.m_wndPanel), c.rcPanel);
        EXPECT_EQ(RectInParent(display.m_wndTopLine), CRect(0, 0, 300, 1));
        EXPECT_EQ(RectInParent(display.m_wndLeftLine), CRect(0, 0, 1, 200));
        EXPECT_EQ(RectInParent(display.m_wndBottomLine).TopLeft(), CPoint(0, 199));
        EXPECT_EQ(RectInParent(display.m_wndRightLine).TopLeft(), CPoint(299, 0));
        EXPECT_TRUE(display.GetRows().empty());
        EXPECT_EQ(display.m_wndPanel.GetContentSize(), CSize(0, 0));
    }
}

TEST_F(VelListDisplayTest, HeaderBandShowsTheColumnTitlesOnTheDisplaysBackground)
{
    ASSERT_TRUE(m_display.Create(10, 10, 310, 210, &m_owner));
    const CRect titles[] = {{5, 3, 80, 19}, {100, 3, 180, 19}, {200, 3, 290, 19}};
    CVelStatic2 titleWnds[3];
    for (int i = 0; i < 3; ++i)
    {
        titleWnds[i].m_crFace = kWhite;
        ASSERT_TRUE(titleWnds[i].Create(L"Title", WS_CHILD | WS_VISIBLE, titles[i], &m_display));
    }
    CBitmap shot;
    ASSERT_TRUE(m_display.GrabClientImage(shot));

    for (const CRect& rc : titles)
    {
        SCOPED_TRACE(testing::PrintToString(rc));
        EXPECT_TRUE(rc.PtInRect(InkBox(shot, rc, kWhite).TopLeft()));
    }
    // Between the titles: the band is white, the border grey.
    EXPECT_EQ(InkBox(shot, CRect(1, 1, 5, 21), kWhite), CRect());
    EXPECT_EQ(InkBox(shot, CRect(80, 1, 100, 21), kWhite), CRect());
    for (const CPoint pt : {CPoint(0, 10), CPoint(299, 10), CPoint(150, 0), CPoint(150, 199)})
    {
        SCOPED_TRACE(testing::PrintToString(pt));
        EXPECT_EQ(shot.GetPixel(pt.x, pt.y), kBorder);
    }
}

TEST_F(VelListDisplayTest, ClearRowsDeletesTheRowsAndEmptiesThePanel)
{
    ASSERT_TRUE(m_display.Create(10, 10, 310, 110, &m_owner));
    m_display.ClearRows();
    EXPECT_EQ(m_display.m_wndPanel.GetContentSize(), CSize(0, 0));

    m_owner.AddRows(8, L"row ");
    ASSERT_EQ(m_display.GetRows().size(), 8u);
    const HWND hFirst = m_display.GetRows().front()->GetSafeHwnd();
    m_display.m_wndPanel.ScrollBy(0, 50);
    ASSERT_EQ(m_display.m_wndPanel.GetScrollY(), 50);

    m_display.ClearRows();
    EXPECT_TRUE(m_display.GetRows().empty());
    EXPECT_FALSE(IsWindow(hFirst));
    EXPECT_EQ(m_display.m_wndPanel.GetWindow(GW_CHILD), nullptr);
    EXPECT_EQ(m_display.m_wndPanel.GetContentSize(), CSize(0, 0));
    EXPECT_EQ(m_display.m_wndPanel.GetScrollY(), 0);
}

TEST_F(VelListDisplayTest, ClickOnARowMayRebuildTheList)
{
    ASSERT_TRUE(m_display.Create(10, 10, 310, 210, &m_owner));
    m_owner.AddRows(3, L"old ");
    m_owner.m_bRebuildOnClick = true;
    ASSERT_NO_FATAL_FAILURE(ShowAndWait(m_owner));

    Click(*m_display.GetRows()[1], CPoint(5, 5));
    Pump();
    ASSERT_EQ(m_display.GetRows().size(), 2u);
    EXPECT_EQ(m_display.GetRows()[1]->GetWindowText(), L"new 1");

    // The new rows answer as the old ones did.
    m_owner.m_bRebuildOnClick = false;
    Click(*m_display.GetRows()[1], CPoint(5, 5));
    Pump();
    EXPECT_EQ(m_owner.m_commands, (std::vector<UINT>{kFirstRowId + 1, kFirstRowId + 1}));
}

} // namespace
