#include "net/GameServer.h"

#include <cstdlib>

#ifndef ZORVEX_SERVER_HOST
#error "ZORVEX_SERVER_HOST must be defined by the build"
#endif

std::string GetGameServerBase()
{
    const char* pszServer = std::getenv("ZORVEX_SERVER");
    if (pszServer == nullptr || *pszServer == '\0')
        return std::string("http://") + ZORVEX_SERVER_HOST;
    std::string strBase = pszServer;
    // The script paths begin with "/"; a base written with a trailing one would double it.
    if (strBase.back() == '/')
        strBase.pop_back();
    return strBase;
}

std::string GameServerURL(std::string_view strScriptPath)
{
    std::string strURL = GetGameServerBase();
    strURL += strScriptPath;
    return strURL;
}
