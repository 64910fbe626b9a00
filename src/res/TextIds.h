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

// The language table's texts as X(name, id, built-in text): the constants and kAllTextIds both
// come from this one list.
#define ZORVEX_LANGUAGE_TEXTS(X)                                                                   \
    X(IDS_ZORVEX, 26, L"Zorvex")                                                                   \
    X(IDS_INFORMATION, 52, L"Information")                                                         \
    X(IDS_WARNING, 99, L"Warning")                                                                 \
    X(IDS_OK, 136, L"OK")                                                                          \
    X(IDS_CANCEL, 137, L"Cancel")                                                                  \
    X(IDS_CLOSE, 147, L"Close")                                                                    \
    X(IDS_MAXIMIZE, 150, L"Maximize")                                                              \
    X(IDS_MINIMIZE, 151, L"Minimize")                                                              \
    X(IDS_HELP, 152, L"Help")                                                                      \
    X(IDS_NAME, 491, L"Name")                                                                      \
    X(IDS_TURN_N, 734, L"Turn %d")                                                                 \
    X(IDS_ZORVEX_MESSENGER, 2151, L"Zorvex Messenger")                                             \
    X(IDS_MAIN_MENU, 2152, L"Main Menu")                                                           \
    X(IDS_OPTIONS, 2153, L"Options")                                                               \
    X(IDS_ENTER_GAME, 2154, L"Enter Game")                                                         \
    X(IDS_ONE_NEW_EVENT, 2155, L"1 New Event")                                                     \
    X(IDS_N_NEW_EVENTS, 2156, L"%d New Events")                                                    \
    X(IDS_PREFERENCES, 2157, L"Preferences")                                                       \
    X(IDS_GAME_S, 2158, L"Game: %s")                                                               \
    X(IDS_CONFIRM_REMOVE_GAME, 2160,                                                               \
      L"Are you sure you want to remove this game?\n\nIf you want to re-add this game in the "     \
      L"future, you'll need this information:\nPlayerId: %s\nPassword: %s")                        \
    X(IDS_PLAYER_ID_PASSWORD, 2161, L"PlayerId: %s\nPassword: %s")                                 \
    X(IDS_ONE_EVENT_PAREN, 2162, L"( 1 Event )")                                                   \
    X(IDS_N_EVENTS_PAREN, 2163, L"( %d Events )")                                                  \
    X(IDS_WHAT_IS_THIS_APP, 2164, L"What is this application?")                                    \
    X(IDS_NO_EVENTS_PAREN, 2165, L"( No Events )")                                                 \
    X(IDS_ABOUT_TEXT, 2166,                                                                        \
      L"The Messenger Application is used for notifying players of what is\ngoing on inside "      \
      L"their PBEM games.\n\nTo use this application, you first need to create or join a PBEM "    \
      L"game.\nThe application checks for updates every 15 minutes, and it can\nbe minimized "     \
      L"into the system tray using the 'minimize' button.")                                        \
    X(IDS_REMOVE_GAME, 2167, L"Remove Game")                                                       \
    X(IDS_GET_USERNAME_PASSWORD, 2168, L"Get Username/Password")                                   \
    X(IDS_LOOKING_TO_JOIN, 2199, L"I am looking to join a play-by-email multiplayer game.")        \
    X(IDS_ONLINE_GAMES, 2200, L"Online Games")                                                     \
    X(IDS_YOUR_ONLINE_NAME, 2201, L"Your Online Name:")                                            \
    X(IDS_PLAYERS_LOOKING, 2202, L"Players looking to join a game:")                               \
    X(IDS_LOOKING_FOR, 2203, L"Looking For")                                                       \
    X(IDS_LAST_LOGIN, 2206, L"Last Login")                                                         \
    X(IDS_N_EVENTS, 2214, L"%d Events")                                                            \
    X(IDS_CONFIRM_LOGOUT, 2218, L"Do you want to Logout?")                                         \
    X(IDS_NOT_LOGGED_IN, 2219, L"( Not Logged In )")

#define ZORVEX_TEXT_ID_CONSTANT(name, id, text) inline constexpr STextId name{id, text};
ZORVEX_LANGUAGE_TEXTS(ZORVEX_TEXT_ID_CONSTANT)
#undef ZORVEX_TEXT_ID_CONSTANT

#define ZORVEX_TEXT_ID_ENTRY(name, id, text) name,
inline constexpr STextId kAllTextIds[] = {ZORVEX_LANGUAGE_TEXTS(ZORVEX_TEXT_ID_ENTRY)};
#undef ZORVEX_TEXT_ID_ENTRY

// The text for the current language.
inline std::wstring Text(const STextId& id)
{
    return LookupText(id.nId, id.pszText);
}
