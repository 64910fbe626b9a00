// CWarningDialog: the program's message box in the skinned style. A title, a warning sign or a
// tick, a message of one or more lines, and OK + Cancel or Close alone:
//
//     CWarningDialog dlg(EWarningKind::Warning, Text(IDS_WARNING), strQuestion, true);
//     if (dlg.DoModal() == IDOK) ...
//
// OK and Close give IDOK, Cancel gives IDCANCEL; Escape leaves it open. The window grows with the
// message: at least 298 wide, the message broken into lines at 800 pixels, its height that of
// the text + 130. A message that needs more than one line shows all its lines. It opens centred
// over its owner (the main window), inside the work area of the owner's monitor (the primary
// one without an owner), and never grows past that area: lines break earlier, inside a word too
// long for a line, and lines beyond the area's height are left out after an ellipsis.
#pragma once

#include "res/MaskedBitmap.h"
#include "ui/CustomDialog.h"
#include "ui/VelStatic2.h"

#include <string>

// m_eKind: a warning sign, a tick; any other value shows no icon.
enum class EWarningKind : int
{
    Warning = 0,
    Information = 1,
};

class CWarningDialog : public CCustomDialog
{
public:
    // The static text of the message: one line as any static, several lines broken at the wrap
    // width and drawn left-aligned, the label sized to hold them all.
    class CMessageLabel : public CVelStatic2
    {
    public:
        // Sizes the label (not moving it) to its text broken at nWrapWidth; returns the size.
        CSize FitToText(int nWrapWidth);
        bool IsMultiLine() const { return m_bMultiLine; }

        void DrawTexts(CDC* pDC, const std::wstring& strText, const CRect& rect, bool bPressed,
                       bool bDisabled) override;

    private:
        int m_nWrapWidth = 0;
        bool m_bMultiLine = false;
    };

    CWarningDialog(EWarningKind eKind, const std::wstring& strTitle, const std::wstring& strMessage,
                   bool bOkCancel, CWnd* pParentWnd = nullptr);
    ~CWarningDialog() override;

    // Builds and places the window: title, size from the message, icon, bottom buttons.
    BOOL OnInitDialog() override;

    EWarningKind m_eKind;
    std::wstring m_strTitle;
    std::wstring m_strMessage;  // "\n" starts a new line
    bool m_bOkCancel;           // false: Close only
    CMessageLabel m_lblMessage; // shows m_strMessage as fitted to the work area
    CMaskedBitmap m_bmpWarning;
    CMaskedBitmap m_bmpCheck;
    CVelStatic2 m_lblIcon;
};
