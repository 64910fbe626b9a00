#include "DemoHappenings.h"

#include "base/Encoding.h"
#include "base/Format.h"

#include <array>
#include <chrono>
#include <cstdio>

namespace
{

constexpr std::array<const wchar_t*, 8> kNations = {
    L"Lunegard", L"Solvania", L"Ravenmark", L"Kethra",
    L"Ostrevia", L"Veldmoor", L"Ashcombe",  L"Tarn",
};

// Games the server first hears of have been running for up to this many turns.
constexpr std::size_t kTurnsBeforeFirstSeen = 30;

constexpr const wchar_t* kMailSubjects[] = {
    L"Non-aggression pact",      L"Re: Alliance against %s", L"Trade route through %s",
    L"Your fleet off our coast", L"Grain for iron?",         L"The border at the Narrows",
};

constexpr const wchar_t* kChatLines[] = {
    L"Ready when you are.", L"Did you see what %s just did?", L"Give me one more turn, please.",
    L"Good game so far!",   L"Are you still there?",          L"Watch out for %s.",
};

enum class EHappening
{
    Mail,
    Chat,
    War,
    Orders,
    NewTurn,
};

std::uint32_t Pick(std::mt19937& random, std::size_t nChoices)
{
    return static_cast<std::uint32_t>(random() % nChoices);
}

// Any player of the game but the two given (0 excludes nobody); when nobody else is left, nNot1.
int OtherPlayer(const SDemoGameFacts& game, int nNot1, int nNot2, std::mt19937& random)
{
    std::vector<int> candidates;
    for (int nPlayer = 1; nPlayer <= game.nPlayers; ++nPlayer)
    {
        if (nPlayer != nNot1 && nPlayer != nNot2)
            candidates.push_back(nPlayer);
    }
    return candidates.empty() ? nNot1 : candidates[Pick(random, candidates.size())];
}

SDemoHappening Happening(const SDemoGameFacts& game, int nEntryPlayer, int nFromPlayer,
                         std::string_view strKind, std::wstring strText)
{
    SDemoHappening happening;
    happening.strType = strKind;
    if (nFromPlayer != 0)
        happening.strSender = WideToAnsi(DemoNationName(game.strGameId, nFromPlayer));
    CPBEMGameEvent& event = happening.event;
    event.m_strGameId = AnsiToWide(game.strGameId);
    event.m_nFromPlayer = nFromPlayer;
    event.m_bShared = nEntryPlayer == 0;
    event.m_nPlayer = nEntryPlayer;
    event.m_strKind = strKind;
    event.m_strText = std::move(strText);
    return happening;
}

SDemoHappening Make(EHappening what, SDemoGameFacts& game, int nEntryPlayer, std::mt19937& random)
{
    const int nFrom = OtherPlayer(game, nEntryPlayer, 0, random);
    const std::wstring strFrom = DemoNationName(game.strGameId, nFrom);
    // A third nation to talk about.
    const int nThird = OtherPlayer(game, nEntryPlayer, nFrom, random);
    const std::wstring strThird = DemoNationName(game.strGameId, nThird);

    switch (what)
    {
    case EHappening::Mail:
    {
        const std::wstring strSubject =
            FormatText(kMailSubjects[Pick(random, std::size(kMailSubjects))], {strThird});
        return Happening(game, nEntryPlayer, nFrom, "Mail",
                         FormatText(L"Mail from %s: %s", {strFrom, strSubject}));
    }
    case EHappening::Chat:
    {
        const std::wstring strLine =
            FormatText(kChatLines[Pick(random, std::size(kChatLines))], {strThird});
        return Happening(game, nEntryPlayer, nFrom, "IM",
                         FormatText(L"%s: %s", {strFrom, strLine}));
    }
    case EHappening::War:
    {
        // On the player's own nation, or between two others in the shared entry.
        const int nTarget = nEntryPlayer != 0 ? nEntryPlayer : nThird;
        return Happening(game, nEntryPlayer, nFrom, "DeclareWar",
                         FormatText(L"%s has declared war on %s!",
                                    {strFrom, DemoNationName(game.strGameId, nTarget)}));
    }
    case EHappening::Orders:
        return Happening(
            game, nEntryPlayer, nFrom, "OrdersSubmitted",
            FormatText(L"%s has submitted its orders for turn %d.", {strFrom, game.nTurn}));
    case EHappening::NewTurn:
        break;
    }
    ++game.nTurn;
    return Happening(game, nEntryPlayer, 0, "NewTurn",
                     FormatText(L"Turn %d has begun.", {game.nTurn}));
}

EHappening RandomHappening(int nEntryPlayer, std::mt19937& random)
{
    // Players get mail and chat; the shared entry hears what concerns everyone.
    static constexpr EHappening kForPlayer[] = {EHappening::Mail, EHappening::Mail,
                                                EHappening::Chat, EHappening::Chat,
                                                EHappening::War,  EHappening::Orders};
    static constexpr EHappening kForAll[] = {EHappening::NewTurn, EHappening::War,
                                             EHappening::Orders};
    return nEntryPlayer != 0 ? kForPlayer[Pick(random, std::size(kForPlayer))]
                             : kForAll[Pick(random, std::size(kForAll))];
}

// The value of the game id's digits, modulo nModulus.
std::size_t GameIdNumber(std::string_view strGameId, std::size_t nModulus)
{
    std::size_t nNumber = 0;
    for (const char c : strGameId)
    {
        if (c >= '0' && c <= '9')
            nNumber = (nNumber * 10 + static_cast<std::size_t>(c - '0')) % nModulus;
    }
    return nNumber;
}

} // namespace

