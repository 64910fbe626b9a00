// The demo server's answers, read with the program's own readers.
#include "DemoAnswers.h"

#include "base/Encoding.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "net/ServerDate.h"
#include "pbem/DownloadAnswer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMGameState.h"
#include "pbem/PBEMMessageManager.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <filesystem>
#include <map>
#include <set>
#include <thread>

namespace
{

using Events = std::vector<std::unique_ptr<CPBEMGameEvent>>;

Events ProgramEvents(const std::string& answer)
{
    Events events;
    EXPECT_EQ(ReadAnswerEvents(answer, events), EAnswerRead::Read) << answer;
    return events;
}

std::string Download(CDemoGameServer& server, const std::vector<SPost>& entries)
{
    const SDemoReply reply = server.DownloadEvents(DownloadForm(entries));
    EXPECT_EQ(reply.nStatus, 200) << reply.strBody;
    return reply.strBody;
}

std::uint32_t EventId(const std::string& strPrinted)
{
    return static_cast<std::uint32_t>(std::stoll(strPrinted));
}

// Polls the entries as the program does, raising each entry's highest id with what it receives,
// and returns every event sent in each round.
std::vector<std::vector<SSentEvent>> PollRounds(CDemoGameServer& server, std::vector<SPost> entries,
                                                int nRounds)
{
    std::vector<std::vector<SSentEvent>> rounds;
    for (int i = 0; i < nRounds; ++i)
    {
        const std::string answer = Download(server, entries);
        for (const auto& pEvent : ProgramEvents(answer))
        {
            for (SPost& entry : entries)
            {
                const std::wstring strKey =
                    MakePlayerId(AnsiToWide(entry.strGameId), entry.nPlayer);
                if (GetEventKey(*pEvent) == strKey &&
                    pEvent->m_nEventId > EventId(entry.strHighest))
                    entry.strHighest = std::to_string(pEvent->m_nEventId);
            }
        }
        rounds.push_back(SentEvents(answer));
    }
    return rounds;
}

} // namespace

TEST(DemoGameServerTest, FirstDownloadBringsReadableEventsForEveryEntry)
{
    CDemoGameServer server(7);
    const std::vector<SPost> posted = {
        {"G1001", 2, "101"}, {"G1001", 0, "103"}, {"G2045", 1, "58"}};
    const std::string answer = Download(server, posted);

    const std::vector<SSentEvent> sent = SentEvents(answer);
    const Events events = ProgramEvents(answer);
    ASSERT_EQ(events.size(), sent.size()); // a first download brings no "NewGame" notice
    std::map<std::string, int> perKey;
    std::set<std::pair<std::wstring, std::uint32_t>> ids;
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        const CPBEMGameEvent& event = *events[i];
        ++perKey[sent[i].strKey];
        // The record names the entry of the block it came in.
        EXPECT_EQ(GetEventKey(event), std::wstring(sent[i].strKey.begin(), sent[i].strKey.end()));
        EXPECT_EQ(event.m_strKind, sent[i].strType);
        EXPECT_FALSE(event.m_strText.empty());
        EXPECT_EQ(event.m_strRaw, sent[i].strContent); // kept for its event file
        EXPECT_FALSE(FormatServerDate(sent[i].strDate).empty()) << sent[i].strDate;
        EXPECT_TRUE(ids.emplace(event.m_strGameId, event.m_nEventId).second)
            << "id given twice in a game: " << event.m_nEventId;
    }
    EXPECT_EQ(perKey,
              (std::map<std::string, int>{{"G1001-P02", 2}, {"G1001-P00", 2}, {"G2045-P01", 2}}));
    // New ids of a game lie above every id any of its entries knows.
    for (const auto& pEvent : events)
        EXPECT_GT(pEvent->m_nEventId, pEvent->m_strGameId == L"G1001" ? 103u : 58u);
}

TEST(DemoGameServerTest, LaterDownloadsBringOnlyWhatIsAboveTheKnownIds)
{
    CDemoGameServer server(3);
    const auto rounds = PollRounds(server, {{"G7", 3}, {"G7", 0}, {"G8", 1}}, 25);

    ASSERT_FALSE(rounds[0].empty());
    EXPECT_TRUE(rounds[1].empty()) << "a download right after the first brings nothing new";
    std::set<std::pair<std::string, std::uint32_t>> seen;
    std::size_t nLater = 0;
    for (const auto& round : rounds)
    {
        for (const SSentEvent& event : round)
        {
            // "NewGame" notices included: another event always follows them.
            EXPECT_TRUE(seen.emplace(event.strKey, event.nId).second)
                << event.strKey << " " << event.nId << " sent again";
        }
        nLater += &round == &rounds[0] ? 0 : round.size();
    }
    EXPECT_GT(nLater, 5u) << "news now and then";
}

