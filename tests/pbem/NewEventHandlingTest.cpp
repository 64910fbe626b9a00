#include "DownloadTestFixture.h"

#include "pbem/EventFiles.h"
#include "support/FileSizeLimit.h"

#include <string>
#include <vector>

namespace
{

class NewEventHandlingTest : public CDownloadTest
{
protected:
    std::vector<std::wstring> EventTexts(const std::wstring& playerId)
    {
        std::vector<std::wstring> texts;
        for (const auto& pEvent : m_manager.m_store.FindGame(playerId)->m_listEvents)
            texts.push_back(pEvent->m_strText);
        return texts;
    }
    SNewEventsAnnouncement Receive(const std::string& answer)
    {
        EXPECT_TRUE(m_manager.ProcessAnswer(answer).IsAnswer());
        return m_manager.TakeNewEvents();
    }
};

} // namespace

TEST_F(NewEventHandlingTest, CountsJoinsTextsAndPutsTheLastReceivedFirst)
{
    AddEntry(L"G12-P03", 1057);
    const SNewEventsAnnouncement result = Receive(CAnswerText()
                                                      .Player()
                                                      .Event(1058, ServerEvent(L"G12", 3, L"A"))
                                                      .Event(1059, ServerEvent(L"G12", 3, L"B"))
                                                      .Event(1060, ServerEvent(L"G12", 3, L""))
                                                      .Text());

    EXPECT_TRUE(result.bTookEvents);
    EXPECT_EQ(result.nCount, 3);
    EXPECT_EQ(result.strText, L"A\nB");
    EXPECT_EQ(result.strTitle, L"3 New Events");
    ASSERT_EQ(result.listAnnounced.size(), 3u);
    EXPECT_EQ(result.listAnnounced[0].strKey, L"G12-P03");
    EXPECT_EQ(result.listAnnounced[0].pEvent->m_nEventId, 1058u);
    EXPECT_EQ(EventTexts(L"G12-P03"), (std::vector<std::wstring>{L"", L"B", L"A"}));
    EXPECT_TRUE(m_manager.m_store.FindGame(L"G12-P03")->m_bNewEvents);
    EXPECT_EQ(Highest(L"G12-P03"), 1060u);
    EXPECT_TRUE(m_manager.m_listNewEvents.empty());
}

// A right-to-left override left open by one sender reverses only that sender's own line.
TEST_F(NewEventHandlingTest, OpenDirectionControlsOfOneTextEndWithIt)
{
    AddEntry(L"G12-P03", 1057);
    const SNewEventsAnnouncement result =
        Receive(CAnswerText()
                    .Player()
                    .Event(1058, ServerEvent(L"G12", 3, L"Hi \u202Eevil"))
                    .Event(1059, ServerEvent(L"G12", 3, L"\u2067x\u202By\nz"))
                    .Event(1060, ServerEvent(L"G12", 3, L"Your turn"))
                    .Text());

    EXPECT_EQ(result.strText, L"Hi \u202Eevil\u202C\n\u2067x\u202By\u202C\u2069\nz\nYour turn");
    // The events keep their texts as sent.
    EXPECT_EQ(EventTexts(L"G12-P03"),
              (std::vector<std::wstring>{L"Your turn", L"\u2067x\u202By\nz", L"Hi \u202Eevil"}));
}

