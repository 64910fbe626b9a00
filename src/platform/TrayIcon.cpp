// The tray back end on Qt's tray icon. Qt serves either a StatusNotifierItem over D-Bus (no
// geometry, no double clicks) or a window docked into an X11 tray (a real geometry; a double click
// arrives as a click and then a double click). Which one it chose shows in the geometry once the
// icon can be clicked.
//
// Qt makes that choice once, when the first tray icon is made (or its availability first asked),
// and keeps it for the run. A status-icon watcher that joins the session bus after that is never
// used, so when neither an X11 tray nor the watcher is there yet but a session bus is, the real
// icon is made only when the watcher appears or after kWatcherWaitMs. Until then this object keeps
// the icon, tooltip, visibility and context menu asked for and hands them over when the icon is
// made.
//
// The context menu is one QMenu given to the icon: an X11 tray shows it on the right button and a
// StatusNotifierItem host asks for it over D-Bus; both open it through aboutToShow, where its
// entries are made afresh from the provider.
#include "platform/TrayIcon.h"

#include "platform/DesktopNotify.h"
#include "platform/internal/IconConvert.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/SessionBus.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <optional>

#ifdef ZORVEX_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace
{

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
constexpr int kWatcherWaitMs = 10000;
// After the watcher appears its host may register a moment later.
constexpr int kHostRecheckMs = 250;
// Qt reports no change of tray availability, so it is checked this often while someone cares.
constexpr int kAvailabilityPollMs = 2000;
// A balloon waits at most this long for the icon to be docked, looking this often.
constexpr int kDockWaitMs = 3000;
constexpr int kDockPollMs = 50;

QSystemTrayIcon::MessageIcon ToQtIcon(ETrayMessageIcon icon)
{
    switch (icon)
    {
    case ETrayMessageIcon::Information:
        return QSystemTrayIcon::Information;
    case ETrayMessageIcon::Warning:
        return QSystemTrayIcon::Warning;
    case ETrayMessageIcon::Critical:
        return QSystemTrayIcon::Critical;
    case ETrayMessageIcon::None:
        break;
    }
    return QSystemTrayIcon::NoIcon;
}

// An X11 tray runs on the display's default screen (its selection has an owner).
bool X11TrayRuns()
{
#ifdef ZORVEX_HAVE_XCB
    auto* pX11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* pConn = pX11 ? pX11->connection() : nullptr;
    if (!pConn)
        return false;
    int nScreen = 0;
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype nColon = display.lastIndexOf(':');
    const qsizetype nDot = display.lastIndexOf('.');
    if (nColon >= 0 && nDot > nColon)
        nScreen = display.mid(nDot + 1).toInt();
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(nScreen);
    xcb_intern_atom_reply_t* pAtom = xcb_intern_atom_reply(
        pConn, xcb_intern_atom(pConn, 1, static_cast<uint16_t>(name.size()), name.constData()),
        nullptr);
    if (!pAtom)
        return false;
    const xcb_atom_t atom = pAtom->atom;
    std::free(pAtom);
    if (atom == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* pOwner =
        xcb_get_selection_owner_reply(pConn, xcb_get_selection_owner(pConn, atom), nullptr);
    if (!pOwner)
        return false;
    const bool bOwned = pOwner->owner != XCB_NONE;
    std::free(pOwner);
    return bOwned;
#else
    return false;
#endif
}

// Qt's own icon window for an X11 tray, which the tray host docks into its panel; null where the
// icon lives elsewhere (a status-icon host, no tray).
QWidget* X11TrayIconWindow()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
    {
        if (qstrcmp(pWidget->metaObject()->className(), "QSystemTrayIconSys") == 0)
            return pWidget;
    }
    return nullptr;
}

// Where the icon window really is once the host has docked it (its X parent is no longer the
// root window); nothing before that.
std::optional<QPoint> DockedIconPosition(const QWidget* pIconWindow)
{
#ifdef ZORVEX_HAVE_XCB
    auto* pX11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* pConn = pX11 ? pX11->connection() : nullptr;
    const auto window = static_cast<xcb_window_t>(pIconWindow->internalWinId());
    if (!pConn || window == 0)
        return std::nullopt;
    xcb_query_tree_reply_t* pTree =
        xcb_query_tree_reply(pConn, xcb_query_tree(pConn, window), nullptr);
    if (!pTree)
        return std::nullopt;
    const xcb_window_t root = pTree->root;
    const bool bDocked = pTree->parent != root;
    std::free(pTree);
    if (!bDocked)
        return std::nullopt;
    xcb_translate_coordinates_reply_t* pAt = xcb_translate_coordinates_reply(
        pConn, xcb_translate_coordinates(pConn, window, root, 0, 0), nullptr);
    if (!pAt)
        return std::nullopt;
    const QPoint at(pAt->dst_x, pAt->dst_y);
    std::free(pAt);
    return at;
#else
    return pIconWindow->mapToGlobal(QPoint(0, 0));
#endif
}

// The watcher is there and has a host that shows items.
bool StatusNotifierHostRegistered(const QDBusConnection& bus)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 500);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

