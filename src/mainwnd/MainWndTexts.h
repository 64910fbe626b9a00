// Texts of the main window's own additions (the preferences rows, the tray icon's menu and
// tooltip, the warnings of a game list change that was not saved), with ids far above the
// language table's so that a language file can still translate them. 90000 is the "game list in
// use" warning of MainWndCommands.cpp; 90010 and 90011 are the image-load boxes of
// src/res/MaskedBitmap.cpp.
#pragma once

#include "res/TextIds.h"

inline constexpr STextId IDS_TRAY_SHOW{90001, L"Show"};
inline constexpr STextId IDS_TRAY_HIDE{90002, L"Hide"};
inline constexpr STextId IDS_CLEAR_NEW_EVENTS_ICON{90003, L"Clear the new-events icon"};
inline constexpr STextId IDS_LOGOUT{90004, L"Logout"};
inline constexpr STextId IDS_TRAY_QUIT{90005, L"Quit"};
inline constexpr STextId IDS_LAST_CHECK{90006, L"%s \u2014 checked %s"}; // name, time of day
inline constexpr STextId IDS_GAME_LIST_READ_ONLY{
    90007, L"The game list may only be read (the file or its folder is write-protected), so "
           L"nothing was changed."};
inline constexpr STextId IDS_GAME_LIST_UNREADABLE{
    90008, L"The game list could not be read completely (it may be damaged), so nothing was "
           L"changed: saving it would lose the games behind the damage."};
inline constexpr STextId IDS_GAME_LIST_NOT_WRITTEN{
    90009, L"The game list could not be opened or written (the disk may be full), so nothing was "
           L"changed."};
// 90012 ("and %d more", the new-events balloon's last line) is in src/pbem/NewEventHandling.cpp,
// 90013 ("Open", the desktop notification's action) in src/notify/SystemTray.cpp.
// The mute commands of one game's options menu, and the mark of a muted game's row.
inline constexpr STextId IDS_MUTE_HOUR{90014, L"Mute for 1 hour"};
inline constexpr STextId IDS_MUTE_TOMORROW{90015, L"Mute until tomorrow"};
inline constexpr STextId IDS_MUTE{90016, L"Mute"};
inline constexpr STextId IDS_UNMUTE{90017, L"Unmute"};
inline constexpr STextId IDS_MUTE_ALL_HOUR{90018, L"Mute all for 1 hour"};
inline constexpr STextId IDS_UNMUTE_ALL{90019, L"Unmute all"};
// "Check now", and what the last check met, after its time in the tooltip and the status row.
inline constexpr STextId IDS_CHECK_NOW{90020, L"Check now"};
inline constexpr STextId IDS_CHECK_NOT_REACHABLE{90021, L" \u2014 server not reachable"};
inline constexpr STextId IDS_CHECK_CUT_SHORT{90022, L" \u2014 answer cut short"};
inline constexpr STextId IDS_CHECK_LIST_HELD{90023, L" \u2014 the game list is held by the game"};
inline constexpr STextId IDS_LAST_CHECK_ROW{90024, L"Last check: %s"}; // the time of day
inline constexpr STextId IDS_MUTED_MARK{90025, L"muted"};
// The preferences row that starts the program with the desktop session, and its failures.
inline constexpr STextId IDS_AUTOSTART{90026, L"Start with the desktop session"};
inline constexpr STextId IDS_AUTOSTART_NOT_WRITTEN{
    90027,
    L"The entry that starts the messenger with the desktop session could not be written:\n%s"};
inline constexpr STextId IDS_AUTOSTART_NOT_REMOVED{
    90028,
    L"The entry that starts the messenger with the desktop session could not be removed:\n%s"};
