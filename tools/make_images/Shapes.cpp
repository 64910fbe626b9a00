#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{

double SegmentDistance(SPoint p, SPoint a, SPoint b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

FShape Circle(SPoint centre, double radius)
{
    return [=](SPoint p) { return std::hypot(p.x - centre.x, p.y - centre.y) - radius; };
}

FShape RoundRect(double x0, double y0, double x1, double y1, double radius)
{
    return [=](SPoint p)
    {
        const double cx = (x0 + x1) / 2;
        const double cy = (y0 + y1) / 2;
        const double qx = std::abs(p.x - cx) - ((x1 - x0) / 2 - radius);
        const double qy = std::abs(p.y - cy) - ((y1 - y0) / 2 - radius);
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

FShape Polygon(std::vector<SPoint> points)
{
    return [points = std::move(points)](SPoint p)
    {
        double d = 1e9;
        bool bInside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        {
            const SPoint a = points[i];
            const SPoint b = points[j];
            d = std::min(d, SegmentDistance(p, a, b));
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                bInside = !bInside;
        }
        return bInside ? -d : d;
    };
}

FShape Stroke(std::vector<SPoint> points, double width)
{
    return [points = std::move(points), width](SPoint p)
    {
        double d = 1e9;
        for (std::size_t i = 1; i < points.size(); ++i)
            d = std::min(d, SegmentDistance(p, points[i - 1], points[i]));
        return d - width / 2;
    };
}

FShape EllipseRing(SPoint centre, double rx, double ry, double width)
{
    return [=](SPoint p)
    {
        const double dx = (p.x - centre.x) / rx;
        const double dy = (p.y - centre.y) / ry;
        return std::abs(std::sqrt(dx * dx + dy * dy) - 1) * std::min(rx, ry) - width / 2;
    };
}

FShape Grown(FShape a, double r)
{
    return [=](SPoint p) { return a(p) - r; };
}

FShape Intersect(FShape a, FShape b)
{
    return [=](SPoint p) { return std::max(a(p), b(p)); };
}

FShape Union(FShape a, FShape b)
{
    return [=](SPoint p) { return std::min(a(p), b(p)); };
}

std::vector<SPoint> StarPoints(SPoint centre, double outer, double inner)
{
    std::vector<SPoint> points;
    for (int i = 0; i < 10; ++i)
    {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = i % 2 == 0 ? outer : inner;
        points.push_back({centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)});
    }
    return points;
}

FFill Solid(SColour c)
{
    return [c](SPoint) { return c; };
}

FFill VerticalGradient(double y0, double y1, SColour c0, SColour c1)
{
    return [=](SPoint p) { return Mix(c0, c1, std::clamp((p.y - y0) / (y1 - y0), 0.0, 1.0)); };
}

void Paint(CCanvas& canvas, const FShape& shape, const FFill& fill, SColour outline,
           double outlineWidth, int nSamples)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
        {
            // Premultiplied sums of the samples.
            double r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < nSamples; ++j)
                for (int i = 0; i < nSamples; ++i)
                {
                    const SPoint p{x + (i + 0.5) / nSamples, y + (j + 0.5) / nSamples};
                    const double d = shape(p);
                    SColour c = TRANSPARENT;
                    if (d <= 0)
                        c = fill(p);
                    else if (d <= outlineWidth)
                        c = outline;
                    const double ca = c.a / 255.0;
                    r += c.r * ca;
                    g += c.g * ca;
                    b += c.b * ca;
                    a += ca;
                }
            if (a <= 0)
                continue;
            const auto channel = [](double v)
            { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
            const SColour src{channel(r / a), channel(g / a), channel(b / a),
                              channel(a * 255 / (nSamples * nSamples))};
            canvas.Blend(x, y, src);
        }
}

void FlattenToKey(CCanvas& canvas, SColour background)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
        {
            const SColour c = canvas.Get(x, y);
            canvas.Set(x, y, c.a == 0 ? MAGENTA : Over(c, background));
        }
}
