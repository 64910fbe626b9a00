// System-wide values: colours, metrics, screens and time.
#include "platform/System.h"
#include "platform/Wnd.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>

#include <algorithm>
#include <chrono>

namespace
{

QScreen* ScreenOf(HMONITOR hMonitor)
{
    return reinterpret_cast<QScreen*>(hMonitor);
}

HMONITOR MonitorOf(QScreen* pScreen)
{
    return reinterpret_cast<HMONITOR>(pScreen);
}

QRect PrimaryGeometry()
{
    QScreen* p = QGuiApplication::primaryScreen();
    return p != nullptr ? p->geometry() : QRect(0, 0, 800, 600);
}

QRect VirtualGeometry()
{
    QScreen* p = QGuiApplication::primaryScreen();
    return p != nullptr ? p->virtualGeometry() : QRect(0, 0, 800, 600);
}

} // namespace

COLORREF GetSysColor(int nIndex)
{
    static const COLORREF s_colors[] = {
        RGB(212, 208, 200), // COLOR_SCROLLBAR
        RGB(58, 110, 165),  // COLOR_BACKGROUND
        RGB(10, 36, 106),   // COLOR_ACTIVECAPTION
        RGB(128, 128, 128), // COLOR_INACTIVECAPTION
        RGB(212, 208, 200), // COLOR_MENU
        RGB(255, 255, 255), // COLOR_WINDOW
        RGB(0, 0, 0),       // COLOR_WINDOWFRAME
        RGB(0, 0, 0),       // COLOR_MENUTEXT
        RGB(0, 0, 0),       // COLOR_WINDOWTEXT
        RGB(255, 255, 255), // COLOR_CAPTIONTEXT
        RGB(212, 208, 200), // COLOR_ACTIVEBORDER
        RGB(212, 208, 200), // COLOR_INACTIVEBORDER
        RGB(128, 128, 128), // COLOR_APPWORKSPACE
        RGB(10, 36, 106),   // COLOR_HIGHLIGHT
        RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
        RGB(212, 208, 200), // COLOR_BTNFACE
        RGB(128, 128, 128), // COLOR_BTNSHADOW
        RGB(128, 128, 128), // COLOR_GRAYTEXT
        RGB(0, 0, 0),       // COLOR_BTNTEXT
        RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
        RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
        RGB(64, 64, 64),    // COLOR_3DDKSHADOW
        RGB(212, 208, 200), // COLOR_3DLIGHT
        RGB(0, 0, 0),       // COLOR_INFOTEXT
        RGB(255, 255, 225), // COLOR_INFOBK
        RGB(181, 181, 181), // (unused index 25)
        RGB(0, 0, 128),     // COLOR_HOTLIGHT
        RGB(166, 202, 240), // COLOR_GRADIENTACTIVECAPTION
        RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
        RGB(10, 36, 106),   // COLOR_MENUHILIGHT
        RGB(212, 208, 200), // COLOR_MENUBAR
    };
    if (nIndex < 0 || nIndex >= static_cast<int>(sizeof(s_colors) / sizeof(s_colors[0])))
        return 0;
    return s_colors[nIndex];
}

int GetSystemMetrics(int nIndex)
{
    switch (nIndex)
    {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
        return PrimaryGeometry().width();
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN:
        return PrimaryGeometry().height();
    case SM_XVIRTUALSCREEN:
        return VirtualGeometry().x();
    case SM_YVIRTUALSCREEN:
        return VirtualGeometry().y();
    case SM_CXVIRTUALSCREEN:
        return VirtualGeometry().width();
    case SM_CYVIRTUALSCREEN:
        return VirtualGeometry().height();
    case SM_CMONITORS:
        return static_cast<int>(QGuiApplication::screens().size());
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_MOUSEPRESENT:
        return 1;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMINTRACK:
        return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    default:
        return 0;
    }
}

