// The colours and measures that every frame piece and button of the skin shares, so the pieces
// meet without seams.
#pragma once

#include "Canvas.h"

namespace look
{

// Dialog interior and bottom-button face (the colour the dialogs fill their labels with).
inline constexpr SColour FACE = Rgb(168, 174, 186);
// What the title buttons are filled with before their image is drawn.
inline constexpr SColour TITLE_BUTTON_FACE = Rgb(171, 178, 189);
inline constexpr SColour OUTLINE = Rgb(62, 70, 86);
inline constexpr SColour HIGHLIGHT = Rgb(234, 238, 244);
inline constexpr SColour SHADOW = Rgb(116, 124, 140);
inline constexpr SColour TITLE_TOP = Rgb(226, 230, 237);
inline constexpr SColour TITLE_BOTTOM = Rgb(180, 186, 198);
inline constexpr SColour SEPARATOR = Rgb(140, 147, 161);
// Glyphs on light faces (arrows, title-button symbols).
inline constexpr SColour INK = Rgb(50, 57, 71);

// Height of the title strip: the title text stands at y 7 and the 19-pixel buttons at y 3.
inline constexpr int TITLE_HEIGHT = 25;
// Width of the left end of the title bar; the title text starts 4 pixels before its end.
inline constexpr int TITLE_END_WIDTH = 14;
// Width of the left, right and bottom edges.
inline constexpr int EDGE = 4;
// Side of the lower corner pieces; they hold the curve of the 16 × 16 corner and the size grip.
inline constexpr int CORNER = 12;
inline constexpr int TITLE_BUTTON_SIZE = 19;
inline constexpr int TITLE_BUTTON_TOP = 3;

// Colour of row y of the title strip, away from the window's edges. The last row is the face,
// so a strip drawn one row short looks the same.
SColour TitleRow(int y);

// Pixels that the rounded window region (16 × 16 corner ellipse) cuts off at each end of row y
// of a window nHeight rows high: those whose centres lie outside the corner's quarter ellipse.
int RoundRegionInset(int y, int nHeight);

} // namespace look
