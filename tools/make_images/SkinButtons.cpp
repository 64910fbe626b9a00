// Title-bar buttons, the bottom button faces and the check boxes.
#include "ImageSet.h"
#include "Shapes.h"
#include "SkinLook.h"

#include <functional>
#include <string>

namespace
{

using namespace look;

struct SButtonLook
{
    SColour border;
    SColour shine; // first row inside the border
    SColour top;
    SColour bottom;
    SColour ink;
};

constexpr SButtonLook NORMAL{Rgb(100, 108, 124), Rgb(248, 249, 251), Rgb(232, 235, 240),
                             Rgb(192, 198, 209), INK};
constexpr SButtonLook HOVER{Rgb(64, 100, 160), Rgb(250, 252, 255), Rgb(232, 240, 252),
                            Rgb(184, 206, 238), Rgb(24, 54, 108)};
constexpr SButtonLook CLOSE_HOVER{Rgb(138, 30, 24), Rgb(250, 156, 142), Rgb(232, 98, 82),
                                  Rgb(190, 40, 30), WHITE};

// Draws the symbol in the ink.
using FSymbol = std::function<void(CCanvas&, SColour)>;

// A 19 × 19 button standing on the title strip. The margin repeats the strip's rows, so the
// button needs no key colour and shows the same on any face colour.
CCanvas TitleButton(const SButtonLook& look, const FSymbol& symbol)
{
    const int n = TITLE_BUTTON_SIZE;
    CCanvas button(n, n);
    for (int y = 0; y < n; ++y)
        button.HLine(0, n - 1, y, TitleRow(TITLE_BUTTON_TOP + y));
    button.FrameRect(1, 1, n - 2, n - 2, look.border);
    // Softened border corners, toward the strip just outside them.
    for (const auto& [x, y] : {std::pair{1, 1}, {n - 2, 1}, {1, n - 2}, {n - 2, n - 2}})
        button.Set(x, y, Mix(look.border, button.Get(x == 1 ? 0 : n - 1, y), 0.6));
    button.VGradient(2, 3, n - 4, n - 5, look.top, look.bottom);
    button.HLine(2, n - 3, 2, look.shine);
    symbol(button, look.ink);
    return button;
}

// The symbols sit on the button's centre pixel (9, 9).
void CrossSymbol(CCanvas& c, SColour ink)
{
    Paint(c, Stroke({{6.5, 6.5}, {12.5, 12.5}}, 1.7), Solid(ink));
    Paint(c, Stroke({{12.5, 6.5}, {6.5, 12.5}}, 1.7), Solid(ink));
}

void MinimizeSymbol(CCanvas& c, SColour ink)
{
    c.FillRect(6, 12, 7, 2, ink);
}

void MaximizeSymbol(CCanvas& c, SColour ink)
{
    c.FrameRect(5, 5, 9, 8, ink);
    c.HLine(5, 13, 6, ink);
}

void HelpSymbol(CCanvas& c, SColour ink)
{
    c.Glyph(6, 5, {".####.", "##..##", "....##", "..###.", "..##..", "......", "..##.."}, ink);
}

// Face of a push button of any size: rounded border, light gradient. Pixels off the rounded
// corners stay transparent.
CCanvas PushButton(int w, int h, SColour border, SColour shine, SColour top, SColour bottom)
{
    CCanvas button(w, h);
    button.FrameRect(0, 0, w, h, border);
    button.HLine(1, w - 2, 1, shine);
    button.VGradient(1, 2, w - 2, h - 3, top, bottom);
    const SColour soft{border.r, border.g, border.b, 110};
    for (const auto& [x, y, sx, sy] :
         {std::tuple{0, 0, 1, 1}, {w - 1, 0, -1, 1}, {0, h - 1, 1, -1}, {w - 1, h - 1, -1, -1}})
    {
        button.Set(x, y, TRANSPARENT);
        button.Set(x + sx, y, soft);
        button.Set(x, y + sy, soft);
        button.Set(x + sx, y + sy, Mix(border, button.Get(x + 2 * sx, y + 2 * sy), 0.5));
    }
    return button;
}

// 11 × 11 box for white rows, corners cut.
CCanvas CheckBox(bool bTicked)
{
    CCanvas box(11, 11, MAGENTA);
    box.FrameRect(0, 0, 11, 11, Rgb(106, 114, 130));
    box.VGradient(1, 1, 9, 9, Rgb(222, 227, 235), WHITE);
    for (const auto& [x, y] : {std::pair{0, 0}, {10, 0}, {0, 10}, {10, 10}})
        box.Set(x, y, MAGENTA);
    if (bTicked)
    {
        const SColour tick = Rgb(30, 82, 150);
        box.Glyph(2, 3, {"......#", ".....##", "#...##.", "##.##..", ".###...", "..#...."}, tick);
        box.Glyph(2, 3, {".......", "......#", ".....#.", "....#..", "...#...", ".#.#..."},
                  Mix(WHITE, tick, 0.35));
    }
    return box;
}

void Add(ImageSet& set, const std::string& strName, CCanvas canvas,
         EFileForm eForm = EFileForm::Bmp24)
{
    set.push_back({std::string(SKIN_DIR) + strName, std::move(canvas), eForm});
}

} // namespace

void AddSkinButtons(ImageSet& set)
{
    // Drawn with the key on the dialog face, which its soft corners blend into.
    CCanvas bottomButton = PushButton(90, 28, Rgb(86, 94, 110), Rgb(252, 253, 254),
                                      Rgb(238, 240, 244), Rgb(196, 202, 212));
    FlattenToKey(bottomButton, FACE);
    Add(set, "ButtonBlank90.bmp", std::move(bottomButton));
    Add(set, "ButtonClose.bmp", TitleButton(NORMAL, CrossSymbol));
    Add(set, "ButtonCloseHover.bmp", TitleButton(CLOSE_HOVER, CrossSymbol));
    Add(set, "ButtonMaximize.bmp", TitleButton(NORMAL, MaximizeSymbol));
    Add(set, "ButtonMaxHover.bmp", TitleButton(HOVER, MaximizeSymbol));
    Add(set, "ButtonMinimize.bmp", TitleButton(NORMAL, MinimizeSymbol));
    Add(set, "ButtonMinHover.bmp", TitleButton(HOVER, MinimizeSymbol));
    Add(set, "ButtonHelp.bmp", TitleButton(NORMAL, HelpSymbol));
    Add(set, "ButtonHelpHover.bmp", TitleButton(HOVER, HelpSymbol));
    // The ticked box is the one image kept with a palette.
    Add(set, "Check1.bmp", CheckBox(true), EFileForm::Bmp8);
    Add(set, "Check2.bmp", CheckBox(false));
    Add(set, "Button-White-100.png",
        PushButton(100, 26, Rgb(150, 158, 172), WHITE, Rgb(253, 253, 254), Rgb(230, 234, 240)),
        EFileForm::Png);
}
