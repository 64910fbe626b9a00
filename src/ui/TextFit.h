// Fitting a text into a box of a given size: for messages whose length the program does not
// control (game ids, names from files), so that the window showing them stays on the screen.
#pragma once

#include "platform/Geometry.h"

#include <string>

class CFont;

// The text with line breaks ("\n") added so that no line is wider than sizeBox.cx: breaks go at
// spaces, and a word too wide for a line of its own is broken between characters (nothing of it
// is lost). When the lines are more than sizeBox.cy holds, the last one that fits ends in "…" and
// the rest is left out. At least one line (or one character of it) is always kept. Measured in
// pFont (null: the default GUI font).
std::wstring FitTextToBox(const std::wstring& strText, CFont* pFont, CSize sizeBox);
