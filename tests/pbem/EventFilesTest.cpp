#include "pbem/EventFiles.h"

#include "base/Paths.h"
#include "support/FileSizeLimit.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace
{

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

void PutInt32(std::string& out, std::int32_t n)
{
    const auto u = static_cast<std::uint32_t>(n);
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((u >> shift) & 0xFF);
}

void PutWide(std::string& out, std::wstring_view text)
{
    for (const wchar_t c : text)
    {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    out += Bytes({0, 0});
}

// An unescaped event record, with the offset at which each field ends.
struct SRecord
{
    std::string bytes;
    std::vector<std::size_t> fieldEnds; // game id, from, shared, player, kind, text, S, C, data
};

SRecord MakeRecord(std::wstring_view gameId, std::int32_t nFrom, bool bShared, std::int32_t nPlayer,
                   std::string_view kind, std::wstring_view text, std::int32_t nSize,
                   std::int32_t nCount, std::string_view data)
{
    SRecord r;
    r.bytes = "Even";
    r.bytes += '\x07';
    PutWide(r.bytes, gameId);
    r.fieldEnds.push_back(r.bytes.size());
    PutInt32(r.bytes, nFrom);
    r.fieldEnds.push_back(r.bytes.size());
    r.bytes += static_cast<char>(bShared ? 1 : 0);
    r.fieldEnds.push_back(r.bytes.size());
    PutInt32(r.bytes, nPlayer);
    r.fieldEnds.push_back(r.bytes.size());
    r.bytes += kind;
    r.bytes += '\0';
    r.fieldEnds.push_back(r.bytes.size());
    PutWide(r.bytes, text);
    r.fieldEnds.push_back(r.bytes.size());
    PutInt32(r.bytes, nSize);
    r.fieldEnds.push_back(r.bytes.size());
    PutInt32(r.bytes, nCount);
    r.fieldEnds.push_back(r.bytes.size());
    r.bytes += data;
    r.fieldEnds.push_back(r.bytes.size());
    return r;
}

std::string DataOf(const CPBEMGameEvent& event)
{
    return std::string(reinterpret_cast<const char*>(event.m_pData.get()),
                       static_cast<std::size_t>(event.m_nDataSize));
}

// Every path below root, to show that nothing was created anywhere.
std::set<std::string> ListTree(const std::string& root)
{
    std::set<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        paths.insert(entry.path().string());
    return paths;
}

} // namespace

TEST(EventEscape, UnescapesTheTableAndOddPairs)
{
    struct SCase
    {
        std::string escaped;
        std::string expected;
    };
    const SCase cases[] = {
        {Bytes({0x41, 0x1E, 0x3D, 0x42, 0x1F, 0x1E, 0x1E, 0x1E, 0x1F, 0x43}),
         Bytes({0x41, 0x3C, 0x42, 0x00, 0x1E, 0x1F, 0x43})},
        {Bytes({0x1E, 0x3F}), ">"},
        {"", ""},
        // A pair with another second byte gives that byte.
        {Bytes({0x1E, 0x41, 0x1E, 0x00}), Bytes({0x41, 0x00})},
        // A prefix with nothing after it stands for itself.
        {Bytes({0x41, 0x1E}), Bytes({0x41, 0x1E})},
        {Bytes({0x1E}), Bytes({0x1E})},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(UnescapeEventText(c.escaped), c.expected);
}

TEST(EventEscape, RoundTripsEveryByteAndAvoidsTheReservedOnes)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    all += Bytes({0x1E, 0x1E, 0x1F, 0x3C, 0x00, 0x00, 0x3E, 0x1E});
    const std::string escaped = EscapeEventText(all);
    EXPECT_EQ(escaped.find('<'), std::string::npos);
    EXPECT_EQ(escaped.find('>'), std::string::npos);
    EXPECT_EQ(escaped.find('\0'), std::string::npos);
    EXPECT_EQ(UnescapeEventText(escaped), all);
}

TEST(EventNames, FileNameAndKey)
{
    struct SCase
    {
        bool bShared;
        std::int32_t nPlayer;
        std::uint32_t nEventId;
        std::wstring fileName;
        std::wstring key;
    };
    const SCase cases[] = {
        {true, 3, 1057, L"G12-P00-1057.event", L"G12-P00"},
        {false, 3, 1057, L"G12-P03-1057.event", L"G12-P03"},
        {false, 12, 0, L"G12-P12-0.event", L"G12-P12"},
        // Printed signed, as the game program names them.
        {false, 3, 3000000000u, L"G12-P03--1294967296.event", L"G12-P03"},
    };
    for (const SCase& c : cases)
    {
        CPBEMGameEvent event;
        event.m_strGameId = L"G12";
        event.m_bShared = c.bShared;
        event.m_nPlayer = c.nPlayer;
        event.m_nEventId = c.nEventId;
        EXPECT_EQ(MakeEventFileName(event), c.fileName);
        EXPECT_EQ(GetEventKey(event), c.key);

        std::uint32_t nId = 7;
        EXPECT_EQ(SplitEventFileName(c.fileName, nId), c.key);
        EXPECT_EQ(nId, c.nEventId) << c.fileName;
    }
}

TEST(EventNames, SplitsOnlyEventNames)
{
    struct SCase
    {
        std::wstring name;
        std::wstring playerId;
        std::uint32_t nEventId; // 99: left unchanged
    };
    const SCase cases[] = {
        {L"G12-P03-1057.event", L"G12-P03", 1057},
        {L"G-1-P00-5.event", L"G-1-P00", 5},
        {L"G12-P03-12x.event", L"G12-P03", 12},
        {L"G12-P03-.event", L"G12-P03", 0},
        {L"G12-P03-1057.Event", L"", 99},
        {L"G12-P03-1057.event.bak", L"", 99},
        {L"nohyphen.event", L"", 99},
        {L".event", L"", 99},
        {L"", L"", 99},
    };
    for (const SCase& c : cases)
    {
        std::uint32_t nId = 99;
        EXPECT_EQ(SplitEventFileName(c.name, nId), c.playerId) << c.name;
        EXPECT_EQ(nId, c.nEventId) << c.name;
    }
}

TEST(EventRecord, ParsesAHandWrittenRecord)
{
    // Game "G7", from player 2, not shared, player 4, kind "IM", text "Hi", 3 data bytes that
    // all need escaping.
    const std::string record =
        Bytes({0x45, 0x76, 0x65, 0x6E, 0x09, 0x47, 0x00, 0x37, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00,
               0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x49, 0x4D, 0x00, 0x48, 0x00, 0x69, 0x00, 0x00,
               0x00, 0x03, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x3C, 0x00, 0x3E});
    CPBEMGameEvent event;
    ParseEventRecord(EscapeEventText(record), event, true);
    EXPECT_EQ(event.m_strGameId, L"G7");
    EXPECT_EQ(event.m_nFromPlayer, 2);
    EXPECT_FALSE(event.m_bShared);
    EXPECT_EQ(event.m_nPlayer, 4);
    EXPECT_EQ(event.m_strKind, "IM");
    EXPECT_EQ(event.m_strText, L"Hi");
    EXPECT_EQ(DataOf(event), Bytes({0x3C, 0x00, 0x3E}));

    CPBEMGameEvent withoutData;
    ParseEventRecord(EscapeEventText(record), withoutData, false);
    EXPECT_EQ(withoutData.m_strText, L"Hi");
    EXPECT_EQ(withoutData.m_pData, nullptr);
    EXPECT_EQ(withoutData.m_nDataSize, 0);
}

TEST(EventRecord, OtherMagicOrEmptyTextLeavesTheEvent)
{
    SRecord r = MakeRecord(L"G7", 2, true, 4, "IM", L"Hi", 0, 0, "");
    r.bytes[3] = 'N';
    for (const std::string& text : {EscapeEventText(r.bytes), std::string(), std::string("Eve")})
    {
        CPBEMGameEvent event;
        ParseEventRecord(text, event, true);
        EXPECT_TRUE(event.m_strGameId.empty());
        EXPECT_FALSE(event.m_bShared);
        EXPECT_EQ(event.m_pData, nullptr);
    }
}

// Cut after every byte: the fields that ended before the cut are read, the others keep their
// initial values, and nothing is read past the end.
TEST(EventRecord, TruncatedAtEveryLength)
{
    const SRecord r = MakeRecord(L"G7", 2, true, 4, "IM", L"Hi", 3, 3, "abc");
    for (std::size_t n = 0; n <= r.bytes.size(); ++n)
    {
        SCOPED_TRACE(n);
        CPBEMGameEvent event;
        ParseEventRecord(EscapeEventText(r.bytes.substr(0, n)), event, true);
        auto reached = [&](int field) { return n >= r.fieldEnds[field]; };
        EXPECT_EQ(event.m_strGameId, reached(0) ? L"G7" : L"");
        EXPECT_EQ(event.m_nFromPlayer, reached(1) ? 2 : 0);
        EXPECT_EQ(event.m_bShared, reached(2));
        EXPECT_EQ(event.m_nPlayer, reached(3) ? 4 : 0);
        EXPECT_EQ(event.m_strKind, reached(4) ? "IM" : "");
        EXPECT_EQ(event.m_strText, reached(5) ? L"Hi" : L"");
        if (!reached(6))
        {
            EXPECT_EQ(event.m_pData, nullptr);
        }
        // The block holds only the data bytes that came with the record.
        const std::size_t nData = reached(7) ? n - r.fieldEnds[7] : 0;
        EXPECT_EQ(static_cast<std::size_t>(event.m_nDataSize), nData);
        EXPECT_EQ(DataOf(event), std::string("abc").substr(0, nData));
    }
}

TEST(EventRecord, DataSizeAndCountAreCutToWhatCame)
{
    struct SCase
    {
        std::int32_t nSize;
        std::int32_t nCount;
        std::string data;
        std::string expected;
    };
    const SCase cases[] = {
        {3, 3, "abc", "abc"},
        {5, 2, "ab", "ab"},                      // size beyond the record
        {4, 2, "abcd", Bytes({'a', 'b', 0, 0})}, // fewer copied than the block holds
        {2, 5, "abcde", "ab"},                   // count beyond the size
        {-1, 3, "abc", ""},
        {0x7FFFFFFF, 0x7FFFFFFF, "xy", "xy"}, // no allocation of what the record only claims
        {3, -5, "abc", Bytes({0, 0, 0})},
        {3, 0, "abc", Bytes({0, 0, 0})},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.nSize);
        const SRecord r = MakeRecord(L"G7", 0, false, 1, "Mail", L"", c.nSize, c.nCount, c.data);
        CPBEMGameEvent event;
        ParseEventRecord(EscapeEventText(r.bytes), event, true);
        EXPECT_EQ(DataOf(event), c.expected);
    }
}

class EventFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The installation two levels down, so that an escape upwards stays inside the temp folder.
        m_strInstall = m_temp.File("a/install");
        std::filesystem::create_directories(m_strInstall + "/PBEM");
        m_installFolder.emplace(std::filesystem::path(m_strInstall).wstring());
    }

    std::string PbemFile(const std::string& name) const { return m_strInstall + "/PBEM/" + name; }
    std::wstring PbemPath(const std::string& name) const
    {
        return std::filesystem::path(PbemFile(name)).wstring();
    }
    std::string ReadFile(const std::string& name) const
    {
        return m_temp.Read("a/install/PBEM/" + name);
    }
    void WriteFile(const std::string& name, const std::string& bytes) const
    {
        m_temp.Write("a/install/PBEM/" + name, bytes);
    }
    // Every name in the PBEM folder, temporary files included.
    std::set<std::string> PbemNames() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_strInstall + "/PBEM"))
            names.insert(entry.path().filename().string());
        return names;
    }

    static CPBEMGameEvent ServerEvent(std::wstring gameId, std::uint32_t nId)
    {
        CPBEMGameEvent event;
        event.m_strGameId = std::move(gameId);
        event.m_nPlayer = 3;
        event.m_nEventId = nId;
        event.m_strRaw = EscapeEventText(
            MakeRecord(L"G12", 1, false, 3, "Mail", L"Hello <there>", 2, 2, "\x01\x02").bytes);
        return event;
    }

    CTempDir m_temp;
    std::string m_strInstall;
    std::optional<CInstallFolderScope> m_installFolder;
};