// Whether making the icon now could settle Qt on "no tray" while a status-icon service is still
// on its way.
bool ShouldWaitForWatcher()
{
    // The cheap questions first: an X11 tray answers at once, without the bus.
    if (QGuiApplication::platformName() == QLatin1String("offscreen") || X11TrayRuns() ||
        !SessionBusMayRun())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    return !bus.interface()->isServiceRegistered(kWatcherService).value();
}

class CQtTrayIcon : public ITrayIconBackend
{
public:
    CQtTrayIcon()
    {
        m_poll.setInterval(kAvailabilityPollMs);
        QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] { PollAvailability(); });
        m_dockWait.setSingleShot(true);
        QObject::connect(&m_dockWait, &QTimer::timeout, &m_dockWait,
                         [this] { ShowPendingWhenDocked(); });
        m_notifier.SetOpenHandler([this] { OnMessageClicked(); });
        if (ShouldWaitForWatcher())
            WaitForWatcher();
        else
            MakeIcon();
    }

    bool IsSystemTrayAvailable() const override
    {
        // Asking Qt before the icon is made would fix its choice too early.
        return m_pIcon && QSystemTrayIcon::isSystemTrayAvailable();
    }

    void SetAvailabilityHandler(std::function<void(bool)> handler) override
    {
        m_availabilityHandler = std::move(handler);
        if (m_availabilityHandler)
        {
            m_bLastAvailable = IsSystemTrayAvailable();
            m_poll.start();
        }
        else
        {
            m_poll.stop();
        }
    }

    bool HostReportsDoubleClicks() const override
    {
        return m_pIcon && !m_pIcon->geometry().isEmpty();
    }

    bool SetIcon(const std::vector<SIconImage>& images) override
    {
        const QIcon icon = ToQIcon(images);
        if (icon.isNull())
            return false;
        m_icon = icon;
        if (m_pIcon)
            m_pIcon->setIcon(m_icon);
        return true;
    }

    void SetToolTip(const std::wstring& strText) override
    {
        m_strTip = ToQString(strText);
        if (m_pIcon)
            m_pIcon->setToolTip(m_strTip);
    }

    bool ShowMessage(const std::wstring& strTitle, const std::wstring& strText,
                     ETrayMessageIcon icon, int nTimeoutMs) override
    {
        // Without a host Qt drops the message silently; say so to the caller.
        if (!m_pIcon || !m_pIcon->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable() ||
            !QSystemTrayIcon::supportsMessages())
            return false;
        m_pending = SMessage{ToQString(strTitle), ToQString(strText), ToQtIcon(icon), nTimeoutMs};
        // An X11 tray docks the icon a moment after it is shown; a balloon shown before that
        // points at nothing and lands in the screen's corner, so it waits a little for the dock.
        m_nDockWaitedMs = 0;
        ShowPendingWhenDocked();
        return true;
    }

    bool ShowNotification(const SDesktopNotification& notification) override
    {
        return m_notifier.Show(notification);
    }

    void Show() override
    {
        m_bVisible = true;
        if (m_pIcon)
            m_pIcon->show();
    }

    void Hide() override
    {
        m_bVisible = false;
        if (m_pIcon)
            m_pIcon->hide();
    }

    bool GetGeometry(long& left, long& top, long& right, long& bottom) const override
    {
        const QRect rc = m_pIcon ? m_pIcon->geometry() : QRect();
        if (rc.isEmpty())
            return false;
        left = rc.left();
        top = rc.top();
        right = rc.left() + rc.width();
        bottom = rc.top() + rc.height();
        return true;
    }

    void SetActivationHandler(std::function<void(ETrayActivation)> handler) override
    {
        m_handler = std::move(handler);
    }

    void SetMessageClickHandler(std::function<void()> handler) override
    {
        m_messageClickHandler = std::move(handler);
    }

    void SetMenuProvider(std::function<std::vector<STrayMenuItem>()> items,
                         std::function<void(unsigned int)> chosen) override
    {
        m_menuItems = std::move(items);
        m_menuChosen = std::move(chosen);
        if (!m_menuItems)
        {
            if (m_pIcon)
                m_pIcon->setContextMenu(nullptr);
            m_pMenu.reset();
            return;
        }
        if (!m_pMenu)
        {
            m_pMenu = std::make_unique<QMenu>();
            QObject::connect(m_pMenu.get(), &QMenu::aboutToShow, m_pMenu.get(),
                             [this] { FillMenu(); });
        }
        // A host may read the entries before it announces the menu's opening.
        FillMenu();
        if (m_pIcon)
            m_pIcon->setContextMenu(m_pMenu.get());
    }

