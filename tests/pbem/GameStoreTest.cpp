#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"
#include "pbem/PBEMMessageManager.h"
#include "pbem/StoreTransaction.h"

#include "GameListBytes.h"
#include "base/Encoding.h"
#include "res/FlagImages.h"
#include "res/ImageFixtures.h"
#include "res/ImageLoadReport.h"
#include "res/MaskedBitmap.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{

const std::string kDataFile = "PBEM/PBEM.data";

std::wstring DataPath(const CTempDir& dir)
{
    return dir.WidePath() + L"/PBEM/PBEM.data";
}

bool ParseBytes(const std::string& bytes, CPBEMGameStore& store, std::size_t* pRemaining = nullptr)
{
    CDataBuffer buffer(bytes);
    const bool bComplete = store.Parse(buffer);
    if (pRemaining != nullptr)
        *pRemaining = buffer.GetRemaining();
    return bComplete;
}

std::vector<std::wstring> PlayerIds(const CPBEMGameStore& store)
{
    std::vector<std::wstring> ids;
    for (const auto& pGame : store.m_listGames)
        ids.push_back(pGame->m_strPlayerId);
    return ids;
}

CPBEMGameState& AddGame(CPBEMGameStore& store, const std::wstring& strPlayerId)
{
    store.m_listGames.push_back(std::make_unique<CPBEMGameState>());
    store.m_listGames.back()->m_strPlayerId = strPlayerId;
    return *store.m_listGames.back();
}

// Flag images in the installation folder, and a count of the failed loads the user would see.
class CFlagImages : public CImageLoadReport
{
public:
    explicit CFlagImages(const CTempDir& dir)
        : m_dir(dir), m_installFolder(dir.WidePath()), m_loaderScope(m_loader)
    {
        SetImageLoadReport(this);
    }
    ~CFlagImages() override { SetImageLoadReport(nullptr); }

    // An opaque 16 × 11 PNG.
    void Add(const std::string& strName) const
    {
        m_dir.Write("Data/Images/Flags/" + strName,
                    fixtures::MakePngRgba(16, 11, std::string(16 * 11 * 4, '\xFF')));
    }
    void Beep() override { ++m_nFailures; }

    const CTempDir& m_dir;
    const CInstallFolderScope m_installFolder;
    CBitmapFlagLoader m_loader; // the window program's loader
    CFlagImageLoaderScope m_loaderScope;
    int m_nFailures = 0;
};

} // namespace

TEST(GameStoreFormat, EmptyStoreIsThirteenBytes)
{
    CPBEMGameStore store;
    EXPECT_EQ(store.Serialize(), std::string("\x02\x01\0\0\0\0\0\0\0\0\0\0\0", 13));
}

TEST(GameStoreFormat, WritesHeaderVersion2AndRecordVersion8)
{
    CPBEMGameStore store;
    store.SetAccount(L"user", L"pw");
    CPBEMGameState& game = AddGame(store, L"G1-P01");
    game.m_strAuxText = L"aux";
    game.m_strInstanceId = L"inst";
    game.m_strPassword = L"secret";
    game.m_nTurn = 7;
    game.m_strFlagName = L"flag.png";
    game.m_strAnsiText = L"ansi";
    game.m_bNewEvents = true;
    game.m_nHighestEventId = 0xFFFFFFF0u;
    for (int n : {1, 2})
    {
        game.m_listPlayers.push_back(std::make_unique<CPBEMGamePlayer>());
        game.m_listPlayers.back()->m_nPlayer = n;
    }
    game.m_listPlayers[0]->m_strFlagName = L"p1.png";
    game.m_listPlayers[0]->m_strAnsiText = "x";

    EXPECT_EQ(store.Serialize(), HeaderV2(1).Str() + GameRecordV8("G1-P01", 0xFFFFFFF0u).Str());
}

