#include "install/MuteList.h"

#include "install/ProfileFile.h"

#include <algorithm>
#include <ctime>
#include <cwchar>
#include <cwctype>
#include <iterator>

namespace
{

constexpr std::wstring_view kSection = L"Mute";
constexpr std::wstring_view kAlwaysValue = L"always";

// The number of exactly nDigits digits at pos; nothing when any is not a digit.
std::optional<int> Digits(std::wstring_view s, std::size_t pos, std::size_t nDigits)
{
    int value = 0;
    for (std::size_t i = pos; i < pos + nDigits; ++i)
    {
        if (s[i] < L'0' || s[i] > L'9')
            return std::nullopt;
        value = value * 10 + (s[i] - L'0');
    }
    return value;
}

} // namespace

bool CMuteList::SNoCaseLess::operator()(std::wstring_view a, std::wstring_view b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y)
                                        {
                                            return std::towlower(static_cast<std::wint_t>(x)) <
                                                   std::towlower(static_cast<std::wint_t>(y));
                                        });
}

std::optional<CMuteList::TimePoint> CMuteList::ParseValue(std::wstring_view strValue)
{
    if (strValue == kAlwaysValue)
        return kAlways;
    // YYYY-MM-DDTHH:MM:SSZ
    if (strValue.size() != 20 || strValue[4] != L'-' || strValue[7] != L'-' ||
        strValue[10] != L'T' || strValue[13] != L':' || strValue[16] != L':' ||
        strValue[19] != L'Z')
        return std::nullopt;
    const auto year = Digits(strValue, 0, 4);
    const auto month = Digits(strValue, 5, 2);
    const auto day = Digits(strValue, 8, 2);
    const auto hour = Digits(strValue, 11, 2);
    const auto minute = Digits(strValue, 14, 2);
    const auto second = Digits(strValue, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(*year),
                                           std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return std::chrono::sys_days(date) + std::chrono::hours(*hour) + std::chrono::minutes(*minute) +
           std::chrono::seconds(*second);
}

std::wstring CMuteList::FormatValue(TimePoint tEnd)
{
    if (tEnd == kAlways)
        return std::wstring(kAlwaysValue);
    const auto tSeconds = std::chrono::floor<std::chrono::seconds>(tEnd);
    const auto days = std::chrono::floor<std::chrono::days>(tSeconds);
    const std::chrono::year_month_day date{days};
    const std::chrono::hh_mm_ss time{tSeconds - days};
    wchar_t szValue[32];
    std::swprintf(szValue, std::size(szValue), L"%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return szValue;
}

void CMuteList::Load(const std::wstring& strPath)
{
    m_mapEnds.clear();
    m_mapChanged.clear();
    for (const auto& [strKey, strValue] : GetPrivateProfileSection(kSection, strPath))
    {
        if (const auto tEnd = ParseValue(strValue))
            m_mapEnds.try_emplace(strKey, *tEnd); // the first of two same keys counts, as on read
    }
}

bool CMuteList::Save(const std::wstring& strPath, TimePoint tNow)
{
    ProfileKeyChanges changes;
    for (auto it = m_mapEnds.begin(); it != m_mapEnds.end();)
    {
        if (it->second > tNow)
        {
            ++it;
            continue;
        }
        changes.emplace_back(it->first, std::nullopt);
        m_mapChanged.erase(it->first);
        it = m_mapEnds.erase(it);
    }
    for (const auto& [strKey, bMuted] : m_mapChanged)
    {
        if (bMuted)
            changes.emplace_back(strKey, FormatValue(m_mapEnds.find(strKey)->second));
        else
            changes.emplace_back(strKey, std::nullopt);
    }
    if (changes.empty())
        return true;
    if (!WritePrivateProfileKeys(kSection, changes, strPath))
        return false;
    m_mapChanged.clear();
    return true;
}

bool CMuteList::IsKeyMuted(std::wstring_view strKey, TimePoint tNow) const
{
    const auto it = m_mapEnds.find(strKey);
    return it != m_mapEnds.end() && it->second > tNow;
}

bool CMuteList::IsMuted(std::wstring_view strGameId, TimePoint tNow) const
{
    return IsKeyMuted(kAllGames, tNow) || (!strGameId.empty() && IsKeyMuted(strGameId, tNow));
}

std::optional<CMuteList::TimePoint> CMuteList::NextEnd(TimePoint tNow) const
{
    std::optional<TimePoint> tNext;
    for (const auto& [strKey, tEnd] : m_mapEnds)
    {
        if (tEnd > tNow && tEnd != kAlways && (!tNext || tEnd < *tNext))
            tNext = tEnd;
    }
    return tNext;
}

void CMuteList::Mute(std::wstring_view strKey, TimePoint tEnd)
{
    m_mapEnds.insert_or_assign(std::wstring(strKey), tEnd);
    m_mapChanged.insert_or_assign(std::wstring(strKey), true);
}

void CMuteList::Unmute(std::wstring_view strKey)
{
    if (const auto it = m_mapEnds.find(strKey); it != m_mapEnds.end())
        m_mapEnds.erase(it);
    m_mapChanged.insert_or_assign(std::wstring(strKey), false);
}

CMuteList::TimePoint TomorrowMorning(CMuteList::TimePoint tNow)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(tNow);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return tNow + std::chrono::hours(24);
    local.tm_mday += 1; // mktime carries it into the next month or year
    local.tm_hour = 8;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}
