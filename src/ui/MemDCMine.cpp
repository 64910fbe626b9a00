#include "ui/MemDCMine.h"

#include <algorithm>

namespace
{

CBitmap& SharedBitmap()
{
    static CBitmap bitmap;
    return bitmap;
}

bool g_bSharedInUse = false;

// Grows the shared bitmap to at least nWidth × nHeight, keeping the larger side of each.
void EnsureSharedSize(CDC* pDC, int nWidth, int nHeight)
{
    CBitmap& bitmap = SharedBitmap();
    const int nOldWidth = bitmap.GetWidth();
    const int nOldHeight = bitmap.GetHeight();
    if (bitmap.m_hObject != nullptr && nWidth <= nOldWidth && nHeight <= nOldHeight)
        return;
    bitmap.DeleteObject();
    bitmap.CreateCompatibleBitmap(pDC, std::max({nOldWidth, nWidth, 1}),
                                  std::max({nOldHeight, nHeight, 1}));
}

} // namespace

CMemDCMine::CMemDCMine(CDC* pDC) : m_pDC(pDC)
{
    m_bMemDC = pDC->IsPrinting() == FALSE;
    pDC->GetClipBox(&m_rect);
    if (!m_bMemDC)
    {
        // Printing: draw straight through on the target's own context.
        m_hDC = pDC->m_hDC;
    }
    else
    {
        CreateCompatibleDC(nullptr);
        CRect rcDevice(m_rect);
        pDC->LPtoDP(&rcDevice);
        CBitmap* pBitmap = nullptr;
        if (!g_bSharedInUse)
        {
            g_bSharedInUse = true;
            EnsureSharedSize(pDC, rcDevice.Width(), rcDevice.Height());
            pBitmap = &SharedBitmap();
        }
        else
        {
            m_pOwnBitmap = std::make_unique<CBitmap>();
            m_pOwnBitmap->CreateCompatibleBitmap(pDC, std::max(1, rcDevice.Width()),
                                                 std::max(1, rcDevice.Height()));
            pBitmap = m_pOwnBitmap.get();
        }
        m_pOldBitmap = SelectObject(pBitmap);
        SetMapMode(pDC->GetMapMode());
        const CSize sizeWindow = pDC->GetWindowExt();
        SetWindowExt(sizeWindow.cx, sizeWindow.cy);
        const CSize sizeViewport = pDC->GetViewportExt();
        SetViewportExt(sizeViewport.cx, sizeViewport.cy);
        pDC->DPtoLP(&rcDevice);
        SetWindowOrg(rcDevice.left, rcDevice.top);
    }
    FillSolidRect(&m_rect, pDC->GetBkColor());
}

CMemDCMine::~CMemDCMine()
{
    if (m_bMemDC)
    {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                      m_rect.top, SRCCOPY);
        SelectObject(m_pOldBitmap);
        if (m_pOwnBitmap != nullptr)
            m_pOwnBitmap.reset();
        else
            g_bSharedInUse = false;
    }
    else
    {
        // The handle is the target's: it must outlive this object.
        m_hDC = nullptr;
    }
}

CSize CMemDCMine::GetSharedBitmapSize()
{
    const CBitmap& bitmap = SharedBitmap();
    return CSize(bitmap.GetWidth(), bitmap.GetHeight());
}

void CMemDCMine::FreeSharedBitmap()
{
    if (!g_bSharedInUse)
        SharedBitmap().DeleteObject();
}
