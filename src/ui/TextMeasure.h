// Text measuring for layout, in the default GUI font unless a font is given.
#pragma once

#include "platform/Geometry.h"

#include <string>

class CFont;
class CWnd;

// The window whose device context measures (null: the main window; without one, a memory
// context). All give the same sizes here; the window only matters where contexts differ.
void SetTextMeasureWindow(CWnd* pWnd);
CWnd* GetTextMeasureWindow();

// Width of the text as one line; 0 for an empty text.
int GetTextWidth(const std::wstring& strText, CFont* pFont = nullptr);
// Width and height of the text as one line.
CSize GetTextLineSize(const std::wstring& strText, CFont* pFont = nullptr);
// Width and height of the text broken at spaces to fit nWidth (line breaks in the text start new
// lines too); (0, 0) for an empty text.
CSize GetTextSize(const std::wstring& strText, CFont* pFont, int nWidth);