TEST_F(EventFileTest, RecordOfMoreThanTenBytesIsParsed)
{
    // "Even", one byte, the game id "G": nine bytes; one or two more follow.
    const std::string head = Bytes({0x45, 0x76, 0x65, 0x6E, 0x01, 0x47, 0x1F, 0x1F, 0x1F});
    WriteFile("G-P00-4.event", head + "x");
    WriteFile("G-P00-5.event", head + "xy");

    CPBEMGameEvent ten;
    ReadEventFile(PbemPath("G-P00-4.event"), ten);
    EXPECT_TRUE(ten.m_strGameId.empty());
    EXPECT_EQ(ten.m_nEventId, 0u);
    EXPECT_EQ(ten.m_strFileName, L"G-P00-4.event");

    CPBEMGameEvent eleven;
    eleven.m_nEventId = 99;
    ReadEventFile(PbemPath("G-P00-5.event"), eleven);
    EXPECT_EQ(eleven.m_strGameId, L"G");
    EXPECT_EQ(eleven.m_nEventId, 5u);
    EXPECT_EQ(eleven.m_strFileName, L"G-P00-5.event");
    EXPECT_TRUE(eleven.m_strRaw.empty());
}

TEST_F(EventFileTest, ReadStopsAtAZeroByteAndTakesTheIdOnlyFromEventNames)
{
    const std::string raw = ServerEvent(L"G12", 0).m_strRaw;
    WriteFile("G12-P03-8.event", raw + std::string(1, '\0') + "junk");
    WriteFile("G12-P03-9.txt", raw);

    CPBEMGameEvent event;
    ReadEventFile(PbemPath("G12-P03-8.event"), event);
    EXPECT_EQ(event.m_strText, L"Hello <there>");
    EXPECT_EQ(DataOf(event), "\x01\x02");
    EXPECT_EQ(event.m_nEventId, 8u);

    CPBEMGameEvent other;
    other.m_nEventId = 77;
    ReadEventFile(PbemPath("G12-P03-9.txt"), other);
    EXPECT_EQ(other.m_strGameId, L"G12");
    EXPECT_EQ(other.m_nEventId, 77u);
    EXPECT_EQ(other.m_strFileName, L"G12-P03-9.txt");
}

