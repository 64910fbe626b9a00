// Ranges of control and command ids, both ends included, and the ranges the general windows
// pass on to their parents.
#pragma once

#include "platform/WinTypes.h"

struct SIdRange
{
    UINT nFirst;
    UINT nLast;

    constexpr bool Contains(UINT nID) const { return nID >= nFirst && nID <= nLast; }
    constexpr UINT Count() const { return nLast - nFirst + 1; }
};

// Clicks of a panel's children.
inline constexpr SIdRange CHILD_CLICK_IDS{3, 65000};
// Notifications without a code that a box takes from inside.
inline constexpr SIdRange BOX_COMMAND_IDS{0, 65000};
// List and combo boxes whose selection changes are passed on.
inline constexpr SIdRange SELECTION_CHANGE_IDS{1200, 1201};
// Edit controls whose changes are passed on.
inline constexpr SIdRange EDIT_CHANGE_IDS{1300, 1305};
