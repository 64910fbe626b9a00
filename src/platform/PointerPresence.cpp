// Whether the pointer is over the program: the top-level windows Qt reports it entered, and the
// windows told when that changes.
#include "platform/Wnd.h"
#include "platform/internal/WndHost.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace
{

std::vector<HWND> g_under;
std::vector<HWND> g_tracking;
bool g_bInside = false;

void Notify()
{
    const bool bInside = !g_under.empty();
    if (bInside == g_bInside)
        return;
    g_bInside = bInside;
    // Handles are never reused: a gone window just drops out.
    std::erase_if(g_tracking, [](HWND h) { return !IsWindow(h); });
    for (HWND h : g_tracking)
        PostMessage(h, WM_POINTERINPROGRAM, bInside ? TRUE : FALSE, 0);
}

} // namespace

void wnd::PointerEntered(CWndHost* pTop)
{
    if (pTop->m_dwExStyle & WS_EX_TRANSPARENT)
        return;
    if (std::find(g_under.begin(), g_under.end(), pTop->m_hWnd) == g_under.end())
        g_under.push_back(pTop->m_hWnd);
    Notify();
}

void wnd::PointerGone(CWndHost* pTop)
{
    const auto it = std::find(g_under.begin(), g_under.end(), pTop->m_hWnd);
    if (it == g_under.end())
        return;
    g_under.erase(it);
    if (!g_under.empty())
        return;
    // The leave from one window comes before the enter into the next: decide once both are in.
    if (QCoreApplication::instance() == nullptr)
    {
        Notify();
        return;
    }
    QTimer::singleShot(0, QCoreApplication::instance(), [] { Notify(); });
}

BOOL TrackPointerInProgram(HWND hWnd, BOOL bTrack)
{
    if (!IsWindow(hWnd))
        return FALSE;
    std::erase(g_tracking, hWnd);
    if (bTrack)
        g_tracking.push_back(hWnd);
    return TRUE;
}

BOOL IsPointerInProgram()
{
    return g_bInside ? TRUE : FALSE;
}
