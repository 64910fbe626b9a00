// A game list that may only be read: shown, never saved, and the caller can tell.
#include "pbem/PBEMGameStore.h"
#include "pbem/PBEMMessageManager.h"
#include "pbem/StoreTransaction.h"

#include "GameListBytes.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"
#include "support/UnwritableFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

const std::string kDataFile = "PBEM/PBEM.data";

std::wstring DataPath(const CTempDir& dir)
{
    return dir.WidePath() + L"/PBEM/PBEM.data";
}

std::string TwoGames()
{
    return HeaderV2(2).Str() + GameRecordV8("G1-P01", 10).Str() + GameRecordV8("G2-P01", 20).Str();
}

ino_t InodeOf(const CTempDir& dir)
{
    struct stat st = {};
    ::stat(dir.File(kDataFile).c_str(), &st);
    return st.st_ino;
}

} // namespace

TEST(GameStoreReadOnly, IsShownButNeverSaved)
{
    CTempDir dir;
    dir.Write(kDataFile, TwoGames());
    const ino_t nInode = InodeOf(dir);
    const CUnwritableFile unwritable(dir.File(kDataFile));
    if (!unwritable.Ok())
        GTEST_SKIP() << "no way to make a file unwritable here";

    CPBEMGameStore store;
    store.SetFilePath(DataPath(dir));
    ASSERT_TRUE(store.OpenLocked());
    EXPECT_TRUE(store.IsReadOnly());
    EXPECT_TRUE(store.Load());
    ASSERT_EQ(store.m_listGames.size(), 2u);
    store.m_listGames[0]->m_nHighestEventId = 99;
    EXPECT_FALSE(store.Save());
    store.CloseLocked();
    EXPECT_TRUE(store.IsReadOnly()) << "the flag outlives the hold";

    int nCalls = 0;
    EXPECT_EQ(RunStoreTransaction([&](CPBEMGameStore&) { ++nCalls; }, std::chrono::milliseconds(10),
                                  DataPath(dir)),
              ETransactionResult::ReadOnly);
    EXPECT_EQ(nCalls, 0);

    CPBEMGameStore loaded;
    loaded.SetFilePath(DataPath(dir));
    EXPECT_TRUE(LoadStoreWaiting(loaded, std::chrono::milliseconds(10)));
    EXPECT_TRUE(loaded.IsReadOnly());
    EXPECT_EQ(loaded.m_listGames.size(), 2u);

    // Not replaced either: a file beside it would take the name over the read-only one.
    EXPECT_EQ(dir.Read(kDataFile), TwoGames());
    EXPECT_EQ(InodeOf(dir), nInode);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("PBEM")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(GameStoreReadOnly, ReadersShareTheFileAndAWriterKeepsThemOut)
{
    CTempDir dir;
    dir.Write(kDataFile, TwoGames());
    const CUnwritableFile unwritable(dir.File(kDataFile));
    if (!unwritable.Ok())
        GTEST_SKIP() << "no way to make a file unwritable here";

    CPBEMGameStore first;
    CPBEMGameStore second;
    first.SetFilePath(DataPath(dir));
    second.SetFilePath(DataPath(dir));
    ASSERT_TRUE(first.OpenLocked());
    EXPECT_TRUE(second.OpenLocked());
    first.CloseLocked();
    second.CloseLocked();

    // Someone who can write (the game) holds it exclusively: the reader waits.
    const int fd = ::open(dir.File(kDataFile).c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(first.OpenLocked());
    EXPECT_TRUE(first.WasBusy());
    ::close(fd);
    EXPECT_TRUE(first.OpenLocked());
}

TEST(GameStoreReadOnly, LoadAtStartupShowsTheGamesAndTellsTheManager)
{
    CTempDir dir;
    dir.Write(kDataFile, TwoGames());
    const CUnwritableFile unwritable(dir.File(kDataFile));
    if (!unwritable.Ok())
        GTEST_SKIP() << "no way to make a file unwritable here";
    CPBEMMessageManager manager;
    {
        const CInstallFolderScope installFolder(dir.WidePath());
        manager.LoadAtStartup();
    }
    EXPECT_EQ(manager.m_store.m_listGames.size(), 2u);
    EXPECT_TRUE(manager.m_store.IsReadOnly());
}
