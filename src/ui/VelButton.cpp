// CVelButton: lifecycle, item lists, sizing, messages and hover tracking. Drawing is in
// VelButtonDraw.cpp.
#include "ui/VelButton.h"

#include "platform/System.h"
#include "res/MaskedBitmap.h"
#include "ui/TextMeasure.h"
#include "ui/VelTooltipManager.h"

#include <algorithm>

namespace
{

// Takes the entries that show pBitmap (all entries for null) out of the list; tells whether one
// of them owned its bitmap.
bool TakeOut(CVelButton::CImageList& images, CMaskedBitmap* pBitmap, bool bAll)
{
    bool bOwned = false;
    std::erase_if(images,
                  [&](const std::unique_ptr<CBitmapDesc>& pDesc)
                  {
                      if (!bAll && pDesc->m_pBitmap != pBitmap)
                          return false;
                      bOwned = bOwned || pDesc->m_bOwned;
                      return true;
                  });
    return bOwned;
}

} // namespace

CVelButton::CVelButton()
    : m_crFace(GetSysColor(COLOR_BTNFACE)), m_crHoverFace(GetSysColor(COLOR_BTNFACE)),
      m_crText(GetSysColor(COLOR_BTNTEXT))
{
}

CVelButton::~CVelButton()
{
    if (g_pTooltipManager != nullptr)
        g_pTooltipManager->RemoveControl(this);
    RemoveAllImages();
    RemoveAllTexts();
}

void CVelButton::ResetColours()
{
    m_crFace = GetSysColor(COLOR_BTNFACE);
    m_crHoverFace = GetSysColor(COLOR_BTNFACE);
    m_crText = GetSysColor(COLOR_BTNTEXT);
    m_crHoverText = GetSysColor(COLOR_BTNTEXT);
}

BOOL CVelButton::Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                        UINT nID)
{
    return CButton::Create(lpszCaption, dwStyle, rect, pParentWnd, nID);
}

void CVelButton::PreSubclassWindow()
{
    const DWORD nType = GetStyle() & BS_TYPEMASK;
    if (nType == BS_DEFPUSHBUTTON)
        m_bDefault = true;
    if (nType == BS_CHECKBOX || nType == BS_AUTOCHECKBOX)
        m_bCheckBox = true;
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL CVelButton::PreTranslateMessage(MSG* pMsg)
{
    if (g_pTooltipManager != nullptr)
        g_pTooltipManager->RelayMouseMessage(pMsg);
    // A quick second click is a click of its own.
    if (pMsg->message == WM_LBUTTONDBLCLK)
        pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

CBitmapDesc* CVelButton::AddImage(CMaskedBitmap* pBitmap, int x, int y, bool bOwned)
{
    auto pDesc = std::make_unique<CBitmapDesc>();
    pDesc->m_nX = x;
    pDesc->m_nY = y;
    pDesc->m_bOwned = bOwned;
    pDesc->m_pBitmap = pBitmap;
    m_listImages.push_back(std::move(pDesc));
    if (GetSafeHwnd() != nullptr)
        Invalidate();
    return m_listImages.back().get();
}

CBitmapDesc* CVelButton::AddHoverImage(CMaskedBitmap* pBitmap)
{
    auto pDesc = std::make_unique<CBitmapDesc>();
    pDesc->m_pBitmap = pBitmap;
    m_listHoverImages.push_back(std::move(pDesc));
    if (GetSafeHwnd() != nullptr)
        Invalidate();
    return m_listHoverImages.back().get();
}

void CVelButton::RemoveImage(CMaskedBitmap* pBitmap)
{
    // Both lists first: an owned bitmap is deleted once, and no entry is left pointing to it.
    const bool bOwnedInImages = TakeOut(m_listImages, pBitmap, false);
    const bool bOwnedInHover = TakeOut(m_listHoverImages, pBitmap, false);
    if (bOwnedInImages || bOwnedInHover)
        // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): handed over by AddImage(..., true)
        delete pBitmap;
}

void CVelButton::RemoveAllImages()
{
    std::vector<CMaskedBitmap*> owned;
    for (CImageList* pList : {&m_listImages, &m_listHoverImages})
    {
        for (const auto& pDesc : *pList)
        {
            if (pDesc->m_bOwned && pDesc->m_pBitmap != nullptr)
                owned.push_back(pDesc->m_pBitmap);
        }
        pList->clear();
    }
    std::sort(owned.begin(), owned.end());
    owned.erase(std::unique(owned.begin(), owned.end()), owned.end());
    for (CMaskedBitmap* pBitmap : owned)
        // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): handed over by AddImage(..., true)
        delete pBitmap;
}

CTextDesc* CVelButton::AddText(const std::wstring& strText, int x, int y)
{
    auto pDesc = std::make_unique<CTextDesc>();
    pDesc->m_strText = strText;
    pDesc->m_nX = x;
    pDesc->m_nY = y;
    m_listTexts.push_back(std::move(pDesc));
    return m_listTexts.back().get();
}

void CVelButton::RemoveAllTexts()
{
    m_listTexts.clear();
}

void CVelButton::SetTooltipText(const std::wstring& strText)
{
    if (g_pTooltipManager != nullptr)
        g_pTooltipManager->SetTooltipText(this, strText);
}

CSize CVelButton::AutoSize()
{
    int nWidth = 0;
    int nHeight = 0;
    for (const auto& pDesc : m_listImages)
    {
        if (pDesc->m_pBitmap == nullptr)
            continue;
        nWidth = std::max(nWidth, pDesc->m_nX + pDesc->m_pBitmap->m_nWidth);
        nHeight = std::max(nHeight, pDesc->m_nY + pDesc->m_pBitmap->m_nHeight);
    }
    const std::wstring strText = GetWindowText();
    if (!strText.empty())
    {
        const CSize sizeText = GetTextLineSize(strText);
        nWidth = std::max(nWidth, sizeText.cx + m_nTextX + 10);
        nHeight = std::max(nHeight, sizeText.cy + 5);
    }
    nHeight = std::max(nHeight, 23);
    const CSize size(nWidth + 1, nHeight);
    if (GetSafeHwnd() != nullptr)
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return size;
}

LRESULT CVelButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_SYSCOLORCHANGE:
    {
        const LRESULT lResult = CButton::WindowProc(message, wParam, lParam);
        ResetColours();
        m_bHoverFaceEnabled = false;
        m_bHoverTextEnabled = false;
        return lResult;
    }
    case BM_SETSTYLE:
        // Whatever style is asked for, the button stays owner-drawn.
        return CButton::WindowProc(message, (wParam & ~WPARAM{0x4}) | BS_OWNERDRAW, lParam);
    case BM_SETCHECK:
        // Checked or indeterminate count as checked; the base stores it and repaints.
        return CButton::WindowProc(message, wParam == 1 || wParam == 2 ? 1 : 0, lParam);
    default:
        return CButton::WindowProc(message, wParam, lParam);
    }
}

