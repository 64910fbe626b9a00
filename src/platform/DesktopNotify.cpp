// The freedesktop notification service on the session bus.
#include "platform/DesktopNotify.h"

#include "platform/internal/QtConvert.h"
#include "platform/internal/SessionBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

namespace
{

const QString kService = QStringLiteral("org.freedesktop.Notifications");

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

} // namespace

std::string FileUriOfNativePath(const std::string& strNativePath)
{
    // Bytes to bytes: QUrl's own encoding would first read the name as UTF-8 text.
    const QByteArray encoded =
        QByteArray::fromStdString(strNativePath).toPercentEncoding(QByteArrayLiteral("/"));
    return "file://" + encoded.toStdString();
}

bool ShowDesktopNotification(const std::wstring& strTitle, const std::wstring& strText,
                             const std::string& strIconFile, int nTimeoutMs)
{
    if (!SessionBusMayRun())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !ServiceAvailable(bus))
        return false;

    // A URI and not the name as text: the name's bytes need not be UTF-8, the URI's are ASCII.
    const QString strIcon =
        strIconFile.empty() ? QString() : QString::fromStdString(FileUriOfNativePath(strIconFile));
    QVariantMap hints;
    if (!strIcon.isEmpty())
        hints.insert(QStringLiteral("image-path"), strIcon);
    QString strApp = QGuiApplication::applicationDisplayName();
    if (strApp.isEmpty())
        strApp = QCoreApplication::applicationName();

    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Notify"));
    call << strApp << 0u << strIcon << ToQString(strTitle) << ToQString(strText) << QStringList()
         << hints << nTimeoutMs;
    // Not waited for: the interface must not stall while the service starts.
    return bus.send(call);
}
