// Helpers of the toolkit's tests: a parent window that records its commands, and pixel searches.
#pragma once

#include "platform/Afx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

// Readable failures: rectangles as (left, top, right, bottom), sizes and points as pairs. Found
// by the test framework through the types' namespace (the global one).
inline void PrintTo(const CRect& rc, std::ostream* pOut)
{
    *pOut << "(" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << ")";
}
inline void PrintTo(const CSize& size, std::ostream* pOut)
{
    *pOut << size.cx << " x " << size.cy;
}
inline void PrintTo(const CPoint& pt, std::ostream* pOut)
{
    *pOut << "(" << pt.x << ", " << pt.y << ")";
}

// A top-level window that keeps the ids of the WM_COMMANDs it gets.
class CTestParent : public CWnd
{
public:
    BOOL CreateAt(int x, int y, int cx, int cy)
    {
        return CreateEx(0, nullptr, L"parent", WS_POPUP | WS_VISIBLE, x, y, cx, cy, nullptr, 0);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            m_commands.push_back(LOWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> m_commands;
};

// The smallest rectangle around the pixels of `within` that differ from crBack; empty when none.
inline CRect InkBox(const CBitmap& bitmap, const CRect& within, COLORREF crBack)
{
    CRect box;
    bool bAny = false;
    for (int y = within.top; y < within.bottom; ++y)
    {
        for (int x = within.left; x < within.right; ++x)
        {
            if (bitmap.GetPixel(x, y) == crBack)
                continue;
            if (!bAny)
                box = CRect(x, y, x + 1, y + 1);
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
            bAny = true;
        }
    }
    return box;
}

inline CRect InkBox(const CBitmap& bitmap, COLORREF crBack)
{
    return InkBox(bitmap, CRect(0, 0, bitmap.GetWidth(), bitmap.GetHeight()), crBack);
}

// The smallest rectangle around the pixels of exactly crColour; empty when none.
inline CRect ColourBox(const CBitmap& bitmap, COLORREF crColour)
{
    CRect box;
    bool bAny = false;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
    {
        for (int x = 0; x < bitmap.GetWidth(); ++x)
        {
            if (bitmap.GetPixel(x, y) != crColour)
                continue;
            const CRect pixel(x, y, x + 1, y + 1);
            if (bAny)
                box.UnionRect(&box, &pixel);
            else
                box = pixel;
            bAny = true;
        }
    }
    return box;
}

// Where one line of text in the default GUI font shows ink when drawn at (x, y).
inline CRect TextInkAt(const std::wstring& strText, int x, int y)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, 400, 100);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 400, 100, RGB(255, 255, 255));
    dc.SelectObject(GetDefaultGuiFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    CRect rc(x, y, x, y);
    dc.DrawText(strText, &rc, DT_SINGLELINE | DT_NOCLIP);
    dc.SelectObject(pOld);
    return InkBox(bitmap, RGB(255, 255, 255));
}
