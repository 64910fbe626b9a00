// Message delivery inside the layer. Only the layer's own sources include this.
#pragma once

#include "platform/Wnd.h"

#include <QPoint>

#include <memory>

namespace msg
{
// Calls the window's WindowProc with the message as the current one (for Default()).
LRESULT Call(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
// The message being handled (for Default()); hwnd null when none.
const MSG& Current();
// Queued delivery: PreTranslateMessage of the target and its parents and owners, then
// WindowProc unless one of them swallowed it. Returns whether it was dispatched.
bool Pump(MSG& message);
MSG Make(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, QPoint ptGlobal);
// How deep the program is in message handlers (windows are deleted later while > 0).
int Depth();
// Keeps the object until the outermost handler returns (deletes it now when none runs).
void DeleteAfterDispatch(std::unique_ptr<CWnd> pWnd);
// Creates the object that receives posted messages (on the user-interface thread).
void InitQueue();
void ExitQueue();
} // namespace msg
