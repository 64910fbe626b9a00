// Saves stopped at every write boundary, a full disk and oversized files: the game list never
// ends up holding less than before.
#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"
#include "pbem/StoreTransaction.h"

#include "GameListBytes.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{

const std::string kDataFile = "PBEM/PBEM.data";

std::wstring DataPath(const CTempDir& dir)
{
    return dir.WidePath() + L"/PBEM/PBEM.data";
}

// A version-6 record: the game program's older entries, which a save rewrites longer.
std::string RecordV6(std::string_view playerId, unsigned nHighestEventId)
{
    return CBytes()
        .I16(6)
        .W("aux")
        .W("inst")
        .W(playerId)
        .W("pw")
        .I32(3)
        .W("flag.png")
        .A("ansi")
        .U8(1)
        .I32(nHighestEventId);
}

std::string ListV6()
{
    return HeaderV2(3).Str() + RecordV6("G1-P01", 10) + RecordV6("G2-P01", 20) +
           RecordV6("G3-P01", 30);
}

std::string ListV8()
{
    return HeaderV2(3).Str() + GameRecordV8("G1-P01", 10).Str() + GameRecordV8("G2-P01", 20).Str() +
           GameRecordV8("G3-P01", 30).Str();
}

using CEntries = std::vector<std::pair<std::wstring, std::uint32_t>>;

// The entries of a complete load; the test fails when the file does not load complete.
CEntries LoadEntries(const CTempDir& dir)
{
    CPBEMGameStore store;
    store.SetFilePath(DataPath(dir));
    EXPECT_TRUE(store.OpenLocked());
    EXPECT_TRUE(store.Load()) << "the game list no longer loads complete";
    CEntries entries;
    for (const auto& pGame : store.m_listGames)
        entries.emplace_back(pGame->m_strPlayerId, pGame->m_nHighestEventId);
    return entries;
}

CEntries EntriesOf(const std::string& bytes)
{
    CPBEMGameStore store;
    CDataBuffer buffer(bytes);
    EXPECT_TRUE(store.Parse(buffer));
    CEntries entries;
    for (const auto& pGame : store.m_listGames)
        entries.emplace_back(pGame->m_strPlayerId, pGame->m_nHighestEventId);
    return entries;
}

std::vector<std::string> PbemFolder(const CTempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("PBEM")))
        names.push_back(entry.path().filename().string());
    return names;
}

ino_t InodeOf(const CTempDir& dir)
{
    struct stat st = {};
    ::stat(dir.File(kDataFile).c_str(), &st);
    return st.st_ino;
}

} // namespace

