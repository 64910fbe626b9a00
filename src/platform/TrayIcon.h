// The program's icon in the desktop's status area, behind an interface free of the window
// system so that its users can be tested with a stand-in. The window system's own back end comes
// from CreateTrayIconBackend. User-interface thread only; activations arrive on that thread.
#pragma once

#include "platform/DesktopNotify.h"
#include "platform/IconImage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class ETrayActivation
{
    Trigger,     // a click, or the host's "activate"
    DoubleClick, // only from hosts that report double clicks
    Context,     // the right button, or the host's "context menu"
    MiddleClick,
};

enum class ETrayMessageIcon
{
    None,
    Information,
    Warning,
    Critical,
};

// One entry of the icon's context menu; nID 0 is a separator.
struct STrayMenuItem
{
    unsigned int nID = 0;
    std::wstring strText;
};

class ITrayIconBackend
{
public:
    virtual ~ITrayIconBackend() = default;

    // A tray host shows the icon now. Without one the icon waits and appears when a host starts.
    virtual bool IsSystemTrayAvailable() const = 0;
    // Called with the new answer of IsSystemTrayAvailable when a host starts or goes away. Watching
    // costs a periodic check, so it runs only while a handler is set; null stops it.
    virtual void SetAvailabilityHandler(std::function<void(bool bAvailable)> handler) = 0;
    // Whether the host reports double clicks (as a click followed by a double click). Hosts that
    // do not send a single activation for what the user meant as "open".
    virtual bool HostReportsDoubleClicks() const = 0;
    // One icon in several sizes; the host picks the size it needs. False when none of them is a
    // valid picture; the icon then keeps its previous image.
    virtual bool SetIcon(const std::vector<SIconImage>& images) = 0;
    virtual void SetToolTip(const std::wstring& strText) = 0;
    // A message balloon beside the icon; false when it cannot be shown (no host, no support).
    virtual bool ShowMessage(const std::wstring& strTitle, const std::wstring& strText,
                             ETrayMessageIcon icon, int nTimeoutMs) = 0;
    // The same as a desktop notification, for when no balloon can be shown; it replaces the one
    // shown before, and opening it counts as a click on the balloon. False when the desktop has
    // no notification service.
    virtual bool ShowNotification(const SDesktopNotification& notification) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // The icon's screen rectangle (left, top, right, bottom); false when the host does not say.
    virtual bool GetGeometry(long& left, long& top, long& right, long& bottom) const = 0;
    virtual void SetActivationHandler(std::function<void(ETrayActivation)> handler) = 0;
    // Called when the user clicks the balloon or opens the notification last shown. Null: nobody
    // is told.
    virtual void SetMessageClickHandler(std::function<void()> handler) = 0;
    // The icon's context menu (the right button, or what a status-icon host asks for): items is
    // asked for the entries each time the menu opens, chosen gets the nID of the picked entry.
    // Null items: no menu.
    virtual void SetMenuProvider(std::function<std::vector<STrayMenuItem>()> items,
                                 std::function<void(unsigned int nID)> chosen) = 0;
};

// The back end on the window system. Needs the window system running (InitPlatform). Where a
// status-icon service on the session bus may still be starting, the icon is placed once it is
// there or after about 10 s, whichever comes first; until then it counts as not shown.
std::unique_ptr<ITrayIconBackend> CreateTrayIconBackend();
