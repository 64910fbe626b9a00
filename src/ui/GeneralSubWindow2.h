// CGeneralSubWindow2: the scrollable panel of CGeneralSubWindow, created from a rectangle
// (left, top, right, bottom) in the parent's client area instead of a position and a size.
// Everything else (content size, scrolling, commands to the parent) is CGeneralSubWindow's.
#pragma once

#include "ui/GeneralSubWindow.h"

class CGeneralSubWindow2 : public CGeneralSubWindow
{
public:
    // A visible child filling the rectangle; its size is the view size.
    BOOL Create(int nLeft, int nTop, int nRight, int nBottom, CWnd* pParent) override;
};
