// Smooth shapes for the larger icons: signed distance functions (negative inside), painted with
// a fixed grid of samples per pixel, so edges are antialiased and every run gives the same bytes.
#pragma once

#include "Canvas.h"

#include <functional>
#include <vector>

struct SPoint
{
    double x = 0;
    double y = 0;
};

using FShape = std::function<double(SPoint)>;
using FFill = std::function<SColour(SPoint)>;

FShape Circle(SPoint centre, double radius);
// Rectangle (x0, y0)-(x1, y1) with corners rounded by radius.
FShape RoundRect(double x0, double y0, double x1, double y1, double radius);
FShape Polygon(std::vector<SPoint> points);
// A stroke of the given width along the polyline, with round joins and ends.
FShape Stroke(std::vector<SPoint> points, double width);
// The outline of an ellipse, as a band of the given width.
FShape EllipseRing(SPoint centre, double rx, double ry, double width);
// Moves the edge outward by r (rounding convex corners).
FShape Grown(FShape a, double r);
FShape Union(FShape a, FShape b);
FShape Intersect(FShape a, FShape b);

// Five-pointed star, one point straight up.
std::vector<SPoint> StarPoints(SPoint centre, double outer, double inner);

FFill Solid(SColour c);
// Top colour c0 at y0, c1 at y1, constant outside.
FFill VerticalGradient(double y0, double y1, SColour c0, SColour c1);

// Paints the shape over the canvas: inside with the fill, and a band of the outline width just
// outside it with the outline colour (no band when the width is 0). Samples per pixel along
// each axis: 1 gives hard pixel edges.
void Paint(CCanvas& canvas, const FShape& shape, const FFill& fill, SColour outline = TRANSPARENT,
           double outlineWidth = 0, int nSamples = 5);

// Makes a keyed bitmap of a painted canvas: untouched pixels become the key colour, the others
// are laid over the colour the image will be drawn on, so its soft edges blend into it.
void FlattenToKey(CCanvas& canvas, SColour background);
