// A real window on an X server (run under xvfb-run, no window manager): a frameless window lands
// at its exact position, and its rounded shape shows what is behind it in the corners.
#include "platform/Afx.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace
{

constexpr COLORREF kFill = RGB(200, 30, 40);

class CFilledWnd : public CWnd
{
protected:
    void OnPaint() override
    {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, kFill);
    }
};

QRgb ScreenPixel(int x, int y)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, x, y, 1, 1).toImage().pixel(0, 0) &
           0xFFFFFF;
}

TEST(X11WindowTest, FramelessWindowAtItsPositionWithARoundedShape)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    const int x = 120;
    const int y = 90;
    const int w = 200;
    const int h = 100;
    // What the screen shows there before the window comes: the root window's background.
    const QRgb corner = ScreenPixel(x, y);
    const QRgb farCorner = ScreenPixel(x + w - 1, y + h - 1);

    CFilledWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"x11 test", WS_POPUP, x, y, w, h, nullptr, 0));
    EXPECT_NE(wnd.SetWindowRgn(CreateRoundRectRgn(0, 0, w + 1, h + 1, 16, 16), FALSE), 0);
    wnd.ShowWindow(SW_SHOW);
    const QRgb fill = qRgb(GetRValue(kFill), GetGValue(kFill), GetBValue(kFill)) & 0xFFFFFF;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(x + w / 2, y + h / 2) == fill; }, 5000));

    CRect rc;
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(x, y, x + w, y + h));
    // The X server's own idea of where the window is.
    QWindow* pWindow = nullptr;
    for (QWindow* p : QGuiApplication::topLevelWindows())
    {
        if (p->isVisible())
            pWindow = p;
    }
    ASSERT_NE(pWindow, nullptr);
    EXPECT_EQ(pWindow->geometry(), QRect(x, y, w, h));
    EXPECT_EQ(pWindow->frameGeometry(), QRect(x, y, w, h));

    // Outside the shape the background shows; just inside, the window.
    EXPECT_EQ(ScreenPixel(x, y), corner);
    EXPECT_EQ(ScreenPixel(x + w - 1, y + h - 1), farCorner);
    EXPECT_NE(fill, corner);
    EXPECT_EQ(ScreenPixel(x + 5, y), fill);
    EXPECT_EQ(ScreenPixel(x, y + 5), fill);
    EXPECT_EQ(ScreenPixel(x + w / 2, y + h - 1), fill);
    EXPECT_EQ(ScreenPixel(x + 2, y + 2), fill);

    // Moved by the program, it lands exactly again.
    wnd.SetWindowPos(nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return pWindow->geometry().topLeft() == QPoint(300, 250); }, 5000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return ScreenPixel(300 + w / 2, 250 + h / 2) == fill; }, 5000));
    wnd.DestroyWindow();
}

class CMenuLikeWnd : public CFilledWnd
{
protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.dwExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
        return TRUE;
    }
};

// A menu is an unmanaged tool window that takes the focus and grabs the pointer; it must paint.
TEST(X11WindowTest, MenuWindowPaintsWhileItHoldsFocusAndPointer)
{
    const int x = 200, y = 300, w = 120, h = 140;
    CMenuLikeWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"menu", WS_POPUP, 0, 0, w, h, nullptr, 0));
    wnd.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CFilledWnd child;
    ASSERT_TRUE(child.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &wnd, 5));
    wnd.ShowWindow(SW_SHOW);
    wnd.SetFocus();
    wnd.SetCapture();
    const QRgb fill = qRgb(GetRValue(kFill), GetGValue(kFill), GetBValue(kFill)) & 0xFFFFFF;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(x + w - 5, y + h - 5) == fill; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(x + 30, y + 30) == fill; }, 5000));
    ReleaseCapture();
    wnd.DestroyWindow();
}

} // namespace
