// A small RGBA raster with the drawing primitives the image generator needs. Shapes are exact:
// a pixel belongs to a shape when its centre lies inside it, so every run draws the same pixels.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct SColour
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    bool operator==(const SColour&) const = default;
};

constexpr SColour Rgb(int r, int g, int b)
{
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(b), 255};
}

inline constexpr SColour TRANSPARENT{0, 0, 0, 0};
// The colour key of the bitmap files: drawn with it, these pixels leave the background alone.
inline constexpr SColour MAGENTA = Rgb(255, 0, 255);
inline constexpr SColour WHITE = Rgb(255, 255, 255);
inline constexpr SColour BLACK = Rgb(0, 0, 0);

// Linear mix of the colour channels (alpha included): t = 0 gives a, t = 1 gives b.
SColour Mix(SColour a, SColour b, double t);
// Scales the colour channels by f (below 1 darker), keeping alpha.
SColour Shade(SColour c, double f);
// Source over destination for straight (not premultiplied) alpha.
SColour Over(SColour src, SColour dst);

class CCanvas
{
public:
    CCanvas() = default;
    CCanvas(int nWidth, int nHeight, SColour fill = TRANSPARENT);

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight; }

    // Reading outside gives TRANSPARENT; writing outside does nothing.
    SColour Get(int x, int y) const;
    void Set(int x, int y, SColour c);
    void Blend(int x, int y, SColour c) { Set(x, y, Over(c, Get(x, y))); }

    void Fill(SColour c);
    void FillRect(int x, int y, int w, int h, SColour c);
    void FrameRect(int x, int y, int w, int h, SColour c);
    void HLine(int x0, int x1, int y, SColour c);
    void VLine(int x, int y0, int y1, SColour c);
    // Top row c0, bottom row c1.
    void VGradient(int x, int y, int w, int h, SColour c0, SColour c1);
    // Pixels whose centres lie in the polygon (even-odd rule).
    void FillPolygon(const std::vector<double>& xy, SColour c);
    // '#' characters of the rows become pixels of c, from (x, y); anything else is left alone.
    void Glyph(int x, int y, const std::vector<std::string_view>& rows, SColour c);

    // Copies src to (x, y), clipped.
    void Blit(const CCanvas& src, int x, int y);
    // The same, skipping the source pixels equal to the key (the way keyed bitmaps are drawn).
    void BlitKeyed(const CCanvas& src, int x, int y, SColour key);
    // The same, composing the source over this canvas by its alpha.
    void BlitOver(const CCanvas& src, int x, int y);

    CCanvas Crop(int x, int y, int w, int h) const;
    // Every pixel becomes a factor × factor block.
    CCanvas Enlarged(int nFactor) const;

    bool IsOpaque() const;
    const std::vector<SColour>& Pixels() const { return m_pixels; }

private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<SColour> m_pixels;
};
