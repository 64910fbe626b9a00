// System values, message boxes and rectangle arithmetic.
#include "support/GuiTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace
{

TEST(SystemTest, ClassicColoursAndMetrics)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_3DHILIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    // Offscreen Qt has one 800 x 800 screen.
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 800);
    RECT rcWork{};
    EXPECT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0));
    EXPECT_EQ(CRect(rcWork), GetMonitorWorkArea(nullptr));
    EXPECT_EQ(CRect(rcWork), CRect(0, 0, 800, 800));
    MONITORINFO mi{sizeof(MONITORINFO), {}, {}, 0};
    EXPECT_TRUE(GetMonitorInfo(MonitorFromPoint(CPoint(5000, 5), MONITOR_DEFAULTTONEAREST), &mi));
    EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);

    LARGE_INTEGER a{};
    LARGE_INTEGER b{};
    LARGE_INTEGER f{};
    EXPECT_TRUE(QueryPerformanceCounter(&a));
    EXPECT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_LE(a.QuadPart, b.QuadPart);
    EXPECT_EQ(f.QuadPart, 1000000000LL);
}

TEST(SystemTest, MessageBoxIsModalAndAnswersWithTheButton)
{
    CRecordingWnd main;
    ASSERT_TRUE(main.CreateTop(0, 0, 50, 50));
    AfxSetMainWnd(&main);
    AfxSetAppName(L"Zorvex Messenger");
    // A real box, answered by pressing its OK button while the owner waits disabled.
    bool bOwnerEnabled = true;
    QTimer::singleShot(50,
                       [&]
                       {
                           bOwnerEnabled = main.IsWindowEnabled() != FALSE;
                           auto* pBox =
                               qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                           ASSERT_NE(pBox, nullptr);
                           EXPECT_EQ(pBox->text(), QStringLiteral("Error Loading File: x.png"));
                           EXPECT_EQ(pBox->windowTitle(), QStringLiteral("Zorvex Messenger"));
                           pBox->button(QMessageBox::Ok)->click();
                       });
    EXPECT_EQ(AfxMessageBox(L"Error Loading File: x.png", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_TRUE(main.IsWindowEnabled());

    std::wstring strSeen;
    SetMessageBoxHandler(
        [&](const std::wstring& strText, const std::wstring&, UINT nType)
        {
            strSeen = strText;
            return (nType & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
        });
    EXPECT_EQ(AfxMessageBox(L"Remove?", MB_YESNO), IDNO);
    EXPECT_EQ(strSeen, L"Remove?");
    SetMessageBoxHandler(nullptr);
    AfxSetMainWnd(nullptr);
}

TEST(GeometryTest, RectanglesExcludeTheirRightAndBottomEdges)
{
    const CRect rc(10, 20, 30, 40);
    EXPECT_TRUE(rc.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rc.PtInRect(CPoint(30, 25)));
    EXPECT_FALSE(rc.PtInRect(CPoint(15, 40)));
    const struct
    {
        CRect a;
        CRect b;
        CRect intersection;
        CRect hull;
    } cases[] = {
        {CRect(0, 0, 10, 10), CRect(5, 5, 20, 20), CRect(5, 5, 10, 10), CRect(0, 0, 20, 20)},
        {CRect(0, 0, 10, 10), CRect(10, 0, 20, 10), CRect(), CRect(0, 0, 20, 10)},
        {CRect(), CRect(5, 5, 6, 7), CRect(), CRect(5, 5, 6, 7)},
    };
    for (const auto& c : cases)
    {
        CRect r;
        EXPECT_EQ(r.IntersectRect(&c.a, &c.b) != FALSE, !c.intersection.IsRectEmpty());
        EXPECT_EQ(r, c.intersection);
        EXPECT_TRUE(r.UnionRect(&c.a, &c.b));
        EXPECT_EQ(r, c.hull);
    }
    CRect moved = rc;
    moved.OffsetRect(-10, 5);
    moved.InflateRect(1, 2);
    EXPECT_EQ(moved, CRect(-1, 23, 21, 47));
    EXPECT_EQ(CPoint(static_cast<LPARAM>(MAKELPARAM(static_cast<unsigned>(-5), 7))), CPoint(-5, 7));
}

} // namespace