TEST_F(EventFileTest, UnreadablePathLeavesTheEventUntouched)
{
    std::filesystem::create_directory(PbemFile("G12-P03-3.event"));
    for (const std::string name : {"missing.event", "G12-P03-3.event"})
    {
        CPBEMGameEvent event;
        event.m_nEventId = 5;
        ReadEventFile(PbemPath(name), event);
        EXPECT_TRUE(event.m_strFileName.empty()) << name;
        EXPECT_EQ(event.m_nEventId, 5u);
    }
}

TEST_F(EventFileTest, WritesTheRawTextOnceAndReadsItBack)
{
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    const std::wstring path = WriteEventFile(event);
    EXPECT_EQ(path, PbemPath("G12-P03-1057.event"));
    EXPECT_EQ(event.m_strFileName, L"G12-P03-1057.event");
    EXPECT_EQ(ReadFile("G12-P03-1057.event"), event.m_strRaw);

    // On disk now: a second write does nothing.
    event.m_strRaw = "changed";
    EXPECT_EQ(WriteEventFile(event), L"");
    EXPECT_NE(ReadFile("G12-P03-1057.event"), "changed");

    CPBEMGameEvent loaded;
    ReadEventFile(path, loaded);
    EXPECT_EQ(loaded.m_strGameId, L"G12");
    EXPECT_EQ(loaded.m_nEventId, 1057u);
    EXPECT_EQ(loaded.m_strText, L"Hello <there>");
    // An event that came from a file is never written again.
    EXPECT_EQ(WriteEventFile(loaded), L"");
}

