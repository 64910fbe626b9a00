// Desktop notifications from a program without windows (a command-line tool). The work is done
// by a module loaded at run time (libzorvex-notify.so, beside the program or in its library
// folder), which makes the Qt core application the session bus needs for the lifetime of this
// object. Without the module nothing is shown. Main thread only; one at a time.
#pragma once

#include "platform/DesktopNotify.h"

#include <memory>

class CHeadlessNotifier
{
public:
    CHeadlessNotifier();
    ~CHeadlessNotifier();
    CHeadlessNotifier(const CHeadlessNotifier&) = delete;
    CHeadlessNotifier& operator=(const CHeadlessNotifier&) = delete;

    // As ShowDesktopNotification, but returns only once the session bus has taken the message
    // (or after nWaitMs), so that the program may end right afterwards without losing it.
    bool Show(const SDesktopNotification& notification, int nWaitMs = 2000);

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};