TEST(DemoGameServerTest, KnownIdsCompareUnsigned)
{
    CDemoGameServer server(1);
    const auto first = SentEvents(Download(server, {{"G5", 1, "0"}}));
    ASSERT_EQ(first.size(), 2u);
    ASSERT_LT(first[1].nId, 100u);

    // -5 is 4294967291: above every id the game has, though below them as a signed number. The
    // game's new ids go on above it.
    const auto second = SentEvents(Download(server, {{"G5", 2, "-5"}}));
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].nId, 4294967292u);
    EXPECT_EQ(second[1].nId, 4294967293u);
    for (const char* pszHighest : {"-5", "4294967291"})
    {
        for (const SSentEvent& event : SentEvents(Download(server, {{"G5", 1, pszHighest}})))
            EXPECT_GT(event.nId, 4294967291u) << pszHighest;
    }
    // Ids end at the highest 32-bit one: nothing wraps around to small ids.
    EXPECT_TRUE(SentEvents(Download(server, {{"G5", 3, "-1"}})).empty());
    for (const auto& round : PollRounds(server, {{"G5", 2, "4294967293"}}, 10))
    {
        for (const SSentEvent& event : round)
            EXPECT_GT(event.nId, 4294967293u);
    }
}

TEST(DemoGameServerTest, NewGameNoticesComeNowAndThenAndTheProgramSkipsThem)
{
    CTempDir temp;
    const CInstallFolderScope installFolder(temp.WidePath());
    std::filesystem::create_directories(temp.File("PBEM"));

    CDemoGameServer server(11);
    std::vector<SPost> entries = {{"G31", 4}, {"G31", 0}};
    int nNewGame = 0;
    for (int i = 0; i < 40; ++i)
    {
        const std::string answer = Download(server, entries);
        const std::vector<SSentEvent> sent = SentEvents(answer);
        std::size_t nOthers = 0;
        for (std::size_t j = 0; j < sent.size(); ++j)
        {
            if (sent[j].strType != "NewGame")
            {
                ++nOthers;
                continue;
            }
            ++nNewGame;
            // Another event of the same entry follows, so the program's ids pass the notice.
            ASSERT_LT(j + 1, sent.size());
            EXPECT_EQ(sent[j + 1].strKey, sent[j].strKey);
        }

        CPBEMMessageManager manager;
        ASSERT_EQ(manager.ProcessAnswer(answer).eOutcome, EDownloadOutcome::Complete);
        ASSERT_EQ(manager.m_listNewEvents.size(), nOthers);
        for (const auto& pEvent : manager.m_listNewEvents)
        {
            EXPECT_NE(pEvent->m_strKind, "NewGame");
            EXPECT_TRUE(std::filesystem::exists(
                temp.File("PBEM/" + ToNativePath(MakeEventFileName(*pEvent)))));
        }
    }
    EXPECT_GT(nNewGame, 0);
}

TEST(DemoGameServerTest, SameSeedSameAnswers)
{
    const std::vector<SPost> entries = {{"G1", 1}, {"G1", 0}, {"G2", 2}};
    CDemoGameServer first(5), second(5), other(6);
    std::string strFirst, strSecond, strOther;
    for (int i = 0; i < 6; ++i)
    {
        strFirst += Download(first, entries);
        strSecond += Download(second, entries);
        strOther += Download(other, entries);
    }
    EXPECT_EQ(strFirst, strSecond);
    EXPECT_NE(strFirst, strOther);
}

TEST(DemoGameServerTest, EntriesWithoutGameIdOrNamedTwiceAreAnsweredOnce)
{
    CDemoGameServer server(2);
    const auto sent = SentEvents(Download(server, {{"", 1}, {"G9", 1}, {"G9", 1, "1"}}));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].strKey, "G9-P01");
    EXPECT_EQ(sent[1].strKey, "G9-P01");
    // A post without entries is the answer without blocks.
    const std::string empty = Download(server, {});
    EXPECT_TRUE(SentEvents(empty).empty());
    EXPECT_TRUE(ProgramEvents(empty).empty());
}

