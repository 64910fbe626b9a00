// CCustomDialog: the frame drawn from the skin images, and the window's shape. Images are copied
// 1:1, never stretched: placed once, tiled, or cut at an edge.
#include "ui/CustomDialog.h"

#include "ui/SkinImages.h"

#include <algorithm>

namespace
{

constexpr int kCornerEllipse = 16;
constexpr int kTitleTop = 7;
// The title text starts a little inside the left end of the title bar.
constexpr int kTitleShiftLeft = 4;
// How far the title strip reaches past the title, and where the tiled strip starts after it.
constexpr int kTitleStripPadding = 15;
constexpr int kTiledStripGap = 5;
constexpr COLORREF kTitleColour = RGB(0, 0, 0);

// Repeats the image from x0 to x1 at y, the last copy cut at x1, each at most cy high.
void TileRow(CDC* pDC, const CMaskedBitmap& bmp, int x0, int x1, int y, int cy)
{
    if (bmp.m_nWidth <= 0)
        return;
    for (int x = x0; x < x1; x += bmp.m_nWidth)
        bmp.DrawClipped(pDC, x, y, std::min(bmp.m_nWidth, x1 - x), cy);
}

// Repeats the image whole down from y0 while y < y1.
void TileColumn(CDC* pDC, const CMaskedBitmap& bmp, int x, int y0, int y1)
{
    if (bmp.m_nHeight <= 0)
        return;
    for (int y = y0; y < y1; y += bmp.m_nHeight)
        bmp.Draw(pDC, x, y);
}

// Fills the rectangle with copies of the image, cut at its right and bottom.
void TileArea(CDC* pDC, const CBitmap& bmp, const CRect& rc)
{
    const int w = bmp.GetWidth();
    const int h = bmp.GetHeight();
    if (w <= 0 || h <= 0)
        return;
    for (int y = rc.top; y < rc.bottom; y += h)
    {
        for (int x = rc.left; x < rc.right; x += w)
            pDC->DrawImage(x, y, bmp, 0, 0, std::min(w, rc.right - x), std::min(h, rc.bottom - y));
    }
}

} // namespace

void CCustomDialog::CheckWindowRegion(bool bMaximized)
{
    CRect rc;
    GetClientRect(&rc);
    const EShape eShape = m_bRoundCorners && !bMaximized ? EShape::Round : EShape::Rectangle;
    // The shape also follows the wanted form: maximising to the size the window had, or a
    // subclass switching corners after the first paint, must not keep the old one.
    if (rc == m_rcClient && eShape == m_eShape)
        return;
    m_rcClient = rc;
    m_eShape = eShape;
    CRgn rgn;
    if (eShape == EShape::Round)
        rgn.CreateRoundRectRgn(0, 0, rc.Width() + 1, rc.Height() + 1, kCornerEllipse,
                               kCornerEllipse);
    else
        rgn.CreateRectRgn(0, 0, rc.Width() + 1, rc.Height() + 1);
    SetWindowRgn(rgn, TRUE);
}

void CCustomDialog::DrawFrame(CDC* pDC)
{
    CSkinImages& skin = Skin();
    const bool bMaximized = IsMaximizedNow();
    CRect rc;
    GetClientRect(&rc);
    const int W = rc.Width();
    const int H = rc.Height();
    CheckWindowRegion(bMaximized);
    pDC->SetBkMode(TRANSPARENT);

    const CMaskedBitmap& bmpLeftEnd = bMaximized        ? skin.m_bmpURNoBorder
                                      : m_bRoundCorners ? skin.m_bmpIconNone
                                                        : skin.m_bmpIconNoneSquare;
    bmpLeftEnd.Draw(pDC, 0, 0);
    const int iconW = bmpLeftEnd.m_nWidth;

    const std::wstring strTitle = GetWindowText();
    if (CFont* pFont = GetDefaultGuiFont())
        pDC->SelectObject(pFont);
    CRect rcTitle(0, 0, 0, 0);
    if (!strTitle.empty())
        pDC->DrawText(strTitle, &rcTitle, DT_SINGLELINE | DT_CALCRECT);
    const int tw = rcTitle.Width();

    const int stripH = skin.m_bmpTop.m_nHeight - (m_bFullTopStrip ? 0 : 1);
    const CMaskedBitmap& bmpStrip = bMaximized ? skin.m_bmpTopNoBorder : skin.m_bmpTop;
    bmpStrip.DrawClipped(pDC, iconW, 0, tw + kTitleStripPadding, stripH);
    pDC->SetTextColor(kTitleColour);
    pDC->TextOut(iconW - kTitleShiftLeft, kTitleTop, strTitle);
    const int x1 = iconW + tw + kTiledStripGap;

    if (bMaximized)
    {
        const CMaskedBitmap& bmpUR = skin.m_bmpURNoBorder;
        const int urW = bmpUR.m_nWidth;
        bmpUR.Draw(pDC, W - urW, 0);
        TileRow(pDC, skin.m_bmpTopNoBorder, x1, W - urW, 0, skin.m_bmpTopNoBorder.m_nHeight);
        // No edges and no corners: the interior reaches the screen's borders.
        TileArea(pDC, skin.BackgroundBlock(), CRect(0, skin.m_bmpTopNoBorder.m_nHeight, W, H));
        return;
    }

    const CMaskedBitmap& bmpUR = m_bRoundCorners ? skin.m_bmpUR : skin.m_bmpURSquare;
    const int urW = bmpUR.m_nWidth;
    bmpUR.Draw(pDC, W - urW, 0);
    TileRow(pDC, skin.m_bmpTop, x1, W - urW, 0, stripH);
    // The edges start below the full title bar even when the strip is drawn shorter.
    TileColumn(pDC, skin.m_bmpLeft, 0, skin.m_bmpTop.m_nHeight, H);
    TileColumn(pDC, skin.m_bmpRight, W - skin.m_bmpRight.m_nWidth, skin.m_bmpTop.m_nHeight, H);
    const CMaskedBitmap& bmpBottom = skin.m_bmpBottom;
    if (bmpBottom.m_nWidth > 0)
    {
        for (int x = 0; x < W; x += bmpBottom.m_nWidth)
            bmpBottom.Draw(pDC, x, H - bmpBottom.m_nHeight);
    }
    TileArea(pDC, skin.BackgroundBlock(),
             CRect(skin.m_bmpLeft.m_nWidth, stripH, W - skin.m_bmpRight.m_nWidth,
                   H - bmpBottom.m_nHeight));

    const CMaskedBitmap& bmpLL = m_bRoundCorners ? skin.m_bmpLL : skin.m_bmpLLSquare;
    bmpLL.Draw(pDC, 0, H - bmpLL.m_nHeight);
    const CMaskedBitmap& bmpLR = m_bResizable      ? skin.m_bmpLRResize
                                 : m_bRoundCorners ? skin.m_bmpLR
                                                   : skin.m_bmpLRSquare;
    bmpLR.Draw(pDC, W - bmpLR.m_nWidth, H - bmpLR.m_nHeight);
}
