// A CVelButton used as a static text or picture: no command of its own and no press shift.
#pragma once

#include "ui/VelButton.h"

// The command id every static reports.
inline constexpr UINT VEL_STATIC_ID = 0xFFFF;

class CVelStatic2 : public CVelButton
{
public:
    using CVelButton::Create;
    virtual BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd);
};
