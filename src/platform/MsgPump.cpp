// Message delivery: the current message, the PreTranslateMessage walk, posted messages from any
// thread, registered message numbers.
#include "platform/internal/MsgPump.h"
#include "platform/internal/WndHost.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QThread>

#if defined(__SANITIZE_THREAD__)
#define ZORVEX_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZORVEX_THREAD_SANITIZER 1
#endif
#endif
#if ZORVEX_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cwctype>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace
{

std::vector<MSG> g_current;
MSG g_lastQueued{};
int g_nDepth = 0;
constexpr int kWaitingMessagesTimeLimit = 200; // milliseconds
// Objects of windows destroyed inside handlers, deleted when the outermost handler returns.
std::vector<std::unique_ptr<CWnd>> g_deferred;

void DeleteDeferred()
{
    // Counted as a handler: windows that go with these objects lose their widgets later, as
    // some caller further up may still be inside one of them.
    ++g_nDepth;
    while (!g_deferred.empty())
    {
        std::vector<std::unique_ptr<CWnd>> batch;
        batch.swap(g_deferred);
        batch.clear();
    }
    --g_nDepth;
}

// Around every delivery: counts the depth and deletes the deferred objects on the way out.
class CDispatchScope
{
public:
    CDispatchScope() { ++g_nDepth; }
    ~CDispatchScope()
    {
        if (--g_nDepth == 0 && !g_deferred.empty())
            DeleteDeferred();
    }
    CDispatchScope(const CDispatchScope&) = delete;
    CDispatchScope& operator=(const CDispatchScope&) = delete;
};

const QEvent::Type kPostedMessage = static_cast<QEvent::Type>(QEvent::User + 0x57);

// Qt's event queue hands a posted message from its thread to ours under a lock that a
// ThreadSanitizer build cannot see, since Qt is not built with it. Telling it about the hand-off
// keeps what the poster wrote before posting from being reported as a race with the handler.
void HandOver([[maybe_unused]] const void* pEvent)
{
#if ZORVEX_THREAD_SANITIZER
    __tsan_release(const_cast<void*>(pEvent));
#endif
}

void TakeOver([[maybe_unused]] const void* pEvent)
{
#if ZORVEX_THREAD_SANITIZER
    __tsan_acquire(const_cast<void*>(pEvent));
#endif
}

class CPostedMessageEvent : public QEvent
{
public:
    CPostedMessageEvent(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(kPostedMessage), m_hWnd(hWnd), m_message(message), m_wParam(wParam),
          m_lParam(lParam)
    {
    }
    HWND m_hWnd;
    UINT m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

// Lives on the user-interface thread and turns posted events into queued messages.
class CMessageQueue : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() != kPostedMessage)
            return QObject::event(e);
        auto* p = static_cast<CPostedMessageEvent*>(e);
        TakeOver(p);
        // A window that has gone by now never gets it.
        if (wnd::WndOf(p->m_hWnd) != nullptr)
        {
            MSG m = msg::Make(p->m_hWnd, p->m_message, p->m_wParam, p->m_lParam, QCursor::pos());
            msg::Pump(m);
        }
        return true;
    }
};

std::atomic<CMessageQueue*> g_pQueue{nullptr};

QElapsedTimer& Clock()
{
    static QElapsedTimer s_clock = []
    {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return s_clock;
}

bool OnUiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

} // namespace

