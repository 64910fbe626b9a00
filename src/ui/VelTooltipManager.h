// Where controls register their tooltip texts. The program's one tooltip window implements this
// and sets g_pTooltipManager while it exists; until then tooltip calls do nothing.
#pragma once

#include "platform/WinTypes.h"

#include <string>

class CWnd;

class CVelTooltipManager
{
public:
    virtual ~CVelTooltipManager() = default;

    // Replaces whatever text the control had.
    virtual void SetTooltipText(CWnd* pControl, const std::wstring& strText) = 0;
    virtual void RemoveControl(CWnd* pControl) = 0;
    // Sees every message of a control before it is dispatched.
    virtual void RelayMouseMessage(MSG* pMsg) = 0;
};

extern CVelTooltipManager* g_pTooltipManager;
