// CVelButton: drawing, always through an off-screen context.
#include "platform/System.h"
#include "res/MaskedBitmap.h"
#include "ui/MemDCMine.h"
#include "ui/VelButton.h"

namespace
{

// Draws one line of text with its top-left corner at (x, y), unclipped.
void DrawLineAt(CDC* pDC, const std::wstring& strText, int x, int y)
{
    CRect rc(x, y, x, y);
    pDC->DrawText(strText, &rc, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
}

} // namespace

void CVelButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pTarget = CDC::FromHandle(lpDrawItemStruct->hDC);
    if (pTarget == nullptr)
        return;
    CMemDCMine dc(pTarget);
    const CRect rect(lpDrawItemStruct->rcItem);
    const UINT nState = lpDrawItemStruct->itemState;
    m_bPressed = (nState & ODS_SELECTED) != 0 || (m_bCheckBox && GetCheck() != 0);
    m_bFocused = (nState & ODS_FOCUS) != 0;
    m_bDisabled = (nState & ODS_DISABLED) != 0;
    dc.SetBkMode(TRANSPARENT);
    DrawBackground(&dc, rect);
    DrawBorder(&dc, rect);
    DrawImages(&dc, m_bHover && !m_listHoverImages.empty() ? m_listHoverImages : m_listImages,
               rect);
    const std::wstring strText = GetWindowText();
    if (!strText.empty() || !m_listTexts.empty())
        DrawTexts(&dc, strText, rect, m_bPressed, m_bDisabled);
}

void CVelButton::DrawBackground(CDC* pDC, const CRect& rect)
{
    if (m_bTransparent)
        return;
    const bool bHoverFace = (m_bHover || m_bPressed) && m_bHoverFaceEnabled;
    pDC->FillSolidRect(&rect, bHoverFace ? m_crHoverFace : m_crFace);
}

void CVelButton::DrawBorder(CDC*, const CRect&)
{
    // The only border style used is none.
}

void CVelButton::DrawImages(CDC* pDC, const CImageList& images, const CRect& rect)
{
    for (const auto& pDesc : images)
    {
        if (pDesc->m_pBitmap == nullptr)
            continue;
        int x = rect.left + pDesc->m_nX;
        int y = rect.top + pDesc->m_nY;
        if (m_bPressed && pDesc->m_bShiftWhenPressed)
        {
            x += m_nPressOffsetX;
            y += m_nPressOffsetY;
        }
        pDesc->m_pBitmap->DrawTransparent(pDC, x, y, pDesc->m_crKey);
    }
}

void CVelButton::DrawTexts(CDC* pDC, const std::wstring& strText, const CRect& rect, bool bPressed,
                           bool bDisabled)
{
    CFont* pOldFont = pDC->SelectObject(m_pFont != nullptr ? m_pFont : GetDefaultGuiFont());
    const int nWidth = rect.Width();
    const int nHeight = rect.Height();
    // Images never make room beside the text: they all sit at positions of their own.
    int nAnchor = 5;
    if (m_eTextAlign == ETextAlign::Right)
        nAnchor = nWidth - 5;
    else if (m_eTextAlign == ETextAlign::Center)
        nAnchor = nWidth / 2;
    CRect rcText(0, 0, 0, 0);
    pDC->DrawText(strText, &rcText, DT_SINGLELINE | DT_CALCRECT);
    const int tw = rcText.Width();
    const int th = rcText.Height();
    int x = m_nTextX;
    if (x == -1)
    {
        if (m_eTextAlign == ETextAlign::Right)
            x = nAnchor - tw - 1;
        else if (m_eTextAlign == ETextAlign::Center)
            x = nAnchor - tw / 2;
        else
            x = nAnchor;
    }
    int y = m_nTextY != -1 ? m_nTextY : (nHeight - th) / 2;
    x += rect.left;
    y += rect.top;
    if (bPressed)
    {
        x += m_nPressOffsetX;
        y += m_nPressOffsetY;
    }

    const bool bHoverLook = (m_bHover || bPressed) && m_bHoverTextEnabled;
    const COLORREF crCurrent = bHoverLook ? m_crHoverText : m_crText;
    if (bDisabled)
    {
        pDC->SetTextColor(GetSysColor(COLOR_3DHILIGHT));
        DrawLineAt(pDC, strText, x + 1, y + 1);
        pDC->SetTextColor(GetSysColor(COLOR_3DSHADOW));
        DrawLineAt(pDC, strText, x, y);
    }
    else
    {
        pDC->SetTextColor(crCurrent);
        DrawLineAt(pDC, strText, x, y);
    }

    for (const auto& pItem : m_listTexts)
    {
        CFont* pOldItemFont =
            pItem->m_pFont != nullptr ? pDC->SelectObject(pItem->m_pFont) : nullptr;
        int xItem = rect.left + pItem->m_nX;
        int yItem = rect.top + pItem->m_nY;
        if (bPressed)
        {
            xItem += m_nPressOffsetX;
            yItem += m_nPressOffsetY;
        }
        pDC->SetTextColor(pItem->m_crColor == VEL_BUTTON_TEXT_COLOUR ? crCurrent
                                                                     : pItem->m_crColor);
        CRect rcBox(xItem, yItem, xItem + pItem->m_nWidth, yItem + 2000);
        pDC->DrawText(pItem->m_strText, &rcBox,
                      DT_LEFT | DT_TOP | (pItem->m_nWidth == 0 ? DT_NOCLIP : 0));
        if (pOldItemFont != nullptr)
            pDC->SelectObject(pOldItemFont);
    }
    pDC->SelectObject(pOldFont);
}