TEST_F(NewEventHandlingTest, SharedEventsGoToTheEntryOfTheirPlayerNumber)
{
    AddEntry(L"G12-P03", 1057);
    AddEntry(L"G12-P00", 0);

    // For player number 0: the shared entry, whose texts are not shown.
    SNewEventsAnnouncement result =
        Receive(CAnswerText().Player().Event(40, ServerEvent(L"G12", 0, L"War!", true)).Text());
    EXPECT_EQ(result.nCount, 1);
    EXPECT_EQ(result.strTitle, L"1 New Event");
    EXPECT_EQ(result.strText, L" ");
    EXPECT_EQ(EventTexts(L"G12-P00"), std::vector<std::wstring>{L"War!"});

    // Filed under 00 on disk, but attached to the entry of player 3 and shown there.
    result =
        Receive(CAnswerText().Player().Event(41, ServerEvent(L"G12", 3, L"Peace", true)).Text());
    EXPECT_EQ(result.nCount, 1);
    EXPECT_EQ(result.strText, L"Peace");
    EXPECT_EQ(EventTexts(L"G12-P03"), std::vector<std::wstring>{L"Peace"});
    EXPECT_TRUE(PbemFileExists("G12-P00-41.event"));
    EXPECT_EQ(Highest(L"G12-P00"), 41u);
}

TEST_F(NewEventHandlingTest, EventsOfUnknownGamesAreWrittenButNotAnnounced)
{
    AddEntry(L"G12-P03", 1057);
    const SNewEventsAnnouncement result =
        Receive(CAnswerText()
                    .Player()
                    .Event(7, ServerEvent(L"G99", 1, L"Elsewhere"))
                    .Event("8", "Mail", "unreadable content")
                    .Text());
    EXPECT_TRUE(result.bTookEvents); // the display is rebuilt all the same
    EXPECT_EQ(result.nCount, 0);
    EXPECT_EQ(result.strText, L"");
    EXPECT_EQ(result.strTitle, L"");
    EXPECT_TRUE(result.listAnnounced.empty());
    EXPECT_TRUE(PbemFileExists("G99-P01-7.event"));
    EXPECT_TRUE(m_manager.m_store.FindGame(L"G12-P03")->m_listEvents.empty());

    EXPECT_FALSE(m_manager.TakeNewEvents().bTookEvents);
}

TEST_F(NewEventHandlingTest, AnOlderEventIsAttachedWithoutLoweringTheId)
{
    AddEntry(L"G12-P03", 1057);
    const SNewEventsAnnouncement result =
        Receive(CAnswerText().Player().Event(900, ServerEvent(L"G12", 3, L"Late")).Text());
    EXPECT_EQ(result.nCount, 1);
    EXPECT_EQ(EventTexts(L"G12-P03"), std::vector<std::wstring>{L"Late"});
    EXPECT_EQ(Highest(L"G12-P03"), 1057u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1057u);
}

TEST_F(NewEventHandlingTest, StoredEventsAreAnnouncedWithAnEmptyDownload)
{
    AddEntry(L"G12-P03", 1057);
    m_temp.Write("PBEM/G12-P03-1050.event", ServerEvent(L"G12", 3, L"one").m_strRaw);
    m_temp.Write("PBEM/G12-P03-1051.event", ServerEvent(L"G12", 3, L"two").m_strRaw);
    m_manager.ScanEventFiles();

    const SNewEventsAnnouncement result = Receive("SanityCheck-5170382 Version01 ");
    EXPECT_EQ(result.nCount, 2);
    EXPECT_EQ(result.strText, L"one\ntwo");
    EXPECT_EQ(result.strTitle, L"2 New Events");
}

TEST_F(NewEventHandlingTest, AnEventInItsFileAndInTheDownloadIsShownOnce)
{
    // A run that wrote the file but ended before PBEM.data took the id.
    AddEntry(L"G12-P03", 1057);
    const CPBEMGameEvent event = ServerEvent(L"G12", 3, L"again");
    m_temp.Write("PBEM/G12-P03-1058.event", event.m_strRaw);
    m_manager.ScanEventFiles();

    const SNewEventsAnnouncement result = Receive(CAnswerText().Player().Event(1058, event).Text());
    EXPECT_EQ(result.nCount, 1);
    EXPECT_EQ(EventTexts(L"G12-P03"), std::vector<std::wstring>{L"again"});
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1058u);
}

