// One game entry of the game list: the user's seat in one game (or the game's shared entry).
#pragma once

#include "pbem/PBEMGameEvent.h"
#include "pbem/PBEMGamePlayer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMaskedBitmap;

class CPBEMGameState
{
public:
    // The PlayerId without its last four characters ("-Pnn"); empty when it is shorter.
    std::wstring GetGameId() const;
    // The decimal value of the PlayerId's last two characters (leading digits only; none give 0).
    int GetPlayerNumber() const;
    // The flag of the first player with that number, asked of g_pFlagImageLoader on first use
    // only; null when no such player, or when no loader is installed or it gave no picture.
    CMaskedBitmap* FindPlayer(int nPlayer);

    std::wstring m_strInstanceId;
    std::wstring m_strAuxText;
    std::wstring m_strPlayerId;
    std::wstring m_strPassword;
    std::wstring m_strFlagName;
    std::shared_ptr<CMaskedBitmap> m_bmpFlag; // loaded by LoadAtStartup
    bool m_bFlagAsked = false;                // the loader was asked, even if it failed
    std::wstring m_strAnsiText;               // stored as Windows-1252 text
    std::int32_t m_nTurn = 1;
    bool m_bNewEvents = false;
    std::uint32_t m_nHighestEventId = 0;
    std::vector<std::unique_ptr<CPBEMGameEvent>> m_listEvents; // newest first; not in PBEM.data
    std::vector<std::unique_ptr<CPBEMGamePlayer>> m_listPlayers;
};

// Asks g_pFlagImageLoader for the flag strFlagName into pFlag unless bAsked says it was asked
// before; a failed load is not retried. Without a loader nothing happens. A name that is not a
// plain file name is asked for as no flag (an empty name), so that no file outside the flags
// folder is ever loaded.
void LoadFlagOnce(const std::wstring& strFlagName, std::shared_ptr<CMaskedBitmap>& pFlag,
                  bool& bAsked);

// "%s-P%02d" from a game id and a player number.
std::wstring MakePlayerId(std::wstring_view strGameId, int nPlayer);
