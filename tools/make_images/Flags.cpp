// Flags of the invented nations, and the neutral flag of a game without one. All 16 × 11 and
// fully opaque: they are flattened onto black, so transparent pixels would show as black.
#include "ImageSet.h"

#include <cmath>
#include <functional>
#include <string>

namespace
{

constexpr int FLAG_W = 16;
constexpr int FLAG_H = 11;

// Colour of the design at pixel (x, y); the outline takes a darker shade of it.
using FDesign = std::function<SColour(int x, int y)>;

CCanvas Flag(const FDesign& design)
{
    CCanvas c(FLAG_W, FLAG_H);
    for (int y = 0; y < FLAG_H; ++y)
        for (int x = 0; x < FLAG_W; ++x)
        {
            const bool bEdge = x == 0 || y == 0 || x == FLAG_W - 1 || y == FLAG_H - 1;
            c.Set(x, y, bEdge ? Shade(design(x, y), 0.6) : design(x, y));
        }
    return c;
}

// Pixel centre inside the circle.
bool InCircle(int x, int y, double cx, double cy, double r)
{
    return std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r;
}

// Interior rows 1..9 in three bands of three.
int Band(int y)
{
    return y <= 3 ? 0 : y <= 6 ? 1 : 2;
}

SColour Solvania(int, int y)
{
    const SColour bands[] = {Rgb(36, 128, 70), WHITE, Rgb(232, 182, 40)};
    return bands[Band(y)];
}

SColour Ravenmark(int x, int y)
{
    const bool bCross = (x >= 4 && x <= 6) || (y >= 4 && y <= 6);
    return bCross ? Rgb(230, 180, 52) : Rgb(38, 40, 50);
}

SColour Kethra(int x, int y)
{
    return InCircle(x, y, 8, 5.5, 3.1) ? Rgb(246, 204, 64) : Rgb(192, 36, 46);
}

SColour Ostrevia(int x, int)
{
    return x >= 6 && x <= 9 ? Rgb(244, 206, 48) : Rgb(34, 90, 180);
}

SColour Veldmoor(int x, int y)
{
    // Split along the diagonal from the lower left to the upper right.
    return (x + 0.5) / FLAG_W + (y + 0.5) / FLAG_H < 1.0 ? Rgb(52, 132, 62) : Rgb(246, 246, 240);
}

SColour Ashcombe(int x, int y)
{
    // A gold chevron from the hoist on a teal field.
    const int nTip = 8 - std::abs(2 * y - 10) * 8 / 10;
    return x >= nTip - 3 && x <= nTip ? Rgb(238, 190, 56) : Rgb(22, 112, 118);
}

SColour Tarn(int x, int y)
{
    const bool bLeft = x < FLAG_W / 2;
    const bool bTop = y <= 5;
    return bLeft == bTop ? WHITE : Rgb(46, 104, 182);
}

SColour Lunegard(int x, int y)
{
    const bool bMoon = InCircle(x, y, 5.5, 5.5, 3.3) && !InCircle(x, y, 6.9, 4.8, 2.7);
    return bMoon ? Rgb(250, 240, 196) : Rgb(26, 34, 86);
}

SColour Neutral(int, int y)
{
    return y >= 4 && y <= 6 ? Rgb(244, 245, 248) : Rgb(200, 205, 214);
}

} // namespace

void AddFlags(ImageSet& set)
{
    set.push_back({std::string(IMAGES_DIR) + "FlagNeutral.png", Flag(Neutral), EFileForm::Png});
    const std::pair<const char*, FDesign> flags[] = {
        {"Solvania", Solvania}, {"Ravenmark", Ravenmark}, {"Kethra", Kethra},
        {"Ostrevia", Ostrevia}, {"Veldmoor", Veldmoor},   {"Ashcombe", Ashcombe},
        {"Tarn", Tarn},         {"Lunegard", Lunegard},
    };
    for (const auto& [pszName, design] : flags)
        set.push_back({std::string(FLAGS_DIR) + pszName + ".png", Flag(design), EFileForm::Png});
}
