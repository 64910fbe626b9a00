// The images every skinned dialog draws its frame and title buttons with, loaded once from
// Data/Skins/Default/ and shared by all of them.
//
// The program owns the set: it makes one CSkinImages before the first skinned dialog and destroys
// it after the last one and before the window system ends (the bitmaps belong to the window
// system). While it exists it is the shared set; nothing of it outlives main(). A dialog made
// while there is none (a test) loads a private set of its own.
#pragma once

#include "res/MaskedBitmap.h"

#include <memory>

class CSkinImages
{
public:
    // The first instance made while none is shared becomes the shared set.
    CSkinImages();
    ~CSkinImages();
    CSkinImages(const CSkinImages&) = delete;
    CSkinImages& operator=(const CSkinImages&) = delete;

    // The set skinned dialogs use; null while the program has none.
    static CSkinImages* GetShared();
    // A set that never becomes the shared one, for its owner alone.
    static std::unique_ptr<CSkinImages> MakePrivate();

    // Loads the 31 images in their fixed order. A file that cannot be read is reported on its
    // own and leaves a 10 × 10 black bitmap, so the set is always complete afterwards.
    void Load();
    bool IsLoaded() const { return m_bmpButtonBlank90.m_nHeight != 0; }
    // The interior image tiled whole into a block of about 256 × 256 pixels, made on first use:
    // tiling a window's interior with it gives the same pixels in a few copies, not hundreds.
    const CBitmap& BackgroundBlock() const;

    // Bottom OK / Cancel / Close buttons, 90 pixels wide.
    CMaskedBitmap m_bmpButtonBlank90;
    // Title buttons, normal and under the pointer.
    CMaskedBitmap m_bmpButtonClose;
    CMaskedBitmap m_bmpButtonCloseHover;
    CMaskedBitmap m_bmpButtonMaximize;
    CMaskedBitmap m_bmpButtonMaxHover;
    CMaskedBitmap m_bmpButtonMinimize;
    CMaskedBitmap m_bmpButtonMinHover;
    CMaskedBitmap m_bmpButtonHelp;
    CMaskedBitmap m_bmpButtonHelpHover;
    // Interior, tiled.
    CMaskedBitmap m_bmpBackground;
    // Left end of the title bar (it doubles as the upper-left corner).
    CMaskedBitmap m_bmpIconNone;
    CMaskedBitmap m_bmpIconNoneSquare;
    // Corners. LRResize is the size grip of every resizable window.
    CMaskedBitmap m_bmpURSquare;
    CMaskedBitmap m_bmpUR;
    CMaskedBitmap m_bmpLL;
    CMaskedBitmap m_bmpLLSquare;
    CMaskedBitmap m_bmpLR;
    CMaskedBitmap m_bmpLRSquare;
    CMaskedBitmap m_bmpLRResize;
    CMaskedBitmap m_bmp0UL; // loaded so that a missing file is reported; not drawn
    // Maximised window: upper-right corner and left end of the title bar alike.
    CMaskedBitmap m_bmpURNoBorder;
    CMaskedBitmap m_bmp0URSquare; // not drawn
    CMaskedBitmap m_bmp0UR;       // not drawn
    // Title strip of a maximised window, tiled.
    CMaskedBitmap m_bmpTopNoBorder;
    CMaskedBitmap m_bmp0Top; // not drawn
    // Title strip, tiled; its height is the title-bar height.
    CMaskedBitmap m_bmpTop;
    // Edges, tiled.
    CMaskedBitmap m_bmpBottom;
    CMaskedBitmap m_bmpLeft;
    CMaskedBitmap m_bmpRight;
    // Belong to a title icon, which no dialog sets; not drawn.
    CMaskedBitmap m_bmpTopDivider;
    CMaskedBitmap m_bmpTopDividerNoBorder;

private:
    struct CPrivateTag
    {
    };
    explicit CSkinImages(CPrivateTag);
    mutable std::unique_ptr<CBitmap> m_pBackgroundBlock;
};
