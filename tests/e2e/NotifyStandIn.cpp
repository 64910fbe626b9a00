// A stand-in for the desktop's notification service, for the desktop tests: it takes the
// service's name on the session bus, answers Notify with ids 1, 2, ... (or the id it replaces),
// and prints each call as one line on standard output:
//     notify id=N replaces=R app=NAME actions=KEY|LABEL|... title=TITLE text=TEXT
// (newlines of the text as "\n"). The test opens a notification as a user would by calling
//     org.zorvex.test.Notifications.Invoke(uint32 id, string action_key)
// on the same object, which sends the service's ActionInvoked and NotificationClosed signals.
//     zorvex-notify-standin
// It ends when the bus goes away or on SIGTERM.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QStringList>

#include <cstdio>

namespace
{

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kTestInterface = QStringLiteral("org.zorvex.test.Notifications");

class CNotificationService : public QDBusVirtualObject
{
public:
    QString introspect(const QString&) const override
    {
        return QStringLiteral(
            "<interface name=\"org.freedesktop.Notifications\">"
            "<method name=\"Notify\"><arg direction=\"in\" type=\"s\"/>"
            "<arg direction=\"in\" type=\"u\"/><arg direction=\"in\" type=\"s\"/>"
            "<arg direction=\"in\" type=\"s\"/><arg direction=\"in\" type=\"s\"/>"
            "<arg direction=\"in\" type=\"as\"/><arg direction=\"in\" type=\"a{sv}\"/>"
            "<arg direction=\"in\" type=\"i\"/><arg direction=\"out\" type=\"u\"/></method>"
            "<method name=\"GetCapabilities\"><arg direction=\"out\" type=\"as\"/></method>"
            "<method name=\"CloseNotification\"><arg direction=\"in\" type=\"u\"/></method>"
            "<method name=\"GetServerInformation\"><arg direction=\"out\" type=\"s\"/>"
            "<arg direction=\"out\" type=\"s\"/><arg direction=\"out\" type=\"s\"/>"
            "<arg direction=\"out\" type=\"s\"/></method>"
            "<signal name=\"ActionInvoked\"><arg type=\"u\"/><arg type=\"s\"/></signal>"
            "<signal name=\"NotificationClosed\"><arg type=\"u\"/><arg type=\"u\"/></signal>"
            "</interface>"
            "<interface name=\"org.zorvex.test.Notifications\">"
            "<method name=\"Invoke\"><arg direction=\"in\" type=\"u\"/>"
            "<arg direction=\"in\" type=\"s\"/></method></interface>");
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QString strMember = message.member();
        const QList<QVariant> args = message.arguments();
        if (strMember == QStringLiteral("Notify") && args.size() == 8)
            return Reply(connection, message, {Notify(args)});
        if (strMember == QStringLiteral("GetCapabilities"))
            return Reply(connection, message,
                         {QStringList{QStringLiteral("actions"), QStringLiteral("body")}});
        if (strMember == QStringLiteral("GetServerInformation"))
            return Reply(connection, message,
                         {QStringLiteral("stand-in"), QStringLiteral("zorvex tests"),
                          QStringLiteral("1"), QStringLiteral("1.2")});
        if (strMember == QStringLiteral("CloseNotification") && args.size() == 1)
        {
            Signal(connection, QStringLiteral("NotificationClosed"), {args[0].toUInt(), 3u});
            return Reply(connection, message, {});
        }
        if (message.interface() == kTestInterface && strMember == QStringLiteral("Invoke") &&
            args.size() == 2)
        {
            const uint nId = args[0].toUInt();
            Signal(connection, QStringLiteral("ActionInvoked"), {nId, args[1].toString()});
            // As a service does once a notification's action was taken.
            Signal(connection, QStringLiteral("NotificationClosed"), {nId, 2u});
            return Reply(connection, message, {});
        }
        return false;
    }

private:
    uint m_nLastId = 0;

    uint Notify(const QList<QVariant>& args)
    {
        const uint nReplaces = args[1].toUInt();
        const uint nId = nReplaces != 0 ? nReplaces : ++m_nLastId;
        QString strText = args[4].toString();
        strText.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        const QString strLine =
            QStringLiteral("notify id=%1 replaces=%2 app=%3 actions=%4 title=%5 text=%6\n")
                .arg(nId)
                .arg(nReplaces)
                .arg(args[0].toString(), args[5].toStringList().join(QLatin1Char('|')),
                     args[3].toString(), strText);
        std::fputs(strLine.toUtf8().constData(), stdout);
        std::fflush(stdout);
        return nId;
    }

    static bool Reply(const QDBusConnection& connection, const QDBusMessage& message,
                      const QList<QVariant>& values)
    {
        QDBusMessage reply = message.createReply(values);
        return connection.send(reply);
    }

    static void Signal(const QDBusConnection& connection, const QString& strName,
                       const QList<QVariant>& values)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, strName);
        signal.setArguments(values);
        connection.send(signal);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
    {
        std::fputs("no session bus\n", stderr);
        return 1;
    }
    CNotificationService service;
    if (!bus.registerVirtualObject(kPath, &service) || !bus.registerService(kService))
    {
        std::fputs("the notification service's name is taken\n", stderr);
        return 1;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return app.exec();
}
