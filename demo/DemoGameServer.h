// The demo game server's state and answers, apart from HTTP: it turns the fields of a post into
// the status and text of the answer. Every game entry it is asked about gets a sequence of
// invented events; each download sends an entry the events above the highest id it knows, and
// now and then some news. Safe to call from several threads at once.
#pragma once

#include "DemoHappenings.h"

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <random>
#include <string>

// A post's fields by name; of fields with the same name, the first.
using DemoFormFields = std::map<std::string, std::string>;

struct SDemoReply
{
    int nStatus = 200;
    std::string strBody; // text/plain
};

class CDemoGameServer
{
public:
    // The same seed and the same posts give the same answers.
    explicit CDemoGameServer(std::uint32_t nSeed = 1);

    // "DownloadEvent" = "1", then for i = 1, 2, ... until "G<i>" is missing: "G<i>" (game id),
    // "P<i>" (player number, 0 for the shared entry), "Pw<i>" (game password: any) and
    // "HEventId<i>" (highest known event id, signed or unsigned 32-bit decimal). A garbled field
    // gives 400. Entries with an empty game id are left out of the answer.
    SDemoReply DownloadEvents(const DemoFormFields& fields);
    // "Username", "Password" (any; the demo has no accounts) and "LookingForPBEMGame" ("0"/"1").
    SDemoReply SetLookingForGame(const DemoFormFields& fields);

    // Bounds on what strangers' posts can make the server keep.
    static constexpr std::size_t kMaxEntries = 1000;
    static constexpr std::size_t kMaxEventsPerEntry = 64;

private:
    struct SStoredEvent
    {
        std::uint32_t nId = 0;
        std::string strSender;
        std::string strDate;
        std::string strType;
        std::string strContent; // the escaped record
    };
    struct SEntry
    {
        std::deque<SStoredEvent> events; // oldest first
        int nDownloads = 0;
        int nQuietDownloads = 0; // downloads still to pass before the next news
    };
    struct SGame
    {
        SDemoGameFacts facts;
        std::uint64_t nNextId = 1; // above 0xFFFFFFFF: the game's ids are used up
        std::map<int, SEntry> entries;
    };

    void AddHappenings(SGame& game, SEntry& entry, std::vector<SDemoHappening> happenings);

    std::mutex m_mutex;
    std::mt19937 m_random;
    std::map<std::string, SGame> m_games;
    std::size_t m_nEntries = 0;
};
