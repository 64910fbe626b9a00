// The game model's flags through the installed loader: asked once per entry and player (a failure
// too), unsafe names never reach it, and without a loader nothing is loaded.
#include "pbem/PBEMGameState.h"
#include "pbem/PBEMMessageManager.h"

#include "GameListBytes.h"
#include "res/FlagImageLoader.h"
#include "res/MaskedBitmap.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Records every request; gives a distinct picture per request, or null for names in m_failing.
class CCountingFlagLoader : public CFlagImageLoader
{
public:
    std::shared_ptr<CMaskedBitmap> Load(const std::wstring& strFlagName) override
    {
        m_listAsked.push_back(strFlagName);
        if (m_failing.count(strFlagName) != 0)
            return nullptr;
        auto pBitmap = std::make_shared<CMaskedBitmap>();
        pBitmap->m_strPath = strFlagName;
        m_listGiven.push_back(pBitmap.get());
        return pBitmap;
    }

    std::vector<std::wstring> m_listAsked;
    std::vector<const CMaskedBitmap*> m_listGiven;
    std::map<std::wstring, bool> m_failing;
};

void AddPlayer(CPBEMGameState& game, int nPlayer, const std::wstring& strFlagName)
{
    game.m_listPlayers.push_back(std::make_unique<CPBEMGamePlayer>());
    game.m_listPlayers.back()->m_nPlayer = nPlayer;
    game.m_listPlayers.back()->m_strFlagName = strFlagName;
}

} // namespace

TEST(FlagLoad, FindPlayerAsksTheLoaderOncePerPlayerAndNeverWithAPath)
{
    CCountingFlagLoader loader;
    const CFlagImageLoaderScope scope(loader);
    CPBEMGameState game;
    const struct
    {
        int nPlayer;
        const wchar_t* pszFlag;
        const wchar_t* pszAsked; // what the loader is asked for
    } cases[] = {
        {1, L"one.png", L"one.png"},
        {2, L"", L""},
        {3, L"../../etc/passwd", L""},
        {4, L"..", L""},
        {5, L".", L""},
        {6, L"a\\b.png", L""},
        {7, L"/etc/passwd", L""},
        {8, L"two.png", L"two.png"},
    };
    for (const auto& c : cases)
        AddPlayer(game, c.nPlayer, c.pszFlag);
    AddPlayer(game, 1, L"shadowed.png"); // a second player 1 is never found

    for (int nRound = 0; nRound < 3; ++nRound)
    {
        for (std::size_t i = 0; i < std::size(cases); ++i)
        {
            SCOPED_TRACE(testing::Message()
                         << "round " << nRound << ", player " << cases[i].nPlayer);
            CMaskedBitmap* pFlag = game.FindPlayer(cases[i].nPlayer);
            // Asked on the first round only.
            ASSERT_EQ(loader.m_listGiven.size(), nRound == 0 ? i + 1 : std::size(cases));
            ASSERT_NE(pFlag, nullptr);
            EXPECT_EQ(pFlag, game.m_listPlayers[i]->m_bmpFlag.get());
            EXPECT_EQ(pFlag, loader.m_listGiven[i]);
            EXPECT_EQ(pFlag->m_strPath, cases[i].pszAsked);
        }
    }
    std::vector<std::wstring> expected;
    for (const auto& c : cases)
        expected.push_back(c.pszAsked);
    EXPECT_EQ(loader.m_listAsked, expected);

    EXPECT_EQ(game.FindPlayer(9), nullptr);
    EXPECT_EQ(game.FindPlayer(0), nullptr);
    EXPECT_EQ(loader.m_listAsked.size(), std::size(cases));
}

TEST(FlagLoad, AFailedLoadIsNotRetried)
{
    CCountingFlagLoader loader;
    loader.m_failing[L"missing.png"] = true;
    const CFlagImageLoaderScope scope(loader);
    CPBEMGameState game;
    AddPlayer(game, 1, L"missing.png");
    AddPlayer(game, 2, L"there.png");

    for (int nPaint = 0; nPaint < 5; ++nPaint)
    {
        EXPECT_EQ(game.FindPlayer(1), nullptr);
        EXPECT_NE(game.FindPlayer(2), nullptr);
    }
    EXPECT_EQ(loader.m_listAsked, (std::vector<std::wstring>{L"missing.png", L"there.png"}));
}

TEST(FlagLoad, LoadAtStartupAsksForTheEntriesFlagsOnly)
{
    CTempDir dir;
    const std::string v3NoFlag = CBytes().I16(3).W("").W("G2-P01").W("").I32(1).W("").A("").Str();
    dir.Write("PBEM/PBEM.data", HeaderV2(2).Str() + GameRecordV8("G1-P01", 5).Str() + v3NoFlag);
    CCountingFlagLoader loader;
    const CFlagImageLoaderScope scope(loader);

    CPBEMMessageManager manager;
    {
        const CInstallFolderScope installFolder(dir.WidePath());
        manager.LoadAtStartup();
    }

    ASSERT_EQ(manager.m_store.m_listGames.size(), 2u);
    // The players' flags wait for FindPlayer.
    EXPECT_EQ(loader.m_listAsked, (std::vector<std::wstring>{L"flag.png", L""}));
    ASSERT_EQ(loader.m_listGiven.size(), 2u);
    EXPECT_EQ(manager.m_store.m_listGames[0]->m_bmpFlag.get(), loader.m_listGiven[0]);
    EXPECT_EQ(manager.m_store.m_listGames[1]->m_bmpFlag.get(), loader.m_listGiven[1]);

    // A second start-up on the same entries (the window reloads the list) asks nothing again.
    for (const auto& pGame : manager.m_store.m_listGames)
        EXPECT_TRUE(pGame->m_bFlagAsked);
    ASSERT_NE(manager.m_store.m_listGames[0]->FindPlayer(1), nullptr);
    EXPECT_EQ(loader.m_listAsked.back(), L"p1.png");
}

TEST(FlagLoad, WithoutALoaderNothingIsLoadedUntilOneIsInstalled)
{
    ASSERT_EQ(g_pFlagImageLoader, nullptr);
    CTempDir dir;
    dir.Write("PBEM/PBEM.data", HeaderV2(1).Str() + GameRecordV8("G1-P01", 5).Str());
    CPBEMMessageManager manager;
    {
        const CInstallFolderScope installFolder(dir.WidePath());
        manager.LoadAtStartup();
    }
    ASSERT_EQ(manager.m_store.m_listGames.size(), 1u);
    CPBEMGameState& game = *manager.m_store.m_listGames[0];
    EXPECT_EQ(game.m_bmpFlag, nullptr);
    EXPECT_EQ(game.FindPlayer(1), nullptr);
    EXPECT_EQ(game.FindPlayer(2), nullptr);

    // Nothing counts as asked: a loader installed later still loads.
    CCountingFlagLoader loader;
    {
        const CFlagImageLoaderScope scope(loader);
        EXPECT_NE(game.FindPlayer(1), nullptr);
    }
    EXPECT_EQ(g_pFlagImageLoader, nullptr);
    EXPECT_EQ(loader.m_listAsked, std::vector<std::wstring>{L"p1.png"});
}
