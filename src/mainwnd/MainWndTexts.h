// Texts of the main window's own additions (the preferences rows and the tray icon's menu), with
// ids far above the language table's so that a language file can still translate them. 90000 is
// the "game list in use" warning of MainWndCommands.cpp.
#pragma once

#include "res/TextIds.h"

inline constexpr STextId IDS_TRAY_SHOW{90001, L"Show"};
inline constexpr STextId IDS_TRAY_HIDE{90002, L"Hide"};
inline constexpr STextId IDS_CLEAR_NEW_EVENTS_ICON{90003, L"Clear the new-events icon"};
inline constexpr STextId IDS_LOGOUT{90004, L"Logout"};
inline constexpr STextId IDS_TRAY_QUIT{90005, L"Quit"};
