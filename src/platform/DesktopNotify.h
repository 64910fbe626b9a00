// A desktop notification from the session's notification service, for when no tray can show a
// balloon. User-interface thread only.
#pragma once

#include <string>

// Sends the notification (title, text, an image file shown with it, display time) and returns
// without waiting for it to appear. False when no notification service runs or can be started.
// strIconFile is the file's name as the system takes it (bytes, any of them; empty: no image).
bool ShowDesktopNotification(const std::wstring& strTitle, const std::wstring& strText,
                             const std::string& strIconFile, int nTimeoutMs);

// The file URI of an absolute file name given as bytes: every byte outside the unreserved
// characters and "/" percent-encoded, so a name that is not UTF-8 keeps its bytes.
std::string FileUriOfNativePath(const std::string& strNativePath);
