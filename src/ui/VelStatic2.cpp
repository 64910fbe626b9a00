#include "ui/VelStatic2.h"

BOOL CVelStatic2::Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd)
{
    const BOOL bCreated = CVelButton::Create(lpszCaption, dwStyle, rect, pParentWnd, VEL_STATIC_ID);
    m_nPressOffsetX = 0;
    m_nPressOffsetY = 0;
    m_crHoverText = RGB(0, 0, 0);
    m_bHoverTextEnabled = true;
    return bCreated;
}
