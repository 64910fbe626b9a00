// The pictures of the main window, the looking-for-games window and the warning box. Bitmaps
// are keyed with magenta and their soft edges are blended toward the face they are drawn on;
// PNGs keep their alpha.
#include "ImageSet.h"
#include "Shapes.h"
#include "SkinLook.h"

#include <string>

namespace
{

using namespace look;

// Faces the icons are drawn on.
constexpr SColour ROW_FACE = WHITE;

constexpr SColour STEEL_LINE = Rgb(92, 102, 122);

void Add(ImageSet& set, const std::string& strName, CCanvas canvas, EFileForm eForm)
{
    set.push_back({std::string(IMAGES_DIR) + strName, std::move(canvas), eForm});
}

CCanvas KeyedOn(CCanvas canvas, SColour face)
{
    FlattenToKey(canvas, face);
    return canvas;
}

// A disc of the given colours with a border inside the image.
void Disc(CCanvas& c, SPoint centre, double radius, SColour top, SColour bottom, SColour border,
          double borderWidth)
{
    Paint(c, Circle(centre, radius - borderWidth),
          VerticalGradient(centre.y - radius, centre.y + radius, top, bottom), border, borderWidth);
}

CCanvas Globe()
{
    CCanvas c(13, 13);
    const SPoint o{6.5, 6.5};
    Disc(c, o, 6.4, Rgb(128, 188, 240), Rgb(40, 104, 186), Rgb(30, 72, 140), 0.9);
    const FShape inner = Circle(o, 5.3);
    const SColour grid = Rgb(214, 234, 252);
    const FFill lines = Solid({grid.r, grid.g, grid.b, 200});
    Paint(c, Intersect(inner, Stroke({{0, 6.5}, {13, 6.5}}, 0.8)), lines);
    Paint(c, Intersect(inner, EllipseRing(o, 2.6, 5.6, 0.8)), lines);
    Paint(c, Intersect(inner, Stroke({{0, 3.6}, {13, 3.6}}, 0.7)), lines);
    Paint(c, Intersect(inner, Stroke({{0, 9.4}, {13, 9.4}}, 0.7)), lines);
    return KeyedOn(std::move(c), ROW_FACE);
}

CCanvas Clock()
{
    CCanvas c(13, 13);
    const SPoint o{6.5, 6.5};
    Disc(c, o, 6.4, WHITE, Rgb(226, 231, 239), Rgb(58, 68, 88), 1.1);
    for (const SPoint tick : {SPoint{6.5, 2.6}, {10.4, 6.5}, {6.5, 10.4}, {2.6, 6.5}})
        Paint(c, Circle(tick, 0.55), Solid(Rgb(140, 148, 164)));
    Paint(c, Stroke({{6.5, 3.4}, {6.5, 6.5}, {9.4, 6.5}}, 1.15), Solid(INK));
    return KeyedOn(std::move(c), ROW_FACE);
}

CCanvas Chat()
{
    CCanvas c(14, 12);
    const FShape bubble =
        Union(RoundRect(1.0, 1.0, 13.0, 8.6, 2.6), Polygon({{3.2, 7.0}, {7.2, 7.0}, {2.6, 10.9}}));
    Paint(c, bubble, VerticalGradient(1, 9, Rgb(236, 244, 253), Rgb(188, 212, 242)),
          Rgb(50, 92, 156), 0.9);
    for (const double x : {4.4, 7.0, 9.6})
        Paint(c, Circle({x, 4.8}, 0.85), Solid(Rgb(50, 92, 156)));
    return KeyedOn(std::move(c), ROW_FACE);
}

CCanvas Target()
{
    CCanvas c(14, 14);
    const SPoint o{7, 7};
    const SColour red = Rgb(210, 46, 38);
    Paint(c, Circle(o, 6.1), Solid(red), Rgb(140, 22, 18), 0.8);
    Paint(c, Circle(o, 4.4), Solid(WHITE));
    Paint(c, Circle(o, 2.6), Solid(red));
    Paint(c, Circle(o, 0.9), Solid(WHITE));
    return KeyedOn(std::move(c), ROW_FACE);
}

CCanvas HelpIcon()
{
    CCanvas c(15, 15);
    Disc(c, {7.5, 7.5}, 7.4, Rgb(98, 158, 230), Rgb(30, 90, 176), Rgb(24, 62, 128), 0.9);
    FlattenToKey(c, ROW_FACE);
    c.Glyph(5, 3, {".###.", "##.##", "...##", "..##.", "..##.", ".....", "..##."}, WHITE);
    return c;
}

CCanvas AddIcon()
{
    CCanvas c(13, 13);
    Disc(c, {6.5, 6.5}, 6.4, Rgb(120, 204, 112), Rgb(38, 134, 52), Rgb(26, 94, 38), 0.9);
    FlattenToKey(c, ROW_FACE);
    c.FillRect(3, 5, 7, 3, WHITE);
    c.FillRect(5, 3, 3, 7, WHITE);
    return c;
}

// Marks with the colour the pixels of the image that touch its key-coloured surround.
void Outline(CCanvas& c, SColour colour)
{
    const CCanvas copy = c;
    const auto clear = [&](int x, int y)
    { return !copy.Contains(x, y) || copy.Get(x, y) == MAGENTA; };
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (!clear(x, y) &&
                (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1)))
                c.Set(x, y, colour);
}

