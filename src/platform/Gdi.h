// Drawing objects: pens, brushes, fonts, regions and bitmaps. Each C++ object owns its handle and
// deletes it when destroyed, unless it is a stock object or was detached. A handle that is selected
// into a device context cannot be deleted; deleting it then only marks it, and it goes away when
// it is deselected.
#pragma once

#include "platform/Geometry.h"
#include "platform/WinConst.h"

#include <cstdint>
#include <string>

class CDC;

class CGdiObject
{
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    // Takes ownership of a handle; the object must be empty.
    BOOL Attach(HGDIOBJ hObject);
    // Gives up ownership: the caller deletes the handle (or hands it to SetWindowRgn).
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID pObject) const;
    UINT GetObjectType() const;

    HGDIOBJ m_hObject = nullptr;

protected:
    static CGdiObject* MakeTemporaryFor(CGdiObject* pWrapper, HGDIOBJ h);
    // Wrappers made by FromHandle for handles nobody owns never delete them.
    bool m_bTemporary = false;
};

class CPen : public CGdiObject
{
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    static CPen* FromHandle(HPEN hPen);
    static CGdiObject* MakeTemporary(HGDIOBJ h) { return MakeTemporaryFor(new CPen, h); }
};

class CBrush : public CGdiObject
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateSysColorBrush(int nIndex);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    static CBrush* FromHandle(HBRUSH hBrush);
    static CGdiObject* MakeTemporary(HGDIOBJ h) { return MakeTemporaryFor(new CBrush, h); }
};

class CFont : public CGdiObject
{
public:
    // nHeight < 0: character height in pixels; > 0: cell height (ascent + descent); 0: 11 pixels.
    // Windows face names map to the Liberation families; every font is drawn without
    // anti-aliasing, hinting or kerning so that text lands on the same pixels everywhere.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                    LPCWSTR lpszFacename);
    BOOL CreateFontIndirect(const LOGFONT* pLogFont);
    // nPointSize in tenths of a point, at 96 pixels per inch.
    BOOL CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC = nullptr);
    int GetLogFont(LOGFONT* pLogFont) const;
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    static CFont* FromHandle(HFONT hFont);
    static CGdiObject* MakeTemporary(HGDIOBJ h) { return MakeTemporaryFor(new CFont, h); }
};

class CRgn : public CGdiObject
{
public:
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT pRect);
    // The pixels of (x1, y1) - (x2 - 1, y2 - 1) whose centres lie inside the rectangle with
    // quarter-ellipse corners of w x h; hence the habit of passing (0, 0, W + 1, H + 1) to cover
    // a W x H window.
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
    // Combines two regions into this one (which must exist, e.g. CreateRectRgn(0, 0, 0, 0)).
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
    int CopyRgn(const CRgn* pRgnSrc);
    BOOL EqualRgn(const CRgn* pRgn) const;
    int OffsetRgn(int x, int y);
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT pt) const { return PtInRegion(pt.x, pt.y); }
    int GetRgnBox(LPRECT pRect) const;
    void SetRectRgn(int x1, int y1, int x2, int y2);
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    static CRgn* FromHandle(HRGN hRgn);
    static CGdiObject* MakeTemporary(HGDIOBJ h) { return MakeTemporaryFor(new CRgn, h); }
};

// A 32-bit picture in the screen's format.
class CBitmap : public CGdiObject
{
public:
    // Black, width x height.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    // From width x height pixels 0xAARRGGBB, rows top-down; alpha is ignored. FALSE (and no
    // bitmap) when the memory for it is not there.
    BOOL CreateFromPixels(int nWidth, int nHeight, const std::uint32_t* pPixels);
    // A copy of source in which every pixel of colour crKey is transparent: the mask of a keyed
    // image, made once and drawn with CDC::DrawMaskedImage as often as needed.
    BOOL CreateMaskedCopy(const CBitmap& source, COLORREF crKey);
    int GetBitmap(BITMAP* pBitmap) const;
    int GetWidth() const;
    int GetHeight() const;
    // Pixel access for tests and loaders; CLR_INVALID outside.
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF crColor);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    static CBitmap* FromHandle(HBITMAP hBitmap);
    static CGdiObject* MakeTemporary(HGDIOBJ h) { return MakeTemporaryFor(new CBitmap, h); }
};

HGDIOBJ GetStockObject(int nIndex);
BOOL DeleteObject(HGDIOBJ hObject);
int GetObject(HGDIOBJ hObject, int nCount, LPVOID pObject);
DWORD GetObjectType(HGDIOBJ hObject);
HBRUSH GetSysColorBrush(int nIndex);
HBRUSH CreateSolidBrush(COLORREF crColor);
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
int CombineRgn(HRGN hDest, HRGN hSrc1, HRGN hSrc2, int nCombineMode);
BOOL PtInRegion(HRGN hRgn, int x, int y);
int GetRgnBox(HRGN hRgn, LPRECT pRect);

// The shared default GUI font: Liberation Sans, 11 pixels, 13 pixels per line.
CFont* GetDefaultGuiFont();
