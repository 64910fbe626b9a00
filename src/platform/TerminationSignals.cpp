// SIGTERM, SIGINT, SIGHUP and the end of the desktop session close the main window. A signal
// handler may do almost nothing, so it only writes the signal's number to a pipe; the
// user-interface thread reads the pipe and posts WM_CLOSE there.
#include "platform/System.h"
#include "platform/WinMessages.h"
#include "platform/Wnd.h"
#include "platform/internal/ModalLoops.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QSocketNotifier>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace
{

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_pipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int nSignal)
{
    const int nSavedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(nSignal);
    // A full pipe already holds a close request; losing this one changes nothing.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = nSavedErrno;
}

void SetHandlers(void (*pHandler)(int))
{
    struct sigaction action = {};
    action.sa_handler = pHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int nSignal : kSignals)
        ::sigaction(nSignal, &action, nullptr);
}

// True when the main window exists and was asked to close. A dialog or message box open above
// its loop would keep that loop from ending until answered: they all end now, with their
// cancelling answers, and none opens on the way out.
bool CloseMainWindow()
{
    CWnd* pMain = AfxGetMainWnd();
    const HWND hWnd = pMain != nullptr ? pMain->GetSafeHwnd() : nullptr;
    if (hWnd == nullptr || !PostMessage(hWnd, WM_CLOSE, 0, 0))
        return false;
    modal::EndAllBut(pMain);
    return true;
}

// Owned by the application object, so it goes with the window system (ExitPlatform); from then
// on the signals end the program again as they do by default.
class CTerminationWatcher : public QObject
{
public:
    explicit CTerminationWatcher(QObject* pParent)
        : QObject(pParent), m_notifier(g_pipe[0], QSocketNotifier::Read)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] { OnSignalled(); });
#if QT_CONFIG(sessionmanager)
        // The session is ending (or being saved, which on logout comes first): close as the
        // close button does, and do not ask to be started again with the session.
        connect(qApp, &QGuiApplication::commitDataRequest, this,
                [](QSessionManager& manager)
                {
                    manager.setRestartHint(QSessionManager::RestartNever);
                    CloseMainWindow();
                });
#endif
        qApp->installEventFilter(this);
    }

    ~CTerminationWatcher() override
    {
        SetHandlers(SIG_DFL);
        m_notifier.setEnabled(false);
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        g_pipe[0] = g_pipe[1] = -1;
    }

    CTerminationWatcher(const CTerminationWatcher&) = delete;
    CTerminationWatcher& operator=(const CTerminationWatcher&) = delete;

protected:
    // A quit request (the session manager's "die", the window system's quit) would end the modal
    // loop under the main window without its close handling; it becomes WM_CLOSE instead.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pWatched == qApp && pEvent->type() == QEvent::Quit && CloseMainWindow())
            return true;
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    void OnSignalled()
    {
        unsigned char bytes[64];
        ssize_t n = 0;
        int nLastSignal = 0;
        while ((n = ::read(g_pipe[0], bytes, sizeof(bytes))) > 0)
            nLastSignal = bytes[n - 1];
        if (nLastSignal == 0 || CloseMainWindow())
            return;
        // No main window to close: end as the signal would have without this handler.
        SetHandlers(SIG_DFL);
        ::raise(nLastSignal);
    }

    QSocketNotifier m_notifier;
};

} // namespace

void CloseMainWindowOnTerminationSignals()
{
    if (QCoreApplication::instance() == nullptr || g_pipe[0] >= 0)
        return;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
    {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    new CTerminationWatcher(QCoreApplication::instance());
    SetHandlers(OnTerminationSignal);
}
