// A push button control. It follows the mouse itself: a left press captures the mouse and shows
// the button pressed while the pointer stays inside; a release inside sends
// WM_COMMAND(MAKEWPARAM(id, BN_CLICKED), hwnd) to the parent. A BS_OWNERDRAW button is painted by
// DrawItem (through the parent's WM_DRAWITEM) with ODS_SELECTED, ODS_FOCUS and ODS_DISABLED.
#pragma once

#include "platform/Wnd.h"

class CButton : public CWnd
{
public:
    virtual BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                        UINT nID);
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    // BST_PUSHED, BST_FOCUS and the check state.
    UINT GetState() const;
    void SetState(BOOL bHighlight);
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);

protected:
    // The button's own default processing of mouse, keys, focus and painting.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    // A button is made by its own Create; the window's general one stays out of reach.
    using CWnd::Create;
    void Paint();
    void Track(CPoint point);
    void Click();
    void Repaint();

    bool m_bPushed = false;
    bool m_bFocused = false;
    bool m_bTracking = false;
    int m_nCheck = 0;
};
