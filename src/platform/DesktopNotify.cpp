// The freedesktop notification service on the session bus.
#include "platform/DesktopNotify.h"

#include "platform/internal/SessionBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace
{

// Core only: this file is also linked into the command-line tool, which has no window system.
QString ToQString(const std::wstring& s)
{
    return QString::fromStdWString(s);
}

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// The key of the action a click on the notification itself invokes.
const QString kDefaultAction = QStringLiteral("default");

// Running now, or started by the bus on the first call.
bool ServiceAvailable(const QDBusConnection& bus)
{
    QDBusConnectionInterface* pBus = bus.interface();
    if (!pBus)
        return false;
    if (pBus->isServiceRegistered(kService).value())
        return true;
    const QDBusMessage query = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames"));
    const QDBusMessage reply = bus.call(query, QDBus::Block, 1000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toStringList().contains(kService);
}

// The session bus when a notification can be sent on it.
std::optional<QDBusConnection> NotificationBus()
{
    if (!SessionBusMayRun())
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !ServiceAvailable(bus))
        return std::nullopt;
    return bus;
}

QDBusMessage NotifyCall(const SDesktopNotification& n, uint nReplacesId)
{
    // A URI and not the name as text: the name's bytes need not be UTF-8, the URI's are ASCII.
    const QString strIcon = n.strIconFile.empty()
                                ? QString()
                                : QString::fromStdString(FileUriOfNativePath(n.strIconFile));
    QVariantMap hints;
    if (!strIcon.isEmpty())
        hints.insert(QStringLiteral("image-path"), strIcon);
    QStringList actions;
    if (!n.strOpenLabel.empty())
        actions << kDefaultAction << ToQString(n.strOpenLabel);

    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << ToQString(n.strAppName) << nReplacesId << strIcon << ToQString(n.strTitle)
         << ToQString(n.strText) << actions << hints << n.nTimeoutMs;
    return call;
}

} // namespace

// The service's signals about the notifications shown; ids are the service's answers to Notify.
class CNotificationSignals : public QObject
{
    Q_OBJECT

public:
    uint m_nShownId = 0; // the last notification shown and not closed; 0: none
    std::function<void()> m_openHandler;

public Q_SLOTS:
    void OnActionInvoked(uint nId, const QString& /*strActionKey*/)
    {
        // Only one action is offered: any of them opens.
        if (nId == 0 || nId != m_nShownId)
            return;
        // A copy: the handler may replace itself.
        const std::function<void()> handler = m_openHandler;
        if (handler)
            handler();
    }
    void OnNotificationClosed(uint nId, uint /*nReason*/)
    {
        if (nId == m_nShownId)
            m_nShownId = 0;
    }
};

struct CDesktopNotifier::SState
{
    CNotificationSignals listener;
    bool bConnected = false; // listening to the service's signals
};

std::string FileUriOfNativePath(const std::string& strNativePath)
{
    // Bytes to bytes: QUrl's own encoding would first read the name as UTF-8 text.
    const QByteArray encoded =
        QByteArray::fromStdString(strNativePath).toPercentEncoding(QByteArrayLiteral("/"));
    return "file://" + encoded.toStdString();
}

bool ShowDesktopNotification(const SDesktopNotification& notification)
{
    std::optional<QDBusConnection> bus = NotificationBus();
    // Not waited for: the caller must not stall while the service starts.
    return bus && bus->send(NotifyCall(notification, 0));
}

CDesktopNotifier::CDesktopNotifier() : m_pState(std::make_unique<SState>()) {}

CDesktopNotifier::~CDesktopNotifier()
{
    if (m_pState->bConnected)
        QDBusConnection::sessionBus().disconnect(kService, kPath, kService, QString(),
                                                 &m_pState->listener, nullptr);
}

void CDesktopNotifier::SetOpenHandler(std::function<void()> handler)
{
    m_pState->listener.m_openHandler = std::move(handler);
}

bool CDesktopNotifier::Show(const SDesktopNotification& notification)
{
    std::optional<QDBusConnection> bus = NotificationBus();
    if (!bus)
        return false;
    if (!m_pState->bConnected)
    {
        // Signals are matched to the service's owner, so no other client can fake a click.
        bus->connect(kService, kPath, kService, QStringLiteral("ActionInvoked"),
                     &m_pState->listener, SLOT(OnActionInvoked(uint, QString)));
        bus->connect(kService, kPath, kService, QStringLiteral("NotificationClosed"),
                     &m_pState->listener, SLOT(OnNotificationClosed(uint, uint)));
        m_pState->bConnected = true;
    }
    // The answer (the id) comes later: the interface must not stall while the service starts.
    const QDBusPendingCall pending =
        bus->asyncCall(NotifyCall(notification, m_pState->listener.m_nShownId));
    auto* pWatcher = new QDBusPendingCallWatcher(pending, &m_pState->listener);
    CNotificationSignals* pSignals = &m_pState->listener;
    QObject::connect(pWatcher, &QDBusPendingCallWatcher::finished, pSignals,
                     [pSignals](QDBusPendingCallWatcher* pCall)
                     {
                         const QDBusPendingReply<uint> reply = *pCall;
                         if (!reply.isError())
                             pSignals->m_nShownId = reply.value();
                         pCall->deleteLater();
                     });
    return true;
}

#include "DesktopNotify.moc"
