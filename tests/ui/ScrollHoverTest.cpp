// Hover after the content moves under a pointer that stays put: the wheel scrolls a list of rows
// and the row now under the pointer is the highlighted one, not the row it was over before.
#include "ui/GeneralSubWindow2.h"

#include "UiTest.h"
#include "support/GuiTest.h"
#include "ui/VelButton.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace
{

constexpr int kRowHeight = 23;

class ScrollHoverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateAt(100, 100, 300, 300));
        ASSERT_TRUE(m_panel.Create(0, 0, 200, 200, &m_parent));
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i)
        {
            CVelButton& row = m_rows[i];
            ASSERT_TRUE(row.Create(L"game", WS_CHILD | WS_VISIBLE,
                                   CRect(0, i * kRowHeight, 180, (i + 1) * kRowHeight), &m_panel,
                                   100 + i));
            row.m_bHoverFaceEnabled = true;
        }
        m_panel.SetContentSize(180, static_cast<int>(m_rows.size()) * kRowHeight);
        ASSERT_NO_FATAL_FAILURE(ShowAndWait(m_parent));
    }

    // The rows hovered now, by index.
    std::vector<int> Hovered() const
    {
        std::vector<int> hovered;
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i)
        {
            if (m_rows[i].IsHovered())
                hovered.push_back(i);
        }
        return hovered;
    }

    // Whether that row alone is hovered within a short wait (the hover follows a posted move).
    bool WaitForHovered(int nRow) const
    {
        return QTest::qWaitFor([&] { return Hovered() == std::vector<int>{nRow}; }, 1000);
    }

    CTestParent m_parent;
    CGeneralSubWindow2 m_panel;
    std::array<CVelButton, 20> m_rows;
};

TEST_F(ScrollHoverTest, AfterAWheelScrollTheRowUnderThePointerIsHighlighted)
{
    const struct
    {
        const char* pszName;
        int nNotches; // negative: towards the end
        int nStartY;
    } cases[] = {
        {"three notches down", -3, 0},
        {"one notch up", 1, 200},
    };
    const CPoint ptPointer(50, 11); // in the panel, which does not move
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_panel.ScrollBy(0, c.nStartY - m_panel.GetScrollY());
        // The wheel turns for the focused window.
        m_panel.SetFocus();
        CPoint ptScreen = ptPointer;
        m_panel.ClientToScreen(&ptScreen);
        SetCursorPos(ptScreen.x, ptScreen.y);
        const int nBefore = (ptPointer.y + m_panel.GetScrollY()) / kRowHeight;
        ASSERT_TRUE(WaitForHovered(nBefore));

        for (int i = 0; i < std::abs(c.nNotches); ++i)
            Wheel(m_panel, ptPointer, c.nNotches < 0 ? -WHEEL_DELTA : WHEEL_DELTA);
        ASSERT_EQ(m_panel.GetScrollY(), c.nStartY - c.nNotches * 40);
        const int nAfter = (ptPointer.y + m_panel.GetScrollY()) / kRowHeight;
        ASSERT_NE(nAfter, nBefore);
        WaitForHovered(nAfter);
        EXPECT_EQ(Hovered(), std::vector<int>{nAfter});
    }
}

} // namespace
