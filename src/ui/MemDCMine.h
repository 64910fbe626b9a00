// An off-screen stand-in for a device context during one paint: everything drawn on it goes to a
// memory bitmap, which is copied to the target in one step when the object goes away, so that
// controls repaint without flicker. Drawing uses the target's coordinates.
//
// All instances share one bitmap, which grows to the largest area asked for and never shrinks,
// so paints must not nest. Should one be made while another is alive anyway, it draws on a
// bitmap of its own instead of spoiling the other's.
#pragma once

#include "platform/Dc.h"

#include <memory>

class CMemDCMine : public CDC
{
public:
    explicit CMemDCMine(CDC* pDC);
    ~CMemDCMine() override;

    // The size of the shared bitmap (0 × 0 before the first paint).
    static CSize GetSharedBitmapSize();
    // Frees the shared bitmap; the next paint makes a new one. For the end of the program and for
    // tests; not while an instance is alive.
    static void FreeSharedBitmap();

private:
    CBitmap* m_pOldBitmap = nullptr;
    CDC* m_pDC = nullptr;
    CRect m_rect;
    bool m_bMemDC = false;
    // Set when another instance holds the shared bitmap.
    std::unique_ptr<CBitmap> m_pOwnBitmap;
};