TEST_F(NewEventHandlingTest, EventsThatCouldNotBeWrittenAreAskedForAgain)
{
    AddEntry(L"G12-P03", 1057);
    AddEntry(L"G12-P00", 0);
    // 1058 is too large for the limit below, 1059 and 1060 are not: only 1058 fails.
    CPBEMGameEvent big = ServerEvent(L"G12", 3, L"big");
    big.m_nDataSize = 4096;
    big.m_pData = std::make_unique<unsigned char[]>(4096);
    big.m_strRaw = BuildEscapedEventRecord(big);
    const std::string answer = CAnswerText()
                                   .Player()
                                   .Event(1058, big)
                                   .Event(1059, ServerEvent(L"G12", 3, L"small"))
                                   .Event(1060, ServerEvent(L"G12", 0, L"shared", true))
                                   .Text();
    ASSERT_LT(m_temp.Read("PBEM/PBEM.data").size(), 1024u);
    ASSERT_GT(big.m_strRaw.size(), 1024u);

    SNewEventsAnnouncement result;
    {
        const CFileSizeLimit limit(1024);
        result = Receive(answer);
    }
    EXPECT_EQ(result.nCount, 3); // shown all the same
    EXPECT_FALSE(PbemFileExists("G12-P03-1058.event"));
    EXPECT_TRUE(PbemFileExists("G12-P03-1059.event"));
    // 1059 is on disk, but raising to it would let the server skip 1058 for good.
    EXPECT_EQ(Highest(L"G12-P03"), 1057u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1057u);
    // Another entry's events are not held back.
    EXPECT_EQ(Highest(L"G12-P00"), 1060u);
    EXPECT_EQ(DiskHighest(L"G12-P00"), 1060u);

    // The server sends them again; now the folder takes them.
    result = Receive(answer);
    EXPECT_EQ(m_temp.Read("PBEM/G12-P03-1058.event"), big.m_strRaw);
    EXPECT_EQ(Highest(L"G12-P03"), 1059u);
    EXPECT_EQ(DiskHighest(L"G12-P03"), 1059u);
    EXPECT_EQ(result.nCount, 0);
    EXPECT_TRUE(result.bTookEvents);
    EXPECT_EQ(EventTexts(L"G12-P03"), (std::vector<std::wstring>{L"small", L"big"}));
    EXPECT_EQ(EventTexts(L"G12-P00"), std::vector<std::wstring>{L"shared"});
}

// However many events a poll brings, the balloon lists ten of them; the title counts them all.
TEST_F(NewEventHandlingTest, TheBalloonListsTenTextsThenHowManyMore)
{
    struct SCase
    {
        int nEvents;
        std::wstring strLastLine;
        std::wstring strTitle;
    };
    const SCase cases[] = {
        {0, L"", L""},
        {1, L"E1", L"1 New Event"},
        {10, L"E10", L"10 New Events"},
        {11, L"and 1 more", L"11 New Events"},
        {200, L"and 190 more", L"200 New Events"},
    };
    std::uint32_t nId = 1057;
    AddEntry(L"G12-P03", nId);
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.nEvents);
        CAnswerText answer;
        answer.Player();
        for (int i = 1; i <= c.nEvents; ++i)
            answer.Event(++nId, ServerEvent(L"G12", 3, L"E" + std::to_wstring(i)));
        const SNewEventsAnnouncement result = Receive(answer.Text());

        EXPECT_EQ(result.nCount, c.nEvents);
        EXPECT_EQ(result.strTitle, c.strTitle);
        std::vector<std::wstring> lines;
        for (size_t nStart = 0; nStart < result.strText.size();)
        {
            const size_t nEnd = std::min(result.strText.find(L'\n', nStart), result.strText.size());
            lines.push_back(result.strText.substr(nStart, nEnd - nStart));
            nStart = nEnd + 1;
        }
        EXPECT_EQ(lines.size(), static_cast<size_t>(std::min(c.nEvents, 11)));
        EXPECT_EQ(lines.empty() ? L"" : lines.back(), c.strLastLine);
        if (c.nEvents > 10)
        {
            EXPECT_EQ(lines[9], L"E10");
        }
    }
}
