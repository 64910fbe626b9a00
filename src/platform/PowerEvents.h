// Tells a window when the machine has woken from suspend, so that work timed by a timer (which
// does not count the time asleep) can catch up at once. The login manager announces it on the
// system bus; without a system bus or login manager nothing is ever posted.
#pragma once

#include "platform/Wnd.h"

#include <memory>

class CResumeWatch
{
public:
    CResumeWatch();
    // Stops watching: nothing is posted after the object has gone.
    ~CResumeWatch();
    CResumeWatch(const CResumeWatch&) = delete;
    CResumeWatch& operator=(const CResumeWatch&) = delete;

    // Posts nMessage (wParam 0, lParam 0) to hWnd after each resume; a second call replaces the
    // first. False when the announcement cannot be watched here. User-interface thread only.
    bool Watch(HWND hWnd, UINT nMessage);
    void Stop();

private:
    struct SImpl;
    std::unique_ptr<SImpl> m_pImpl;
};
