// Games whose new events are not announced for a while, kept in section [Mute] of Profile.ini:
// one key per game id (a player id without its "-Pnn"), or "*" for every game; the value is
// "always" or the end as "YYYY-MM-DDTHH:MM:SSZ" (UTC). A value of another form mutes nothing and
// stays in the file as it is; an entry that has ended goes at the next save.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CMuteList
{
public:
    using TimePoint = std::chrono::system_clock::time_point;
    static constexpr std::wstring_view kAllGames = L"*";
    // The end of a mute that lasts until it is lifted.
    static constexpr TimePoint kAlways = TimePoint::max();

    // The end a value stands for; nothing for a value of another form.
    static std::optional<TimePoint> ParseValue(std::wstring_view strValue);
    static std::wstring FormatValue(TimePoint tEnd);

    // Replaces the list by the section of the file (empty when there is none).
    void Load(const std::wstring& strPath);
    // Writes what was muted or unmuted since the load and removes the entries that have ended;
    // the other keys and sections of the file stay. False when the file could not be written.
    [[nodiscard]] bool Save(const std::wstring& strPath, TimePoint tNow);

    // The game itself or every game is muted at tNow.
    bool IsMuted(std::wstring_view strGameId, TimePoint tNow) const;
    // The key itself ("*" only for the mute of every game) is muted at tNow.
    bool IsKeyMuted(std::wstring_view strKey, TimePoint tNow) const;
    // The earliest end after tNow among the mutes that end; nothing when none does.
    std::optional<TimePoint> NextEnd(TimePoint tNow) const;
    void Mute(std::wstring_view strKey, TimePoint tEnd);
    void Unmute(std::wstring_view strKey);

private:
    // Keys compare as the profile file compares them, without regard to case.
    struct SNoCaseLess
    {
        bool operator()(std::wstring_view a, std::wstring_view b) const;
        using is_transparent = void;
    };
    std::map<std::wstring, TimePoint, SNoCaseLess> m_mapEnds; // the well-formed entries
    std::map<std::wstring, bool, SNoCaseLess> m_mapChanged;   // key -> muted (else unmuted)
};

// The end of "Mute until tomorrow": 08:00 local time of the day after tNow's.
CMuteList::TimePoint TomorrowMorning(CMuteList::TimePoint tNow);
