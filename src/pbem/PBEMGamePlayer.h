// One player of a game entry, as the game program stores it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CMaskedBitmap;

class CPBEMGamePlayer
{
public:
    std::int32_t m_nPlayer = 0;
    std::wstring m_strFlagName;               // file name in Data/Images/Flags/
    std::shared_ptr<CMaskedBitmap> m_bmpFlag; // loaded on first use (FindPlayer)
    bool m_bFlagAsked = false;                // the loader was asked, even if it failed
    std::string m_strAnsiText;                // kept byte for byte, not interpreted
};
