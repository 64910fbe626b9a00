// The program icons: 128, a gold rank badge (three chevrons above a star), and 134, the same
// badge on a red square (new events). Drawn from one outline at every size a tray may ask for.
#include "ImageSet.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace
{

constexpr int SIZES[] = {16, 22, 24, 32, 48, 64};

constexpr SColour GOLD_TOP = Rgb(255, 232, 120);
constexpr SColour GOLD_BOTTOM = Rgb(212, 146, 22);
constexpr SColour GOLD_EDGE = Rgb(96, 58, 8);

// The badge laid out in pixels for one size. Up to 26 pixels the chevrons are drawn with hard
// edges on whole pixels and a rise of one pixel in two, which keeps the three bands apart.
void Badge(CCanvas& c, double x0, double y0, double size)
{
    const bool bSmall = size <= 26;
    const double edge = bSmall ? 1.0 : std::clamp(size / 28.0, 1.0, 1.8);
    const double thick = bSmall ? 2.0 : size * 0.1;
    const double pitch = thick + edge + (bSmall ? 0.0 : size * 0.035);
    const double left = x0 + edge + (bSmall ? 0.0 : size * 0.06);
    const double right = x0 + size - edge - (bSmall ? 0.0 : size * 0.06);
    const double mid = x0 + size / 2;
    const double rise = bSmall ? (mid - left) / 2 : size * 0.19;
    const int nSamples = bSmall ? 1 : 5;
    double top = y0 + edge;
    for (int i = 0; i < 3; ++i, top += pitch)
    {
        const std::vector<SPoint> points = {
            {mid, top},         {right, top + rise},        {right, top + rise + thick},
            {mid, top + thick}, {left, top + rise + thick}, {left, top + rise}};
        Paint(c, Polygon(points), VerticalGradient(top, top + rise + thick, GOLD_TOP, GOLD_BOTTOM),
              GOLD_EDGE, edge, nSamples);
    }
    // The star fills what the chevrons leave, below the apex of the last one.
    const double starTop = top - pitch + thick + (bSmall ? 0.0 : edge * 0.5);
    const double bottom = y0 + size - edge;
    const double r = (bottom - starTop) / 1.81; // a star's height is about 1.81 × its radius
    const SPoint centre{mid, starTop + r};
    Paint(c, Polygon(StarPoints(centre, r, r * (bSmall ? 0.52 : 0.46))),
          VerticalGradient(centre.y - r, centre.y + r, GOLD_TOP, GOLD_BOTTOM), GOLD_EDGE, edge);
}

CCanvas RankIcon(int nSize)
{
    CCanvas c(nSize, nSize);
    Badge(c, 0, 0, nSize);
    return c;
}

CCanvas NewEventsIcon(int nSize)
{
    CCanvas c(nSize, nSize);
    const double n = nSize;
    Paint(c, RoundRect(0.9, 0.9, n - 0.9, n - 0.9, n * 0.16),
          VerticalGradient(0, n, Rgb(236, 72, 58), Rgb(170, 22, 18)), Rgb(104, 10, 8), 0.9);
    const double inset = std::round(n * 0.08);
    Badge(c, inset, inset, n - 2 * inset);
    return c;
}

} // namespace

void AddAppIcons(ImageSet& set)
{
    for (const int nSize : SIZES)
        set.push_back({std::string(ICONS_DIR) + "icon128-" + std::to_string(nSize) + ".png",
                       RankIcon(nSize), EFileForm::Png});
    for (const int nSize : SIZES)
        set.push_back({std::string(ICONS_DIR) + "icon134-" + std::to_string(nSize) + ".png",
                       NewEventsIcon(nSize), EFileForm::Png});
}
