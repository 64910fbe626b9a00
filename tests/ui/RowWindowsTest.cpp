// The row windows of a list: a range that moves along a longer list keeps the windows it still
// covers, makes the new ones by their index and lets the others go.
#include "ui/RowWindows.h"

#include "UiTest.h"

#include <memory>
#include <string>
#include <vector>

namespace
{

TEST(RowWindowsTest, AMovingRangeKeepsTheWindowsItStillCovers)
{
    CTestParent parent;
    ASSERT_TRUE(parent.CreateAt(100, 100, 300, 300));
    std::vector<std::size_t> made;
    const auto fnMake = [&](std::size_t i)
    {
        made.push_back(i);
        auto pRow = std::make_unique<CVelButton>();
        const int y = static_cast<int>(i) * 20;
        pRow->Create(std::to_wstring(i).c_str(), WS_CHILD | WS_VISIBLE, CRect(0, y, 100, y + 20),
                     &parent, 1000 + static_cast<UINT>(i));
        return pRow;
    };
    const auto texts = [](const CRowWindows& rows)
    {
        std::vector<std::wstring> list;
        for (const auto& pRow : rows)
            list.push_back(pRow->GetWindowText());
        return list;
    };

    CRowWindows rows;
    rows.ShowRange(0, 4, fnMake);
    ASSERT_EQ(rows.size(), 4u);
    const HWND hLeaving = rows[1]->GetSafeHwnd();
    const HWND hKept = rows[2]->GetSafeHwnd();

    made.clear();
    rows.ShowRange(2, 6, fnMake);
    EXPECT_EQ(made, (std::vector<std::size_t>{4, 5}));
    EXPECT_EQ(rows.GetFirstIndex(), 2u);
    EXPECT_EQ(texts(rows), (std::vector<std::wstring>{L"2", L"3", L"4", L"5"}));
    EXPECT_EQ(rows[0]->GetSafeHwnd(), hKept);
    EXPECT_FALSE(IsWindow(hLeaving));

    // The same range again makes nothing; a range back up makes only what it lacks.
    made.clear();
    rows.ShowRange(2, 6, fnMake);
    rows.ShowRange(1, 3, fnMake);
    EXPECT_EQ(made, (std::vector<std::size_t>{1}));
    EXPECT_EQ(texts(rows), (std::vector<std::wstring>{L"1", L"2"}));

    rows.Clear();
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(IsWindow(hKept));
    EXPECT_EQ(rows.GetFirstIndex(), 0u);
}

} // namespace
