// Start and end of the window system, and the system-wide services: colours, metrics, screens,
// time, sound and message boxes.
#pragma once

#include "platform/Geometry.h"
#include "platform/IconImage.h"
#include "platform/WinConst.h"

#include <functional>
#include <string>
#include <vector>

class CWnd;

// Starts the window system; call once in main() before any window exists. Asks for the X11
// platform unless QT_QPA_PLATFORM is set (positions of top-level windows cannot be set on
// Wayland), keeps running when the last window closes, and installs the default GUI font.
// False when it runs already, or (with a line on standard error) when X11 alone is asked for and
// its display is not set or does not answer.
bool InitPlatform(int& argc, char** argv);
// Ends it: destroys what is left of the window system. Call before main() returns; a process
// that exits without it (the X server went away) ends with it still in place.
void ExitPlatform();
bool IsPlatformRunning();
// From now until ExitPlatform, SIGTERM, SIGINT and SIGHUP, a quit request and the end of the
// desktop session post WM_CLOSE to the main window (AfxGetMainWnd), as its close button does, and
// end every dialog and message box open above its modal loop with their cancelling answers; until
// the main window's loop has ended, no other dialog or box waits for an answer (DoModal gives
// IDCANCEL at once). A signal that finds no main window ends the program as it would by default.
// Call after InitPlatform; later calls do nothing.
void CloseMainWindowOnTerminationSignals();

// Classic system colours (the "Windows Standard" scheme): button face (212, 208, 200), button
// text black, 3-D highlight white, 3-D shadow (128, 128, 128), 3-D dark shadow (64, 64, 64),
// highlight (10, 36, 106), window white, grey text (128, 128, 128), tooltip (255, 255, 225).
COLORREF GetSysColor(int nIndex);
// Screen sizes come from the primary screen; scroll bars are 16 pixels; the rest are the
// classic values.
int GetSystemMetrics(int nIndex);
// SPI_GETWORKAREA (RECT*: the primary screen's available area), SPI_GETFLATMENU (BOOL*: TRUE),
// SPI_GETANIMATION (ANIMATIONINFO*: no minimise animation).
BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni);
// The available area of the screen that holds most of the window (the primary screen for null).
CRect GetMonitorWorkArea(CWnd* pWnd);
HMONITOR MonitorFromWindow(HWND hWnd, DWORD dwFlags);
HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags);
BOOL GetMonitorInfo(HMONITOR hMonitor, MONITORINFO* pInfo);
// The full rectangle of every screen, the primary screen first; one 800 x 600 screen when the
// window system knows none.
std::vector<CRect> GetScreenRects();
UINT GetDoubleClickTime();

// Milliseconds since an arbitrary start (wraps after 49 days), and a nanosecond counter.
DWORD GetTickCount();
unsigned long long GetTickCount64();
BOOL QueryPerformanceCounter(LARGE_INTEGER* pCount);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* pFrequency);

// The window system's bell; nothing where the machine has no sound.
BOOL Beep(DWORD dwFreq, DWORD dwDuration);
BOOL MessageBeep(UINT uType);

// A modal message box with the buttons of nType (MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL)
// and its icon; returns IDOK, IDCANCEL, IDYES or IDNO. The caption is the application name.
int AfxMessageBox(const std::wstring& strText, UINT nType = MB_OK, UINT nIDHelp = 0);
int MessageBox(HWND hWnd, const std::wstring& strText, const std::wstring& strCaption, UINT nType);
// Tests install a handler that answers instead of showing a box; null shows boxes again.
using CMessageBoxHandler =
    std::function<int(const std::wstring& strText, const std::wstring& strCaption, UINT nType)>;
void SetMessageBoxHandler(CMessageBoxHandler handler);
void AfxSetAppName(const std::wstring& strName);
// The icon of every window of the program (task bar, window manager), from one icon's pictures in
// several sizes; invalid ones are skipped. Needs the window system running.
void AfxSetAppIcon(const std::vector<SIconImage>& images);
std::wstring AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
