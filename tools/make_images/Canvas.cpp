#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace
{

std::uint8_t Channel(double v)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

SColour Mix(SColour a, SColour b, double t)
{
    return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t),
            Channel(a.b + (b.b - a.b) * t), Channel(a.a + (b.a - a.a) * t)};
}

SColour Shade(SColour c, double f)
{
    return {Channel(c.r * f), Channel(c.g * f), Channel(c.b * f), c.a};
}

SColour Over(SColour src, SColour dst)
{
    if (src.a == 255 || dst.a == 0)
        return src;
    if (src.a == 0)
        return dst;
    const double sa = src.a / 255.0;
    const double da = dst.a / 255.0 * (1 - sa);
    const double a = sa + da;
    return {Channel((src.r * sa + dst.r * da) / a), Channel((src.g * sa + dst.g * da) / a),
            Channel((src.b * sa + dst.b * da) / a), Channel(a * 255)};
}

CCanvas::CCanvas(int nWidth, int nHeight, SColour fill)
    : m_nWidth(nWidth), m_nHeight(nHeight),
      m_pixels(static_cast<std::size_t>(nWidth) * nHeight, fill)
{
}

SColour CCanvas::Get(int x, int y) const
{
    return Contains(x, y) ? m_pixels[static_cast<std::size_t>(y) * m_nWidth + x] : TRANSPARENT;
}

void CCanvas::Set(int x, int y, SColour c)
{
    if (Contains(x, y))
        m_pixels[static_cast<std::size_t>(y) * m_nWidth + x] = c;
}

void CCanvas::Fill(SColour c)
{
    std::fill(m_pixels.begin(), m_pixels.end(), c);
}

void CCanvas::FillRect(int x, int y, int w, int h, SColour c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            Set(i, j, c);
}

void CCanvas::FrameRect(int x, int y, int w, int h, SColour c)
{
    HLine(x, x + w - 1, y, c);
    HLine(x, x + w - 1, y + h - 1, c);
    VLine(x, y, y + h - 1, c);
    VLine(x + w - 1, y, y + h - 1, c);
}

void CCanvas::HLine(int x0, int x1, int y, SColour c)
{
    for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
        Set(x, y, c);
}

void CCanvas::VLine(int x, int y0, int y1, SColour c)
{
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        Set(x, y, c);
}

void CCanvas::VGradient(int x, int y, int w, int h, SColour c0, SColour c1)
{
    for (int j = 0; j < h; ++j)
        HLine(x, x + w - 1, y + j, Mix(c0, c1, h > 1 ? static_cast<double>(j) / (h - 1) : 0));
}

void CCanvas::FillPolygon(const std::vector<double>& xy, SColour c)
{
    const std::size_t n = xy.size() / 2;
    for (int y = 0; y < m_nHeight; ++y)
        for (int x = 0; x < m_nWidth; ++x)
        {
            const double px = x + 0.5;
            const double py = y + 0.5;
            bool bInside = false;
            for (std::size_t i = 0, j = n - 1; i < n; j = i++)
            {
                const double xi = xy[2 * i], yi = xy[2 * i + 1];
                const double xj = xy[2 * j], yj = xy[2 * j + 1];
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                    bInside = !bInside;
            }
            if (bInside)
                Set(x, y, c);
        }
}

void CCanvas::Glyph(int x, int y, const std::vector<std::string_view>& rows, SColour c)
{
    for (std::size_t j = 0; j < rows.size(); ++j)
        for (std::size_t i = 0; i < rows[j].size(); ++i)
            if (rows[j][i] == '#')
                Set(x + static_cast<int>(i), y + static_cast<int>(j), c);
}

void CCanvas::Blit(const CCanvas& src, int x, int y)
{
    for (int j = 0; j < src.m_nHeight; ++j)
        for (int i = 0; i < src.m_nWidth; ++i)
            Set(x + i, y + j, src.Get(i, j));
}

void CCanvas::BlitKeyed(const CCanvas& src, int x, int y, SColour key)
{
    for (int j = 0; j < src.m_nHeight; ++j)
        for (int i = 0; i < src.m_nWidth; ++i)
            if (src.Get(i, j) != key)
                Set(x + i, y + j, src.Get(i, j));
}

void CCanvas::BlitOver(const CCanvas& src, int x, int y)
{
    for (int j = 0; j < src.m_nHeight; ++j)
        for (int i = 0; i < src.m_nWidth; ++i)
            Blend(x + i, y + j, src.Get(i, j));
}

CCanvas CCanvas::Crop(int x, int y, int w, int h) const
{
    CCanvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.Set(i, j, Get(x + i, y + j));
    return out;
}

CCanvas CCanvas::Enlarged(int nFactor) const
{
    CCanvas out(m_nWidth * nFactor, m_nHeight * nFactor);
    for (int y = 0; y < out.m_nHeight; ++y)
        for (int x = 0; x < out.m_nWidth; ++x)
            out.Set(x, y, Get(x / nFactor, y / nFactor));
    return out;
}

bool CCanvas::IsOpaque() const
{
    return std::all_of(m_pixels.begin(), m_pixels.end(),
                       [](const SColour& c) { return c.a == 255; });
}
