// What the tests of polling from the command line share: a game list of given entries, and a
// server that answers only a post that names a given highest id.
#pragma once

#include "pbem/PBEMGameStore.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

// Writes the game list strPath (relative to temp) with one entry per key, each at nHighest.
inline void WriteTestGameList(const CTempDir& temp, const std::string& strPath,
                              std::initializer_list<const wchar_t*> keys, std::uint32_t nHighest)
{
    CPBEMGameStore store;
    for (const wchar_t* pszKey : keys)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = pszKey;
        pGame->m_nHighestEventId = nHighest;
        store.m_listGames.push_back(std::move(pGame));
    }
    temp.Write(strPath, store.Serialize());
}

// The server sends answer to a post whose first highest id is strHighest, and an empty answer
// to every other: it has nothing above what it sent.
inline void AnswerOnlyAbove(CTestHttpServer& server, const std::string& strHighest,
                            const std::string& answer)
{
    server.SetHandler(
        [strHighest, answer](const CTestHttpRequest& request, httplib::Response& res)
        {
            res.set_content(request.Field("HEventId1") == strHighest
                                ? answer
                                : "SanityCheck-5170382 Version01 ",
                            "text/plain");
        });
}
