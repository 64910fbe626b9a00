// Pointer and keyboard: Qt's input events become the framework's input messages, with mouse
// capture, keyboard focus, leave tracking and the non-client hit test that starts moving or
// resizing a frameless window.
#include "platform/System.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace
{

UINT KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT n = 0;
    if (buttons & Qt::LeftButton)
        n |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        n |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        n |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        n |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        n |= MK_CONTROL;
    return n;
}

LPARAM Pack(QPoint p)
{
    return MAKELPARAM(static_cast<unsigned>(p.x()), static_cast<unsigned>(p.y()));
}

UINT VirtualKey(int nKey)
{
    if ((nKey >= Qt::Key_A && nKey <= Qt::Key_Z) || (nKey >= Qt::Key_0 && nKey <= Qt::Key_9) ||
        nKey == Qt::Key_Space)
        return static_cast<UINT>(nKey);
    if (nKey >= Qt::Key_F1 && nKey <= Qt::Key_F24)
        return VK_F1 + static_cast<UINT>(nKey - Qt::Key_F1);
    switch (nKey)
    {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

bool IsSizingHit(LRESULT nHit)
{
    return nHit >= HTLEFT && nHit <= HTBOTTOMRIGHT;
}

Qt::Edges EdgesOf(LRESULT nHit)
{
    switch (nHit)
    {
    case HTLEFT:
        return Qt::LeftEdge;
    case HTRIGHT:
        return Qt::RightEdge;
    case HTTOP:
        return Qt::TopEdge;
    case HTBOTTOM:
        return Qt::BottomEdge;
    case HTTOPLEFT:
        return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT:
        return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT:
        return Qt::BottomEdge | Qt::LeftEdge;
    default:
        return Qt::BottomEdge | Qt::RightEdge;
    }
}

Qt::CursorShape CursorFor(LRESULT nHit)
{
    switch (nHit)
    {
    case HTLEFT:
    case HTRIGHT:
        return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM:
        return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// The window manager moves or resizes; where it cannot (no window manager, offscreen), the
// window follows the pointer itself until the button is released.
void StartMoveOrResize(CWndHost* pHost, LRESULT nHit, QPoint ptGlobal)
{
    QWindow* pWindow = pHost->windowHandle();
    bool bStarted = false;
    if (pWindow != nullptr && nHit == HTCAPTION)
    {
        bStarted = pWindow->startSystemMove();
    }
    else if (pWindow != nullptr)
    {
        // The window manager reads the minimum from the size hints when it starts.
        pHost->BeginSystemResize();
        bStarted = pWindow->startSystemResize(EdgesOf(nHit));
        if (!bStarted)
            pHost->EndSystemResize();
    }
    if (!bStarted)
        pHost->StartManualDrag(nHit, ptGlobal);
}

bool HandleMouse(CWndClient* pClient, QMouseEvent* me)
{
    CWndHost* pHost = pClient->Host();
    const QPoint ptGlobal = me->globalPosition().toPoint();
    // The pointer moves freely again or presses anew: the window manager's resizing is over.
    // (Events queued before it took the pointer still carry the held button.)
    const bool bFreePointer = (me->type() == QEvent::MouseMove && me->buttons() == 0) ||
                              me->type() == QEvent::MouseButtonPress;
    if (CWndHost* pTop = wnd::HostOfWidget(pClient->window()); pTop != nullptr && bFreePointer)
        pTop->EndSystemResize();
    if (pHost->IsDragging())
    {
        if (me->type() == QEvent::MouseMove)
            pHost->DragTo(ptGlobal);
        else if (me->type() == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton)
            pHost->EndDrag();
        return true;
    }
    if (!pHost->isEnabled())
    {
        // A disabled window's input goes to its parent, as the window system does.
        me->ignore();
        return false;
    }
    wnd::CheckMouseLeave(ptGlobal);
    CWnd* pTarget = nullptr;
    if (wnd::CaptureWindow() != nullptr)
        pTarget = wnd::WndOf(wnd::CaptureWindow());
    else if (pClient->rect().contains(me->position().toPoint()))
        pTarget = pHost->m_pWnd;
    else
        pTarget = CWnd::WindowFromPoint(POINT{ptGlobal.x(), ptGlobal.y()});
    CWndHost* pTargetHost = wnd::HostOf(pTarget);
    if (pTargetHost == nullptr)
        return true;
    const UINT nKeys = KeyState(me->buttons(), me->modifiers());
    const QPoint ptClient = pTargetHost->Client()->mapFromGlobal(ptGlobal);
    UINT message = 0;
    const Qt::MouseButton button = me->button();
    const bool bDoubleClicks = (pTargetHost->m_nClassStyle & CS_DBLCLKS) != 0;
    switch (me->type())
    {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    {
        const bool bDouble = me->type() == QEvent::MouseButtonDblClick && bDoubleClicks;
        if (button == Qt::LeftButton)
            message = bDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        else if (button == Qt::RightButton)
            message = bDouble ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
        else if (button == Qt::MiddleButton)
            message = bDouble ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
        if (button == Qt::LeftButton && wnd::CaptureWindow() == nullptr &&
            pTargetHost->IsTopLevel())
        {
            const LRESULT nHit = msg::Call(pTarget, WM_NCHITTEST, 0, Pack(ptGlobal));
            if (nHit == HTCAPTION || IsSizingHit(nHit))
            {
                StartMoveOrResize(pTargetHost, nHit, ptGlobal);
                return true;
            }
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (button == Qt::LeftButton)
            message = WM_LBUTTONUP;
        else if (button == Qt::RightButton)
            message = WM_RBUTTONUP;
        else if (button == Qt::MiddleButton)
            message = WM_MBUTTONUP;
        break;
    case QEvent::MouseMove:
        message = WM_MOUSEMOVE;
        if (wnd::CaptureWindow() == nullptr && pTargetHost->IsTopLevel() && me->buttons() == 0)
        {
            const LRESULT nHit = msg::Call(pTarget, WM_NCHITTEST, 0, Pack(ptGlobal));
            if (wnd::HostOf(pTarget) == pTargetHost)
                pTargetHost->Client()->setCursor(CursorFor(nHit));
        }
        break;
    default:
        break;
    }
    if (message == 0 || wnd::HostOf(pTarget) != pTargetHost)
        return true;
    MSG m = msg::Make(pTargetHost->m_hWnd, message, nKeys, Pack(ptClient), ptGlobal);
    msg::Pump(m);
    return true;
}

// High-resolution wheels and touchpads turn in small steps; windows scroll a fixed amount per
// message, so the steps are added up into whole notches. The part of a notch left over is kept
// for the same top-level window and the same direction only.
struct CWheelRemainder
{
    HWND hTopLevel = nullptr;
    int nAngle = 0;
};
CWheelRemainder g_wheel;

// How many whole notches (signed) the step completes.
int AddWheelStep(HWND hTopLevel, int nDelta)
{
    if (g_wheel.hTopLevel != hTopLevel || (g_wheel.nAngle < 0) != (nDelta < 0))
        g_wheel = CWheelRemainder{hTopLevel, 0};
    g_wheel.nAngle += nDelta;
    const int nNotches = g_wheel.nAngle / WHEEL_DELTA;
    g_wheel.nAngle -= nNotches * WHEEL_DELTA;
    return nNotches;
}

bool HandleWheel(CWndClient* pClient, QWheelEvent* we)
{
    CWndHost* pHost = pClient->Host();
    const int nDelta = we->angleDelta().y();
    if (nDelta == 0)
        return true;
    if (!pHost->isEnabled())
    {
        we->ignore();
        return false;
    }
    const CWndHost* pTop = wnd::HostOfWidget(pHost->window());
    const int nNotches = AddWheelStep(pTop != nullptr ? pTop->m_hWnd : nullptr, nDelta);
    const QPoint ptGlobal = we->globalPosition().toPoint();
    const UINT nKeys = KeyState(we->buttons(), we->modifiers());
    const short nNotch = nNotches < 0 ? -WHEEL_DELTA : WHEEL_DELTA;
    const HWND hWnd = pHost->m_hWnd;
    // One message per notch: handlers scroll a fixed step per message. Each may move the focus
    // or destroy the window.
    for (int i = 0; i < std::abs(nNotches); ++i)
    {
        CWndHost* pNow = wnd::HostOf(hWnd);
        if (pNow == nullptr)
            break;
        // The wheel turns for the window with the keyboard focus, as on the framework's system.
        HWND hTarget = hWnd;
        if (wnd::CaptureWindow() != nullptr)
            hTarget = wnd::CaptureWindow();
        else if (CWndHost* pFocus = wnd::HostOf(wnd::FocusWindow());
                 pFocus != nullptr && pFocus->window() == pNow->window())
            hTarget = wnd::FocusWindow();
        MSG m = msg::Make(hTarget, WM_MOUSEWHEEL, MAKEWPARAM(nKeys, static_cast<unsigned>(nNotch)),
                          Pack(ptGlobal), ptGlobal);
        msg::Pump(m);
    }
    return true;
}

bool g_bPointerRecheckQueued = false;

void RecheckPointer()
{
    g_bPointerRecheckQueued = false;
    const QPoint ptGlobal = QCursor::pos();
    wnd::CheckMouseLeave(ptGlobal);
    CWnd* pTarget = wnd::CaptureWindow() != nullptr
                        ? wnd::WndOf(wnd::CaptureWindow())
                        : CWnd::WindowFromPoint(POINT{ptGlobal.x(), ptGlobal.y()});
    CWndHost* pTargetHost = wnd::HostOf(pTarget);
    if (pTargetHost == nullptr || !pTargetHost->isEnabled())
        return;
    const UINT nKeys =
        KeyState(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
    MSG m = msg::Make(pTargetHost->m_hWnd, WM_MOUSEMOVE, nKeys,
                      Pack(pTargetHost->Client()->mapFromGlobal(ptGlobal)), ptGlobal);
    msg::Pump(m);
}

bool HandleKey(CWndClient* pClient, QKeyEvent* ke)
{
    CWndHost* pHost = pClient->Host();
    HWND hTarget = pHost->m_hWnd;
    if (CWndHost* pFocus = wnd::HostOf(wnd::FocusWindow());
        pFocus != nullptr && pFocus->window() == pHost->window())
        hTarget = wnd::FocusWindow();
    const UINT vk = VirtualKey(ke->key());
    const QPoint ptGlobal = QCursor::pos();
    LPARAM lParam = 1 | (static_cast<LPARAM>(ke->nativeScanCode() & 0xFF) << 16);
    if (ke->type() == QEvent::KeyRelease)
    {
        if (vk != 0)
        {
            lParam |= (1 << 30) | (static_cast<LPARAM>(1) << 31);
            MSG m = msg::Make(hTarget, WM_KEYUP, vk, lParam, ptGlobal);
            msg::Pump(m);
        }
        return true;
    }
    if (ke->isAutoRepeat())
        lParam |= 1 << 30;
    bool bTranslate = true;
    if (vk != 0)
    {
        MSG m = msg::Make(hTarget, WM_KEYDOWN, vk, lParam, ptGlobal);
        bTranslate = msg::Pump(m);
    }
    // Characters follow a key press that nobody swallowed.
    if (bTranslate)
    {
        const QString text = ke->text();
        for (QChar c : text)
        {
            MSG m = msg::Make(hTarget, WM_CHAR, c.unicode(), lParam, ptGlobal);
            msg::Pump(m);
        }
    }
    return true;
}

} // namespace

void wnd::QueuePointerRecheck()
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (g_bPointerRecheckQueued || pApp == nullptr)
        return;
    g_bPointerRecheckQueued = true;
    QTimer::singleShot(0, pApp, [] { RecheckPointer(); });
}

bool CWndClient::event(QEvent* e)
{
    if (m_pHost->m_pWnd == nullptr)
        return QWidget::event(e);
    switch (e->type())
    {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return HandleMouse(this, static_cast<QMouseEvent*>(e));
    case QEvent::Wheel:
        return HandleWheel(this, static_cast<QWheelEvent*>(e));
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return HandleKey(this, static_cast<QKeyEvent*>(e));
    case QEvent::Leave:
        if (wnd::StopLeaveTracking(m_pHost->m_hWnd))
            PostMessage(m_pHost->m_hWnd, WM_MOUSELEAVE, 0, 0);
        return QWidget::event(e);
    case QEvent::ContextMenu:
        return true;
    default:
        return QWidget::event(e);
    }
}
