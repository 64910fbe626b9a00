#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"

#include "base/Paths.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

// The escaped record of an event of gameId: "Even", one byte, the game id, then nothing more,
// which is enough to be readable.
std::string RecordOf(std::wstring_view gameId)
{
    std::string record = "Even";
    record += '\x01';
    for (const wchar_t c : gameId)
    {
        record += static_cast<char>(c);
        record += '\0';
    }
    record += std::string(2, '\0');
    record += "padding";
    return EscapeEventText(record);
}

class EventScanTest : public ::testing::Test
{
protected:
    void AddEntry(const std::wstring& playerId)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = playerId;
        m_manager.m_store.m_listGames.push_back(std::move(pGame));
    }
    void WriteEvent(const std::string& name, const std::string& bytes) const
    {
        m_temp.Write("PBEM/" + name, bytes);
    }
    std::vector<std::wstring> FoundNames() const
    {
        std::vector<std::wstring> names;
        for (const auto& pEvent : m_manager.m_listNewEvents)
            names.push_back(pEvent->m_strFileName);
        return names;
    }

    CTempDir m_temp;
    const CInstallFolderScope m_installFolder{m_temp.WidePath()};
    CPBEMMessageManager m_manager;
};

} // namespace

TEST_F(EventScanTest, LoadsOnlyFilesOfKnownEntriesWithTheIdFromTheName)
{
    WriteEvent("G7-P02-12.event", RecordOf(L"G7"));
    WriteEvent("G7-P03-13.event", RecordOf(L"G7"));

    m_manager.ScanEventFiles();
    EXPECT_TRUE(m_manager.m_listNewEvents.empty());

    AddEntry(L"G7-P02");
    m_manager.ScanEventFiles();
    ASSERT_EQ(FoundNames(), std::vector<std::wstring>{L"G7-P02-12.event"});
    CPBEMGameEvent& event = *m_manager.m_listNewEvents.front();
    EXPECT_EQ(event.m_strGameId, L"G7");
    EXPECT_EQ(event.m_nEventId, 12u);
    EXPECT_TRUE(event.m_strRaw.empty());
    // Taking it over later must not write it again.
    EXPECT_EQ(WriteEventFile(event), L"");
    // Files of unknown entries are left where they are.
    EXPECT_TRUE(std::filesystem::exists(m_temp.File("PBEM/G7-P03-13.event")));
}

TEST_F(EventScanTest, SkipsFoldersOtherNamesAndUnreadableRecords)
{
    AddEntry(L"G7-P02");
    std::filesystem::create_directories(m_temp.File("PBEM/G7-P02-1.event"));
    std::filesystem::create_directories(m_temp.File("elsewhere"));
    std::filesystem::create_directory_symlink(m_temp.File("elsewhere"),
                                              m_temp.File("PBEM/G7-P02-2.event"));
    WriteEvent("G7-P02-3.EVENT", RecordOf(L"G7"));
    WriteEvent("G7-P02-4.event.bak", RecordOf(L"G7"));
    WriteEvent("G7-P02-5.event", RecordOf(L"G7").substr(0, 10));
    WriteEvent("G7-P02-6.event", "Odd!" + RecordOf(L"G7").substr(4));
    WriteEvent("G7-P02-7.event", RecordOf(L"G7"));

    m_manager.ScanEventFiles();
    EXPECT_EQ(FoundNames(), std::vector<std::wstring>{L"G7-P02-7.event"});
    EXPECT_TRUE(std::filesystem::exists(m_temp.File("PBEM/G7-P02-5.event")));
}

TEST_F(EventScanTest, OrdersByEntryThenOldestFirstAndAppends)
{
    AddEntry(L"G7-P02");
    AddEntry(L"G5-P00");
    m_manager.m_listNewEvents.push_back(std::make_unique<CPBEMGameEvent>());
    for (const std::string name :
         {"G7-P02-100.event", "G7-P02-9.event", "G5-P00-3.event", "G7-P02-12.event"})
        WriteEvent(name, RecordOf(name.substr(0, 2) == "G7" ? L"G7" : L"G5"));

    m_manager.ScanEventFiles();
    const std::vector<std::wstring> expected = {L"", L"G5-P00-3.event", L"G7-P02-9.event",
                                                L"G7-P02-12.event", L"G7-P02-100.event"};
    EXPECT_EQ(FoundNames(), expected);
}

