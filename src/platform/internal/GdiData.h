// What the GDI handles point to. Only the layer's own sources include this.
#pragma once

#include "platform/Gdi.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <memory>

// Pixels that device contexts draw on: a bitmap's picture or a window's back buffer. Several
// device contexts may draw on one surface at a time (a paint DC and a client DC of one window);
// they share one QPainter and each sets its own state before every operation.
struct CSurface
{
    explicit CSurface(QImage img) : image(std::move(img)) {}
    ~CSurface();
    QPainter* AcquirePainter();
    void ReleasePainter();

    QImage image;
    std::unique_ptr<QPainter> pPainter;
    int nPainters = 0;
};

struct CGdiHandle
{
    DWORD nType = 0;
    bool bStock = false;
    // DeleteObject came while the handle was selected: it goes when deselected.
    bool bDeletePending = false;
    int nSelected = 0;
    CGdiObject* pOwner = nullptr;
    CGdiObject* pTemporary = nullptr;
};

struct HPEN__ : CGdiHandle
{
    int nStyle = PS_SOLID;
    int nWidth = 1;
    COLORREF crColor = 0;
};

struct HBRUSH__ : CGdiHandle
{
    COLORREF crColor = 0;
    bool bNull = false;
};

struct HFONT__ : CGdiHandle
{
    QFont font;
    LOGFONT logFont{};
    // Whole-pixel metrics as the framework reports them: ascent and descent rounded up.
    int nAscent = 0;
    int nDescent = 0;
    int Height() const { return nAscent + nDescent; }
};

struct HRGN__ : CGdiHandle
{
    QRegion region;
};

struct HBITMAP__ : CGdiHandle
{
    std::shared_ptr<CSurface> pSurface;
};

namespace gdi
{
CGdiHandle* Header(HGDIOBJ hObject);
// Frees a handle's data (not stock ones); clears its owner's pointer.
void Free(CGdiHandle* pHandle);
// Selection counting by device contexts.
void Select(HGDIOBJ hObject);
void Deselect(HGDIOBJ hObject);
// A new font handle for a logical font (metrics filled in).
HFONT NewFont(const LOGFONT& logFont);
HBITMAP NewBitmap(QImage image);
HRGN NewRegion(const QRegion& region);
// The region's shape as described at CRgn::CreateRoundRectRgn.
QRegion RoundRectRegion(int x1, int y1, int x2, int y2, int w, int h);
} // namespace gdi