TEST(GameStoreCrash, ASaveStoppedAtAnyStepLeavesTheOldListOrTheNewOne)
{
    struct SCase
    {
        const char* pszName;
        std::string original;
        std::function<void(CPBEMGameStore&)> change;
        bool bInPlace; // only fixed-size values change: the same file is written
    };
    const SCase cases[] = {
        {"old record version, rewritten longer", ListV6(),
         [](CPBEMGameStore& s) { s.FindGame(L"G2-P01")->m_nHighestEventId = 99; }, false},
        {"a game removed: shorter", ListV8(), [](CPBEMGameStore& s) { s.RemoveGames(L"G2-P01"); },
         false},
        {"a game added: longer", ListV8(),
         [](CPBEMGameStore& s)
         {
             s.m_listGames.push_back(std::make_unique<CPBEMGameState>());
             s.m_listGames.back()->m_strPlayerId = L"G4-P01";
         },
         false},
        {"only ids change", ListV8(),
         [](CPBEMGameStore& s)
         {
             s.FindGame(L"G1-P01")->m_nHighestEventId = 0x01020304;
             s.FindGame(L"G3-P01")->m_nHighestEventId = 0x05060708;
         },
         true},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        const CEntries before = EntriesOf(c.original);
        bool bSaved = false;
        for (int nSteps = 0; !bSaved && nSteps < 1000; ++nSteps)
        {
            SCOPED_TRACE(nSteps);
            dir.Write(kDataFile, c.original);
            const ino_t nInode = InodeOf(dir);

            CPBEMGameStore store;
            store.SetFilePath(DataPath(dir));
            ASSERT_TRUE(store.OpenLocked());
            ASSERT_TRUE(store.Load());
            c.change(store);
            std::string expected = store.Serialize();
            const CEntries after = EntriesOf(expected);
            if (c.original.size() > expected.size())
                expected += c.original.substr(expected.size());

            // Seven bytes at a time: many boundaries, some inside a field.
            SStoreSaveFault fault{nSteps, 7};
            SetStoreSaveFault(&fault);
            bSaved = store.Save();
            SetStoreSaveFault(nullptr);
            store.CloseLocked();

            const CEntries now = LoadEntries(dir);
            if (bSaved)
            {
                EXPECT_EQ(dir.Read(kDataFile), expected);
                EXPECT_EQ(InodeOf(dir) == nInode, c.bInPlace);
            }
            else if (c.bInPlace)
            {
                // Each id is old or new; no entry is lost.
                ASSERT_EQ(now.size(), before.size());
                for (std::size_t i = 0; i < now.size(); ++i)
                    EXPECT_TRUE(now[i] == before[i] || now[i] == after[i]);
            }
            else
            {
                const std::string bytes = dir.Read(kDataFile);
                EXPECT_TRUE(bytes == c.original || bytes == expected);
                EXPECT_TRUE(now == before || now == after);
            }
            EXPECT_EQ(PbemFolder(dir), std::vector<std::string>{"PBEM.data"})
                << "a failed save left a file behind";
        }
        EXPECT_TRUE(bSaved);
    }
}

TEST(GameStoreCrash, AFullDiskLeavesTheOldFileAndReportsFailure)
{
    CTempDir dir;
    const std::string original = ListV6();
    dir.Write(kDataFile, original);

    int nCalls = 0;
    ETransactionResult result;
    {
        // Room for the old list, not for the longer new one.
        const CFileSizeLimit limit(original.size() + 8);
        result = RunStoreTransaction(
            [&](CPBEMGameStore& store)
            {
                ++nCalls;
                store.FindGame(L"G2-P01")->m_nHighestEventId = 99;
            },
            std::chrono::milliseconds(10), DataPath(dir));
    }
    EXPECT_EQ(result, ETransactionResult::NotSaved);
    EXPECT_EQ(nCalls, 1);
    EXPECT_EQ(dir.Read(kDataFile), original);
    EXPECT_EQ(PbemFolder(dir), std::vector<std::string>{"PBEM.data"});

    // With room again, the same change goes through.
    EXPECT_EQ(RunStoreTransaction([](CPBEMGameStore& store)
                                  { store.FindGame(L"G2-P01")->m_nHighestEventId = 99; },
                                  std::chrono::milliseconds(10), DataPath(dir)),
              ETransactionResult::Saved);
    const CEntries entries = LoadEntries(dir);
    EXPECT_EQ(entries, (CEntries{{L"G1-P01", 10}, {L"G2-P01", 99}, {L"G3-P01", 30}}));
}

