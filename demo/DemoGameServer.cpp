#include "DemoGameServer.h"

#include "base/Encoding.h"
#include "pbem/AnswerWriter.h"
#include "pbem/EventFiles.h"
#include "pbem/EventRecordWriter.h"
#include "pbem/PBEMGameState.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

namespace
{

constexpr std::size_t kMaxGameIdLength = 64;
constexpr int kMinPlayers = 4;
constexpr std::uint64_t kIdsUsedUp = std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1;

struct SPostedEntry
{
    std::string strGameId;
    int nPlayer = 0;
    std::uint32_t nHighestId = 0;
};

SDemoReply BadRequest(std::string_view strWhy)
{
    return {400, std::string(strWhy) + "\n"};
}

const std::string* Field(const DemoFormFields& fields, const std::string& strName)
{
    const auto it = fields.find(strName);
    return it == fields.end() ? nullptr : &it->second;
}

// A player number as the program sends it: plain decimal, two digits at most.
std::optional<int> ParsePlayerNumber(std::string_view strText)
{
    if (strText.empty() || strText.size() > 2)
        return std::nullopt;
    int nPlayer = 0;
    for (const char c : strText)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        nPlayer = nPlayer * 10 + (c - '0');
    }
    return nPlayer;
}

// The program prints the unsigned id as a signed number; either form of the same 32 bits is taken.
std::optional<std::uint32_t> ParseEventId(std::string_view strText)
{
    const bool bNegative = !strText.empty() && strText.front() == '-';
    if (bNegative)
        strText.remove_prefix(1);
    if (strText.empty() || strText.size() > 10)
        return std::nullopt;
    std::uint64_t nValue = 0;
    for (const char c : strText)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        nValue = nValue * 10 + static_cast<std::uint64_t>(c - '0');
    }
    const std::uint64_t nLimit =
        bNegative ? std::uint64_t{1} << 31 : std::numeric_limits<std::uint32_t>::max();
    if (nValue > nLimit)
        return std::nullopt;
    const auto nId = static_cast<std::uint32_t>(nValue);
    return bNegative ? 0u - nId : nId;
}

// The entries of a download post in their order; a text for the 400 answer when a field is garbled.
std::optional<std::string> ParseDownloadPost(const DemoFormFields& fields,
                                             std::vector<SPostedEntry>& entries)
{
    const std::string* pDownload = Field(fields, "DownloadEvent");
    if (pDownload == nullptr || *pDownload != "1")
        return "DownloadEvent=1 missing";
    // Each entry takes four fields, which bounds the loop by the post's size.
    for (std::size_t i = 1; i <= fields.size() / 4; ++i)
    {
        const std::string strIndex = std::to_string(i);
        const std::string* pGameId = Field(fields, "G" + strIndex);
        if (pGameId == nullptr)
            break;
        const std::string* pPlayer = Field(fields, "P" + strIndex);
        const std::string* pPassword = Field(fields, "Pw" + strIndex);
        const std::string* pHighest = Field(fields, "HEventId" + strIndex);
        if (pPlayer == nullptr || pPassword == nullptr || pHighest == nullptr)
            return "entry " + strIndex + " incomplete";
        if (pGameId->size() > kMaxGameIdLength ||
            (!pGameId->empty() && !IsSafeGameId(AnsiToWide(*pGameId))))
            return "G" + strIndex + " is not a game id";
        const std::optional<int> nPlayer = ParsePlayerNumber(*pPlayer);
        if (!nPlayer)
            return "P" + strIndex + " is not a player number";
        const std::optional<std::uint32_t> nHighest = ParseEventId(*pHighest);
        if (!nHighest)
            return "HEventId" + strIndex + " is not an event id";
        entries.push_back({*pGameId, *nPlayer, *nHighest});
    }
    return std::nullopt;
}

} // namespace

CDemoGameServer::CDemoGameServer(std::uint32_t nSeed) : m_random(nSeed) {}

