#include "net/GameServer.h"
#include "support/ServerEnv.h"

#include <gtest/gtest.h>

#include <string>

TEST(GameServerTest, BaseComesFromTheEnvironment)
{
    const struct
    {
        const char* pszEnv;
        const char* pszBase;
    } cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"https://host.test//", "https://host.test/"}, // one "/" only
    };
    for (const auto& c : cases)
    {
        const CServerEnv env(c.pszEnv);
        EXPECT_EQ(GetGameServerBase(), c.pszBase) << c.pszEnv;
    }
}

TEST(GameServerTest, WithoutTheEnvironmentTheBuiltInHostIsUsed)
{
    for (const char* pszEnv : {static_cast<const char*>(nullptr), ""})
    {
        const CServerEnv env(pszEnv);
        const std::string strBase = GetGameServerBase();
        EXPECT_EQ(strBase.rfind("http://", 0), 0u) << strBase;
        EXPECT_GT(strBase.size(), 7u);
        EXPECT_EQ(strBase.find('/', 7), std::string::npos) << strBase;
    }
}

TEST(GameServerTest, ScriptPathsAreAppended)
{
    const CServerEnv env("http://127.0.0.1:8080/");
    EXPECT_EQ(GameServerURL(SCRIPT_DOWNLOAD_EVENTS),
              "http://127.0.0.1:8080/ServerAssets/PBEM/DownloadNewGameEvents.php");
    EXPECT_EQ(GameServerURL(SCRIPT_LOOKING_FOR_GAME),
              "http://127.0.0.1:8080/ServerAssets/PBEM/SetLookingForPBEMGame.php");
}