bool CVelButton::HoverChangesLook() const
{
    return !m_listHoverImages.empty() || m_bHoverTextEnabled || m_bHoverFaceEnabled;
}

void CVelButton::RepaintNow()
{
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CVelButton::TrackHover(CPoint point, bool bLeftButtonDown)
{
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    CWnd* pUnder = CWnd::WindowFromPoint(ptScreen);
    if (bLeftButtonDown && !m_bHover)
        return;
    if (pUnder != this)
    {
        CancelHover();
        return;
    }
    if (m_bHover)
        return;
    m_bHover = true;
    if (HoverChangesLook())
        RepaintNow();
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = GetSafeHwnd();
    _TrackMouseEvent(&tme);
}

void CVelButton::CancelHover()
{
    if (!m_bHover)
        return;
    m_bHover = false;
    if (HoverChangesLook())
        RepaintNow();
}

void CVelButton::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    CancelHover();
}

void CVelButton::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    TrackHover(point, (nFlags & MK_LBUTTON) != 0);
}

void CVelButton::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE)
        CancelHover();
}

void CVelButton::OnEnable(BOOL bEnable)
{
    CButton::OnEnable(bEnable);
    if (bEnable)
        return;
    // A disabled button cannot keep the focus; one that does not have it leaves it alone.
    if (CWnd::GetFocus() == this)
    {
        CWnd* pParent = GetParent();
        CWnd* pNext = pParent != nullptr ? pParent->GetNextDlgTabItem(this) : nullptr;
        if (pNext != nullptr && pNext != this)
            pNext->SetFocus();
        else if (pParent != nullptr)
            pParent->SetFocus();
    }
    CancelHover();
}

void CVelButton::OnCancelMode()
{
    CButton::OnCancelMode();
    CancelHover();
}

void CVelButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    TrackHover(point, (nFlags & MK_LBUTTON) != 0);
    CButton::OnLButtonDown(nFlags, point);
}

void CVelButton::OnMouseLeave()
{
    CancelHover();
}
