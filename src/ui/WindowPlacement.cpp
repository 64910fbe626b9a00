#include "ui/WindowPlacement.h"

#include "platform/System.h"
#include "platform/Wnd.h"

#include <algorithm>

CRect PlaceInWorkArea(const CRect& rcOwner, CSize size, const CRect& rcWorkArea)
{
    int x = rcOwner.left + (rcOwner.Width() - size.cx) / 2;
    int y = rcOwner.top + (rcOwner.Height() - size.cy) / 2;
    // Right and bottom first, so that a window larger than the area keeps its top-left corner
    // (title bar) visible.
    x = std::max<int>(std::min<int>(x, rcWorkArea.right - size.cx), rcWorkArea.left);
    y = std::max<int>(std::min<int>(y, rcWorkArea.bottom - size.cy), rcWorkArea.top);
    return CRect(x, y, x + size.cx, y + size.cy);
}

CRect PlaceOverOwner(CWnd* pOwner, CSize size)
{
    if (pOwner != nullptr && pOwner->GetSafeHwnd() == nullptr)
        pOwner = nullptr;
    const CRect rcWork = GetMonitorWorkArea(pOwner);
    CRect rcOwner = rcWork;
    if (pOwner != nullptr)
        pOwner->GetWindowRect(&rcOwner);
    return PlaceInWorkArea(rcOwner, size, rcWork);
}
