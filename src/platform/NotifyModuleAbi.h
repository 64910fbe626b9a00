// The entry points of the notification module (libzorvex-notify.so), looked up by name by
// CHeadlessNotifier. Both sides are built from this tree with one compiler, so the notification
// is passed as the C++ struct it is.
#pragma once

struct SDesktopNotification;

#define ZORVEX_NOTIFY_EXPORT __attribute__((visibility("default")))

inline constexpr const char* kNotifyModuleName = "libzorvex-notify.so";

// Makes what the module needs to send (a Qt core application when the program has none).
using FnNotifyOpen = void* (*)();
// Sends and waits up to nWaitMs for the bus to have it; 1 when it was sent.
using FnNotifyShow = int (*)(void* pNotifier, const SDesktopNotification* pNotification,
                             int nWaitMs);
using FnNotifyClose = void (*)(void* pNotifier);
