// Device contexts: what drawing goes through. A memory DC draws on the bitmap selected into it; a
// paint DC (inside WM_PAINT) and a client DC draw on the window's back buffer, which is what the
// screen shows. Drawing is pixel-exact: no anti-aliasing, a pixel lands where the caller puts it.
// Only the MM_TEXT mapping mode exists; window and viewport origins shift coordinates.
#pragma once

#include "platform/Gdi.h"

#include <string>

class CWnd;

class CDC
{
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    static CDC* FromHandle(HDC hDC);

    // A memory DC holding a 1 x 1 bitmap until another is selected.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    BOOL IsPrinting() const { return FALSE; }
    int GetDeviceCaps(int nIndex) const;

    // Selection returns the object selected before (never null while the DC exists).
    CFont* SelectObject(CFont* pFont);
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CBitmap* SelectObject(CBitmap* pBitmap);
    CGdiObject* SelectStockObject(int nIndex);
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;
    // Clips all drawing to the region (in device coordinates); null removes the clip.
    int SelectClipRgn(CRgn* pRgn);

    COLORREF SetTextColor(COLORREF crColor);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF crColor);
    COLORREF GetBkColor() const;
    int SetBkMode(int nBkMode);
    int GetBkMode() const;
    int SetMapMode(int nMapMode);
    int GetMapMode() const;
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT pt) { return SetWindowOrg(pt.x, pt.y); }
    CPoint GetWindowOrg() const;
    CPoint SetViewportOrg(int x, int y);
    CPoint GetViewportOrg() const;
    // Extents are kept but have no effect in MM_TEXT.
    CSize SetWindowExt(int cx, int cy);
    CSize GetWindowExt() const;
    CSize SetViewportExt(int cx, int cy);
    CSize GetViewportExt() const;
    void LPtoDP(LPPOINT pPoints, int nCount = 1) const;
    void LPtoDP(LPRECT pRect) const;
    void DPtoLP(LPPOINT pPoints, int nCount = 1) const;
    void DPtoLP(LPRECT pRect) const;
    // The smallest rectangle around what can be drawn, in logical coordinates.
    int GetClipBox(LPRECT pRect) const;
    virtual BOOL PtVisible(int x, int y) const;
    virtual BOOL RectVisible(LPCRECT pRect) const;
    int SaveDC();
    BOOL RestoreDC(int nSavedDC);

    void FillRect(LPCRECT pRect, CBrush* pBrush);
    // Also makes crColor the background colour, as the framework does.
    void FillSolidRect(LPCRECT pRect, COLORREF crColor);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor);
    void FrameRect(LPCRECT pRect, CBrush* pBrush);
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush);
    // The inner border of the region, w pixels wide at the sides and h at top and bottom.
    BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight);
    void Draw3dRect(LPCRECT pRect, COLORREF crTopLeft, COLORREF crBottomRight);
    BOOL DrawEdge(LPRECT pRect, UINT nEdge, UINT nFlags);
    COLORREF SetPixel(int x, int y, COLORREF crColor);
    COLORREF SetPixel(POINT pt, COLORREF crColor) { return SetPixel(pt.x, pt.y, crColor); }
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT pt) const { return GetPixel(pt.x, pt.y); }
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT pt) { return MoveTo(pt.x, pt.y); }
    CPoint GetCurrentPosition() const;
    // Draws with the current pen up to, but not including, the end point.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT pt) { return LineTo(pt.x, pt.y); }
    // Outline with the pen, inside with the brush; right and bottom excluded.
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(LPCRECT pRect);

    // Raster operations: SRCCOPY, SRCAND, SRCINVERT, SRCPAINT, NOTSRCCOPY, DSna, BLACKNESS,
    // WHITENESS. The source may be the same DC.
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop);
    // Copies the whole source (cx, cy < 0) or its (xSrc, ySrc, cx, cy) part 1:1 to (x, y).
    BOOL DrawImage(int x, int y, const CBitmap& bitmap, int xSrc = 0, int ySrc = 0, int cx = -1,
                   int cy = -1);
    // The same, leaving the destination unchanged where the source pixel is crKey.
    BOOL DrawImageKeyed(int x, int y, const CBitmap& bitmap, COLORREF crKey, int xSrc = 0,
                        int ySrc = 0, int cx = -1, int cy = -1);
    // Draws a bitmap made by CBitmap::CreateMaskedCopy: its transparent pixels leave the
    // destination unchanged. No per-draw conversion.
    BOOL DrawMaskedImage(int x, int y, const CBitmap& masked, int xSrc = 0, int ySrc = 0,
                         int cx = -1, int cy = -1);
    BOOL TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC,
                        int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, UINT crTransparent);

    // Text is placed by its top-left corner; in OPAQUE mode its cells get the background colour.
    virtual BOOL TextOut(int x, int y, const std::wstring& strText);
    BOOL TextOut(int x, int y, LPCWSTR lpszText, int nCount);
    virtual BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT pRect,
                            const std::wstring& strText);
    // DT_CALCRECT measures (right = left + widest line, bottom = top + lines x line height) and
    // draws nothing. DT_WORDBREAK breaks lines at spaces; a word wider than the rectangle keeps a
    // line of its own. Without DT_SINGLELINE, line breaks in the text start new lines. Text is
    // clipped to the rectangle unless DT_NOCLIP. An ampersand is drawn as it is. Returns the
    // height of the text (0 for an empty text, which measures 0 x 0).
    virtual int DrawText(const std::wstring& strText, LPRECT pRect, UINT nFormat);
    int DrawText(LPCWSTR lpszText, int nCount, LPRECT pRect, UINT nFormat);
    CSize GetTextExtent(const std::wstring& strText) const;
    CSize GetTextExtent(LPCWSTR lpszText, int nCount) const;
    CSize GetOutputTextExtent(const std::wstring& strText) const { return GetTextExtent(strText); }
    BOOL GetTextMetrics(TEXTMETRIC* pMetrics) const;

    HDC m_hDC = nullptr;

protected:
    // For the window device contexts.
    void AttachToWindow(CWnd* pWnd, bool bPaint);
};

// Inside WM_PAINT: draws on the part of the window that needs painting (erasing it first through
// WM_ERASEBKGND when that was asked for); everything else is clipped away.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd = nullptr;
};

// The whole client area of a window. Drawing goes to the window's back buffer and reaches the
// screen at the next paint of the window system.
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};