std::wstring DemoNationName(std::string_view strGameId, int nPlayer)
{
    const std::size_t nSeat = nPlayer > 0 ? static_cast<std::size_t>(nPlayer - 1) : 0;
    return kNations[(GameIdNumber(strGameId, kNations.size()) + nSeat) % kNations.size()];
}

int DemoFirstTurn(std::string_view strGameId)
{
    return 1 + static_cast<int>(GameIdNumber(strGameId, kTurnsBeforeFirstSeen));
}

std::string DemoTurnDate(int nTurn)
{
    using namespace std::chrono;
    const year_month_day date{sys_days{year{2024} / March / 1} + days{nTurn - 1}};
    char szDate[16];
    std::snprintf(szDate, sizeof szDate, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return szDate;
}

std::vector<SDemoHappening> OpeningHappenings(SDemoGameFacts& game, int nEntryPlayer,
                                              std::mt19937& random)
{
    std::vector<SDemoHappening> happenings;
    if (nEntryPlayer != 0)
    {
        happenings.push_back(Make(EHappening::Mail, game, nEntryPlayer, random));
        happenings.push_back(Make(Pick(random, 2) == 0 ? EHappening::Chat : EHappening::Orders,
                                  game, nEntryPlayer, random));
    }
    else
    {
        happenings.push_back(Make(EHappening::Orders, game, nEntryPlayer, random));
        happenings.push_back(Make(EHappening::War, game, nEntryPlayer, random));
    }
    return happenings;
}

std::vector<SDemoHappening> NewsHappenings(SDemoGameFacts& game, int nEntryPlayer,
                                           std::mt19937& random)
{
    std::vector<SDemoHappening> happenings;
    if (Pick(random, 4) == 0)
    {
        happenings.push_back(Happening(game, nEntryPlayer, 0, "NewGame",
                                       FormatText(L"A new game is looking for players: G%d",
                                                  {5000 + static_cast<int>(Pick(random, 5000))})));
    }
    const std::uint32_t nCount = 1 + Pick(random, 2);
    for (std::uint32_t i = 0; i < nCount; ++i)
        happenings.push_back(
            Make(RandomHappening(nEntryPlayer, random), game, nEntryPlayer, random));
    return happenings;
}
