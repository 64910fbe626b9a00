// Where windows open that nothing else places: centred on the owner, then moved inside the work
// area of the owner's monitor.
#include "ui/WindowPlacement.h"

#include "UiTest.h"

namespace
{

TEST(WindowPlacementTest, CentredOnTheOwnerThenInsideTheWorkArea)
{
    const CSize size(450, 520);
    const struct
    {
        const char* pszName;
        CRect rcOwner;
        CRect rcWork;
        CRect rcExpected;
    } cases[] = {
        {"room all round", CRect(300, 200, 520, 420), CRect(0, 0, 1024, 738),
         CRect(185, 50, 635, 570)},
        {"owner in the bottom-right corner", CRect(800, 518, 1024, 738), CRect(0, 0, 1024, 738),
         CRect(574, 218, 1024, 738)},
        {"second monitor, owner at its top-left", CRect(1900, 90, 2120, 310),
         CRect(1920, 100, 3200, 1024), CRect(1920, 100, 2370, 620)},
        {"second monitor left of the primary", CRect(-300, 700, -80, 920),
         CRect(-1280, -200, 0, 824), CRect(-450, 304, 0, 824)},
        {"work area smaller than the window", CRect(0, 0, 200, 200), CRect(10, 20, 410, 320),
         CRect(10, 20, 460, 540)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(PlaceInWorkArea(c.rcOwner, size, c.rcWork), c.rcExpected);
    }
}

} // namespace
