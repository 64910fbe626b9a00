// Dialogs without templates: a frameless top-level window of a given size (by default 287 x 163,
// at the owner's client origin or the screen's corner), run modally with DoModal or modelessly
// with Create. Enter reaches OnOK and Escape OnCancel unless the focused control asks for all keys
// (WM_GETDLGCODE); closing the window means IDCANCEL.
#pragma once

#include "platform/Wnd.h"

class CDialog : public CWnd
{
public:
    CDialog();
    // The template id is kept for the callers' sake; dialogs have no templates here.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Where the dialog's window goes (screen coordinates), before Create or DoModal.
    void SetInitialRect(const CRect& rect);
    void SetInitialSize(int cx, int cy);

    // Modeless: creates the window (hidden) and runs OnInitDialog.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Creates the window, runs OnInitDialog, shows it and runs a nested message loop (timers and
    // posted messages keep running) until EndDialog; the owner is disabled meanwhile. Returns the
    // result given to EndDialog, or -1 when the window could not be made; IDCANCEL when the
    // program is ending (CloseMainWindowOnTerminationSignals).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL IsModalRunning() const { return m_pModalLoop != nullptr; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CWnd* m_pParentWnd = nullptr;
    UINT m_nIDHelp = 0;
    // How DoModal shows the window once OnInitDialog has run: SW_HIDE leaves it hidden (the loop
    // runs all the same), SW_SHOWMINNOACTIVE shows it minimised.
    int m_nInitialShowCmd = SW_SHOWNORMAL;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // A dialog is made by its own Create or DoModal; the window's general one stays out of reach.
    using CWnd::Create;
    BOOL CreateDialogWindow(CWnd* pOwner);
    friend struct CWndAccess;
    struct CModalLoop;
    CModalLoop* m_pModalLoop = nullptr;
    bool m_bEndRequested = false;
    INT_PTR m_nModalResult = -1;
    bool m_bHasInitialRect = false;
    CRect m_rcInitial;
};