BOOL SystemParametersInfo(UINT uiAction, UINT, LPVOID pvParam, UINT)
{
    if (pvParam == nullptr)
        return FALSE;
    switch (uiAction)
    {
    case SPI_GETWORKAREA:
        *static_cast<RECT*>(pvParam) = GetMonitorWorkArea(nullptr);
        return TRUE;
    case SPI_GETFLATMENU:
        *static_cast<BOOL*>(pvParam) = TRUE;
        return TRUE;
    case SPI_GETANIMATION:
        static_cast<ANIMATIONINFO*>(pvParam)->iMinAnimate = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

CRect GetMonitorWorkArea(CWnd* pWnd)
{
    MONITORINFO mi{sizeof(MONITORINFO), {}, {}, 0};
    if (!GetMonitorInfo(MonitorFromWindow(pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr,
                                          MONITOR_DEFAULTTOPRIMARY),
                        &mi))
        return FromQRect(PrimaryGeometry());
    return mi.rcWork;
}

HMONITOR MonitorFromWindow(HWND hWnd, DWORD dwFlags)
{
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    if (pWnd == nullptr)
        return dwFlags == MONITOR_DEFAULTTONULL ? nullptr
                                                : MonitorOf(QGuiApplication::primaryScreen());
    CRect rc;
    pWnd->GetWindowRect(&rc);
    // The screen with the largest share of the window, else the nearest to its centre.
    QScreen* pBest = nullptr;
    long long nBestArea = 0;
    for (QScreen* pScreen : QGuiApplication::screens())
    {
        const QRect part = pScreen->geometry() & ToQRect(rc);
        const long long nArea = static_cast<long long>(part.width()) * part.height();
        if (!part.isEmpty() && nArea > nBestArea)
        {
            nBestArea = nArea;
            pBest = pScreen;
        }
    }
    if (pBest == nullptr && dwFlags != MONITOR_DEFAULTTONULL)
        return MonitorFromPoint(rc.CenterPoint(), dwFlags);
    return MonitorOf(pBest);
}

HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags)
{
    QScreen* pNearest = nullptr;
    long long nBest = -1;
    for (QScreen* pScreen : QGuiApplication::screens())
    {
        const QRect g = pScreen->geometry();
        if (g.contains(ToQPoint(pt)))
            return MonitorOf(pScreen);
        const long long dx = std::max({0, g.left() - pt.x, pt.x - g.right()});
        const long long dy = std::max({0, g.top() - pt.y, pt.y - g.bottom()});
        if (nBest < 0 || dx * dx + dy * dy < nBest)
        {
            nBest = dx * dx + dy * dy;
            pNearest = pScreen;
        }
    }
    if (dwFlags == MONITOR_DEFAULTTONULL)
        return nullptr;
    if (dwFlags == MONITOR_DEFAULTTOPRIMARY)
        return MonitorOf(QGuiApplication::primaryScreen());
    return MonitorOf(pNearest);
}

BOOL GetMonitorInfo(HMONITOR hMonitor, MONITORINFO* pInfo)
{
    QScreen* pScreen = ScreenOf(hMonitor);
    if (pScreen == nullptr || pInfo == nullptr || !QGuiApplication::screens().contains(pScreen))
        return FALSE;
    pInfo->rcMonitor = FromQRect(pScreen->geometry());
    pInfo->rcWork = FromQRect(pScreen->availableGeometry());
    pInfo->dwFlags = pScreen == QGuiApplication::primaryScreen() ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

std::vector<CRect> GetScreenRects()
{
    std::vector<CRect> rects{FromQRect(PrimaryGeometry())};
    for (QScreen* pScreen : QGuiApplication::screens())
    {
        if (pScreen != QGuiApplication::primaryScreen())
            rects.push_back(FromQRect(pScreen->geometry()));
    }
    return rects;
}

UINT GetDoubleClickTime()
{
    return static_cast<UINT>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

unsigned long long GetTickCount64()
{
    using namespace std::chrono;
    return static_cast<unsigned long long>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(GetTickCount64());
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* pCount)
{
    if (pCount == nullptr)
        return FALSE;
    using namespace std::chrono;
    pCount->QuadPart = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* pFrequency)
{
    if (pFrequency == nullptr)
        return FALSE;
    pFrequency->QuadPart = 1000000000LL;
    return TRUE;
}
