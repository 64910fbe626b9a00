// The tray back end on Qt's tray icon. Qt serves either a StatusNotifierItem over D-Bus (no
// geometry, no double clicks) or a window docked into an X11 tray (a real geometry; a double click
// arrives as a click and then a double click). Which one it chose shows in the geometry once the
// icon can be clicked.
#include "platform/TrayIcon.h"

#include "platform/internal/QtConvert.h"

#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace
{

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

class CQtTrayIcon : public ITrayIconBackend
{
public:
    CQtTrayIcon()
    {
        QObject::connect(&m_icon, &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
    }

    bool IsSystemTrayAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    bool HostReportsDoubleClicks() const override { return !m_icon.geometry().isEmpty(); }

    bool SetIcon(const std::vector<std::wstring>& files) override
    {
        QIcon icon;
        for (const std::wstring& strFile : files)
        {
            const QPixmap pixmap(ToQString(strFile));
            if (!pixmap.isNull())
                icon.addPixmap(pixmap);
        }
        if (icon.isNull())
            return false;
        m_icon.setIcon(icon);
        return true;
    }

    void SetToolTip(const std::wstring& strText) override { m_icon.setToolTip(ToQString(strText)); }

    bool ShowMessage(const std::wstring& strTitle, const std::wstring& strText,
                     ETrayMessageIcon icon, int nTimeoutMs) override
    {
        // Without a host Qt drops the message silently; say so to the caller.
        if (!m_icon.isVisible() || !QSystemTrayIcon::isSystemTrayAvailable() ||
            !QSystemTrayIcon::supportsMessages())
            return false;
        m_icon.showMessage(ToQString(strTitle), ToQString(strText), ToQtIcon(icon), nTimeoutMs);
        return true;
    }

    void Show() override { m_icon.show(); }
    void Hide() override { m_icon.hide(); }

    bool GetGeometry(long& left, long& top, long& right, long& bottom) const override
    {
        const QRect rc = m_icon.geometry();
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

private:
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

    QSystemTrayIcon m_icon;
    std::function<void(ETrayActivation)> m_handler;
};

} // namespace

std::unique_ptr<ITrayIconBackend> CreateTrayIconBackend()
{
    return std::make_unique<CQtTrayIcon>();
}
