#include "DownloadTestFixture.h"

#include "pbem/EventFiles.h"

#include <utility>
#include <vector>

namespace
{

using EventIds = std::vector<std::pair<std::wstring, std::uint32_t>>;

class ProcessAnswerTest : public CDownloadTest
{
protected:
    EventIds NewEvents() const
    {
        EventIds ids;
        for (const auto& pEvent : m_manager.m_listNewEvents)
            ids.emplace_back(pEvent->m_strGameId, pEvent->m_nEventId);
        return ids;
    }
};

const CPBEMGameEvent kMail12 = ServerEvent(L"G12", 3, L"Hello");
const CPBEMGameEvent kMail13 = ServerEvent(L"G13", 1, L"Hi");

} // namespace

TEST_F(ProcessAnswerTest, ReadsTheOneEventOfTheExampleAndStoresItFirst)
{
    AddEntry(L"G12-P03", 1057, L"pw");
    AddEntry(L"G12-P00", 0);
    // An entry the game program added while we run: its record must survive the write-back.
    AddTo(m_disk, L"G40-P01", 7, L"other").m_nTurn = 9;
    SaveDisk();

    const std::string answer = "SanityCheck-5170382 Version01 PlayerKey 3 abc Event 1058 0  0  "
                               "4 Mail " +
                               CAnswerText::Counted(kMail12.m_strRaw) + "Close Done ";
    EXPECT_EQ(m_manager.ProcessAnswer(answer).eOutcome, EDownloadOutcome::Complete);

    ASSERT_EQ(NewEvents(), (EventIds{{L"G12", 1058u}}));
    const CPBEMGameEvent& event = *m_manager.m_listNewEvents[0];
    EXPECT_EQ(event.m_strText, L"Hello");
    EXPECT_EQ(event.m_strRaw, kMail12.m_strRaw);
    EXPECT_EQ(m_temp.Read("PBEM/G12-P03-1058.event"), kMail12.m_strRaw);
    EXPECT_EQ(Highest(L"G12-P03"), 1058u);

    m_disk.FindGame(L"G12-P03")->m_nHighestEventId = 1058;
    EXPECT_EQ(m_temp.Read("PBEM/PBEM.data"), m_disk.Serialize());
}

