// A picture of the interface, loaded from an image file below the installation folder: a bitmap
// with the image's alpha already flattened onto a background colour, drawn 1:1, cut to a size, or
// with one colour (magenta, by habit) left out.
#pragma once

#include "platform/Gdi.h"

#include <memory>
#include <string>

class CDC;

class CMaskedBitmap : public CBitmap
{
public:
    CMaskedBitmap() = default;
    // Loads at once: a ".png" against magenta, so that its transparent parts stay transparent
    // when drawn with the magenta key; anything else against black.
    explicit CMaskedBitmap(const std::wstring& strPath);

    // strPath is absolute (starts with "/") or relative to the installation folder. On failure
    // the bitmap becomes 10 × 10 black and the user is told (log line, beep, message box).
    bool Load(const std::wstring& strPath);
    bool Load(const std::wstring& strPath, COLORREF crBackground);

    void Draw(CDC* pDC, int x, int y) const;
    // The top-left part of at most nMaxWidth × nMaxHeight.
    void DrawClipped(CDC* pDC, int x, int y, int nMaxWidth, int nMaxHeight) const;
    // Leaves the destination as it is where the bitmap has the colour crKey. The mask is made on
    // the first draw with a key and kept: a loaded picture does not change until the next Load.
    void DrawTransparent(CDC* pDC, int x, int y, COLORREF crKey) const;

    std::wstring m_strPath; // full path of the loaded file; empty until one was loaded
    int m_nHeight = 0;
    int m_nWidth = 0;

private:
    void Unload();
    const CBitmap* MaskFor(COLORREF crKey) const;
    void ReportFailure(const std::wstring& strPath, const std::wstring& strFullPath,
                       bool bPngFailed);

    mutable std::unique_ptr<CBitmap> m_pMask;
    mutable COLORREF m_crMaskKey = 0;
};
