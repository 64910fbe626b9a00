// Desktop notifications from the session's notification service, for when no tray can show a
// balloon, and for programs without a window. User-interface thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

struct SDesktopNotification
{
    std::wstring strAppName; // the program's name as the desktop shows it
    std::wstring strTitle;
    std::wstring strText;
    // An image file shown with it, named as the system takes the name (bytes, any of them);
    // empty: no image.
    std::string strIconFile;
    // The label of the action that opens what the notification speaks of; empty: no action.
    std::wstring strOpenLabel;
    int nTimeoutMs = -1; // -1: as the service decides
};

// Sends the notification and returns without waiting for it to appear. False when no
// notification service runs or can be started.
bool ShowDesktopNotification(const SDesktopNotification& notification);

// Notifications of one program that replace each other: a newer one takes the place of the one
// still on screen, and a click on one (its "Open" action, or the notification itself where the
// service offers no buttons) reaches the handler.
class CDesktopNotifier
{
public:
    CDesktopNotifier();
    ~CDesktopNotifier();
    CDesktopNotifier(const CDesktopNotifier&) = delete;
    CDesktopNotifier& operator=(const CDesktopNotifier&) = delete;

    // As ShowDesktopNotification, in the place of the last notification shown here.
    bool Show(const SDesktopNotification& notification);
    // Called when the user opens the last notification shown here. Null: nobody is told.
    void SetOpenHandler(std::function<void()> handler);

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};

// The file URI of an absolute file name given as bytes: every byte outside the unreserved
// characters and "/" percent-encoded, so a name that is not UTF-8 keeps its bytes.
std::string FileUriOfNativePath(const std::string& strNativePath);
