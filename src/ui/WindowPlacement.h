// Where a window opens when nothing else places it: centred on its owner, inside the work area of
// the owner's monitor, so that a window manager that leaves placement to the program still shows
// it where the user looks.
#pragma once

#include "platform/Geometry.h"

class CWnd;

// Centred on rcOwner, then moved (never resized) so that it lies inside rcWorkArea; a window
// larger than the area keeps its top-left corner (title bar) inside it.
CRect PlaceInWorkArea(const CRect& rcOwner, CSize size, const CRect& rcWorkArea);
// The same for a window of the size over pOwner's window and its monitor's work area; without an
// owner window, centred in the primary screen's work area.
CRect PlaceOverOwner(CWnd* pOwner, CSize size);