TEST_F(ProcessAnswerTest, Grammar)
{
    const std::string kAnswerStart = "SanityCheck-5170382 Version01 ";
    const std::string mail12 = CAnswerText::Counted(kMail12.m_strRaw);
    struct SCase
    {
        const char* pszName;
        std::string answer;
        EDownloadOutcome eOutcome;
        EventIds expected;
    };
    const SCase cases[] = {
        {"empty", "", EDownloadOutcome::NoAnswer, {}},
        {"sanity token without its space", "SanityCheck-5170382", EDownloadOutcome::NoAnswer, {}},
        {"an error page",
         "<html>SanityCheck-5170382 Version01 </html>",
         EDownloadOutcome::NoAnswer,
         {}},
        {"no events", kAnswerStart, EDownloadOutcome::Complete, {}},
        {"wrong version",
         CAnswerText("Version02").Player().Event(5, kMail12).Text(),
         EDownloadOutcome::OtherVersion,
         {}},
        {"no player block",
         kAnswerStart + "Something PlayerKey 1 K Event 5 0  0  4 Mail " + mail12,
         EDownloadOutcome::Complete,
         {}},
        {"several blocks and events",
         CAnswerText()
             .Player("A")
             .Event(5, kMail12)
             .Event(6, kMail12)
             .Player("B")
             .Event(7, kMail13)
             .Text(),
         EDownloadOutcome::Complete,
         {{L"G12", 5u}, {L"G12", 6u}, {L"G13", 7u}}},
        {"a block without events",
         CAnswerText().Player("A").Player("B").Event(7, kMail13).Text(),
         EDownloadOutcome::Complete,
         {{L"G13", 7u}}},
        {"NewGame skipped",
         CAnswerText().Player().Event("5", "NewGame", kMail12.m_strRaw).Event(6, kMail13).Text(),
         EDownloadOutcome::Complete,
         {{L"G13", 6u}}},
        {"ids printed signed",
         CAnswerText().Player().Event("-1", "Mail", kMail12.m_strRaw).Text(),
         EDownloadOutcome::Complete,
         {{L"G12", 4294967295u}}},
        {"unreadable contents still come",
         CAnswerText()
             .Player()
             .Event("5", "Mail", "short")
             .Event("6", "Mail", "not a record at all")
             .Text(),
         EDownloadOutcome::Complete,
         {{L"", 0u}, {L"", 6u}}},
        {"the block's closing token is not examined",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail " + mail12 +
             "PlayerKey PlayerKey 1 B " + "Event 6 0  0  4 Mail " + mail12 + "End Done ",
         EDownloadOutcome::Complete,
         {{L"G12", 5u}, {L"G12", 6u}}},
        {"a block must follow right after the closing token",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail " + mail12 +
             "End Other PlayerKey 1 B " + "Event 6 0  0  4 Mail " + mail12 + "End Done ",
         EDownloadOutcome::Complete,
         {{L"G12", 5u}}},
        // What follows the last event is the server's choice; the transfer tells whether the
        // text arrived whole.
        {"the end of the answer right after a content ends the reading",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail " + mail12.substr(0, mail12.size() - 1),
         EDownloadOutcome::Complete,
         {{L"G12", 5u}}},
        {"the end of the answer after a content's separator ends the reading",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail " + mail12,
         EDownloadOutcome::Complete,
         {{L"G12", 5u}}},
        {"a closing token without its space ends the reading",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail " + mail12 + "End",
         EDownloadOutcome::Complete,
         {{L"G12", 5u}}},
        {"an empty closing token",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail " + mail12 + " PlayerKey 1 B " +
             "Event 6 0  0  4 Mail " + mail12,
         EDownloadOutcome::Complete,
         {{L"G12", 5u}, {L"G12", 6u}}},
        {"answer cut after an event id",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail " + mail12 + "Event 6 ",
         EDownloadOutcome::Incomplete,
         {{L"G12", 5u}}},
        {"answer cut inside a player key",
         kAnswerStart + "PlayerKey 5 AB",
         EDownloadOutcome::Incomplete,
         {}},
        {"negative length",
         CAnswerText()
             .Player()
             .Event(5, kMail12)
             .Raw("Event 6 0  -3 ab 4 Mail ")
             .Event(7, kMail12)
             .Text(),
         EDownloadOutcome::Incomplete,
         {{L"G12", 5u}}},
        {"length not a number",
         CAnswerText()
             .Player()
             .Event(5, kMail12)
             .Raw("Event 6 0  0  four Mail ")
             .Event(7, kMail12)
             .Text(),
         EDownloadOutcome::Incomplete,
         {{L"G12", 5u}}},
        {"content longer than the answer",
         CAnswerText().Player().Event(5, kMail12).Raw("Event 6 0  0  4 Mail 9999 abc ").Text(),
         EDownloadOutcome::Incomplete,
         {{L"G12", 5u}}},
        {"answer cut inside a length",
         kAnswerStart + "PlayerKey 1 A Event 5 0  0  4 Mail 12",
         EDownloadOutcome::Incomplete,
         {}},
        {"bad player key length",
         CAnswerText().Player().Event(5, kMail12).Raw("End PlayerKey x ").Event(6, kMail12).Text(),
         EDownloadOutcome::Incomplete,
         {{L"G12", 5u}}},
    };
    for (const SCase& c : cases)
    {
        CPBEMMessageManager manager;
        EXPECT_EQ(manager.ProcessAnswer(c.answer).eOutcome, c.eOutcome) << c.pszName;
        EventIds ids;
        for (const auto& pEvent : manager.m_listNewEvents)
            ids.emplace_back(pEvent->m_strGameId, pEvent->m_nEventId);
        EXPECT_EQ(ids, c.expected) << c.pszName;
    }
}

TEST_F(ProcessAnswerTest, AnAnswerWithoutEventsLeavesTheGameListAlone)
{
    AddEntry(L"G12-P03", 1057);
    std::filesystem::remove(m_temp.File("PBEM/PBEM.data"));
    EXPECT_EQ(m_manager.ProcessAnswer("SanityCheck-5170382 Version01 ").eOutcome,
              EDownloadOutcome::Complete);
    EXPECT_TRUE(m_manager.m_listNewEvents.empty());
    // Opening it would have created it.
    EXPECT_FALSE(std::filesystem::exists(m_temp.File("PBEM/PBEM.data")));
}