void CDemoGameServer::AddHappenings(SGame& game, SEntry& entry,
                                    std::vector<SDemoHappening> happenings)
{
    // All or nothing: a "NewGame" notice must not be left last by ids running out.
    if (game.nNextId + happenings.size() > kIdsUsedUp)
        return;
    for (SDemoHappening& happening : happenings)
    {
        SStoredEvent stored;
        stored.nId = static_cast<std::uint32_t>(game.nNextId++);
        stored.strSender = std::move(happening.strSender);
        stored.strDate = DemoTurnDate(game.facts.nTurn);
        stored.strType = std::move(happening.strType);
        stored.strContent = BuildEscapedEventRecord(happening.event);
        entry.events.push_back(std::move(stored));
    }
    while (entry.events.size() > kMaxEventsPerEntry)
        entry.events.pop_front();
}

SDemoReply CDemoGameServer::DownloadEvents(const DemoFormFields& fields)
{
    std::vector<SPostedEntry> posted;
    if (const std::optional<std::string> strError = ParseDownloadPost(fields, posted))
        return BadRequest(*strError);

    const std::lock_guard<std::mutex> lock(m_mutex);
    // First every entry's known ids: new events of a game go above all of them, so that none of
    // its entries misses them.
    std::vector<SEntry*> entries(posted.size(), nullptr);
    for (std::size_t i = 0; i < posted.size(); ++i)
    {
        const SPostedEntry& post = posted[i];
        if (post.strGameId.empty())
            continue;
        auto itGame = m_games.find(post.strGameId);
        const bool bKnown =
            itGame != m_games.end() && itGame->second.entries.count(post.nPlayer) != 0;
        if (!bKnown && m_nEntries >= kMaxEntries)
            continue; // answered with an empty block
        if (itGame == m_games.end())
        {
            itGame = m_games.emplace(post.strGameId, SGame()).first;
            itGame->second.facts.strGameId = post.strGameId;
            itGame->second.facts.nTurn = DemoFirstTurn(post.strGameId);
        }
        SGame& game = itGame->second;
        if (!bKnown)
            ++m_nEntries;
        entries[i] = &game.entries[post.nPlayer];
        game.facts.nPlayers = std::max({game.facts.nPlayers, kMinPlayers, post.nPlayer});
        game.nNextId = std::max(game.nNextId, std::uint64_t{post.nHighestId} + 1);
    }

    CAnswerWriter answer;
    std::set<std::pair<std::string, int>> answered;
    for (std::size_t i = 0; i < posted.size(); ++i)
    {
        const SPostedEntry& post = posted[i];
        if (post.strGameId.empty() || !answered.emplace(post.strGameId, post.nPlayer).second)
            continue; // one block per entry, even when the post names it twice
        answer.BeginPlayer(WideToAnsi(MakePlayerId(AnsiToWide(post.strGameId), post.nPlayer)));
        SEntry* pEntry = entries[i];
        if (pEntry == nullptr)
            continue;
        SGame& game = m_games.at(post.strGameId);
        // News after one to three quiet downloads, so a download right after the first one
        // brings nothing new.
        if (pEntry->nQuietDownloads > 0)
        {
            --pEntry->nQuietDownloads;
        }
        else
        {
            AddHappenings(game, *pEntry,
                          pEntry->nDownloads == 0
                              ? OpeningHappenings(game.facts, post.nPlayer, m_random)
                              : NewsHappenings(game.facts, post.nPlayer, m_random));
            pEntry->nQuietDownloads = 1 + static_cast<int>(m_random() % 3);
        }
        ++pEntry->nDownloads;

        for (const SStoredEvent& stored : pEntry->events)
        {
            if (stored.nId > post.nHighestId)
                answer.AddEvent(stored.nId, stored.strSender, stored.strDate, stored.strType,
                                stored.strContent);
        }
    }
    return {200, answer.Finish()};
}

SDemoReply CDemoGameServer::SetLookingForGame(const DemoFormFields& fields)
{
    const std::string* pLooking = Field(fields, "LookingForPBEMGame");
    if (Field(fields, "Username") == nullptr || Field(fields, "Password") == nullptr ||
        pLooking == nullptr)
        return BadRequest("Username, Password and LookingForPBEMGame expected");
    if (*pLooking != "0" && *pLooking != "1")
        return BadRequest("LookingForPBEMGame is not 0 or 1");
    return {200, "OK\n"};
}
