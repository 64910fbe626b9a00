#include "install/MuteList.h"

#include "base/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace
{

using namespace std::chrono_literals;
using TimePoint = CMuteList::TimePoint;

// 2026-12-11T12:00:00Z
const TimePoint kNow = std::chrono::sys_days(std::chrono::year(2026) / 12 / 11) + 12h;

TEST(MuteListTest, ReadsValuesAndMutesOnlyWellFormedEndsToCome)
{
    const struct
    {
        const char* pszName;
        const char* pszLines; // the [Mute] section's keys
        const wchar_t* pszGameId;
        bool bMuted;
    } cases[] = {
        {"always", "G1=always\r\n", L"G1", true},
        {"key without regard to case", "g1=always\r\n", L"G1", true},
        {"another game", "G2=always\r\n", L"G1", false},
        {"end to come", "G1=2026-12-11T12:00:01Z\r\n", L"G1", true},
        {"end now", "G1=2026-12-11T12:00:00Z\r\n", L"G1", false},
        {"end in the past", "G1=2025-01-01T00:00:00Z\r\n", L"G1", false},
        {"every game", "*=2026-12-11T13:00:00Z\r\n", L"G7", true},
        {"every game, ended", "*=2026-12-11T11:00:00Z\r\nG7=garbage\r\n", L"G7", false},
        {"garbage", "G1=yes\r\n", L"G1", false},
        {"value of another case", "G1=Always\r\n", L"G1", false},
        {"no Z", "G1=2027-01-01T00:00:00\r\n", L"G1", false},
        {"local offset", "G1=2027-01-01T00:00:00+01\r\n", L"G1", false},
        {"no such day", "G1=2027-02-30T00:00:00Z\r\n", L"G1", false},
        {"hour 24", "G1=2027-01-01T24:00:00Z\r\n", L"G1", false},
        {"sign in a number", "G1=2027-01-01T+1:00:00Z\r\n", L"G1", false},
        {"empty", "G1=\r\n", L"G1", false},
        {"a player id is no game id", "G1-P01=always\r\n", L"G1", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir temp;
        temp.Write("Profile.ini", std::string("[Mute]\r\n") + c.pszLines);
        CMuteList list;
        list.Load(temp.WidePath() + L"/Profile.ini");
        EXPECT_EQ(list.IsMuted(c.pszGameId, kNow), c.bMuted);
    }
}

TEST(MuteListTest, FormatsWhatItReads)
{
    for (const wchar_t* psz : {L"always", L"2026-12-11T12:00:01Z", L"1999-02-28T23:59:59Z"})
    {
        SCOPED_TRACE(WideToUtf8(psz));
        const auto tEnd = CMuteList::ParseValue(psz);
        ASSERT_TRUE(tEnd);
        EXPECT_EQ(CMuteList::FormatValue(*tEnd), psz);
    }
}

// A save writes the commands' changes and drops ended entries; foreign sections, keys, garbage
// values and untouched entries keep their bytes.
TEST(MuteListTest, SaveDropsEndedEntriesAndKeepsTheRest)
{
    CTempDir temp;
    const std::wstring path = temp.WidePath() + L"/Profile.ini";
    temp.Write("Profile.ini", "[ZorvexMessenger]\r\nx=5\r\n\r\n"
                              "[Mute]\r\n"
                              "Old=2020-01-01T00:00:00Z\r\n"
                              "Bad = soon ; not ours\r\n"
                              "Kept = always\r\n"
                              "Gone=always\r\n"
                              "*=2026-12-11T11:59:59Z\r\n"
                              "\r\n"
                              "[Other]\r\nMute=1\r\n");
    CMuteList list;
    list.Load(path);
    list.Mute(L"G1", kNow + 1h);
    list.Unmute(L"Gone");
    list.Unmute(L"Never"); // no such key: nothing to remove
    ASSERT_TRUE(list.Save(path, kNow));
    EXPECT_EQ(temp.Read("Profile.ini"), "[ZorvexMessenger]\r\nx=5\r\n\r\n"
                                        "[Mute]\r\n"
                                        "Bad = soon ; not ours\r\n"
                                        "Kept = always\r\n"
                                        "G1=2026-12-11T13:00:00Z\r\n"
                                        "\r\n"
                                        "[Other]\r\nMute=1\r\n");

    CMuteList reread;
    reread.Load(path);
    EXPECT_TRUE(reread.IsMuted(L"G1", kNow));
    EXPECT_FALSE(reread.IsMuted(L"G1", kNow + 1h));
    EXPECT_TRUE(reread.IsMuted(L"Kept", kNow + 10000h));
    EXPECT_FALSE(reread.IsMuted(L"Gone", kNow));
    EXPECT_FALSE(reread.IsMuted(L"Bad", kNow));

    // A mute that ends before the save is not written at all.
    reread.Mute(L"*", kNow + 1h);
    ASSERT_TRUE(reread.Save(path, kNow + 2h));
    EXPECT_EQ(temp.Read("Profile.ini").find("*="), std::string::npos);
}

TEST(MuteListTest, NoFileMutesNothingAndASaveCreatesIt)
{
    CTempDir temp;
    const std::wstring path = temp.WidePath() + L"/Profile.ini";
    CMuteList list;
    list.Load(path);
    EXPECT_FALSE(list.IsMuted(L"G1", kNow));
    ASSERT_TRUE(list.Save(path, kNow));
    EXPECT_EQ(temp.Read("Profile.ini"), ""); // nothing to write: no file made
    list.Mute(L"*", CMuteList::kAlways);
    ASSERT_TRUE(list.Save(path, kNow));
    EXPECT_EQ(temp.Read("Profile.ini"), "[Mute]\r\n*=always\r\n");
    EXPECT_TRUE(list.IsMuted(L"G3", kNow));
}

TEST(MuteListTest, TomorrowMorningIsEightOClockLocalOfTheNextDay)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(kNow);
    std::tm today{};
    localtime_r(&t, &today);
    const std::time_t tEnd = std::chrono::system_clock::to_time_t(TomorrowMorning(kNow));
    std::tm end{};
    localtime_r(&tEnd, &end);
    EXPECT_EQ(end.tm_hour, 8);
    EXPECT_EQ(end.tm_min, 0);
    EXPECT_EQ(end.tm_sec, 0);
    EXPECT_GT(tEnd, t);
    EXPECT_LE(tEnd - t, 32 * 3600);
}

// The next end to watch for: the earliest one to come; "always" and ended mutes never end.
TEST(MuteListTest, NextEndIsTheEarliestEndToCome)
{
    const struct
    {
        const char* pszName;
        const char* pszLines;
        std::optional<TimePoint> tNext;
    } cases[] = {
        {"nothing muted", "", std::nullopt},
        {"only always", "G1=always\r\n", std::nullopt},
        {"ended and garbage", "G1=2026-12-11T11:00:00Z\r\nG2=soon\r\n", std::nullopt},
        {"the earliest", "G1=2026-12-11T14:00:00Z\r\n*=2026-12-11T13:00:00Z\r\nG2=always\r\n",
         kNow + 1h},
        {"an ended one before it", "G1=2026-12-11T11:00:00Z\r\nG2=2026-12-12T12:00:00Z\r\n",
         kNow + 24h},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir temp;
        temp.Write("Profile.ini", std::string("[Mute]\r\n") + c.pszLines);
        CMuteList list;
        list.Load(temp.WidePath() + L"/Profile.ini");
        EXPECT_EQ(list.NextEnd(kNow), c.tNext);
    }
}

} // namespace