TEST_F(ProcessAnswerTest, StoredEventFilesRaiseNoIds)
{
    // Files found at start-up may be what a cut answer or a crash left: raising the id past them
    // could skip events the server has not sent yet. Only a complete answer raises ids.
    AddEntry(L"G12-P03", 1057);
    AddEntry(L"G12-P00", 10);
    m_temp.Write("PBEM/G12-P03-1100.event", ServerEvent(L"G12", 3, L"old").m_strRaw);
    m_temp.Write("PBEM/G12-P00-20.event", ServerEvent(L"G12", 3, L"", true).m_strRaw);
    m_manager.ScanEventFiles();
    ASSERT_EQ(m_manager.m_listNewEvents.size(), 2u);

    EXPECT_EQ(m_manager.ProcessAnswer("SanityCheck-5170382 Version02 ").eOutcome,
              EDownloadOutcome::OtherVersion);
    EXPECT_EQ(m_manager.ProcessAnswer(CAnswerText().Player().Event(1058, kMail12).Text()).eOutcome,
              EDownloadOutcome::Complete);
    EXPECT_EQ(Highest(L"G12-P03"), 1058u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1058u);
    EXPECT_EQ(Highest(L"G12-P00"), 10u);
    EXPECT_EQ(DiskHighest(L"G12-P00"), 10u);
    EXPECT_TRUE(m_manager.TakeNewEvents().bTookEvents);
    EXPECT_EQ(Highest(L"G12-P03"), 1058u);
    EXPECT_EQ(Highest(L"G12-P00"), 10u);

    // An answer that is not one changes nothing.
    m_manager.m_store.FindGame(L"G12-P03")->m_nHighestEventId = 1;
    EXPECT_EQ(m_manager.ProcessAnswer("SanityCheck-5170382Version01 ").eOutcome,
              EDownloadOutcome::NoAnswer);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1058u);
}

TEST_F(ProcessAnswerTest, AnAnswerCutShortStoresWhatCameAndRaisesNoId)
{
    AddEntry(L"G12-P03", 1057);
    const CPBEMGameEvent e1058 = ServerEvent(L"G12", 3, L"first");
    const CPBEMGameEvent e1059 = ServerEvent(L"G12", 3, L"second");
    const CPBEMGameEvent e1060 = ServerEvent(L"G12", 3, L"third");
    // Ids need not ascend within a block: 1060 comes before the cut, 1058 and 1059 after it.
    const std::string whole =
        CAnswerText().Player().Event(1060, e1060).Event(1058, e1058).Event(1059, e1059).Text();
    // A text that ends between events is cut only when the transfer says so; one that ends inside
    // an event is cut either way.
    const struct
    {
        std::string text;
        std::vector<bool> transfers; // bTransferComplete values under which it counts as cut
    } cuts[] = {
        {whole.substr(0, whole.find("Event 1058")), {false}}, // a reset connection at an event
        {whole.substr(0, whole.find("Event 1058") - 1), {false}},
        {whole.substr(0, whole.find("Event 1058") + 30), {true, false}}, // inside the next event
    };
    for (const auto& [cut, transfers] : cuts)
    {
        SCOPED_TRACE(cut.size());
        for (const bool bTransferComplete : transfers)
        {
            m_manager.m_listNewEvents.clear();
            const SDownloadResult result = m_manager.ProcessAnswer(cut, bTransferComplete);
            EXPECT_EQ(result.eOutcome, EDownloadOutcome::Incomplete);
            EXPECT_EQ(result.nStored, 1);
            EXPECT_FALSE(result.idsSaved.has_value());
            EXPECT_EQ(NewEvents(), (EventIds{{L"G12", 1060u}}));
            EXPECT_EQ(m_temp.Read("PBEM/G12-P03-1060.event"), e1060.m_strRaw);
            EXPECT_EQ(Highest(L"G12-P03"), 1057u);
            EXPECT_EQ(DiskHighest(L"G12-P03"), 1057u);
        }
    }
    // Taking the events over shows them without raising the id in memory either.
    EXPECT_EQ(m_manager.TakeNewEvents().nCount, 1);
    EXPECT_EQ(Highest(L"G12-P03"), 1057u);

    // A whole answer that the transfer reports as failed is not trusted either.
    EXPECT_EQ(m_manager.ProcessAnswer(whole, false).eOutcome, EDownloadOutcome::Incomplete);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1057u);
    m_manager.m_listNewEvents.clear();

    // The next complete answer brings everything again; the stored file is recognised.
    const SDownloadResult result = m_manager.ProcessAnswer(whole);
    EXPECT_EQ(result.eOutcome, EDownloadOutcome::Complete);
    EXPECT_EQ(result.nStored, 3);
    EXPECT_EQ(result.idsSaved, ETransactionResult::Saved);
    EXPECT_EQ(Highest(L"G12-P03"), 1060u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1060u);
    const SNewEventsAnnouncement shown = m_manager.TakeNewEvents();
    EXPECT_EQ(shown.nCount, 2); // 1060 was shown already
    EXPECT_EQ(shown.strText, L"first\nsecond");
}

