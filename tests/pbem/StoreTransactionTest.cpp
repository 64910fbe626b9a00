#include "pbem/StoreTransaction.h"

#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"

#include "GameListBytes.h"
#include "base/Paths.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

namespace
{

using namespace std::chrono_literals;

const std::string kDataFile = "PBEM/PBEM.data";

std::wstring DataPath(const CTempDir& dir)
{
    return dir.WidePath() + L"/PBEM/PBEM.data";
}

// What a program that ignores the lock does: open, write in place, close.
void WriteBehindTheLock(const CTempDir& dir, const std::string& bytes)
{
    const int fd = ::open(dir.File(kDataFile).c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

void ParseFile(const CTempDir& dir, CPBEMGameStore& store)
{
    CDataBuffer buffer(dir.Read(kDataFile));
    ASSERT_TRUE(store.Parse(buffer));
}

// The change the tests make: a new entry, added once however often the change runs.
void AddNewGame(CPBEMGameStore& store)
{
    if (store.FindGame(L"NEW-P01") != nullptr)
        return;
    store.m_listGames.push_back(std::make_unique<CPBEMGameState>());
    store.m_listGames.back()->m_strPlayerId = L"NEW-P01";
}

} // namespace

TEST(StoreTransaction, ChangesTheFileBelowTheInstallFolder)
{
    CTempDir dir;
    dir.Write(kDataFile, HeaderV2(2).Str() + GameRecordV8("G1-P01", 1).Str() +
                             GameRecordV8("G2-P01", 2).Str());
    const CInstallFolderScope installFolder(dir.WidePath());

    int nCalls = 0;
    const ETransactionResult result = RunStoreTransaction(
        [&](CPBEMGameStore& store)
        {
            ++nCalls;
            ASSERT_NE(store.FindGame(L"G2-P01"), nullptr);
            store.FindGame(L"G2-P01")->m_nHighestEventId = 99;
        },
        200ms);

    EXPECT_EQ(result, ETransactionResult::Saved);
    EXPECT_EQ(nCalls, 1);
    EXPECT_EQ(dir.Read(kDataFile), HeaderV2(2).Str() + GameRecordV8("G1-P01", 1).Str() +
                                       GameRecordV8("G2-P01", 99).Str());
}

TEST(StoreTransaction, CreatesAMissingFile)
{
    CTempDir dir;
    dir.Write("PBEM/.keep", "");
    EXPECT_EQ(RunStoreTransaction(AddNewGame, 0ms, DataPath(dir)), ETransactionResult::Saved);
    CPBEMGameStore store;
    ParseFile(dir, store);
    ASSERT_EQ(store.m_listGames.size(), 1u);
    EXPECT_EQ(store.m_listGames[0]->m_strPlayerId, L"NEW-P01");
}

TEST(StoreTransaction, WaitsForAnotherProcessHoldingTheFile)
{
    CTempDir dir;
    dir.Write(kDataFile, HeaderV2(1).Str() + GameRecordV8("G1-P01", 1).Str());

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
    {
        ::close(pipeFds[0]);
        CPBEMGameStore holder;
        holder.SetFilePath(DataPath(dir));
        const char cHeld = holder.OpenLocked() ? '1' : '0';
        (void)!::write(pipeFds[1], &cHeld, 1);
        std::this_thread::sleep_for(300ms);
        holder.CloseLocked();
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char cHeld = 0;
    ASSERT_EQ(::read(pipeFds[0], &cHeld, 1), 1);
    ::close(pipeFds[0]);
    const auto start = std::chrono::steady_clock::now();

    ASSERT_EQ(cHeld, '1');
    CPBEMGameStore probe;
    probe.SetFilePath(DataPath(dir));
    EXPECT_FALSE(probe.OpenLocked());
    EXPECT_TRUE(probe.WasBusy());
    EXPECT_EQ(RunStoreTransaction(AddNewGame, 0ms, DataPath(dir)), ETransactionResult::Busy);

    const ETransactionResult result = RunStoreTransaction(AddNewGame, 10ms, DataPath(dir));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    int nStatus = 0;
    ::waitpid(pid, &nStatus, 0);

    EXPECT_EQ(result, ETransactionResult::Saved);
    EXPECT_GE(elapsed, 200ms);
    CPBEMGameStore store;
    ParseFile(dir, store);
    EXPECT_NE(store.FindGame(L"G1-P01"), nullptr);
    EXPECT_NE(store.FindGame(L"NEW-P01"), nullptr);
}

TEST(StoreTransaction, StartsOverWhenAWriterIgnoredTheLock)
{
    CTempDir dir;
    dir.Write(kDataFile, HeaderV2(1).Str() + GameRecordV8("G1-P01", 1).Str());
    const std::string foreign =
        HeaderV2(2).Str() + GameRecordV8("G1-P01", 1).Str() + GameRecordV8("G9-P03", 9).Str();

    int nCalls = 0;
    const ETransactionResult result = RunStoreTransaction(
        [&](CPBEMGameStore& store)
        {
            if (++nCalls == 1)
                WriteBehindTheLock(dir, foreign);
            AddNewGame(store);
        },
        10ms, DataPath(dir));

    EXPECT_EQ(result, ETransactionResult::Saved);
    EXPECT_EQ(nCalls, 2);
    CPBEMGameStore store;
    ParseFile(dir, store);
    ASSERT_EQ(store.m_listGames.size(), 3u);
    EXPECT_EQ(store.m_listGames[1]->m_strPlayerId, L"G9-P03");
    EXPECT_EQ(store.m_listGames[1]->m_nHighestEventId, 9u);
    EXPECT_EQ(store.m_listGames[2]->m_strPlayerId, L"NEW-P01");
}

TEST(StoreTransaction, StartsOverWhenTheFileWasReplaced)
{
    CTempDir dir;
    dir.Write(kDataFile, HeaderV2(1).Str() + GameRecordV8("G1-P01", 1).Str());
    // Same size as the original, so only the file's identity tells.
    const std::string foreign = HeaderV2(1).Str() + GameRecordV8("G2-P01", 1).Str();

    int nCalls = 0;
    const ETransactionResult result = RunStoreTransaction(
        [&](CPBEMGameStore& store)
        {
            if (++nCalls == 1)
            {
                dir.Write("PBEM/replacement", foreign);
                ASSERT_EQ(
                    std::rename(dir.File("PBEM/replacement").c_str(), dir.File(kDataFile).c_str()),
                    0);
            }
            AddNewGame(store);
        },
        10ms, DataPath(dir));

    EXPECT_EQ(result, ETransactionResult::Saved);
    EXPECT_EQ(nCalls, 2);
    CPBEMGameStore store;
    ParseFile(dir, store);
    ASSERT_EQ(store.m_listGames.size(), 2u);
    EXPECT_EQ(store.m_listGames[0]->m_strPlayerId, L"G2-P01");
    EXPECT_EQ(store.m_listGames[1]->m_strPlayerId, L"NEW-P01");
}

TEST(StoreTransaction, GivesUpOnAWriterThatNeverStops)
{
    CTempDir dir;
    dir.Write(kDataFile, HeaderV2(0).Str());

    int nCalls = 0;
    std::string last;
    const ETransactionResult result = RunStoreTransaction(
        [&](CPBEMGameStore& store)
        {
            ++nCalls;
            // Each write is longer than the last, so every one shows.
            last = HeaderV2(nCalls).Str();
            for (int i = 0; i < nCalls; ++i)
                last += GameRecordV8("G-P01", static_cast<unsigned>(i)).Str();
            WriteBehindTheLock(dir, last);
            AddNewGame(store);
        },
        10ms, DataPath(dir));

    EXPECT_EQ(result, ETransactionResult::NotSaved);
    EXPECT_GT(nCalls, 1);
    EXPECT_LE(nCalls, 10);
    EXPECT_EQ(dir.Read(kDataFile), last);
}

TEST(StoreTransaction, StartsOverWhenAWriterKeptTheSizeAndTheTime)
{
    CTempDir dir;
    dir.Write(kDataFile, HeaderV2(2).Str() + GameRecordV8("G1-P01", 1).Str() +
                             GameRecordV8("G2-P01", 2).Str());
    // One byte of G1's highest id, written by a program that ignores the lock and leaves the
    // size and the modification time as they were (a sync tool, a coarse clock).
    const std::string foreign =
        HeaderV2(2).Str() + GameRecordV8("G1-P01", 7).Str() + GameRecordV8("G2-P01", 2).Str();

    int nCalls = 0;
    const ETransactionResult result = RunStoreTransaction(
        [&](CPBEMGameStore& store)
        {
            if (++nCalls == 1)
            {
                struct stat before = {};
                ASSERT_EQ(::stat(dir.File(kDataFile).c_str(), &before), 0);
                WriteBehindTheLock(dir, foreign);
                const timespec times[2] = {before.st_atim, before.st_mtim};
                ASSERT_EQ(::utimensat(AT_FDCWD, dir.File(kDataFile).c_str(), times, 0), 0);
            }
            store.FindGame(L"G2-P01")->m_nHighestEventId = 20;
        },
        10ms, DataPath(dir));

    EXPECT_EQ(result, ETransactionResult::Saved);
    EXPECT_EQ(nCalls, 2);
    CPBEMGameStore store;
    ParseFile(dir, store);
    ASSERT_EQ(store.m_listGames.size(), 2u);
    EXPECT_EQ(store.m_listGames[0]->m_nHighestEventId, 7u) << "the other writer's change was lost";
    EXPECT_EQ(store.m_listGames[1]->m_nHighestEventId, 20u);
}

namespace
{

// Another process holding the file for a while, as the game does.
class CForkedHolder
{
public:
    CForkedHolder(const std::wstring& strPath, std::chrono::milliseconds holdFor)
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0)
        {
            ::close(pipeFds[0]);
            CPBEMGameStore holder;
            holder.SetFilePath(strPath);
            const char cHeld = holder.OpenLocked() ? '1' : '0';
            (void)!::write(pipeFds[1], &cHeld, 1);
            std::this_thread::sleep_for(holdFor);
            holder.CloseLocked();
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        char cHeld = 0;
        m_bHeld = m_pid > 0 && ::read(pipeFds[0], &cHeld, 1) == 1 && cHeld == '1';
        ::close(pipeFds[0]);
    }
    ~CForkedHolder()
    {
        int nStatus = 0;
        if (m_pid > 0)
            ::waitpid(m_pid, &nStatus, 0);
    }
    CForkedHolder(const CForkedHolder&) = delete;
    CForkedHolder& operator=(const CForkedHolder&) = delete;

    bool Held() const { return m_bHeld; }

private:
    pid_t m_pid = -1;
    bool m_bHeld = false;
};

} // namespace

TEST(StoreTransaction, TellsOnceWhenTheWaitLasts)
{
    struct SCase
    {
        const char* pszName;
        std::chrono::milliseconds holdFor;
        std::chrono::milliseconds delay;
        bool bTransaction;
        int nTold;
    };
    const SCase cases[] = {
        {"load, a long wait", 400ms, 50ms, false, 1},
        {"load, a wait shorter than the delay", 100ms, 5000ms, false, 0},
        {"load, nobody holds it", 0ms, 0ms, false, 0},
        {"transaction, a long wait", 400ms, 50ms, true, 1},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        dir.Write(kDataFile, HeaderV2(1).Str() + GameRecordV8("G1-P01", 1).Str());

        int nTold = 0;
        bool bStillHeldWhenTold = false;
        std::unique_ptr<CForkedHolder> pHolder;
        if (c.holdFor > 0ms)
        {
            pHolder = std::make_unique<CForkedHolder>(DataPath(dir), c.holdFor);
            ASSERT_TRUE(pHolder->Held());
        }
        SStillWaiting stillWaiting;
        stillWaiting.delay = c.delay;
        stillWaiting.fnNotify = [&]
        {
            ++nTold;
            CPBEMGameStore probe;
            probe.SetFilePath(DataPath(dir));
            bStillHeldWhenTold = !probe.OpenLocked() && probe.WasBusy();
        };

        if (c.bTransaction)
        {
            EXPECT_EQ(RunStoreTransaction(AddNewGame, 10ms, DataPath(dir), stillWaiting),
                      ETransactionResult::Saved);
        }
        else
        {
            CPBEMGameStore store;
            store.SetFilePath(DataPath(dir));
            EXPECT_TRUE(LoadStoreWaiting(store, 10ms, stillWaiting));
            EXPECT_EQ(store.m_listGames.size(), 1u);
        }
        EXPECT_EQ(nTold, c.nTold);
        if (c.nTold > 0)
        {
            EXPECT_TRUE(bStillHeldWhenTold) << "told while the file was no longer held";
        }
    }
}
