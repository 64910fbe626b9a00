// CZorvexMessengerApp: the program's start-up. InitInstance fixes the language (main() has set
// the installation folder), then runs the main window modally; the program lives exactly as long
// as that dialog.
// main() holds what must outlive it around the call: the window system, libcurl, the flag loader,
// the message manager and the shared skin. User-interface thread only.
#pragma once

#include "platform/WinTypes.h"

class CZorvexMessengerApp
{
public:
    // Always FALSE: after the main window there is nothing left to run.
    BOOL InitInstance();
    // The window starts hidden in the tray (minimised without one): --hidden.
    bool m_bStartHidden = false;
};

extern CZorvexMessengerApp theApp;
