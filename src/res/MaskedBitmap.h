// A picture of the interface, loaded from an image file below the installation folder.
//
// The decoders and the drawing come with the image loader; the game model only needs a place for
// its flag images and to know whether one was loaded (width 0 means never loaded).
#pragma once

#include "platform/WinTypes.h"

#include <string>

// The colour packing of the window framework, under the name the resource code uses.
constexpr COLORREF MakeRgb(unsigned r, unsigned g, unsigned b)
{
    return RGB(r, g, b);
}

class CMaskedBitmap;

// What turns an image file into a CMaskedBitmap. The image loader installs one at start-up.
class CImageLoader
{
public:
    virtual ~CImageLoader() = default;
    virtual bool LoadInto(CMaskedBitmap& bitmap, const std::wstring& path,
                          COLORREF rgbBackground) = 0;
};

// Installs the loader used by CMaskedBitmap::Load (null: nothing loads).
void SetImageLoader(CImageLoader* pLoader);

class CMaskedBitmap
{
public:
    CMaskedBitmap() = default;
    CMaskedBitmap(const CMaskedBitmap&) = delete;
    CMaskedBitmap& operator=(const CMaskedBitmap&) = delete;

    // path is relative to the installation folder or absolute.
    bool Load(const std::wstring& path) { return Load(path, MakeRgb(0, 0, 0)); }
    bool Load(const std::wstring& path, COLORREF rgbBackground);

    std::wstring m_strPath;
    int m_nHeight = 0;
    int m_nWidth = 0;
};
