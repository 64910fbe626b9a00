// One game event: what the server sent about a game, or what an event file holds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CPBEMGameEvent
{
public:
    std::uint32_t m_nEventId = 0;
    std::wstring m_strGameId;       // empty: the event's record was not readable
    std::int32_t m_nFromPlayer = 0; // player whose flag is shown (0: none)
    bool m_bShared = false;         // filed under player number 00
    std::int32_t m_nPlayer = 0;     // player number it is filed under when not shared
    std::string m_strKind;          // "IM", "Mail", "DeclareWar", ...
    std::wstring m_strText;
    std::unique_ptr<unsigned char[]> m_pData;
    std::int32_t m_nDataSize = 0;
    std::wstring m_strFileName; // name in the PBEM folder; empty while not on disk
    std::string m_strRaw;       // escaped text as received, written to the event file
    // Came with an answer read to its end, so its id may count as known. An answer cut short
    // does not promise that the events listed after the cut have higher ids, and an event file
    // found at start-up may be what such an answer left: neither raises a highest event id.
    bool m_bIdCounts = false;
};
