// The frame pieces of the skin. A whole window frame is drawn once per variant and the pieces
// are cut out of it, so that corners, edges and title strip always join up.
#include "ImageSet.h"
#include "SkinLook.h"

#include <cmath>
#include <string>

namespace look
{

SColour TitleRow(int y)
{
    if (y <= 1)
        return HIGHLIGHT;
    if (y < TITLE_HEIGHT - 2)
        return Mix(TITLE_TOP, TITLE_BOTTOM, (y - 2) / static_cast<double>(TITLE_HEIGHT - 5));
    if (y == TITLE_HEIGHT - 2)
        return SEPARATOR;
    return FACE;
}

int RoundRegionInset(int y, int nHeight)
{
    // Half the 16 × 16 corner ellipse.
    constexpr double R = 8;
    const int nFromEdge = std::min(y, nHeight - 1 - y);
    if (nFromEdge >= R)
        return 0;
    const double dy = (R - (nFromEdge + 0.5)) / R;
    return static_cast<int>(std::ceil(R - R * std::sqrt(1 - dy * dy) - 0.5));
}

} // namespace look

namespace
{

using namespace look;

// Size of the window the pieces are cut from: big enough that no two corners touch.
constexpr int FRAME_SIZE = 96;

struct SFrameStyle
{
    bool bRounded = true;
    bool bBorder = true; // false: the maximised look, without outline and bevel
    int nTitleHeight = TITLE_HEIGHT;
    bool bGrip = false;
};

class CFrame
{
public:
    CFrame(int nWidth, int nHeight, const SFrameStyle& style)
        : m_nWidth(nWidth), m_nHeight(nHeight), m_style(style), m_canvas(nWidth, nHeight)
    {
    }

    CCanvas Draw();

private:
    bool Inside(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
            return false;
        const int nInset = m_style.bRounded ? RoundRegionInset(y, m_nHeight) : 0;
        return x >= nInset && x < m_nWidth - nInset;
    }
    // 0 on the outline, 1 and 2 on the bevel, 3 further in (4-neighbour steps to the outside).
    // Light falls from the top left: *pShadow tells that the nearest outside lies toward the
    // bottom right.
    int Depth(int x, int y, bool* pShadow) const;
    SColour Base(int x, int y) const;
    void DrawGrip();

    int m_nWidth;
    int m_nHeight;
    SFrameStyle m_style;
    CCanvas m_canvas;
};

int CFrame::Depth(int x, int y, bool* pShadow) const
{
    for (int d = 0; d < 3; ++d)
    {
        const int n = d + 1;
        bool bFound = false;
        *pShadow = false;
        for (int i = -n; i <= n; ++i)
        {
            const int j = n - std::abs(i);
            for (const int dj : {j, -j})
                if (!Inside(x + i, y + dj))
                {
                    bFound = true;
                    *pShadow = *pShadow || i + dj > 0;
                }
        }
        if (bFound)
            return d;
    }
    return 3;
}

SColour CFrame::Base(int, int y) const
{
    return y < m_style.nTitleHeight ? TitleRow(y) : FACE;
}

CCanvas CFrame::Draw()
{
    for (int y = 0; y < m_nHeight; ++y)
        for (int x = 0; x < m_nWidth; ++x)
        {
            if (!Inside(x, y))
            {
                // Outside the region nothing shows; next to it, in case a window system rounds
                // one pixel differently, the outline colour rather than the key.
                const bool bNear =
                    Inside(x - 1, y) || Inside(x + 1, y) || Inside(x, y - 1) || Inside(x, y + 1);
                m_canvas.Set(x, y, bNear && m_style.bBorder ? OUTLINE : MAGENTA);
                continue;
            }
            const SColour base = Base(x, y);
            bool bShadow = false;
            const int nDepth = m_style.bBorder ? Depth(x, y, &bShadow) : 3;
            SColour c = base;
            if (nDepth == 0)
                c = OUTLINE;
            else if (nDepth == 1)
                c = bShadow ? SHADOW : HIGHLIGHT;
            else if (nDepth == 2)
                c = Mix(base, bShadow ? SHADOW : HIGHLIGHT, 0.35);
            m_canvas.Set(x, y, c);
        }
    if (m_style.bGrip)
        DrawGrip();
    return m_canvas;
}

void CFrame::DrawGrip()
{
    // Six raised dots in a triangle against the lower-right corner.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; i + j < 3; ++j)
        {
            const int x = m_nWidth - 6 - 3 * i;
            const int y = m_nHeight - 6 - 3 * j;
            m_canvas.Set(x, y, HIGHLIGHT);
            m_canvas.Set(x + 1, y + 1, SHADOW);
            m_canvas.Set(x + 1, y, Mix(HIGHLIGHT, SHADOW, 0.5));
            m_canvas.Set(x, y + 1, Mix(HIGHLIGHT, SHADOW, 0.5));
        }
}

CCanvas DrawFrame(const SFrameStyle& style)
{
    return CFrame(FRAME_SIZE, FRAME_SIZE, style).Draw();
}

// The title strip is drawn once behind the title, cut to the title's width plus 15 but never
// stretched, and only tiled after it: it must be wider than any title.
constexpr int TITLE_STRIP_WIDTH = 512;

// Repeats a strip that does not change along x to the given width.
CCanvas Widened(const CCanvas& strip, int nWidth)
{
    CCanvas wide(nWidth, strip.Height());
    for (int x = 0; x < nWidth; x += strip.Width())
        wide.Blit(strip, x, 0);
    return wide;
}

void Add(ImageSet& set, const std::string& strName, CCanvas canvas)
{
    set.push_back({std::string(SKIN_DIR) + strName, std::move(canvas), EFileForm::Bmp24});
}

// A groove across the title strip, meant to stand between a title icon and the title.
CCanvas Divider(const CCanvas& frame)
{
    CCanvas divider = frame.Crop(FRAME_SIZE / 2, 0, 6, TITLE_HEIGHT);
    for (int y = 4; y <= TITLE_HEIGHT - 5; ++y)
    {
        divider.Set(2, y, Mix(divider.Get(2, y), SHADOW, 0.8));
        divider.Set(3, y, HIGHLIGHT);
    }
    return divider;
}

} // namespace