TEST(GameStoreFormat, HeaderVersionsReadTheirFields)
{
    struct SCase
    {
        const char* pszName;
        std::string bytes;
        std::int32_t nStoredValue;
        std::wstring strUsername;
        std::wstring strPassword;
    };
    const SCase cases[] = {
        {"v0: count only", CBytes().U8(0).I32(0), 1, L"", L""},
        {"v1: stored value", CBytes().U8(1).I32(77).I32(0), 77, L"", L""},
        {"v2: account", CBytes().U8(2).I32(-3).W("u").W("p").I32(0), -3, L"u", L"p"},
        {"negative version: count only", CBytes().U8(0xFF).I32(0), 1, L"", L""},
        {"newer version: as v2", CBytes().U8(9).I32(4).W("a").W("b").I32(0), 4, L"a", L"b"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CPBEMGameStore store;
        std::size_t nRemaining = 99;
        EXPECT_TRUE(ParseBytes(c.bytes, store, &nRemaining));
        EXPECT_EQ(nRemaining, 0u);
        EXPECT_EQ(store.m_nStoredValue, c.nStoredValue);
        EXPECT_EQ(store.m_strUsername, c.strUsername);
        EXPECT_EQ(store.m_strPassword, c.strPassword);
        EXPECT_TRUE(store.m_listGames.empty());
    }
}

TEST(GameStoreFormat, GameRecordVersionsReadTheirFields)
{
    struct SCase
    {
        int nVersion;
        std::string record;
        std::wstring strAux, strInstance, strPlayerId, strPassword;
        std::int32_t nTurn;
        std::wstring strFlag, strAnsi;
        bool bNewEvents;
        std::uint32_t nHighest;
        std::size_t nPlayers;
    };
    const SCase cases[] = {
        {1, CBytes().I16(1).A("G1-P02").A("pw").I32(5).A("f.png").A("\xE9t\x80"), L"", L"",
         L"G1-P02", L"pw", 5, L"f.png", L"\u00E9t\u20AC", false, 0, 0},
        {2, CBytes().I16(2).A("G\xE9-P03").A("pw2").I32(-1).A("").A(""), L"", L"", L"G\u00E9-P03",
         L"pw2", -1, L"", L"", false, 0, 0},
        {3, CBytes().I16(3).W("aux3").W("G3-P01").W("pw3").I32(9).W("f3").A("t3"), L"aux3", L"",
         L"G3-P01", L"pw3", 9, L"f3", L"t3", false, 0, 0},
        // The four bytes after the text are not the new-events flag: they are skipped.
        {4,
         CBytes()
             .I16(4)
             .W("a")
             .W("G4-P01")
             .W("p")
             .I32(4)
             .W("f")
             .A("t")
             .Raw("\xAA\xAA\xAA\xAA")
             .I32(44),
         L"a", L"", L"G4-P01", L"p", 4, L"f", L"t", false, 44, 0},
        // Any non-zero flag byte means new events.
        {5, CBytes().I16(5).W("a").W("G5-P01").W("p").I32(5).W("f").A("t").U8(2).I32(55), L"a", L"",
         L"G5-P01", L"p", 5, L"f", L"t", true, 55, 0},
        {6, CBytes().I16(6).W("a").W("inst6").W("G6-P01").W("p").I32(6).W("f").A("t").U8(0).I32(66),
         L"a", L"inst6", L"G6-P01", L"p", 6, L"f", L"t", false, 66, 0},
        {7,
         CBytes()
             .I16(7)
             .W("a")
             .W("i7")
             .W("G7-P01")
             .W("p")
             .I32(7)
             .W("f")
             .A("t")
             .U8(1)
             .I32(77)
             .I32(1)
             .I32(3)
             .W("p3.png")
             .A("z"),
         L"a", L"i7", L"G7-P01", L"p", 7, L"f", L"t", true, 77, 1},
        {8, GameRecordV8("G8-P02", 88), L"aux", L"inst", L"G8-P02", L"secret", 7, L"flag.png",
         L"ansi", true, 88, 2},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.nVersion);
        CPBEMGameStore store;
        std::size_t nRemaining = 99;
        ASSERT_TRUE(ParseBytes(CBytes().U8(0).I32(1).Str() + c.record, store, &nRemaining));
        EXPECT_EQ(nRemaining, 0u) << "the record was not read to its end";
        ASSERT_EQ(store.m_listGames.size(), 1u);
        const CPBEMGameState& game = *store.m_listGames[0];
        EXPECT_EQ(game.m_strAuxText, c.strAux);
        EXPECT_EQ(game.m_strInstanceId, c.strInstance);
        EXPECT_EQ(game.m_strPlayerId, c.strPlayerId);
        EXPECT_EQ(game.m_strPassword, c.strPassword);
        EXPECT_EQ(game.m_nTurn, c.nTurn);
        EXPECT_EQ(game.m_strFlagName, c.strFlag);
        EXPECT_EQ(game.m_strAnsiText, c.strAnsi);
        EXPECT_EQ(game.m_bNewEvents, c.bNewEvents);
        EXPECT_EQ(game.m_nHighestEventId, c.nHighest);
        EXPECT_EQ(game.m_listPlayers.size(), c.nPlayers);
    }
}