TEST(GameStoreCrash, AReplacedFileKeepsTheModeAndStaysHeld)
{
    CTempDir dir;
    dir.Write(kDataFile, ListV6());
    ASSERT_EQ(::chmod(dir.File(kDataFile).c_str(), 0604), 0);
    const ino_t nOldInode = InodeOf(dir);

    CPBEMGameStore store;
    store.SetFilePath(DataPath(dir));
    ASSERT_TRUE(store.OpenLocked());
    ASSERT_TRUE(store.Load());
    store.FindGame(L"G1-P01")->m_nHighestEventId = 11;
    ASSERT_TRUE(store.Save());
    EXPECT_NE(InodeOf(dir), nOldInode);
    struct stat st = {};
    ASSERT_EQ(::stat(dir.File(kDataFile).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);

    // The new file is the held one: nobody else gets it, and a second save goes in place.
    CPBEMGameStore other;
    other.SetFilePath(DataPath(dir));
    EXPECT_FALSE(other.OpenLocked());
    EXPECT_TRUE(other.WasBusy());
    EXPECT_FALSE(store.ChangedSinceLoad());
    const ino_t nNewInode = InodeOf(dir);
    store.FindGame(L"G1-P01")->m_nHighestEventId = 12;
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(InodeOf(dir), nNewInode);
    store.CloseLocked();

    EXPECT_EQ(LoadEntries(dir), (CEntries{{L"G1-P01", 12}, {L"G2-P01", 20}, {L"G3-P01", 30}}));
}

TEST(GameStoreLimits, AListAboveTheLimitIsRefusedUnreadAndNeverSaved)
{
    struct SCase
    {
        const char* pszName;
        off_t nSize;
        bool bLoads;
    };
    // A sparse file of zeros: header version 0 and no games, then a tail of zeros.
    const SCase cases[] = {
        {"at the limit", static_cast<off_t>(kMaxGameListBytes), true},
        {"one byte above", static_cast<off_t>(kMaxGameListBytes) + 1, false},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        dir.Write(kDataFile, "");
        ASSERT_EQ(::truncate(dir.File(kDataFile).c_str(), c.nSize), 0);

        CPBEMGameStore store;
        store.SetFilePath(DataPath(dir));
        ASSERT_TRUE(store.OpenLocked());
        EXPECT_EQ(store.Load(), c.bLoads);
        EXPECT_EQ(store.IsLocked(), c.bLoads) << "a refused file is let go";
        store.CloseLocked();

        if (c.bLoads)
            continue;
        int nCalls = 0;
        EXPECT_EQ(RunStoreTransaction([&](CPBEMGameStore&) { ++nCalls; },
                                      std::chrono::milliseconds(10), DataPath(dir)),
                  ETransactionResult::Unreadable);
        EXPECT_EQ(nCalls, 0);
        struct stat st = {};
        ASSERT_EQ(::stat(dir.File(kDataFile).c_str(), &st), 0);
        EXPECT_EQ(st.st_size, c.nSize);
    }
}

// The sanitizers' allocators reserve more address space than any limit allows, and report
// running out instead of throwing.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZORVEX_NO_ADDRESS_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZORVEX_NO_ADDRESS_LIMIT 1
#endif
#endif

TEST(GameStoreLimits, NoMemoryForTheListIsAFailedLoadNotAnAbort)
{
#ifdef ZORVEX_NO_ADDRESS_LIMIT
    GTEST_SKIP() << "a sanitizer's allocator cannot run under an address-space limit";
#else
    CTempDir dir;
    dir.Write(kDataFile, "");
    ASSERT_EQ(::truncate(dir.File(kDataFile).c_str(), static_cast<off_t>(kMaxGameListBytes)), 0);

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
    {
        // Room for what the process has, and 16 MiB more: not for the file. Memory that earlier
        // tests freed goes back first, so that it cannot hold the file either.
        ::malloc_trim(0);
        long nPages = 0;
        if (FILE* pStatm = std::fopen("/proc/self/statm", "r"))
        {
            if (std::fscanf(pStatm, "%ld", &nPages) != 1)
                nPages = 0;
            std::fclose(pStatm);
        }
        const rlim_t nBytes =
            static_cast<rlim_t>(nPages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
        const rlimit limit = {nBytes + 16 * 1024 * 1024, nBytes + 16 * 1024 * 1024};
        if (nPages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(3);
        CPBEMGameStore store;
        store.SetFilePath(DataPath(dir));
        if (!store.OpenLocked())
            ::_exit(4);
        const bool bLoaded = store.Load();
        ::_exit(!bLoaded && !store.IsLocked() ? 0 : 1);
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
    ASSERT_TRUE(WIFEXITED(nStatus)) << "the load ended the process";
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
#endif
}