// A sheet of writing with a folded corner.
CCanvas MessageIcon()
{
    CCanvas sheet(12, 14);
    sheet.FillPolygon({0, 0, 8.4, 0, 12, 3.6, 12, 14, 0, 14}, WHITE);
    CCanvas c(12, 14, MAGENTA);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 12; ++x)
            if (sheet.Get(x, y).a != 0)
                c.Set(x, y, Mix(WHITE, Rgb(230, 234, 241), y / 13.0));
    Outline(c, STEEL_LINE);
    c.VLine(8, 1, 3, STEEL_LINE);
    c.HLine(9, 10, 3, STEEL_LINE);
    c.Set(9, 2, Rgb(214, 220, 230));
    for (const int y : {6, 8, 10})
        c.HLine(2, y == 10 ? 6 : 9, y, Rgb(150, 162, 184));
    return c;
}

CCanvas UserSmall()
{
    CCanvas c(16, 16);
    const SColour outline = Rgb(40, 60, 100);
    const FFill body = VerticalGradient(1, 16, Rgb(132, 160, 204), Rgb(58, 86, 136));
    Paint(c, Circle({8, 5.0}, 3.0), body, outline, 0.8);
    Paint(c, Intersect(RoundRect(2.4, 9.6, 13.6, 20, 5), RoundRect(0, 0, 16, 15.2, 0)), body,
          outline, 0.8);
    return c;
}

CCanvas MailIcon()
{
    CCanvas c(17, 11);
    c.VGradient(1, 1, 15, 9, WHITE, Rgb(230, 234, 241));
    c.FrameRect(0, 0, 17, 11, Rgb(100, 110, 130));
    Paint(c, Stroke({{1.2, 1.2}, {8.5, 6.9}, {15.8, 1.2}}, 1.0), Solid(Rgb(100, 110, 130)));
    Paint(c, Stroke({{1.2, 9.8}, {6.2, 5.4}}, 0.8), Solid(Rgb(170, 178, 194)));
    Paint(c, Stroke({{15.8, 9.8}, {10.8, 5.4}}, 0.8), Solid(Rgb(170, 178, 194)));
    return c;
}

// The yield sign marking event counts: alpha only 0 or 255, as it is flattened onto magenta.
CCanvas Yield()
{
    CCanvas shape(13, 12);
    shape.FillPolygon({0, 0, 13, 0, 6.5, 12}, WHITE);
    CCanvas c(13, 12);
    const auto inside = [&](int x, int y) { return shape.Get(x, y).a != 0; };
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 13; ++x)
        {
            if (!inside(x, y))
                continue;
            int nDepth = 0;
            while (nDepth < 2 && inside(x - nDepth - 1, y) && inside(x + nDepth + 1, y) &&
                   inside(x, y - nDepth - 1) && inside(x, y + nDepth + 1))
                ++nDepth;
            c.Set(x, y, nDepth == 0 ? Rgb(150, 24, 18) : nDepth == 1 ? Rgb(218, 44, 34) : WHITE);
        }
    return c;
}

CCanvas Dropdown()
{
    CCanvas c(7, 4, MAGENTA);
    for (int y = 0; y < 4; ++y)
        c.HLine(y, 6 - y, y, INK);
    return c;
}

// A left arrow centred in the 17 × 21 space the back button leaves for it.
CCanvas BackArrow()
{
    CCanvas c(17, 21, MAGENTA);
    for (int x = 3; x <= 8; ++x)
        c.VLine(x, 10 - (x - 3), 10 + (x - 3), INK);
    c.FillRect(9, 9, 5, 3, INK);
    return c;
}

CCanvas Warning()
{
    CCanvas c(40, 40);
    const FShape triangle = Grown(Polygon({{20, 5.5}, {35.5, 33.5}, {4.5, 33.5}}), 2.2);
    Paint(c, triangle, VerticalGradient(4, 36, Rgb(255, 230, 104), Rgb(238, 164, 20)),
          Rgb(104, 66, 6), 1.3);
    const SColour mark = Rgb(34, 30, 26);
    Paint(c, Stroke({{20, 14}, {20, 24.5}}, 3.6), Solid(mark));
    Paint(c, Circle({20, 29.6}, 2.0), Solid(mark));
    return KeyedOn(std::move(c), FACE);
}

CCanvas CheckIcon()
{
    CCanvas c(30, 30);
    Disc(c, {15, 15}, 14.6, Rgb(124, 208, 118), Rgb(32, 128, 50), Rgb(22, 88, 34), 1.3);
    Paint(c, Stroke({{8.6, 15.4}, {13.0, 19.8}, {21.6, 10.2}}, 3.6), Solid(WHITE));
    return KeyedOn(std::move(c), FACE);
}

} // namespace

void AddWindowIcons(ImageSet& set)
{
    Add(set, "User-small.png", UserSmall(), EFileForm::Png);
    Add(set, "Message.bmp", MessageIcon(), EFileForm::Bmp24);
    Add(set, "Dropdown.bmp", Dropdown(), EFileForm::Bmp24);
    Add(set, "Add.bmp", AddIcon(), EFileForm::Bmp24);
    Add(set, "Back-Small.bmp", BackArrow(), EFileForm::Bmp24);
    Add(set, "UI-Yield.png", Yield(), EFileForm::Png);
    Add(set, "Globe13x13.bmp", Globe(), EFileForm::Bmp24);
    Add(set, "Clock.bmp", Clock(), EFileForm::Bmp24);
    Add(set, "Chat.bmp", Chat(), EFileForm::Bmp24);
    Add(set, "Mail-17x11.png", MailIcon(), EFileForm::Png);
    Add(set, "Target2.bmp", Target(), EFileForm::Bmp24);
    Add(set, "Help.bmp", HelpIcon(), EFileForm::Bmp24);
    Add(set, "WarningIcon.bmp", Warning(), EFileForm::Bmp24);
    Add(set, "IconCheck.bmp", CheckIcon(), EFileForm::Bmp24);
}
