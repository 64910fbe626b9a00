// One player of a game entry, as the game program stores it.
#pragma once

#include "res/MaskedBitmap.h"

#include <cstdint>
#include <string>

class CPBEMGamePlayer
{
public:
    std::int32_t m_nPlayer = 0;
    std::wstring m_strFlagName; // file name in Data/Images/Flags/
    CMaskedBitmap m_bmpFlag;    // loaded on first use
    std::string m_strAnsiText;  // kept byte for byte, not interpreted
};