TEST_F(EventScanTest, FindsTheFolderInAnyCaseAndToleratesItsAbsence)
{
    AddEntry(L"G7-P02");
    m_manager.ScanEventFiles();
    EXPECT_TRUE(m_manager.m_listNewEvents.empty());

    m_temp.Write("pbem/G7-P02-12.event", RecordOf(L"G7"));
    m_manager.ScanEventFiles();
    EXPECT_EQ(FoundNames(), std::vector<std::wstring>{L"G7-P02-12.event"});
}

// A writer killed before it named its file leaves a temporary file: never an event, and removed
// once its writer is gone, but not under a writer that still runs.
TEST_F(EventScanTest, RemovesOnlyLeftoverTemporaryFilesAndNeverReadsThem)
{
    AddEntry(L"G7-P02");
    WriteEvent("G7-P02-7.event", RecordOf(L"G7"));
    const std::string self = std::to_string(::getpid());
    const struct
    {
        std::string name;
        bool bKept;
    } cases[] = {
        {".event-write-999999999-1.tmp", false},      // no such process
        {".event-write-" + self + "-900.tmp", true},  // a writer that runs
        {".event-write-" + self + "-901.tmp", false}, // ... but far too old for a write
        {".event-write-1-5.tmp", true},
        {".event-write-0-1.tmp", true}, // no pid: not ours
        {".event-write-x-1.tmp", true},
        {".event-write-999999999-1.tmp.bak", true},
        {"event-write-999999999-1.tmp", true},
    };
    for (const auto& c : cases)
        WriteEvent(c.name, RecordOf(L"G7"));
    std::filesystem::create_directory(m_temp.File("PBEM/.event-write-999999999-2.tmp"));
    std::filesystem::last_write_time(m_temp.File("PBEM/.event-write-" + self + "-901.tmp"),
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::hours(1));

    m_manager.ScanEventFiles();
    EXPECT_EQ(FoundNames(), std::vector<std::wstring>{L"G7-P02-7.event"});
    for (const auto& c : cases)
        EXPECT_EQ(std::filesystem::exists(m_temp.File("PBEM/" + c.name)), c.bKept) << c.name;
    EXPECT_TRUE(std::filesystem::is_directory(m_temp.File("PBEM/.event-write-999999999-2.tmp")));
}

// A Linux folder name is bytes: an installation below a name that is not UTF-8 still works.
TEST_F(EventScanTest, WritesAndFindsEventsBelowAFolderNamedWithInvalidUtf8)
{
    const std::string install = m_temp.File("Caf\xe9 \xff\xfe");
    std::filesystem::create_directories(install + "/PBEM");
    const CInstallFolderScope installFolder(FromNativePath(install));
    AddEntry(L"G7-P02");

    CPBEMGameEvent event;
    event.m_strGameId = L"G7";
    event.m_nPlayer = 2;
    event.m_nEventId = 12;
    event.m_strRaw = RecordOf(L"G7");
    EXPECT_EQ(WriteEventFileChecked(event), EWriteEvent::Written);
    EXPECT_EQ(m_temp.Read("Caf\xe9 \xff\xfe/PBEM/G7-P02-12.event"), event.m_strRaw);
    EXPECT_TRUE(SyncEventFolder());
    m_temp.Write("Caf\xe9 \xff\xfe/PBEM/.event-write-999999999-3.tmp", "left");

    m_manager.ScanEventFiles();
    EXPECT_EQ(FoundNames(), std::vector<std::wstring>{L"G7-P02-12.event"});
    EXPECT_EQ(m_manager.m_listNewEvents.front()->m_strGameId, L"G7");
    EXPECT_FALSE(std::filesystem::exists(install + "/PBEM/.event-write-999999999-3.tmp"));
}

// The writer never makes a name that is not UTF-8, so such a file is no event of a game entry.
TEST_F(EventScanTest, SkipsEventNamesThatAreNotUtf8)
{
    AddEntry(FromNativePath("G7\xff-P02"));
    WriteEvent("G7\xff-P02-3.event", RecordOf(L"G7"));
    m_manager.ScanEventFiles();
    EXPECT_TRUE(m_manager.m_listNewEvents.empty());
}