TEST(GameStoreFormat, PlayerRecordsKeepTheirBytes)
{
    CPBEMGameStore store;
    const std::string record =
        BareRecordV8Head("G-P01").I32(2).I32(-4).W("a.png").A("\x81\xFF").I32(5).W("").A("");
    ASSERT_TRUE(ParseBytes(CBytes().U8(0).I32(1).Str() + record, store));
    const auto& players = store.m_listGames.at(0)->m_listPlayers;
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(players[0]->m_nPlayer, -4);
    EXPECT_EQ(players[0]->m_strFlagName, L"a.png");
    EXPECT_EQ(players[0]->m_strAnsiText, "\x81\xFF");
    EXPECT_EQ(players[1]->m_nPlayer, 5);
    // Written back byte for byte, with no code page in between.
    EXPECT_EQ(store.Serialize(), CBytes().U8(2).I32(1).W("").W("").I32(1).Str() + record);
}

TEST(GameStoreFormat, CountsFromTheFileAreNotTrusted)
{
    {
        SCOPED_TRACE("negative game count: no entries");
        CPBEMGameStore store;
        EXPECT_TRUE(ParseBytes(HeaderV2(-5).Str() + GameRecordV8("G-P01", 1).Str(), store));
        EXPECT_TRUE(store.m_listGames.empty());
    }
    {
        SCOPED_TRACE("negative player count: no players");
        CPBEMGameStore store;
        const std::string record = BareRecordV8Head("G-P01").I32(-1);
        EXPECT_TRUE(ParseBytes(HeaderV2(1).Str() + record, store));
        ASSERT_EQ(store.m_listGames.size(), 1u);
        EXPECT_TRUE(store.m_listGames[0]->m_listPlayers.empty());
    }
    {
        SCOPED_TRACE("game count far beyond the file");
        CPBEMGameStore store;
        EXPECT_FALSE(
            ParseBytes(HeaderV2(0x7FFFFFFF).Str() + GameRecordV8("G-P01", 1).Str(), store));
        EXPECT_EQ(PlayerIds(store), std::vector<std::wstring>{L"G-P01"});
    }
    {
        SCOPED_TRACE("player count far beyond the file: the entry is not kept");
        CPBEMGameStore store;
        const std::string record = BareRecordV8Head("G-P01").I32(0x7FFFFFFF).I32(1).W("").A("");
        EXPECT_FALSE(ParseBytes(HeaderV2(1).Str() + record, store));
        EXPECT_TRUE(store.m_listGames.empty());
    }
}

TEST(GameStoreFile, EveryTruncationLoadsIncompleteAndIsNeverSaved)
{
    CTempDir dir;
    const std::string full =
        HeaderV2(2).Str() + GameRecordV8("G1-P01", 10).Str() + GameRecordV8("G2-P02", 20).Str();
    for (std::size_t nLength = 1; nLength < full.size(); ++nLength)
    {
        SCOPED_TRACE(nLength);
        const std::string cut = full.substr(0, nLength);
        dir.Write(kDataFile, cut);

        CPBEMGameStore store;
        store.SetFilePath(DataPath(dir));
        ASSERT_TRUE(store.OpenLocked());
        EXPECT_FALSE(store.Load());
        EXPECT_LE(store.m_listGames.size(), 2u);
        for (const auto& pGame : store.m_listGames)
            EXPECT_EQ(pGame->m_listPlayers.size(), 2u) << "a cut record was kept";
        store.CloseLocked();

        int nCalls = 0;
        const ETransactionResult result = RunStoreTransaction(
            [&](CPBEMGameStore& s)
            {
                ++nCalls;
                s.Clear();
            },
            std::chrono::milliseconds(10), DataPath(dir));
        EXPECT_EQ(result, ETransactionResult::Unreadable);
        EXPECT_EQ(nCalls, 0);
        EXPECT_EQ(dir.Read(kDataFile), cut);
    }
}

