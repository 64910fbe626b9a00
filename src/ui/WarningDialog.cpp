#include "ui/WarningDialog.h"

#include "platform/System.h"
#include "ui/TextFit.h"
#include "ui/TextMeasure.h"
#include "ui/WindowPlacement.h"

#include <algorithm>

namespace
{

// The message is broken into lines no wider than this (or than the work area allows).
constexpr int kWrapWidth = 800;
// Window size around the measured message: at least 298 wide.
constexpr int kMinTextWidth = 188;
constexpr int kExtraWidth = 110;
constexpr int kExtraHeight = 130;
const CRect kMessageRect(75, 55, 250, 75);
const CRect kIconRect(30, 45, 73, 88);
constexpr COLORREF kMessageFace = RGB(168, 174, 184);
constexpr COLORREF kIconFace = RGB(168, 174, 186);
// The tick is smaller than the warning sign and sits inside the same place.
constexpr int kCheckInset = 7;
// Where a left-aligned button text starts, and the margins AutoSize leaves around a text.
constexpr int kTextLeft = 5;
constexpr int kAutoSizeExtraWidth = 10 + 1;
constexpr int kAutoSizeExtraHeight = 5;
constexpr int kAutoSizeMinHeight = 23;

} // namespace

CSize CWarningDialog::CMessageLabel::FitToText(int nWrapWidth)
{
    m_nWrapWidth = nWrapWidth;
    const std::wstring strText = GetWindowText();
    const CSize sizeWrapped = GetTextSize(strText, m_pFont, nWrapWidth);
    m_bMultiLine = sizeWrapped.cy > GetTextLineSize(strText, m_pFont).cy;
    if (!m_bMultiLine)
        return AutoSize();
    // AutoSize measures one line only: a label sized by it would cut off every line but the
    // first and, for a long line, reach past the window. The same margins around all lines.
    const CSize size(sizeWrapped.cx + m_nTextX + kAutoSizeExtraWidth,
                     std::max(sizeWrapped.cy + kAutoSizeExtraHeight, kAutoSizeMinHeight));
    if (GetSafeHwnd() != nullptr)
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return size;
}

void CWarningDialog::CMessageLabel::DrawTexts(CDC* pDC, const std::wstring& strText,
                                              const CRect& rect, bool bPressed, bool bDisabled)
{
    if (!m_bMultiLine)
    {
        CVelStatic2::DrawTexts(pDC, strText, rect, bPressed, bDisabled);
        return;
    }
    CFont* pOldFont = pDC->SelectObject(m_pFont != nullptr ? m_pFont : GetDefaultGuiFont());
    CRect rcBlock(0, 0, m_nWrapWidth, 0);
    pDC->DrawText(strText, &rcBlock, DT_WORDBREAK | DT_CALCRECT);
    int x = rect.left + (m_nTextX != -1 ? m_nTextX : kTextLeft);
    int y = rect.top + (m_nTextY != -1 ? m_nTextY : (rect.Height() - rcBlock.Height()) / 2);
    if (bPressed)
    {
        x += m_nPressOffsetX;
        y += m_nPressOffsetY;
    }
    const auto DrawBlockAt = [&](int xAt, int yAt)
    {
        CRect rc(xAt, yAt, xAt + m_nWrapWidth, yAt + rcBlock.Height());
        pDC->DrawText(strText, &rc, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOCLIP);
    };
    if (bDisabled)
    {
        pDC->SetTextColor(GetSysColor(COLOR_3DHILIGHT));
        DrawBlockAt(x + 1, y + 1);
        pDC->SetTextColor(GetSysColor(COLOR_3DSHADOW));
    }
    else
    {
        const bool bHoverLook = (IsHovered() || bPressed) && m_bHoverTextEnabled;
        pDC->SetTextColor(bHoverLook ? m_crHoverText : m_crText);
    }
    DrawBlockAt(x, y);
    pDC->SelectObject(pOldFont);
    // The text items, if any, as every button draws them.
    CVelStatic2::DrawTexts(pDC, std::wstring(), rect, bPressed, bDisabled);
}

CWarningDialog::CWarningDialog(EWarningKind eKind, const std::wstring& strTitle,
                               const std::wstring& strMessage, bool bOkCancel, CWnd* pParentWnd)
    : CCustomDialog(IDD_CUSTOM_DIALOG, pParentWnd), m_eKind(eKind), m_strTitle(strTitle),
      m_strMessage(strMessage), m_bOkCancel(bOkCancel)
{
}

CWarningDialog::~CWarningDialog()
{
    // The labels show this object's bitmaps: the window goes while they are still here.
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

BOOL CWarningDialog::OnInitDialog()
{
    const BOOL bResult = CCustomDialog::OnInitDialog();
    SetWindowText(m_strTitle);
    m_bResizable = false;
    m_nMinWidth = 350;
    m_nMinHeight = 220;

    // The box opens over its owner, inside that monitor's work area: a message that the area
    // cannot hold (a long game id, a name from a file) is broken inside words or cut short,
    // rather than pushing the buttons off the screen.
    CWnd* pOwner = GetOwner();
    const CRect rcWork = GetMonitorWorkArea(pOwner);
    const CSize sizeRoom(std::min<int>(kWrapWidth, rcWork.Width() - kExtraWidth),
                         rcWork.Height() - kExtraHeight);
    const std::wstring strShown = FitTextToBox(m_strMessage, nullptr, sizeRoom);
    m_lblMessage.Create(strShown.c_str(), WS_CHILD | WS_VISIBLE, kMessageRect, this);
    m_lblMessage.m_crFace = kMessageFace;
    const CSize sizeText = GetTextSize(strShown, nullptr, sizeRoom.cx);
    m_lblMessage.FitToText(sizeRoom.cx);
    const CRect rcWindow =
        PlaceOverOwner(pOwner, CSize(std::max<int>(sizeText.cx, kMinTextWidth) + kExtraWidth,
                                     sizeText.cy + kExtraHeight));
    SetWindowPos(nullptr, rcWindow.left, rcWindow.top, rcWindow.Width(), rcWindow.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);

    // Both are loaded whatever the kind, so that a missing one is always reported.
    m_bmpWarning.Load(L"Data/Images/WarningIcon.bmp");
    m_bmpCheck.Load(L"Data/Images/IconCheck.bmp");
    m_lblIcon.Create(L"", WS_CHILD | WS_VISIBLE, kIconRect, this);
    m_lblIcon.m_crFace = kIconFace;
    if (m_eKind == EWarningKind::Warning)
        m_lblIcon.AddImage(&m_bmpWarning, 0, 0, false);
    else if (m_eKind == EWarningKind::Information)
        m_lblIcon.AddImage(&m_bmpCheck, kCheckInset, kCheckInset, false);

    if (m_bOkCancel)
        AddOkCancelButtons();
    else
        AddCloseButton();
    return bResult;
}
