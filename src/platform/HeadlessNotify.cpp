#include "platform/HeadlessNotify.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include <clocale>
#include <string>

namespace
{
// QCoreApplication keeps references to these for its whole life.
int g_nArgc = 1;
char g_szName[] = "zorvex-pbem";
char* g_argv[] = {g_szName, nullptr};
} // namespace

struct CHeadlessNotifier::SState
{
    std::unique_ptr<QCoreApplication> pApp; // null when the program made one itself
};

CHeadlessNotifier::CHeadlessNotifier() : m_pState(std::make_unique<SState>())
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Qt sets the locale from the environment; the tool's own conversions keep the one it had.
    const char* pszLocale = std::setlocale(LC_ALL, nullptr);
    const std::string strLocale = pszLocale ? pszLocale : "C";
    m_pState->pApp = std::make_unique<QCoreApplication>(g_nArgc, g_argv);
    std::setlocale(LC_ALL, strLocale.c_str());
}

CHeadlessNotifier::~CHeadlessNotifier() = default;

bool CHeadlessNotifier::Show(const SDesktopNotification& notification, int nWaitMs)
{
    if (!ShowDesktopNotification(notification))
        return false;
    // Messages leave a connection in order: once the bus answers a later call, it has the
    // notification. Without this, a program ending now could drop it unsent.
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(ping, QDBus::Block, nWaitMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}
