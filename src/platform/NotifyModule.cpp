// The loadable module behind CHeadlessNotifier: Qt's core and bus libraries come into a program
// without windows only when it sends a notification, never when it starts.
#include "platform/DesktopNotify.h"
#include "platform/NotifyModuleAbi.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include <clocale>
#include <memory>
#include <string>

namespace
{

// QCoreApplication keeps references to these for its whole life.
int g_nArgc = 1;
char g_szName[] = "zorvex-pbem";
char* g_argv[] = {g_szName, nullptr};

struct SNotifier
{
    std::unique_ptr<QCoreApplication> pApp; // null when the program made one itself
};

} // namespace

extern "C" ZORVEX_NOTIFY_EXPORT void* zorvex_notify_open()
{
    auto pNotifier = std::make_unique<SNotifier>();
    if (QCoreApplication::instance() == nullptr)
    {
        // Qt sets the locale from the environment; the tool's own conversions keep the one it had.
        const char* pszLocale = std::setlocale(LC_ALL, nullptr);
        const std::string strLocale = pszLocale ? pszLocale : "C";
        pNotifier->pApp = std::make_unique<QCoreApplication>(g_nArgc, g_argv);
        std::setlocale(LC_ALL, strLocale.c_str());
    }
    return pNotifier.release();
}

extern "C" ZORVEX_NOTIFY_EXPORT void zorvex_notify_close(void* pNotifier)
{
    delete static_cast<SNotifier*>(pNotifier);
}

extern "C" ZORVEX_NOTIFY_EXPORT int
zorvex_notify_show(void* /*pNotifier*/, const SDesktopNotification* pNotification, int nWaitMs)
{
    if (!ShowDesktopNotification(*pNotification))
        return 0;
    // Messages leave a connection in order: once the bus answers a later call, it has the
    // notification. Without this, a program ending now could drop it unsent.
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(ping, QDBus::Block, nWaitMs);
    return reply.type() == QDBusMessage::ReplyMessage ? 1 : 0;
}
