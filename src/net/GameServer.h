// Where the game server is: the environment variable ZORVEX_SERVER holds its base URL (scheme,
// host and optional port, "http://127.0.0.1:8080"); without it, "http://" and the host name the
// program was built with.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view SCRIPT_DOWNLOAD_EVENTS =
    "/ServerAssets/PBEM/DownloadNewGameEvents.php";
inline constexpr std::string_view SCRIPT_LOOKING_FOR_GAME =
    "/ServerAssets/PBEM/SetLookingForPBEMGame.php";

std::string GetGameServerBase();
// The base followed by a script path.
std::string GameServerURL(std::string_view strScriptPath);
