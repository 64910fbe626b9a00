// Helpers of the window tests: input through Qt's own event delivery, and a window that records
// the messages it gets.
#pragma once

#include "platform/Afx.h"
#include "platform/internal/WndHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

// The widget that receives a window's mouse and keys.
inline QWidget* ClientOf(const CWnd& wnd)
{
    CWndHost* pHost = wnd::HostOf(&wnd);
    return pHost != nullptr ? pHost->Client() : nullptr;
}

inline QPoint Q(POINT p)
{
    return QPoint(p.x, p.y);
}

// Input as the window system delivers it: to the top-level window, which finds the window under
// the point. Points are in the client coordinates of wnd.
inline QWindow* WindowOf(const CWnd& wnd)
{
    return ClientOf(wnd)->window()->windowHandle();
}

inline QPoint InWindow(const CWnd& wnd, CPoint pt)
{
    QWidget* pClient = ClientOf(wnd);
    return pClient->mapTo(pClient->window(), Q(pt));
}

inline void Click(const CWnd& wnd, CPoint pt, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseClick(WindowOf(wnd), button, modifiers, InWindow(wnd, pt));
}

inline void DoubleClick(const CWnd& wnd, CPoint pt)
{
    QTest::mouseDClick(WindowOf(wnd), Qt::LeftButton, Qt::NoModifier, InWindow(wnd, pt));
}

inline void Press(const CWnd& wnd, CPoint pt, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(WindowOf(wnd), button, Qt::NoModifier, InWindow(wnd, pt));
}

inline void Release(const CWnd& wnd, CPoint pt, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(WindowOf(wnd), button, Qt::NoModifier, InWindow(wnd, pt));
}

inline void MoveTo(const CWnd& wnd, CPoint pt)
{
    QTest::mouseMove(WindowOf(wnd), InWindow(wnd, pt));
}

// A turn of the wheel by nDelta (120 a notch) at a point in wnd's client coordinates, delivered
// as Qt does: to the widget under the point, then up its parents until one takes it.
inline void Wheel(const CWnd& wnd, CPoint pt, int nDelta,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* pTop = ClientOf(wnd)->window();
    const QPoint ptTop = InWindow(wnd, pt);
    QWidget* pTarget = pTop->childAt(ptTop);
    if (pTarget == nullptr)
        pTarget = pTop;
    QWheelEvent e(pTarget->mapFrom(pTop, ptTop), pTop->mapToGlobal(ptTop), QPoint(),
                  QPoint(0, nDelta), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pTarget, &e);
}

// The pointer at a screen position (pressing or releasing a button, or moving), wherever the
// window has gone meanwhile.
inline void PointerAt(QWindow* pWindow, QPoint ptScreen, Qt::MouseButton press = Qt::NoButton,
                      Qt::MouseButton release = Qt::NoButton)
{
    const QPoint pt = ptScreen - pWindow->position();
    if (press != Qt::NoButton)
        QTest::mousePress(pWindow, press, Qt::NoModifier, pt);
    else if (release != Qt::NoButton)
        QTest::mouseRelease(pWindow, release, Qt::NoModifier, pt);
    else
        QTest::mouseMove(pWindow, pt);
}

inline void ShowAndWait(CWnd& wnd)
{
    wnd.ShowWindow(SW_SHOW);
    QWidget* pWindow = ClientOf(wnd)->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pWindow));
}

// Processes pending events, including posted messages.
inline void Pump()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

struct CRecorded
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A window that records every message it gets before the usual processing; onMessage may
// answer instead (return true and set the result).
class CRecordingWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_messages.push_back(CRecorded{message, wParam, lParam});
        LRESULT lResult = 0;
        if (m_onMessage && m_onMessage(message, wParam, lParam, lResult))
            return lResult;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        m_pretranslated.push_back(pMsg->message);
        return m_onPreTranslate ? m_onPreTranslate(pMsg) : FALSE;
    }

    // The recorded messages of one kind.
    std::vector<CRecorded> Of(UINT message) const
    {
        std::vector<CRecorded> result;
        for (const CRecorded& r : m_messages)
        {
            if (r.message == message)
                result.push_back(r);
        }
        return result;
    }
    std::vector<UINT> Sequence(std::initializer_list<UINT> kinds) const
    {
        std::vector<UINT> result;
        for (const CRecorded& r : m_messages)
        {
            if (std::find(kinds.begin(), kinds.end(), r.message) != kinds.end())
                result.push_back(r.message);
        }
        return result;
    }

    BOOL CreateTop(int x, int y, int cx, int cy, DWORD dwStyle = WS_POPUP,
                   LPCWSTR lpszClass = nullptr)
    {
        return CreateEx(0, lpszClass, L"test", dwStyle, x, y, cx, cy, nullptr, 0);
    }
    BOOL CreateChild(CWnd* pParent, const CRect& rc, UINT nID = 0, DWORD dwStyle = WS_VISIBLE)
    {
        return Create(nullptr, L"child", WS_CHILD | dwStyle, rc, pParent, nID);
    }

    std::vector<CRecorded> m_messages;
    std::vector<UINT> m_pretranslated;
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> m_onMessage;
    std::function<BOOL(MSG*)> m_onPreTranslate;
};