void AddSkinFrame(ImageSet& set)
{
    const int W = FRAME_SIZE;
    const int H = FRAME_SIZE;
    const int M = FRAME_SIZE / 2; // a column or row away from every corner

    const CCanvas round = DrawFrame({});
    const CCanvas square = DrawFrame({.bRounded = false});
    const CCanvas grip = DrawFrame({.bGrip = true});
    const CCanvas open = DrawFrame({.bRounded = false, .bBorder = false});
    const CCanvas bareRound = DrawFrame({.nTitleHeight = 0});
    const CCanvas bareSquare = DrawFrame({.bRounded = false, .nTitleHeight = 0});

    Add(set, "DialogBackground.bmp", CCanvas(16, 16, FACE));
    Add(set, "DialogIconNone.bmp", round.Crop(0, 0, TITLE_END_WIDTH, TITLE_HEIGHT));
    Add(set, "DialogIconNone_Square.bmp", square.Crop(0, 0, TITLE_END_WIDTH, TITLE_HEIGHT));
    Add(set, "DialogUR_Square.bmp",
        square.Crop(W - TITLE_END_WIDTH, 0, TITLE_END_WIDTH, TITLE_HEIGHT));
    Add(set, "DialogUR.bmp", round.Crop(W - TITLE_END_WIDTH, 0, TITLE_END_WIDTH, TITLE_HEIGHT));
    Add(set, "DialogLL.bmp", round.Crop(0, H - CORNER, CORNER, CORNER));
    Add(set, "DialogLL_Square.bmp", square.Crop(0, H - CORNER, CORNER, CORNER));
    Add(set, "DialogLR.bmp", round.Crop(W - CORNER, H - CORNER, CORNER, CORNER));
    Add(set, "DialogLR_Square.bmp", square.Crop(W - CORNER, H - CORNER, CORNER, CORNER));
    Add(set, "DialogLR_Resize.bmp", grip.Crop(W - CORNER, H - CORNER, CORNER, CORNER));
    // The upper pieces of a frame without a title bar.
    Add(set, "Dialog0UL.bmp", bareRound.Crop(0, 0, CORNER, CORNER));
    Add(set, "DialogUR_NoBorder.bmp",
        open.Crop(W - TITLE_END_WIDTH, 0, TITLE_END_WIDTH, TITLE_HEIGHT));
    Add(set, "Dialog0UR_Square.bmp", bareSquare.Crop(W - CORNER, 0, CORNER, CORNER));
    Add(set, "Dialog0UR.bmp", bareRound.Crop(W - CORNER, 0, CORNER, CORNER));
    Add(set, "DialogTop_NoBorder.bmp",
        Widened(open.Crop(M, 0, 16, TITLE_HEIGHT), TITLE_STRIP_WIDTH));
    Add(set, "Dialog0Top.bmp", bareRound.Crop(M, 0, 16, EDGE));
    Add(set, "DialogTop.bmp", Widened(round.Crop(M, 0, 16, TITLE_HEIGHT), TITLE_STRIP_WIDTH));
    Add(set, "DialogBottom.bmp", round.Crop(M, H - EDGE, 16, EDGE));
    Add(set, "DialogLeft.bmp", round.Crop(0, M, EDGE, 16));
    Add(set, "DialogRight.bmp", round.Crop(W - EDGE, M, EDGE, 16));
    Add(set, "DialogTopDivider.bmp", Divider(round));
    Add(set, "DialogTopDivider_NoBorder.bmp", Divider(open));
}