TEST_F(ProcessAnswerTest, AWholeTransferWithoutClosingTokensRaisesTheIdsOfItsEvents)
{
    AddEntry(L"G12-P03", 1057);
    AddEntry(L"G13-P01", 7);
    const std::string events =
        CAnswerText().Player("A").Event(1058, kMail12).Player("B").Event(9, kMail13).Unclosed();
    const std::string endings[] = {events, events.substr(0, events.size() - 1), events + "End"};
    for (const std::string& answer : endings)
    {
        SCOPED_TRACE(answer.substr(answer.size() - 5));
        m_manager.m_listNewEvents.clear();
        m_manager.m_store.FindGame(L"G12-P03")->m_nHighestEventId = 1057;
        m_manager.m_store.FindGame(L"G13-P01")->m_nHighestEventId = 7;
        SaveDisk();
        std::filesystem::remove(m_temp.File("PBEM/G12-P03-1058.event"));
        std::filesystem::remove(m_temp.File("PBEM/G13-P01-9.event"));

        const SDownloadResult result = m_manager.ProcessAnswer(answer, true);
        EXPECT_EQ(result.eOutcome, EDownloadOutcome::Complete);
        EXPECT_EQ(result.nStored, 2);
        EXPECT_EQ(result.idsSaved, ETransactionResult::Saved);
        EXPECT_EQ(NewEvents(), (EventIds{{L"G12", 1058u}, {L"G13", 9u}}));
        EXPECT_EQ(m_temp.Read("PBEM/G12-P03-1058.event"), kMail12.m_strRaw);
        EXPECT_EQ(m_temp.Read("PBEM/G13-P01-9.event"), kMail13.m_strRaw);
        EXPECT_EQ(DiskHighest(L"G12-P03"), 1058u);
        EXPECT_EQ(DiskHighest(L"G13-P01"), 9u);
    }
}

TEST_F(ProcessAnswerTest, AnAnswerOfAnotherVersionWritesTheWaitingIdsThrough)
{
    AddEntry(L"G12-P03", 1057);
    AddEntry(L"G12-P00", 10);
    // A stored file found at start-up, which raises no id ...
    m_temp.Write("PBEM/G12-P03-1100.event", ServerEvent(L"G12", 3, L"old").m_strRaw);
    m_manager.ScanEventFiles();
    // ... an event of a whole answer that was not taken over yet, which does ...
    auto pCounted = std::make_unique<CPBEMGameEvent>(ServerEvent(L"G12", 3, L"", true));
    pCounted->m_nEventId = 20;
    pCounted->m_bIdCounts = true;
    m_manager.m_listNewEvents.push_back(std::move(pCounted));
    // ... and an id raised in memory whose save failed.
    m_manager.m_store.FindGame(L"G12-P03")->m_nHighestEventId = 1070;

    const SDownloadResult result = m_manager.ProcessAnswer("SanityCheck-5170382 Version02 ");
    EXPECT_EQ(result.eOutcome, EDownloadOutcome::OtherVersion);
    EXPECT_EQ(result.idsSaved, ETransactionResult::Saved);
    EXPECT_EQ(m_manager.m_listNewEvents.size(), 2u);
    EXPECT_TRUE(PbemFileExists("G12-P00-20.event")); // the file before its id
    EXPECT_EQ(Highest(L"G12-P00"), 20u);
    EXPECT_EQ(DiskHighest(L"G12-P00"), 20u);
    EXPECT_EQ(Highest(L"G12-P03"), 1070u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1070u);

    // With nothing waiting, the game list is not opened.
    m_manager.m_listNewEvents.clear();
    std::filesystem::remove(m_temp.File("PBEM/PBEM.data"));
    EXPECT_FALSE(m_manager.ProcessAnswer("SanityCheck-5170382 Version02 ").idsSaved.has_value());
    EXPECT_FALSE(std::filesystem::exists(m_temp.File("PBEM/PBEM.data")));
}

TEST_F(ProcessAnswerTest, NewGameEventsRaiseNothing)
{
    AddEntry(L"G12-P03", 1057);
    EXPECT_EQ(
        m_manager
            .ProcessAnswer(CAnswerText().Player().Event("5000", "NewGame", kMail12.m_strRaw).Text())
            .eOutcome,
        EDownloadOutcome::Complete);
    EXPECT_TRUE(m_manager.m_listNewEvents.empty());
    EXPECT_EQ(Highest(L"G12-P03"), 1057u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1057u);
    EXPECT_FALSE(PbemFileExists("G12-P03-5000.event"));
}

TEST_F(ProcessAnswerTest, IdsCompareUnsigned)
{
    AddEntry(L"G12-P03", 5);
    ASSERT_TRUE(m_manager.ProcessAnswer(CAnswerText().Player().Event(4294967295u, kMail12).Text())
                    .IsAnswer());
    EXPECT_EQ(Highest(L"G12-P03"), 4294967295u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 4294967295u);
    EXPECT_TRUE(PbemFileExists("G12-P03--1.event"));

    m_manager.m_listNewEvents.clear();
    ASSERT_TRUE(
        m_manager.ProcessAnswer(CAnswerText().Player().Event(6, kMail12).Text()).IsAnswer());
    EXPECT_EQ(Highest(L"G12-P03"), 4294967295u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 4294967295u);
}
