#include "platform/Geometry.h"

#include <algorithm>
#include <utility>

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

BOOL CRect::IntersectRect(LPCRECT a, LPCRECT b)
{
    const CRect r(std::max(a->left, b->left), std::max(a->top, b->top),
                  std::min(a->right, b->right), std::min(a->bottom, b->bottom));
    if (r.IsRectEmpty())
    {
        SetRectEmpty();
        return FALSE;
    }
    *this = r;
    return TRUE;
}

BOOL CRect::UnionRect(LPCRECT a, LPCRECT b)
{
    const bool bEmptyA = ::IsRectEmpty(a) != FALSE;
    const bool bEmptyB = ::IsRectEmpty(b) != FALSE;
    if (bEmptyA && bEmptyB)
    {
        SetRectEmpty();
        return FALSE;
    }
    if (bEmptyA)
        *this = *b;
    else if (bEmptyB)
        *this = *a;
    else
        *this = CRect(std::min(a->left, b->left), std::min(a->top, b->top),
                      std::max(a->right, b->right), std::max(a->bottom, b->bottom));
    return TRUE;
}

BOOL PtInRect(const RECT* pRect, POINT pt)
{
    return pRect != nullptr && CRect(*pRect).PtInRect(pt);
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a != nullptr && b != nullptr && CRect(*a).EqualRect(b);
}

BOOL SetRect(LPRECT pRect, int left, int top, int right, int bottom)
{
    if (pRect == nullptr)
        return FALSE;
    *pRect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT pRect)
{
    return SetRect(pRect, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT pDest, const RECT* pSrc)
{
    if (pDest == nullptr || pSrc == nullptr)
        return FALSE;
    *pDest = *pSrc;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* pRect)
{
    return pRect == nullptr || CRect(*pRect).IsRectEmpty();
}

BOOL OffsetRect(LPRECT pRect, int dx, int dy)
{
    if (pRect == nullptr)
        return FALSE;
    CRect r(*pRect);
    r.OffsetRect(dx, dy);
    *pRect = r;
    return TRUE;
}

BOOL InflateRect(LPRECT pRect, int dx, int dy)
{
    if (pRect == nullptr)
        return FALSE;
    CRect r(*pRect);
    r.InflateRect(dx, dy);
    *pRect = r;
    return TRUE;
}

BOOL IntersectRect(LPRECT pDest, const RECT* a, const RECT* b)
{
    if (pDest == nullptr || a == nullptr || b == nullptr)
        return FALSE;
    CRect r;
    const BOOL bResult = r.IntersectRect(a, b);
    *pDest = r;
    return bResult;
}

BOOL UnionRect(LPRECT pDest, const RECT* a, const RECT* b)
{
    if (pDest == nullptr || a == nullptr || b == nullptr)
        return FALSE;
    CRect r;
    const BOOL bResult = r.UnionRect(a, b);
    *pDest = r;
    return bResult;
}