namespace msg
{

LRESULT Call(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (pWnd == nullptr)
        return 0;
    MSG m = g_lastQueued;
    m.hwnd = pWnd->GetSafeHwnd();
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    g_current.push_back(m);
    const CDispatchScope scope;
    const LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    g_current.pop_back();
    return lResult;
}

const MSG& Current()
{
    static const MSG s_none{};
    return g_current.empty() ? s_none : g_current.back();
}

MSG Make(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, QPoint ptGlobal)
{
    MSG m{};
    m.hwnd = hWnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = static_cast<DWORD>(Clock().elapsed());
    m.pt = POINT{ptGlobal.x(), ptGlobal.y()};
    return m;
}

bool Pump(MSG& m)
{
    const MSG saved = g_lastQueued;
    g_lastQueued = m;
    bool bDispatched = false;
    {
        const CDispatchScope scope;
        bool bSwallowed = false;
        for (HWND h = m.hwnd; h != nullptr && !bSwallowed;)
        {
            CWnd* pWnd = wnd::WndOf(h);
            if (pWnd == nullptr)
                break;
            bSwallowed = pWnd->PreTranslateMessage(&m) != FALSE;
            // The handler may have destroyed the window.
            CWnd* pNext = wnd::WndOf(h) != nullptr ? pWnd->GetParent() : nullptr;
            h = pNext != nullptr ? pNext->GetSafeHwnd() : nullptr;
        }
        if (!bSwallowed)
        {
            g_lastQueued = m;
            if (CWnd* pTarget = wnd::WndOf(m.hwnd))
            {
                Call(pTarget, m.message, m.wParam, m.lParam);
                bDispatched = true;
            }
        }
    }
    g_lastQueued = saved;
    return bDispatched;
}

int Depth()
{
    return g_nDepth;
}

void DeleteAfterDispatch(std::unique_ptr<CWnd> pWnd)
{
    if (g_nDepth > 0)
        g_deferred.push_back(std::move(pWnd));
    else
        pWnd.reset();
}

void InitQueue()
{
    if (g_pQueue.load() == nullptr && OnUiThread())
        g_pQueue.store(new CMessageQueue);
}

void ExitQueue()
{
    // Objects handed over by a handler that never returned (the program ended inside it) go
    // now, while the window system they belonged to still exists, not after main().
    std::vector<std::unique_ptr<CWnd>> left;
    left.swap(g_deferred);
    left.clear();
    delete g_pQueue.exchange(nullptr);
}

} // namespace msg

BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CMessageQueue* pQueue = g_pQueue.load();
    if (hWnd == nullptr || pQueue == nullptr)
        return FALSE;
    auto pEvent = std::make_unique<CPostedMessageEvent>(hWnd, message, wParam, lParam);
    HandOver(pEvent.get());
    QCoreApplication::postEvent(pQueue, pEvent.release()); // the queue owns it from here
    return TRUE;
}

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A worker that waited here for the user-interface thread would deadlock as soon as that
    // thread waits for the worker (a download being shut down): workers post instead.
    if (!OnUiThread())
    {
        assert(QCoreApplication::instance() == nullptr &&
               "SendMessage from a thread other than the user-interface thread: use PostMessage");
        return 0;
    }
    return msg::Call(wnd::WndOf(hWnd), message, wParam, lParam);
}

DWORD GetMessagePos()
{
    const MSG& m = g_current.empty() ? g_lastQueued : g_current.back();
    return MAKELONG(static_cast<unsigned>(m.pt.x), static_cast<unsigned>(m.pt.y));
}

LONG GetMessageTime()
{
    const MSG& m = g_current.empty() ? g_lastQueued : g_current.back();
    return static_cast<LONG>(m.time);
}

void DispatchWaitingMessages()
{
    if (QCoreApplication::instance() == nullptr || !OnUiThread())
        return;
    // Until a pass finds nothing more: input read from the window system in one pass is
    // delivered in the next. The time limit keeps a busy stream (repaints) from holding it.
    QCoreApplication::processEvents(QEventLoop::AllEvents, kWaitingMessagesTimeLimit);
}

UINT RegisterWindowMessage(LPCWSTR lpszName)
{
    if (lpszName == nullptr || *lpszName == 0)
        return 0;
    static std::mutex s_mutex;
    static std::map<std::wstring, UINT> s_numbers;
    std::wstring strKey(lpszName);
    std::transform(strKey.begin(), strKey.end(), strKey.begin(),
                   [](wchar_t c) { return std::towlower(c); });
    std::lock_guard<std::mutex> lock(s_mutex);
    auto it = s_numbers.find(strKey);
    if (it != s_numbers.end())
        return it->second;
    const UINT nNumber = 0xC000 + static_cast<UINT>(s_numbers.size());
    s_numbers.emplace(strKey, nNumber);
    return nNumber;
}