// The result says whether the event is on disk, also for an event that has its name already.
TEST_F(EventFileTest, EventWithAFileNameIsNotWrittenAgainButChecked)
{
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    ASSERT_EQ(WriteEventFileChecked(event), EWriteEvent::Written);
    EXPECT_EQ(WriteEventFileChecked(event), EWriteEvent::AlreadyStored);

    CPBEMGameEvent loaded; // read from the file: no raw text
    ReadEventFile(PbemPath("G12-P03-1057.event"), loaded);
    EXPECT_EQ(WriteEventFileChecked(loaded), EWriteEvent::AlreadyStored);

    WriteFile("G12-P03-1057.event", "");
    EXPECT_EQ(WriteEventFileChecked(event), EWriteEvent::Failed);
    EXPECT_EQ(ReadFile("G12-P03-1057.event"), "");
    std::filesystem::remove(PbemFile("G12-P03-1057.event"));
    EXPECT_EQ(WriteEventFileChecked(loaded), EWriteEvent::Failed);
}

TEST_F(EventFileTest, FileHoldingTheSameRecordIsNotRewritten)
{
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    WriteFile("G12-P03-1057.event", event.m_strRaw);
    struct stat before = {};
    ASSERT_EQ(::stat(PbemFile("G12-P03-1057.event").c_str(), &before), 0);

    EXPECT_EQ(WriteEventFileChecked(event), EWriteEvent::AlreadyStored);
    EXPECT_EQ(event.m_strFileName, L"G12-P03-1057.event");
    CPBEMGameEvent again = ServerEvent(L"G12", 1057);
    EXPECT_EQ(WriteEventFile(again), L""); // nothing written

    struct stat after = {};
    ASSERT_EQ(::stat(PbemFile("G12-P03-1057.event").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(ReadFile("G12-P03-1057.event"), event.m_strRaw);
    EXPECT_EQ(PbemNames(), std::set<std::string>{"G12-P03-1057.event"}); // no temporary file left
}

// What a writer killed midway leaves under the event's name must not count as the stored event:
// the next download would raise the id, and the event would be lost.
TEST_F(EventFileTest, DamagedFileOfTheNameIsReplaced)
{
    const std::string raw = ServerEvent(L"G12", 1057).m_strRaw;
    const std::string other = raw.substr(0, raw.size() - 4) + "junk";
    const struct
    {
        const char* pszWhat;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"cut record", raw.substr(0, raw.size() / 2)},
        {"cut by one byte", raw.substr(0, raw.size() - 1)},
        {"another record",
         EscapeEventText(MakeRecord(L"G12", 2, true, 0, "IM", L"x", 0, 0, "").bytes)},
        {"same length, other bytes", other},
        {"record and more", raw + "more"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        WriteFile("G12-P03-1057.event", c.bytes);
        CPBEMGameEvent event = ServerEvent(L"G12", 1057);
        EXPECT_EQ(WriteEventFileChecked(event), EWriteEvent::Written);
        EXPECT_EQ(event.m_strFileName, L"G12-P03-1057.event");
        EXPECT_EQ(ReadFile("G12-P03-1057.event"), raw);
        EXPECT_EQ(PbemNames(), std::set<std::string>{"G12-P03-1057.event"});

        CPBEMGameEvent loaded;
        ReadEventFile(PbemPath("G12-P03-1057.event"), loaded);
        EXPECT_EQ(loaded.m_strText, L"Hello <there>");
    }
    // The path-returning form reports the replacement as a write.
    WriteFile("G12-P03-1057.event", "");
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    EXPECT_EQ(WriteEventFile(event), PbemPath("G12-P03-1057.event"));
    EXPECT_EQ(ReadFile("G12-P03-1057.event"), raw);
}

TEST_F(EventFileTest, FolderOrPipeOfTheNameIsNoStoredEvent)
{
    std::filesystem::create_directory(PbemFile("G12-P03-1.event"));
    ASSERT_EQ(::mkfifo(PbemFile("G12-P03-2.event").c_str(), 0600), 0);
    for (const std::uint32_t nId : {1u, 2u})
    {
        SCOPED_TRACE(nId);
        CPBEMGameEvent event = ServerEvent(L"G12", nId);
        EXPECT_EQ(WriteEventFileChecked(event), EWriteEvent::Failed);
    }
    EXPECT_TRUE(std::filesystem::is_directory(PbemFile("G12-P03-1.event")));
    EXPECT_TRUE(std::filesystem::is_fifo(PbemFile("G12-P03-2.event")));
    EXPECT_EQ(PbemNames(), (std::set<std::string>{"G12-P03-1.event", "G12-P03-2.event"}));
}

TEST_F(EventFileTest, NamesKeepTheirCaseInAFolderOfAnotherCase)
{
    // Game ids compare by exact case, so g12's file is not G12's; the folder's case does not
    // matter.
    std::filesystem::rename(m_strInstall + "/PBEM", m_strInstall + "/pbem");
    m_temp.Write("a/install/pbem/g12-p03-1057.event", "old");
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    EXPECT_EQ(WriteEventFile(event), FromNativePath(m_strInstall + "/pbem/G12-P03-1057.event"));
    EXPECT_EQ(m_temp.Read("a/install/pbem/g12-p03-1057.event"), "old");
}

TEST_F(EventFileTest, WritesUnderAGivenName)
{
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    event.m_strFileName = L"already.event"; // a given name does not look at it
    EXPECT_EQ(WriteEventFile(event, L"Other-P01-2.event"), PbemPath("Other-P01-2.event"));
    EXPECT_EQ(event.m_strFileName, L"Other-P01-2.event");
    EXPECT_EQ(ReadFile("Other-P01-2.event"), event.m_strRaw);
}

TEST_F(EventFileTest, UnsafeNamesWriteNothingAnywhere)
{
    const std::set<std::string> before = ListTree(m_temp.Path());
    const std::wstring ids[] = {
        L"",        L".",         L"..",
        L"../../x", L"../../..",  L"a/b",
        L"a\\b",    L"..\\..\\x", std::wstring(L"a\0b", 3),
        L"a\x01",   L"a\x7F",     L"\n",
    };
    for (const std::wstring& id : ids)
    {
        CPBEMGameEvent event = ServerEvent(id, 1);
        EXPECT_FALSE(IsSafeGameId(id));
        EXPECT_EQ(WriteEventFile(event), L"");
        EXPECT_TRUE(event.m_strFileName.empty());
    }
    const std::wstring names[] = {L"../../evil.event",
                                  L"a\\b.event",
                                  L".",
                                  L"..",
                                  std::wstring(L"x\0y.event", 9),
                                  std::wstring(L"x.event\0/../../y", 16)};
    for (const std::wstring& name : names)
    {
        CPBEMGameEvent event = ServerEvent(L"G12", 1);
        EXPECT_EQ(WriteEventFile(event, name), L"");
    }
    EXPECT_EQ(ListTree(m_temp.Path()), before);
    for (const wchar_t* id : {L"G12", L"Game .x", L"...", L"Zürich"})
        EXPECT_TRUE(IsSafeGameId(id));
}

TEST_F(EventFileTest, FailedCreateReturnsEmpty)
{
    std::filesystem::remove(m_strInstall + "/PBEM");
    m_temp.Write("a/install/PBEM", "not a folder");
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    EXPECT_EQ(WriteEventFile(event), L"");
    // No name: the event is not on disk, and a later write tries again.
    EXPECT_EQ(event.m_strFileName, L"");
}

TEST_F(EventFileTest, ReadOnlyFolderReturnsEmpty)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    ASSERT_EQ(::chmod((m_strInstall + "/PBEM").c_str(), 0555), 0);
    CPBEMGameEvent event = ServerEvent(L"G12", 1057);
    EXPECT_EQ(WriteEventFile(event), L"");
    EXPECT_FALSE(std::filesystem::exists(PbemFile("G12-P03-1057.event")));
}

TEST_F(EventFileTest, FailedWriteLeavesNoPartialFile)
{
    std::wstring path;
    EWriteEvent eOver;
    {
        // A file size limit makes the write stop midway, for root too.
        const CFileSizeLimit limit(8);
        CPBEMGameEvent event = ServerEvent(L"G12", 1057);
        path = WriteEventFile(event);
        // Over a cut file of the name the write fails too, and the cut file stays no stored
        // event.
        WriteFile("G12-P03-1058.event", "Even");
        CPBEMGameEvent over = ServerEvent(L"G12", 1058);
        eOver = WriteEventFileChecked(over);
    }
    EXPECT_EQ(path, L"");
    EXPECT_FALSE(std::filesystem::exists(PbemFile("G12-P03-1057.event")));
    EXPECT_EQ(eOver, EWriteEvent::Failed);
    EXPECT_EQ(ReadFile("G12-P03-1058.event"), "Even");
    // No temporary file is left behind either.
    EXPECT_EQ(PbemNames(), std::set<std::string>{"G12-P03-1058.event"});
}

// UTF-16 game ids may hold lone surrogates, which UTF-8 cannot carry: two ids that differ only in
// them would share one file name, and the second game's event would be taken as stored.
TEST_F(EventFileTest, IdsThatDoNotSurviveUtf8GiveNoFile)
{
    const std::set<std::string> before = ListTree(m_temp.Path());
    const std::wstring ids[] = {
        L"G" + std::wstring(1, wchar_t(0xD800)),
        L"G" + std::wstring(1, wchar_t(0xDBFF)),
        // What a lossless name conversion makes of byte 0xE9: still no id of a file.
        L"Caf" + std::wstring(1, wchar_t(0xDCE9)),
        L"G" + std::wstring(1, wchar_t(0x110000)),
    };
    for (const std::wstring& id : ids)
    {
        SCOPED_TRACE(ToNativePath(id));
        EXPECT_FALSE(IsSafeGameId(id));
        CPBEMGameEvent event = ServerEvent(id, 1);
        EXPECT_EQ(WriteEventFileChecked(event), EWriteEvent::Unsafe);
        EXPECT_TRUE(event.m_strFileName.empty());
        // A given name is held to the same rule.
        CPBEMGameEvent named = ServerEvent(L"G12", 1);
        EXPECT_EQ(WriteEventFileChecked(named, id + L"-P03-1.event"), EWriteEvent::Unsafe);
    }
    EXPECT_EQ(ListTree(m_temp.Path()), before);
    // A surrogate pair is a character like any other.
    CPBEMGameEvent emoji = ServerEvent(L"G\x1F600", 1);
    EXPECT_EQ(WriteEventFileChecked(emoji), EWriteEvent::Written);
    EXPECT_EQ(ReadFile("G\xf0\x9f\x98\x80-P03-1.event"), emoji.m_strRaw);
}

// The answer's size cap, 64 MiB, bounds an event; a larger file is refused without being read into
// memory.
TEST_F(EventFileTest, FileLargerThanAnAnswerIsNotRead)
{
    constexpr std::uint64_t k64MiB = 64ull * 1024 * 1024;
    const std::string raw = ServerEvent(L"G12", 0).m_strRaw;
    const struct
    {
        const char* pszName;
        std::uint64_t nSize;
        std::uint32_t nExpectedId; // 77: refused, the event untouched
    } cases[] = {
        {"G12-P03-1.event", k64MiB, 1},
        {"G12-P03-2.event", k64MiB + 1, 77},
        {"G12-P03-3.event", 65ull * 1024 * 1024 + 1, 77},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        // A record, then zeros to the size: sparse, so the test stays fast.
        WriteFile(c.pszName, raw);
        ASSERT_EQ(::truncate(PbemFile(c.pszName).c_str(), static_cast<off_t>(c.nSize)), 0);
        CPBEMGameEvent event;
        event.m_nEventId = 77;
        ReadEventFile(PbemPath(c.pszName), event);
        const bool bRead = c.nExpectedId != 77;
        EXPECT_EQ(event.m_strGameId, bRead ? L"G12" : L"");
        EXPECT_EQ(event.m_strFileName, bRead ? FromNativePath(c.pszName) : L"");
        EXPECT_EQ(event.m_nEventId, c.nExpectedId);
        std::filesystem::remove(PbemFile(c.pszName));
    }
}

TEST_F(EventFileTest, SyncEventFolderNeedsThePbemFolder)
{
    EXPECT_TRUE(SyncEventFolder());
    std::filesystem::remove(m_strInstall + "/PBEM");
    EXPECT_FALSE(SyncEventFolder());
}
