// A desktop notification from the session's notification service, for when no tray can show a
// balloon. User-interface thread only.
#pragma once

#include <string>

// Sends the notification (title, text, an image file shown with it, display time) and returns
// without waiting for it to appear. False when no notification service runs or can be started.
bool ShowDesktopNotification(const std::wstring& strTitle, const std::wstring& strText,
                             const std::wstring& strIconFile, int nTimeoutMs);
