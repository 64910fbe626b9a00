// What happens in the demo server's games: invented nations, mail, chat, wars, orders and turns,
// as event records ready to be numbered and sent.
#pragma once

#include "pbem/PBEMGameEvent.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// What the demo server knows of one game.
struct SDemoGameFacts
{
    std::string strGameId; // as posted (ANSI)
    int nPlayers = 4;      // players 1 to nPlayers take part
    int nTurn = 1;
};

// One event before the server numbers it.
struct SDemoHappening
{
    std::string strType;   // the answer's event type; also the record's kind
    std::string strSender; // the sending nation (ANSI), empty for the server's own news
    CPBEMGameEvent event;  // the record's fields
};

// The nation of a player: each game deals the eight nations out in its own order (by its id's
// digits), so a player keeps one nation through every event of a game, whoever asks.
std::wstring DemoNationName(std::string_view strGameId, int nPlayer);
// The turn a game is in when the server first hears of it, also taken from its id's digits.
int DemoFirstTurn(std::string_view strGameId);
// The turn's date as the server writes dates: "YYYYMMDD", one day per turn.
std::string DemoTurnDate(int nTurn);

// The first events a game entry (nEntryPlayer; 0 for the shared entry) receives: always two.
std::vector<SDemoHappening> OpeningHappenings(SDemoGameFacts& game, int nEntryPlayer,
                                              std::mt19937& random);
// Later news for an entry: one or two events, now and then after a "NewGame" notice, which is
// never the last of them (the program skips those and so never counts their ids as known).
std::vector<SDemoHappening> NewsHappenings(SDemoGameFacts& game, int nEntryPlayer,
                                           std::mt19937& random);
