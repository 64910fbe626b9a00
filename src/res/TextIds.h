// The string ids of every text the user sees, each with its built-in English text. The program
// asks for a text with Text(IDS_X); the bundled language file is written from kAllTextIds.
#pragma once

#include "res/LanguageTable.h"

#include <cstdint>
#include <string>

struct STextId
{
    std::int32_t nId;
    const wchar_t* pszText;
};

inline constexpr STextId IDS_ZORVEX{26, L"Zorvex"};
inline constexpr STextId IDS_INFORMATION{52, L"Information"};
inline constexpr STextId IDS_WARNING{99, L"Warning"};
inline constexpr STextId IDS_OK{136, L"OK"};
inline constexpr STextId IDS_CANCEL{137, L"Cancel"};
inline constexpr STextId IDS_CLOSE{147, L"Close"};
inline constexpr STextId IDS_MAXIMIZE{150, L"Maximize"};
inline constexpr STextId IDS_MINIMIZE{151, L"Minimize"};
inline constexpr STextId IDS_HELP{152, L"Help"};
inline constexpr STextId IDS_NAME{491, L"Name"};
inline constexpr STextId IDS_TURN_N{734, L"Turn %d"};
inline constexpr STextId IDS_ZORVEX_MESSENGER{2151, L"Zorvex Messenger"};
inline constexpr STextId IDS_MAIN_MENU{2152, L"Main Menu"};
inline constexpr STextId IDS_OPTIONS{2153, L"Options"};
inline constexpr STextId IDS_ENTER_GAME{2154, L"Enter Game"};
inline constexpr STextId IDS_ONE_NEW_EVENT{2155, L"1 New Event"};
inline constexpr STextId IDS_N_NEW_EVENTS{2156, L"%d New Events"};
inline constexpr STextId IDS_PREFERENCES{2157, L"Preferences"};
inline constexpr STextId IDS_GAME_S{2158, L"Game: %s"};
inline constexpr STextId IDS_CONFIRM_REMOVE_GAME{
    2160, L"Are you sure you want to remove this game?\n\nIf you want to re-add this game in the "
          L"future, you'll need this information:\nPlayerId: %s\nPassword: %s"};
inline constexpr STextId IDS_PLAYER_ID_PASSWORD{2161, L"PlayerId: %s\nPassword: %s"};
inline constexpr STextId IDS_ONE_EVENT_PAREN{2162, L"( 1 Event )"};
inline constexpr STextId IDS_N_EVENTS_PAREN{2163, L"( %d Events )"};
inline constexpr STextId IDS_WHAT_IS_THIS_APP{2164, L"What is this application?"};
inline constexpr STextId IDS_NO_EVENTS_PAREN{2165, L"( No Events )"};
inline constexpr STextId IDS_ABOUT_TEXT{
    2166, L"The Messenger Application is used for notifying players of what is\ngoing on inside "
          L"their PBEM games.\n\nTo use this application, you first need to create or join a PBEM "
          L"game.\nThe application checks for updates every 15 minutes, and it can\nbe minimized "
          L"into the system tray using the 'minimize' button."};
inline constexpr STextId IDS_REMOVE_GAME{2167, L"Remove Game"};
inline constexpr STextId IDS_GET_USERNAME_PASSWORD{2168, L"Get Username/Password"};
inline constexpr STextId IDS_LOOKING_TO_JOIN{
    2199, L"I am looking to join a play-by-email multiplayer game."};
inline constexpr STextId IDS_ONLINE_GAMES{2200, L"Online Games"};
inline constexpr STextId IDS_YOUR_ONLINE_NAME{2201, L"Your Online Name:"};
inline constexpr STextId IDS_PLAYERS_LOOKING{2202, L"Players looking to join a game:"};
inline constexpr STextId IDS_LOOKING_FOR{2203, L"Looking For"};
inline constexpr STextId IDS_LAST_LOGIN{2206, L"Last Login"};
inline constexpr STextId IDS_N_EVENTS{2214, L"%d Events"};
inline constexpr STextId IDS_CONFIRM_LOGOUT{2218, L"Do you want to Logout?"};
inline constexpr STextId IDS_NOT_LOGGED_IN{2219, L"( Not Logged In )"};

inline constexpr STextId kAllTextIds[] = {
    IDS_ZORVEX,
    IDS_INFORMATION,
    IDS_WARNING,
    IDS_OK,
    IDS_CANCEL,
    IDS_CLOSE,
    IDS_MAXIMIZE,
    IDS_MINIMIZE,
    IDS_HELP,
    IDS_NAME,
    IDS_TURN_N,
    IDS_ZORVEX_MESSENGER,
    IDS_MAIN_MENU,
    IDS_OPTIONS,
    IDS_ENTER_GAME,
    IDS_ONE_NEW_EVENT,
    IDS_N_NEW_EVENTS,
    IDS_PREFERENCES,
    IDS_GAME_S,
    IDS_CONFIRM_REMOVE_GAME,
    IDS_PLAYER_ID_PASSWORD,
    IDS_ONE_EVENT_PAREN,
    IDS_N_EVENTS_PAREN,
    IDS_WHAT_IS_THIS_APP,
    IDS_NO_EVENTS_PAREN,
    IDS_ABOUT_TEXT,
    IDS_REMOVE_GAME,
    IDS_GET_USERNAME_PASSWORD,
    IDS_LOOKING_TO_JOIN,
    IDS_ONLINE_GAMES,
    IDS_YOUR_ONLINE_NAME,
    IDS_PLAYERS_LOOKING,
    IDS_LOOKING_FOR,
    IDS_LAST_LOGIN,
    IDS_N_EVENTS,
    IDS_CONFIRM_LOGOUT,
    IDS_NOT_LOGGED_IN,
};

// The text for the current language.
inline std::wstring Text(const STextId& id)
{
    return LookupText(id.nId, id.pszText);
}
