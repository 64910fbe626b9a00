// The images and extra texts a CVelButton draws.
#pragma once

#include "platform/WinTypes.h"

#include <string>

class CFont;
class CMaskedBitmap;

// Placement 7: at m_nX, m_nY. The only one used.
inline constexpr int VEL_PLACE_AT_XY = 7;
// CTextDesc colour meaning "the button's current text colour".
inline constexpr COLORREF VEL_BUTTON_TEXT_COLOUR = 1;

// One image on a button.
class CBitmapDesc
{
public:
    int m_nPlacement = VEL_PLACE_AT_XY;
    int m_nX = 0;
    int m_nY = 0;
    COLORREF m_crKey = RGB(255, 0, 255);
    // The button deletes the bitmap when this entry goes.
    bool m_bOwned = false;
    // Moves by the button's press offset while pressed.
    bool m_bShiftWhenPressed = true;
    CMaskedBitmap* m_pBitmap = nullptr;
};

// One extra text on a button.
class CTextDesc
{
public:
    CFont* m_pFont = nullptr; // null: the button's font
    COLORREF m_crColor = VEL_BUTTON_TEXT_COLOUR;
    std::wstring m_strText;
    int m_nX = 0;
    int m_nY = 0;
    int m_nWidth = 0; // 0: not clipped
};
