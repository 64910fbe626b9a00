// The Qt side of a window: the frame widget (the window rectangle, with the scroll bars) and the
// client widget inside it (where painting, mouse and keys happen, and where child windows live).
// Only the layer's own sources include this.
#pragma once

#include "platform/Wnd.h"
#include "platform/internal/GdiData.h"

#include <QRegion>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QScrollBar;
class CWndClient;

struct CScrollBarState
{
    int nMin = 0;
    int nMax = 100;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
    bool bEnabled = true;
    int MaxPos() const;
};

class CWndHost : public QWidget
{
public:
    CWndHost(CWnd* pWnd, QWidget* pParent, const CREATESTRUCT& cs);
    ~CWndHost() override;

    bool IsTopLevel() const { return (m_dwStyle & WS_CHILD) == 0; }
    CWndClient* Client() const { return m_pClient; }
    // Places the client widget and the scroll bars in the frame.
    void Relayout();
    // Sends WM_MOVE and WM_SIZE for what changed since they were last sent.
    void NotifyGeometry();
    // Moves and sizes the window to a rectangle in its parent's client coordinates (screen
    // coordinates for a top-level window), then reports the change.
    void ApplyGeometry(const QRect& rect);
    QRect ClientRect() const;
    // The back buffer, sized to the client area.
    std::shared_ptr<CSurface> Surface();
    // Paints what needs painting into the back buffer: WM_PAINT, unless nothing does.
    void PaintPending();
    void Invalidate(const QRegion& region, bool bErase);
    void SyncScrollBar(int nBar);
    // The bar, made on first use with the state kept for it.
    QScrollBar* Bar(int nBar);
    void SetActualRegion(const std::optional<QRegion>& region);
    // The window's shape contains the point (window coordinates).
    bool ShapeContains(QPoint pt) const;
    // The frameless window's minimum size for the window manager's resizing.
    QSize MinTrackSize();
    // Moving or resizing by the pointer without a window manager.
    void StartManualDrag(LRESULT nHit, QPoint ptGlobal);
    bool IsDragging() const { return m_drag.nHit != HTNOWHERE; }
    void DragTo(QPoint ptGlobal);
    void EndDrag();
    // The window manager's resizing: the widget's minimum size (its size hints) is set only for
    // it, since Qt would apply it to the program's own sizing too. Ends at the next pointer
    // event in the window or the program's next sizing, whichever comes first.
    void BeginSystemResize();
    void EndSystemResize();

    CWnd* m_pWnd = nullptr;
    HWND m_hWnd = nullptr;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    UINT m_nID = 0;
    UINT m_nClassStyle = 0;
    HBRUSH m_hbrBackground = nullptr;
    HWND m_hWndOwner = nullptr;
    // The focused child when the window was last deactivated.
    HWND m_hWndSavedFocus = nullptr;
    std::wstring m_strText;
    bool m_bDestroying = false;
    int m_nApplyingGeometry = 0;
    QPoint m_ptLastMove{INT_MIN, INT_MIN};
    QSize m_sizeLastClient{-1, -1};
    UINT m_nSizeType = SIZE_RESTORED;
    CScrollBarState m_bars[2];
    QScrollBar* m_pBars[2] = {nullptr, nullptr};
    std::map<UINT_PTR, int> m_timers;
    std::optional<QRegion> m_windowRgn;
    QRegion m_rgnUpdate;
    bool m_bErase = false;
    bool m_bPaintedOnce = false;
    // The region and erase flag of the paint in progress (for CPaintDC).
    QRegion m_rgnPainting;
    bool m_bPaintErase = false;
    bool m_bInPaint = false;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void OnScrollAction(int nBar, int nAction);
    struct CDrag
    {
        LRESULT nHit = HTNOWHERE;
        QPoint ptStart;
        QRect rcStart;
    } m_drag;
    bool m_bSystemResizing = false;
    CWndClient* m_pClient = nullptr;
    std::shared_ptr<CSurface> m_pSurface;
};

class CWndClient : public QWidget
{
public:
    CWndClient(CWndHost* pHost);
    CWndHost* Host() const { return m_pHost; }

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    CWndHost* m_pHost;
};

// Access to CWnd's private handle for the layer.
class CDialog;
struct CWndAccess
{
    static void SetHandle(CWnd* pWnd, HWND hWnd) { pWnd->m_hWnd.store(hWnd); }
    // Ends a dialog's modal loop when its window goes.
    static void EndModalLoop(CDialog* pDialog);
};

namespace wnd
{
CWndHost* HostOf(HWND hWnd);
CWndHost* HostOf(const CWnd* pWnd);
CWnd* WndOf(HWND hWnd);
// The host of a widget or its nearest host ancestor.
CWndHost* HostOfWidget(QWidget* pWidget);
HWND Register(CWndHost* pHost);
void Unregister(HWND hWnd);
// Top-level windows, in creation order.
std::vector<CWndHost*> TopLevels();
// Child windows in z-order, topmost first.
std::vector<CWndHost*> Children(const CWndHost* pHost);
bool IsOffscreen();
// Qt calls that the offscreen platforms only warn about are left out there; input routing to
// the capturing window is the layer's own anyway.
void Raise(QWidget* pWidget);
void GrabMouse(QWidget* pWidget);
void ReleaseMouse(QWidget* pWidget);
// Detaches a window without messages (the window system is going away).
void DetachSilently(CWndHost* pHost);
// Internal state of the pointer and keyboard.
HWND CaptureWindow();
HWND FocusWindow();
// Ends leave tracking of a window; false when it was not tracked.
bool StopLeaveTracking(HWND hWnd);
void ForgetWindow(HWND hWnd);
void CheckMouseLeave(QPoint ptGlobal);
// Windows moved under a pointer that stayed put, or the capture ended: soon after, the window
// now under the pointer (or holding the capture) gets a WM_MOUSEMOVE where the pointer is, and
// the one it left its WM_MOUSELEAVE, as after a real move. Several requests make one move.
void QueuePointerRecheck();
// Qt is painting a widget now (a synchronous repaint would recurse).
bool InQtPaint();
// The pointer entered a top-level window, or left it (or the window was hidden or deleted).
void PointerEntered(CWndHost* pTop);
void PointerGone(CWndHost* pTop);
// The focus leaves with a deactivated window and is remembered for its return.
void KillFocusOnDeactivate(CWndHost* pTop, HWND hNewActive);
} // namespace wnd
