// The second base of the skinned buttons: what a control could tell the tooltip about itself.
// Nothing in the program overrides or asks it; controls keep these defaults.
#pragma once

#include <string>

class CWnd;

class CVelTooltip2Owner
{
public:
    virtual ~CVelTooltip2Owner() = default;

    virtual std::wstring GetTooltipText() { return std::wstring(); }
    virtual void ShowOwnTooltip(CWnd* /*pControl*/, int /*x*/, int /*y*/) {}

    bool m_bOwnTooltip = false;
    int m_nTipOffsetX = 0;
    int m_nTipOffsetY = 20;
};