private:
    void WaitForWatcher()
    {
        m_pWatcher =
            std::make_unique<QDBusServiceWatcher>(kWatcherService, QDBusConnection::sessionBus(),
                                                  QDBusServiceWatcher::WatchForRegistration);
        QObject::connect(m_pWatcher.get(), &QDBusServiceWatcher::serviceRegistered,
                         m_pWatcher.get(), [this] { CheckHost(); });
        m_wait.setSingleShot(true);
        QObject::connect(&m_wait, &QTimer::timeout, &m_wait, [this] { MakeIcon(); });
        m_wait.start(kWatcherWaitMs);
    }

    void CheckHost()
    {
        if (m_pIcon)
            return;
        if (StatusNotifierHostRegistered(QDBusConnection::sessionBus()))
        {
            MakeIcon();
            return;
        }
        // Bounded by the overall wait, which makes the icon in any case.
        QTimer::singleShot(kHostRecheckMs, &m_wait, [this] { CheckHost(); });
    }

    void MakeIcon()
    {
        if (m_pIcon)
            return;
        m_wait.stop();
        if (m_pWatcher)
            m_pWatcher->setWatchedServices({});
        m_pIcon = std::make_unique<QSystemTrayIcon>();
        QObject::connect(m_pIcon.get(), &QSystemTrayIcon::activated, m_pIcon.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
        QObject::connect(m_pIcon.get(), &QSystemTrayIcon::messageClicked, m_pIcon.get(),
                         [this] { OnMessageClicked(); });
        if (!m_icon.isNull())
            m_pIcon->setIcon(m_icon);
        m_pIcon->setToolTip(m_strTip);
        if (m_pMenu)
            m_pIcon->setContextMenu(m_pMenu.get());
        if (m_bVisible)
            m_pIcon->show();
    }

    void FillMenu()
    {
        if (!m_pMenu || !m_menuItems)
            return;
        m_pMenu->clear();
        for (const STrayMenuItem& item : m_menuItems())
        {
            if (item.nID == 0)
            {
                m_pMenu->addSeparator();
                continue;
            }
            QAction* pAction = m_pMenu->addAction(ToQString(item.strText));
            const unsigned int nID = item.nID;
            QObject::connect(pAction, &QAction::triggered, m_pMenu.get(),
                             [this, nID]
                             {
                                 // The receiver may replace the provider.
                                 const std::function<void(unsigned int)> chosen = m_menuChosen;
                                 if (chosen)
                                     chosen(nID);
                             });
        }
    }

    void PollAvailability()
    {
        const bool bAvailable = IsSystemTrayAvailable();
        if (bAvailable == m_bLastAvailable || !m_availabilityHandler)
            return;
        m_bLastAvailable = bAvailable;
        // The handler may replace itself.
        const std::function<void(bool)> handler = m_availabilityHandler;
        handler(bAvailable);
    }

    void ShowPendingWhenDocked()
    {
        if (!m_pending || !m_pIcon)
            return;
        // Qt places the balloon by the icon's geometry as Qt knows it, which follows the dock
        // only once Qt has seen the host's reparenting: wait until both agree.
        const QWidget* pIconWindow = X11TrayIconWindow();
        const std::optional<QPoint> docked =
            pIconWindow != nullptr ? DockedIconPosition(pIconWindow) : std::nullopt;
        const bool bPlaced =
            pIconWindow == nullptr || (docked && m_pIcon->geometry().topLeft() == *docked);
        if (!bPlaced && m_nDockWaitedMs < kDockWaitMs)
        {
            m_nDockWaitedMs += kDockPollMs;
            m_dockWait.start(kDockPollMs);
            return;
        }
        const SMessage message = *m_pending;
        m_pending.reset();
        m_pIcon->showMessage(message.strTitle, message.strText, message.icon, message.nTimeoutMs);
    }

    void OnMessageClicked()
    {
        // A copy: the handler may replace itself.
        const std::function<void()> handler = m_messageClickHandler;
        if (handler)
            handler();
    }

    void OnActivated(QSystemTrayIcon::ActivationReason reason)
    {
        if (!m_handler)
            return;
        switch (reason)
        {
        case QSystemTrayIcon::Trigger:
            m_handler(ETrayActivation::Trigger);
            break;
        case QSystemTrayIcon::DoubleClick:
            m_handler(ETrayActivation::DoubleClick);
            break;
        case QSystemTrayIcon::Context:
            m_handler(ETrayActivation::Context);
            break;
        case QSystemTrayIcon::MiddleClick:
            m_handler(ETrayActivation::MiddleClick);
            break;
        case QSystemTrayIcon::Unknown:
            break;
        }
    }

    // What the icon shows, kept for when it is made.
    QIcon m_icon;
    QString m_strTip;
    bool m_bVisible = false;

    QTimer m_wait;
    QTimer m_poll;
    struct SMessage
    {
        QString strTitle;
        QString strText;
        QSystemTrayIcon::MessageIcon icon;
        int nTimeoutMs;
    };
    // The balloon waiting for the icon to be docked; a newer one replaces it.
    std::optional<SMessage> m_pending;
    QTimer m_dockWait;
    int m_nDockWaitedMs = 0;
    bool m_bLastAvailable = false;
    std::unique_ptr<QDBusServiceWatcher> m_pWatcher;
    // Before the icon, which must go first: it refers to the menu.
    std::unique_ptr<QMenu> m_pMenu;
    std::function<std::vector<STrayMenuItem>()> m_menuItems;
    std::function<void(unsigned int)> m_menuChosen;
    std::unique_ptr<QSystemTrayIcon> m_pIcon;
    std::function<void(ETrayActivation)> m_handler;
    std::function<void()> m_messageClickHandler;
    std::function<void(bool)> m_availabilityHandler;
    CDesktopNotifier m_notifier; // for when no balloon can be shown
};

} // namespace

std::unique_ptr<ITrayIconBackend> CreateTrayIconBackend()
{
    return std::make_unique<CQtTrayIcon>();
}
