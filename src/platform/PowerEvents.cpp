// The login manager's PrepareForSleep(bool) signal: true before the machine sleeps, false once it
// is awake again. Only the waking counts.
#include "platform/PowerEvents.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace
{

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSignal = QStringLiteral("PrepareForSleep");

class CSleepListener : public QObject
{
    Q_OBJECT

public:
    CSleepListener(HWND hWnd, UINT nMessage) : m_hWnd(hWnd), m_nMessage(nMessage) {}

public Q_SLOTS:
    void OnPrepareForSleep(bool bSleeping)
    {
        if (!bSleeping)
            ::PostMessage(m_hWnd, m_nMessage, 0, 0);
    }

private:
    HWND m_hWnd;
    UINT m_nMessage;
};

} // namespace

struct CResumeWatch::SImpl
{
    std::unique_ptr<CSleepListener> pListener;
};

CResumeWatch::CResumeWatch() : m_pImpl(std::make_unique<SImpl>()) {}

CResumeWatch::~CResumeWatch()
{
    Stop();
}

bool CResumeWatch::Watch(HWND hWnd, UINT nMessage)
{
    Stop();
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    auto pListener = std::make_unique<CSleepListener>(hWnd, nMessage);
    if (!bus.connect(kService, kPath, kInterface, kSignal, pListener.get(),
                     SLOT(OnPrepareForSleep(bool))))
    {
        return false;
    }
    m_pImpl->pListener = std::move(pListener);
    return true;
}

void CResumeWatch::Stop()
{
    if (m_pImpl->pListener == nullptr)
        return;
    QDBusConnection::systemBus().disconnect(kService, kPath, kInterface, kSignal,
                                            m_pImpl->pListener.get(),
                                            SLOT(OnPrepareForSleep(bool)));
    m_pImpl->pListener.reset();
}

#include "PowerEvents.moc"
