// CCustomDialog: the base of every skinned window. It turns a frameless popup dialog into a window
// drawn entirely from the shared skin images (CSkinImages): title bar with the window text,
// edges, corners and a tiled interior, a rounded or square shape, its own title buttons, moving
// by the top 25 pixels and resizing by the edges.
//
// Writing a skinned window:
//
//     class CMyDialog : public CCustomDialog
//     {
//         BOOL OnInitDialog() override
//         {
//             const BOOL bResult = CCustomDialog::OnInitDialog(); // makes the title buttons
//             SetWindowText(L"My window");                        // the title
//             ShowTitleButton(IDC_SKIN_CLOSE, true);              // which title buttons show
//             m_bResizable = true;                                // edges and size grip
//             AddOkCancelButtons();                               // bottom right
//             ... child controls ...
//             return bResult;
//         }
//     };
//
// The program owns one CSkinImages that outlives its skinned dialogs; without one (a test) each
// dialog loads a private set. Escape never closes a skinned dialog; Enter reaches OnOK as in any
// dialog. A wheel notch scrolls the window under the pointer, once (with Shift held, the focused
// control's). The frame never places its window: SetInitialRect or the subclass does.
#pragma once

#include "platform/Dialog.h"
#include "ui/VelButton.h"

#include <memory>
#include <string>

class CMaskedBitmap;
class CSkinImages;

// The dialog resource of every skinned dialog (kept for the callers; no templates here).
inline constexpr UINT IDD_CUSTOM_DIALOG = 134;
// Commands of the title buttons; the help button sends ID_HELP.
inline constexpr UINT IDC_SKIN_CLOSE = 990;
inline constexpr UINT IDC_SKIN_MINIMIZE = 991;
inline constexpr UINT IDC_SKIN_MAXIMIZE = 992;

class CCustomDialog : public CDialog
{
public:
    CCustomDialog();
    explicit CCustomDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CCustomDialog() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The dialog's Create stays callable beside the one below.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) override
    {
        return CDialog::Create(nIDTemplate, pParentWnd);
    }
    // Modeless, from IDD_CUSTOM_DIALOG: the window is made hidden and initialised.
    virtual BOOL Create(CWnd* pParentWnd);
    INT_PTR DoModal() override;
    // Loads the skin set if it is not yet, makes the four title buttons hidden and lays them out.
    BOOL OnInitDialog() override;
    // For subclasses that route a range of commands here (the popup menu does); nothing here.
    virtual void OnItemCommand(UINT nID);

    // Call after OnInitDialog. OK and Cancel (90 × 28, 45 pixels above the bottom; Cancel on the
    // right), OK alone, or a Close button sending IDOK in OK's place.
    void AddOkCancelButtons();
    void AddOkButton();
    void AddCloseButton();
    // Shows or hides the title button with the command nID (IDC_SKIN_CLOSE, IDC_SKIN_MAXIMIZE,
    // IDC_SKIN_MINIMIZE or ID_HELP; others are ignored) and lays the shown ones out again.
    void ShowTitleButton(UINT nID, bool bShow);
    bool IsTitleButtonShown(UINT nID) const;
    // Places the shown title buttons from the right: the first at W − 27, each next 20 further
    // left, help another 10. ShowTitleButton and resizing call it.
    void LayoutTitleButtons();
    // Draws the whole frame and background into pDC (the paint DC of OnPaint).
    void DrawFrame(CDC* pDC);

private:
    // Declared before the buttons, which show its images: it goes after them.
    std::unique_ptr<CSkinImages> m_pOwnSkin;
    CSkinImages* m_pSkin = nullptr; // the shared set or m_pOwnSkin

public:
    // Settings; the next paint uses them.
    bool m_bResizable = false;
    // Kept while the user resizes: the layer's own dragging moves the right and bottom edges
    // (OnSizing); the window manager gets it as the minimum track size (WM_GETMINMAXINFO), which
    // the layer applies to the user's resizing only, never to SetWindowPos or MoveWindow.
    int m_nMinWidth = 230;
    int m_nMinHeight = 100;
    CRect m_rcClient;                      // the client rectangle the shape was last built for
    CMaskedBitmap* m_pTitleIcon = nullptr; // not drawn: no window has a title icon
    bool m_bFullTopStrip = true;           // false: title strip one pixel shorter
    bool m_bRoundCorners = true;
    std::wstring m_strSubtitle; // not drawn: no window has one

    // Title buttons, made hidden by OnInitDialog.
    CVelButton m_btnClose;
    CVelButton m_btnMaximize;
    CVelButton m_btnMinimize;
    CVelButton m_btnHelp;
    // Made by the Add...Button helpers.
    CVelButton m_btnOK;
    CVelButton m_btnCancel;

protected:
    void PreSubclassWindow() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* pDC) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnSizing(UINT fwSide, LPRECT pRect) override;
    void OnGetMinMaxInfo(MINMAXINFO* pMMI) override;
    LRESULT OnNcHitTest(CPoint point) override;

    // The title buttons' commands; a subclass may take one over (the main window hides to the
    // tray instead of minimising).
    virtual void OnCloseButton();
    virtual void OnMaximizeButton();
    virtual void OnMinimizeButton();

    // The images this dialog draws with: the shared set, or a private one when the program has
    // none; chosen once.
    CSkinImages& Skin();

private:
    enum class EShape
    {
        None,
        Round,
        Rectangle,
    };
    // Rebuilds the window's shape when the client rectangle or the wanted shape changed.
    void CheckWindowRegion(bool bMaximized);
    void CreateTitleButton(CVelButton& button, UINT nID, CMaskedBitmap& bmpNormal,
                           CMaskedBitmap& bmpHover, const std::wstring& strTooltip);
    void CreateBottomButton(CVelButton& button, UINT nID, const std::wstring& strText, int nLeft);
    void PlaceBottomButtons();
    bool IsMaximizedNow() const;
    // The wheel message reaches the window under the pointer anyway: from its target up the
    // parents, as the default processing passes it on.
    static bool WheelReaches(const MSG& msg, const CWnd* pWnd);

    // The title button with the command nID and its show flag; null for another command.
    struct STitleButton
    {
        CVelButton CCustomDialog::*pButton;
        bool CCustomDialog::*pShown;
    };
    static STitleButton TitleButton(UINT nID);

    EShape m_eShape = EShape::None;
    // Which title buttons show: ShowTitleButton keeps these and the windows in step.
    bool m_bShowHelp = false;
    bool m_bShowMinimize = false;
    bool m_bShowMaximize = false;
    bool m_bShowClose = false;
};