TEST(GameStoreFile, ShorterSaveLeavesATailThatIsNotRead)
{
    CTempDir dir;
    const std::string original = HeaderV2(3).Str() + GameRecordV8("G1-P01", 1).Str() +
                                 GameRecordV8("G2-P01", 2).Str() + GameRecordV8("G3-P01", 3).Str();
    dir.Write(kDataFile, original);

    CPBEMGameStore store;
    store.SetFilePath(DataPath(dir));
    ASSERT_TRUE(store.OpenLocked());
    ASSERT_TRUE(store.Load());
    store.RemoveGames(L"G2-P01");
    ASSERT_TRUE(store.Save());
    store.CloseLocked();

    const std::string written = dir.Read(kDataFile);
    const std::string expectedHead =
        HeaderV2(2).Str() + GameRecordV8("G1-P01", 1).Str() + GameRecordV8("G3-P01", 3).Str();
    ASSERT_EQ(written.size(), original.size()) << "the file must not be shortened";
    EXPECT_EQ(written.substr(0, expectedHead.size()), expectedHead);
    EXPECT_EQ(written.substr(expectedHead.size()), original.substr(expectedHead.size()));

    CPBEMGameStore reloaded;
    reloaded.SetFilePath(DataPath(dir));
    ASSERT_TRUE(reloaded.OpenLocked());
    EXPECT_TRUE(reloaded.Load());
    EXPECT_EQ(PlayerIds(reloaded), (std::vector<std::wstring>{L"G1-P01", L"G3-P01"}));
    EXPECT_EQ(reloaded.m_listGames[1]->m_nHighestEventId, 3u);
    EXPECT_EQ(reloaded.m_strUsername, L"user");
}

TEST(GameStoreFile, OpenLockedCreatesButNeverTruncates)
{
    CTempDir dir;
    dir.Write("PBEM/.keep", "");
    const CInstallFolderScope installFolder(dir.WidePath());

    CPBEMGameStore store; // default path: below the installation folder
    ASSERT_TRUE(store.OpenLocked());
    EXPECT_TRUE(store.IsLocked());
    EXPECT_TRUE(store.Load());
    EXPECT_TRUE(store.m_listGames.empty());
    store.CloseLocked();
    EXPECT_FALSE(store.IsLocked());
    EXPECT_EQ(dir.Read(kDataFile), "");

    const std::string bytes = HeaderV2(1).Str() + GameRecordV8("G-P01", 1).Str();
    dir.Write(kDataFile, bytes);
    ASSERT_TRUE(store.OpenLocked());
    store.CloseLocked();
    EXPECT_EQ(dir.Read(kDataFile), bytes);
}

