// The owner-drawn push button behind every clickable part of the skinned windows: a face colour,
// images at given positions, its window text and extra text items, other images and colours
// while the pointer is over it, and a tooltip.
#pragma once

#include "platform/Button.h"
#include "ui/ButtonItems.h"
#include "ui/VelTooltip2Owner.h"

#include <memory>
#include <string>
#include <vector>

class CMaskedBitmap;

// Text alignments, numbered as the button designs have them.
enum class ETextAlign : int
{
    Left = 2,
    Right = 3,
    Center = 6,
};
// Border style without a border, the only one used.
inline constexpr int VEL_BORDER_NONE = 3;

class CVelButton : public CButton, public CVelTooltip2Owner
{
public:
    using CImageList = std::vector<std::unique_ptr<CBitmapDesc>>;
    using CTextList = std::vector<std::unique_ptr<CTextDesc>>;

    CVelButton();
    ~CVelButton() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    virtual void DrawBackground(CDC* pDC, const CRect& rect);
    virtual void DrawBorder(CDC* pDC, const CRect& rect);
    virtual void DrawImages(CDC* pDC, const CImageList& images, const CRect& rect);
    virtual void DrawTexts(CDC* pDC, const std::wstring& strText, const CRect& rect, bool bPressed,
                           bool bDisabled);

    // Appends an image at (x, y), key magenta, shifted while pressed; repaints.
    CBitmapDesc* AddImage(CMaskedBitmap* pBitmap, int x, int y, bool bOwned);
    // Appends an image at (0, 0), not owned, drawn instead of the images while hovered.
    CBitmapDesc* AddHoverImage(CMaskedBitmap* pBitmap);
    // Removes every entry of both lists that shows the bitmap (deleting it if one owned it).
    void RemoveImage(CMaskedBitmap* pBitmap);
    void RemoveAllImages();
    // Appends a text item in the button's font and text colour, unclipped.
    CTextDesc* AddText(const std::wstring& strText, int x, int y);
    void RemoveAllTexts();
    // Registers the text with the tooltip window, if there is one.
    void SetTooltipText(const std::wstring& strText);
    // Resizes the button (not moving it) to hold its images and window text; returns the size.
    CSize AutoSize();

    // The check state is CButton's (GetCheck, SetCheck, GetState, BM_GETCHECK): setting 1 or 2
    // stores 1, anything else 0. Only a check-box button draws checked as pressed.

    // Whether the pointer is over the button now.
    bool IsHovered() const { return m_bHover; }
    // The state the last DrawItem drew: pressed (or a checked check box), focused, disabled.
    bool IsPressed() const { return m_bPressed; }
    bool IsFocused() const { return m_bFocused; }
    bool IsDisabled() const { return m_bDisabled; }
    // Read from the window style when the window is made; every button here is a plain one.
    bool IsDefault() const { return m_bDefault; }
    bool IsCheckBox() const { return m_bCheckBox; }
    // The items, in drawing order; they change through the Add/Remove operations above.
    const CImageList& GetImages() const { return m_listImages; }
    const CImageList& GetHoverImages() const { return m_listHoverImages; }
    const CTextList& GetTexts() const { return m_listTexts; }

    // Appearance: set freely, the next paint uses them.
    CFont* m_pFont = nullptr; // null: the default GUI font
    int m_nPressOffsetX = 1;
    int m_nPressOffsetY = 1;
    int m_nRightClickCommand = 0;
    int m_nBorderStyle = VEL_BORDER_NONE;
    ETextAlign m_eTextAlign = ETextAlign::Left;
    int m_nTextX = -1; // -1: placed by the alignment
    int m_nTextY = -1; // -1: centred vertically
    bool m_bDrawFocusRect = false;
    bool m_bTransparent = false;
    COLORREF m_crFace;
    COLORREF m_crHoverFace;
    bool m_bHoverFaceEnabled = false;
    COLORREF m_crText;
    COLORREF m_crHoverText = RGB(80, 80, 100);
    bool m_bHoverTextEnabled = true;
    int m_nDoubleClickCommand = 0;
    // Kept for the window that holds the button; the button never reads them.
    int m_nValue = 0;
    int m_nValue2 = 0;
    std::wstring m_strKey;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnKillFocus(CWnd* pNewWnd) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) override;
    void OnEnable(BOOL bEnable) override;
    void OnCancelMode() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseLeave() override;

    void TrackHover(CPoint point, bool bLeftButtonDown);
    void CancelHover();

private:
    bool m_bHover = false;
    bool m_bPressed = false;
    bool m_bFocused = false;
    bool m_bDisabled = false;
    bool m_bDefault = false;
    bool m_bCheckBox = false;
    CTextList m_listTexts;
    CImageList m_listImages;
    CImageList m_listHoverImages;

    void ResetColours();
    // Whether entering or leaving changes the look, so that it must be repainted.
    bool HoverChangesLook() const;
    void RepaintNow();
    // Empties a list, deleting the bitmaps its entries own (each once).
    void ClearImages(CImageList& images);
};
