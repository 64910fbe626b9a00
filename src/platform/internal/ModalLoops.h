// The modal loops that run (dialogs, message boxes), so that a request to end the program can end
// every one of them, not only the main window's. Only the layer's own sources include this;
// user-interface thread only.
#pragma once

#include <functional>

class CWnd;

namespace modal
{

// Registers a running modal loop for its lifetime; fnEnd ends it with its cancelling answer.
// pOwner is the window whose loop it is (the dialog; null for a message box).
class CLoop
{
public:
    CLoop(const CWnd* pOwner, std::function<void()> fnEnd);
    ~CLoop();
    CLoop(const CLoop&) = delete;
    CLoop& operator=(const CLoop&) = delete;

    const CWnd* m_pOwner;
    std::function<void()> m_fnEnd;
};

// The program is ending by pMain's close (already asked of it): every open modal loop but pMain's
// ends now, innermost first, and until pMain's own loop has ended (EndedLoopOf) any other that
// begins ends at once, so that nothing waits for an answer on the way out.
void EndAllBut(const CWnd* pMain);
// Whether a modal loop of pOwner (null: a message box) must not wait for an answer.
bool EndsAtOnce(const CWnd* pOwner);
// pOwner's modal loop has ended; the end of the ending window's loop closes the ending.
void EndedLoopOf(const CWnd* pOwner);
// Forgets an ending (the window system ends).
void Reset();

} // namespace modal