TEST(GameStoreFile, MissingFolderIsAFailureNotContention)
{
    CTempDir dir;
    CPBEMGameStore store;
    store.SetFilePath(DataPath(dir));
    EXPECT_FALSE(store.OpenLocked());
    EXPECT_FALSE(store.WasBusy());
    EXPECT_FALSE(store.IsLocked());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(
        RunStoreTransaction([](CPBEMGameStore&) {}, std::chrono::milliseconds(10), DataPath(dir)),
        ETransactionResult::NotSaved);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(GameStoreFile, SaveWithoutAHeldFileWritesNothing)
{
    CTempDir dir;
    dir.Write("PBEM/.keep", "");
    CPBEMGameStore store;
    store.SetFilePath(DataPath(dir));
    AddGame(store, L"G-P01");
    EXPECT_FALSE(store.Save());
    EXPECT_FALSE(store.Load());
    EXPECT_EQ(dir.Read(kDataFile), "");
}

TEST(GameStoreFile, SecondHolderInTheSameProcessIsRefused)
{
    CTempDir dir;
    dir.Write(kDataFile, "");
    CPBEMGameStore first;
    CPBEMGameStore second;
    first.SetFilePath(DataPath(dir));
    second.SetFilePath(DataPath(dir));

    ASSERT_TRUE(first.OpenLocked());
    EXPECT_FALSE(second.OpenLocked());
    EXPECT_TRUE(second.WasBusy());
    EXPECT_FALSE(second.IsLocked());
    EXPECT_EQ(
        RunStoreTransaction([](CPBEMGameStore&) {}, std::chrono::milliseconds(0), DataPath(dir)),
        ETransactionResult::Busy);

    first.CloseLocked();
    EXPECT_TRUE(second.OpenLocked());
}

TEST(GameStoreOps, GameIdAndPlayerNumber)
{
    struct SCase
    {
        const wchar_t* pszPlayerId;
        const wchar_t* pszGameId;
        int nPlayer;
    };
    const SCase cases[] = {
        {L"G12-P03", L"G12", 3}, {L"G12-P00", L"G12", 0},
        {L"G-P99", L"G", 99},    {L"Game-X-P45", L"Game-X", 45},
        {L"-P12", L"", 12},      {L"abc", L"", 0},
        {L"G-P7x", L"G", 7},     {L"G-Px7", L"G", 0},
        {L"G-P 3", L"G", 0},     {L"5", L"", 5},
        {L"", L"", 0},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(WideToUtf8(c.pszPlayerId));
        CPBEMGameState game;
        game.m_strPlayerId = c.pszPlayerId;
        EXPECT_EQ(game.GetGameId(), c.pszGameId);
        EXPECT_EQ(game.GetPlayerNumber(), c.nPlayer);
    }

    EXPECT_EQ(MakePlayerId(L"G12", 3), L"G12-P03");
    EXPECT_EQ(MakePlayerId(L"G", 0), L"G-P00");
    EXPECT_EQ(MakePlayerId(L"G", 123), L"G-P123");
}

TEST(GameStoreOps, FindGameMatchesExactly)
{
    CPBEMGameStore store;
    CPBEMGameState& g10 = AddGame(store, L"G10-P01");
    CPBEMGameState& own = AddGame(store, L"G1-P01");
    CPBEMGameState& shared = AddGame(store, L"G1-P00");
    AddGame(store, L"G1-P01"); // a duplicate: the first one is found

    EXPECT_EQ(store.FindGame(L"G1-P01"), &own);
    EXPECT_EQ(store.FindGame(L"g1-p01"), nullptr);
    EXPECT_EQ(store.FindGame(L"G1"), nullptr);
    EXPECT_EQ(store.FindGame(L"G1", 1), &own);
    EXPECT_EQ(store.FindGame(L"G1", 0), &shared);
    EXPECT_EQ(store.FindGame(L"G10", 1), &g10);
    EXPECT_EQ(store.FindGame(L"G1", 2), nullptr);
}

TEST(GameStoreOps, RemoveGamesRemovesEveryDuplicate)
{
    CPBEMGameStore store;
    ASSERT_TRUE(ParseBytes(HeaderV2(4).Str() + GameRecordV8("G1-P01", 1).Str() +
                               GameRecordV8("G2-P01", 2).Str() + GameRecordV8("G1-P01", 3).Str() +
                               GameRecordV8("G1-P01", 4).Str(),
                           store));
    store.RemoveGames(L"G1-P01");
    EXPECT_EQ(PlayerIds(store), std::vector<std::wstring>{L"G2-P01"});
    store.RemoveGames(L"nothing");
    EXPECT_EQ(store.m_listGames.size(), 1u);
    store.Clear();
    EXPECT_TRUE(store.m_listGames.empty());
}

TEST(GameStoreOps, FindPlayerLoadsTheFlagOnce)
{
    CTempDir dir;
    CFlagImages flags(dir);
    flags.Add("one.png");
    CPBEMGameState game;
    const std::pair<int, const wchar_t*> players[] = {
        {1, L"one.png"}, {2, L""}, {3, L"../../etc/passwd"}, {1, L"x"}};
    for (const auto& [n, pszName] : players)
    {
        game.m_listPlayers.push_back(std::make_unique<CPBEMGamePlayer>());
        game.m_listPlayers.back()->m_nPlayer = n;
        game.m_listPlayers.back()->m_strFlagName = pszName;
    }

    const CMaskedBitmap* pFlag = game.FindPlayer(1);
    EXPECT_EQ(pFlag, game.m_listPlayers[0]->m_bmpFlag.get());
    EXPECT_EQ(game.FindPlayer(1)->m_nWidth, 16);
    EXPECT_EQ(game.FindPlayer(1)->m_strPath, dir.WidePath() + L"/Data/Images/Flags/one.png");
    // Loaded once: with the file gone, the flag stays and nothing is reported.
    std::remove(dir.File("Data/Images/Flags/one.png").c_str());
    EXPECT_EQ(game.FindPlayer(1)->m_nWidth, 16);
    ASSERT_NE(game.FindPlayer(2), nullptr);
    EXPECT_EQ(game.FindPlayer(2), game.m_listPlayers[1]->m_bmpFlag.get());
    EXPECT_EQ(game.FindPlayer(2)->m_nWidth, 0);
    ASSERT_NE(game.FindPlayer(3), nullptr);
    EXPECT_EQ(game.FindPlayer(3)->m_nWidth, 0);
    EXPECT_EQ(game.FindPlayer(4), nullptr);
    EXPECT_EQ(flags.m_nFailures, 0);

    // A flag file that is not there is reported once, not at every paint.
    game.m_listPlayers.push_back(std::make_unique<CPBEMGamePlayer>());
    game.m_listPlayers.back()->m_nPlayer = 5;
    game.m_listPlayers.back()->m_strFlagName = L"missing.png";
    for (int nPaint = 0; nPaint < 3; ++nPaint)
    {
        ASSERT_NE(game.FindPlayer(5), nullptr);
        EXPECT_EQ(game.FindPlayer(5)->m_nWidth, 10);
    }
    EXPECT_EQ(flags.m_nFailures, 1);
}

// A hundred entries of one nation read its flag once; a picture nobody holds any more is read
// again, so a reloaded list sees a changed file.
TEST(GameStoreOps, EntriesNamingOneFlagShareItsPicture)
{
    CTempDir dir;
    CFlagImages flags(dir);
    flags.Add("one.png");
    std::shared_ptr<CMaskedBitmap> pFirst = flags.m_loader.Load(L"one.png");
    EXPECT_EQ(flags.m_loader.Load(L"one.png"), pFirst);
    EXPECT_EQ(pFirst->m_nWidth, 16);
    EXPECT_NE(flags.m_loader.Load(L""), flags.m_loader.Load(L""));

    // One report for a missing file, however many name it.
    const std::shared_ptr<CMaskedBitmap> pMissing = flags.m_loader.Load(L"missing.png");
    EXPECT_EQ(flags.m_loader.Load(L"missing.png"), pMissing);
    EXPECT_EQ(flags.m_nFailures, 1);

    pFirst.reset();
    dir.Write("Data/Images/Flags/one.png",
              fixtures::MakePngRgba(8, 5, std::string(8 * 5 * 4, '\xFF')));
    EXPECT_EQ(flags.m_loader.Load(L"one.png")->m_nWidth, 8);
}

TEST(MessageManager, LoadAtStartupWaitsForTheFileAndLoadsEntryFlags)
{
    CTempDir dir;
    const std::string v3NoFlag = CBytes().I16(3).W("").W("G2-P01").W("").I32(1).W("").A("");
    dir.Write(kDataFile, HeaderV2(2).Str() + GameRecordV8("G1-P01", 5).Str() + v3NoFlag);
    CFlagImages flags(dir);
    flags.Add("flag.png");

    CPBEMMessageManager manager;
    manager.m_listNewEvents.push_back(std::make_unique<CPBEMGameEvent>());
    AddGame(manager.m_store, L"stale");
    manager.ResetAll();
    EXPECT_TRUE(manager.m_listNewEvents.empty());
    EXPECT_TRUE(manager.m_store.m_listGames.empty());

    CPBEMGameStore holder;
    ASSERT_TRUE(holder.OpenLocked());
    std::thread release(
        [&]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            holder.CloseLocked();
        });
    manager.LoadAtStartup();
    release.join();

    EXPECT_EQ(PlayerIds(manager.m_store), (std::vector<std::wstring>{L"G1-P01", L"G2-P01"}));
    EXPECT_EQ(manager.m_store.m_strUsername, L"user");
    EXPECT_FALSE(manager.m_store.IsLocked());
    ASSERT_NE(manager.m_store.m_listGames[0]->m_bmpFlag, nullptr);
    ASSERT_NE(manager.m_store.m_listGames[1]->m_bmpFlag, nullptr);
    EXPECT_EQ(manager.m_store.m_listGames[0]->m_bmpFlag->m_nHeight, 11);
    EXPECT_EQ(manager.m_store.m_listGames[1]->m_bmpFlag->m_nHeight, 0);
    EXPECT_EQ(flags.m_nFailures, 0);

    CPBEMGameStore after; // the file was let go
    EXPECT_TRUE(after.OpenLocked());
}

TEST(MessageManager, LoadAtStartupGivesUpOnAFileThatCannotBeOpened)
{
    CTempDir dir; // no PBEM folder
    const CInstallFolderScope installFolder(dir.WidePath());
    CPBEMMessageManager manager;
    manager.LoadAtStartup();
    EXPECT_TRUE(manager.m_store.m_listGames.empty());
}

TEST(MessageManager, GlobalPointerIsSetOnlyWhileItsScopeLasts)
{
    // No manager outlives main: the program's own is made there.
    EXPECT_EQ(g_pMessageManager, nullptr);
    {
        CPBEMMessageManager outer;
        const CMessageManagerScope outerScope(outer);
        EXPECT_EQ(g_pMessageManager, &outer);
        {
            CPBEMMessageManager inner;
            const CMessageManagerScope innerScope(inner);
            EXPECT_EQ(g_pMessageManager, &inner);
        }
        EXPECT_EQ(g_pMessageManager, &outer);
    }
    EXPECT_EQ(g_pMessageManager, nullptr);
}