TEST(DemoGameServerTest, GarbledPostsAreRefused)
{
    const DemoFormFields good = DownloadForm({{"G1", 3, "17"}});
    const auto with = [&](const std::string& strName, const char* pszValue)
    {
        DemoFormFields fields = good;
        if (pszValue == nullptr)
            fields.erase(strName);
        else
            fields[strName] = pszValue;
        return fields;
    };
    struct SCase
    {
        const char* pszName;
        DemoFormFields fields;
        int nStatus;
    };
    const SCase cases[] = {
        {"no fields", {}, 400},
        {"no DownloadEvent", with("DownloadEvent", nullptr), 400},
        {"DownloadEvent 0", with("DownloadEvent", "0"), 400},
        {"no P1", with("P1", nullptr), 400},
        {"no Pw1", with("Pw1", nullptr), 400},
        {"no HEventId1", with("HEventId1", nullptr), 400},
        {"P1 not a number", with("P1", "three"), 400},
        {"P1 negative", with("P1", "-1"), 400},
        {"P1 three digits", with("P1", "100"), 400},
        {"P1 empty", with("P1", ""), 400},
        {"HEventId1 not a number", with("HEventId1", "12abc"), 400},
        {"HEventId1 empty", with("HEventId1", ""), 400},
        {"HEventId1 minus only", with("HEventId1", "-"), 400},
        {"HEventId1 above 32 bits", with("HEventId1", "4294967296"), 400},
        {"HEventId1 below 32 bits", with("HEventId1", "-2147483649"), 400},
        {"HEventId1 huge", with("HEventId1", "999999999999999999999999"), 400},
        {"G1 with a slash", with("G1", "G1/../x"), 400},
        {"G1 with a control character", with("G1", "G1\x01"), 400},
        {"G1 too long", with("G1", std::string(65, 'G').c_str()), 400},
        {"highest unsigned id", with("HEventId1", "4294967295"), 200},
        {"lowest signed id", with("HEventId1", "-2147483648"), 200},
        {"empty password", with("Pw1", ""), 200},
        {"empty game id", with("G1", ""), 200},
        {"a gap ends the entries", with("G3", "G3"), 200},
    };
    for (const SCase& test : cases)
    {
        CDemoGameServer server(1);
        const SDemoReply reply = server.DownloadEvents(test.fields);
        EXPECT_EQ(reply.nStatus, test.nStatus) << test.pszName << ": " << reply.strBody;
        if (reply.nStatus != 200)
        {
            EXPECT_LT(reply.strBody.size(), 100u) << test.pszName;
        }
    }
}

TEST(DemoGameServerTest, LookingForAGame)
{
    CDemoGameServer server;
    struct SCase
    {
        DemoFormFields fields;
        int nStatus;
    };
    const SCase cases[] = {
        {{{"Username", "ann"}, {"Password", "pw"}, {"LookingForPBEMGame", "1"}}, 200},
        {{{"Username", ""}, {"Password", ""}, {"LookingForPBEMGame", "0"}}, 200},
        {{{"Username", "ann"}, {"Password", "pw"}, {"LookingForPBEMGame", "yes"}}, 400},
        {{{"Username", "ann"}, {"LookingForPBEMGame", "1"}}, 400},
        {{}, 400},
    };
    for (const SCase& test : cases)
    {
        const SDemoReply reply = server.SetLookingForGame(test.fields);
        EXPECT_EQ(reply.nStatus, test.nStatus) << reply.strBody;
        if (reply.nStatus == 200)
        {
            EXPECT_EQ(reply.strBody, "OK\n");
        }
    }
}

TEST(DemoGameServerTest, ConcurrentDownloadsNeverShareAnId)
{
    CDemoGameServer server(9);
    std::vector<std::vector<SSentEvent>> sent(8);
    std::vector<std::thread> threads;
    threads.reserve(8);
    for (int t = 0; t < 8; ++t)
    {
        threads.emplace_back(
            [&server, &sent, t]
            {
                for (int i = 0; i < 30; ++i)
                {
                    const SDemoReply reply =
                        server.DownloadEvents(DownloadForm({{"G1", 1 + t % 4}, {"G2", t}}));
                    for (SSentEvent& event : SentEvents(reply.strBody))
                        sent[t].push_back(std::move(event));
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    // Each entry's events, whoever asked for them, carry one id each; no id serves two events.
    std::map<std::pair<std::string, std::uint32_t>, std::string> byId;
    for (const auto& events : sent)
    {
        for (const SSentEvent& event : events)
        {
            const std::string strGame = event.strKey.substr(0, 2);
            const auto [it, bNew] = byId.emplace(std::pair{strGame, event.nId}, event.strContent);
            if (!bNew)
            {
                EXPECT_EQ(it->second, event.strContent) << strGame << " " << event.nId;
            }
        }
    }
    EXPECT_GT(byId.size(), 16u);
}
