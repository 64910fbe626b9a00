// What a device context handle points to. Only the layer's own sources include this.
#pragma once

#include "platform/Dc.h"
#include "platform/internal/GdiData.h"

#include <QPoint>
#include <QRegion>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

struct CDcAttributes
{
    // Selected objects (HFONT, HPEN, HBRUSH).
    HGDIOBJ hFont = nullptr;
    HGDIOBJ hPen = nullptr;
    HGDIOBJ hBrush = nullptr;
    COLORREF crText = RGB(0, 0, 0);
    COLORREF crBk = RGB(255, 255, 255);
    int nBkMode = OPAQUE;
    int nMapMode = MM_TEXT;
    QPoint ptWindowOrg;
    QPoint ptViewportOrg;
    CSize sizeWindowExt{1, 1};
    CSize sizeViewportExt{1, 1};
    QPoint ptCurrent;
    std::optional<QRegion> clipUser;
};

struct HDC__
{
    CDC* pOwner = nullptr;
    // Where drawing goes; a memory DC's is its selected bitmap's.
    std::shared_ptr<CSurface> pSurface;
    HGDIOBJ hBitmap = nullptr;
    CDcAttributes attr;
    std::vector<CDcAttributes> saved;
    // The part of a window that a paint DC may touch, in device coordinates.
    std::optional<QRegion> clipSystem;
    QPainter* pPainter = nullptr;
    // Window whose screen image must be refreshed after drawing (client DCs).
    HWND hWndFlush = nullptr;
    QRegion rgnDrawn;

    QPoint Offset() const { return attr.ptViewportOrg - attr.ptWindowOrg; }
    // The clip in device coordinates, if any.
    std::optional<QRegion> Clip() const;
    // The painter, reset to identity-free state: device clip, logical-to-device translation,
    // plain source-over drawing, no pen or brush. Null when the DC has nothing to draw on.
    QPainter* Begin();
    // Records a device rectangle as drawn (for client DCs that refresh the screen).
    void Touched(const QRect& deviceRect);
    HFONT__* Font() const;
};

namespace dc
{
HDC__* Data(const CDC* pDC);
// The selection bookkeeping shared by memory and window DCs.
void SetSelected(HGDIOBJ& hSlot, HGDIOBJ hNew);
} // namespace dc
