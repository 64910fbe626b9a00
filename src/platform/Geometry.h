// Points, sizes and rectangles. A rectangle holds the pixels from left to right - 1 and from top to
// bottom - 1.
#pragma once

#include "platform/WinTypes.h"

class CSize : public SIZE
{
public:
    CSize() : SIZE{0, 0} {}
    CSize(int x, int y) : SIZE{x, y} {}
    CSize(SIZE s) : SIZE(s) {}

    // One comparison of the class's own type: C++20 derives != and the reversed forms from it,
    // and a SIZE converts. (One taking the base type makes CSize == CSize ambiguous.)
    bool operator==(const CSize& s) const { return cx == s.cx && cy == s.cy; }
    CSize operator+(const SIZE& s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(const SIZE& s) const { return CSize(cx - s.cx, cy - s.cy); }
};

class CPoint : public POINT
{
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int x0, int y0) : POINT{x0, y0} {}
    CPoint(POINT p) : POINT(p) {}
    // A point packed as in a mouse message's lParam or GetMessagePos.
    explicit CPoint(LPARAM packed) : POINT{GET_X_LPARAM(packed), GET_Y_LPARAM(packed)} {}

    void Offset(int dx, int dy)
    {
        x += dx;
        y += dy;
    }
    bool operator==(const CPoint& p) const { return x == p.x && y == p.y; }
    CPoint operator+(const SIZE& s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(const SIZE& s) const { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(const POINT& p) const { return CSize(x - p.x, y - p.y); }
    CPoint& operator+=(const SIZE& s)
    {
        Offset(s.cx, s.cy);
        return *this;
    }
};

class CRect : public RECT
{
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}
    CRect(LPCRECT p) : RECT(*p) {}
    CRect(POINT topLeft, SIZE size)
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy}
    {
    }
    CRect(POINT topLeft, POINT bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}
    {
    }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    BOOL EqualRect(LPCRECT p) const
    {
        return left == p->left && top == p->top && right == p->right && bottom == p->bottom;
    }

    void SetRect(int l, int t, int r, int b) { *this = CRect(l, t, r, b); }
    void SetRectEmpty() { *this = CRect(); }
    void CopyRect(LPCRECT p) { *static_cast<RECT*>(this) = *p; }
    void OffsetRect(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    void InflateRect(int dx, int dy)
    {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    void InflateRect(int l, int t, int r, int b)
    {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void NormalizeRect();
    // Both return FALSE (and leave an empty rectangle for the intersection) when nothing is left.
    BOOL IntersectRect(LPCRECT a, LPCRECT b);
    BOOL UnionRect(LPCRECT a, LPCRECT b);

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
    bool operator==(const CRect& r) const { return EqualRect(&r) != FALSE; }
    CRect& operator&=(const RECT& r)
    {
        IntersectRect(this, &r);
        return *this;
    }
    CRect& operator|=(const RECT& r)
    {
        UnionRect(this, &r);
        return *this;
    }
};

BOOL PtInRect(const RECT* pRect, POINT pt);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL SetRect(LPRECT pRect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT pRect);
BOOL CopyRect(LPRECT pDest, const RECT* pSrc);
BOOL IsRectEmpty(const RECT* pRect);
BOOL OffsetRect(LPRECT pRect, int dx, int dy);
BOOL InflateRect(LPRECT pRect, int dx, int dy);
BOOL IntersectRect(LPRECT pDest, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT pDest, const RECT* a, const RECT* b);
