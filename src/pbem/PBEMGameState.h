// One game entry of the game list: the user's seat in one game (or the game's shared entry).
#pragma once

#include "pbem/PBEMGameEvent.h"
#include "pbem/PBEMGamePlayer.h"
#include "res/MaskedBitmap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPBEMGameState
{
public:
    // The PlayerId without its last four characters ("-Pnn"); empty when it is shorter.
    std::wstring GetGameId() const;
    // The decimal value of the PlayerId's last two characters (leading digits only; none give 0).
    int GetPlayerNumber() const;
    // The flag of the first player with that number, loaded on first use; null when no such player.
    CMaskedBitmap* FindPlayer(int nPlayer);

    std::wstring m_strInstanceId;
    std::wstring m_strAuxText;
    std::wstring m_strPlayerId;
    std::wstring m_strPassword;
    std::wstring m_strFlagName;
    CMaskedBitmap m_bmpFlag;
    std::wstring m_strAnsiText; // stored as Windows-1252 text
    std::int32_t m_nTurn = 1;
    bool m_bNewEvents = false;
    std::uint32_t m_nHighestEventId = 0;
    std::vector<std::unique_ptr<CPBEMGameEvent>> m_listEvents; // newest first; not in PBEM.data
    std::vector<std::unique_ptr<CPBEMGamePlayer>> m_listPlayers;
};

// Loads a flag image from Data/Images/Flags/. A name that is not a plain file name (it comes from
// the shared game list) loads nothing.
bool LoadFlagImage(CMaskedBitmap& bitmap, const std::wstring& strFlagName);

// "%s-P%02d" from a game id and a player number.
std::wstring MakePlayerId(std::wstring_view strGameId, int nPlayer);
