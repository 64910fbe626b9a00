// CGeneralSubWindow: a plain scrollable panel, the content area of the skinned windows.
//
// Writing a panel: Create it (a visible child, id 132), make its controls as its children, then
// call SetContentSize with the size of what they cover. The scroll bars show when the content
// is larger than the view; the bars, the wheel (40 pixels a notch) and ScrollBy move the
// children's windows, so a child made while scrolled goes to its content position minus
// (GetScrollX(), GetScrollY()): ContentToView.
//
// Commands: a child's click (ids 3 to 65000), a list or combo selection change from ids
// 1200/1201 and an edit change from ids 1300 to 1305 go to the panel's parent as
// WM_COMMAND(id) through OnChildCommand; override it to handle them in the panel. OnCreated runs
// at the end of Create, for subclasses that make their children there.
#pragma once

#include "platform/Wnd.h"

class CGeneralWindow;

// The window class every general window is made of, and their control id.
inline constexpr const wchar_t* GENERAL_SUB_WINDOW_CLASS = L"GeneralSubWindow";
inline constexpr UINT IDC_GENERAL_SUB_WINDOW = 132;
// Registers the window class once.
void RegisterGeneralSubWindowClass();
// Paints what is pending in each child of pParent now, so that a scroll or a resize shows the
// children at their new places together with the parent's own painting (UpdateWindow leaves
// children out of view for when they come into view).
void UpdateChildWindows(CWnd* pParent);

class CGeneralSubWindow : public CWnd
{
public:
    CGeneralSubWindow();
    ~CGeneralSubWindow() override;

    using CWnd::Create;
    // A visible child at (x, y) of cx x cy, with both scroll bars while the content needs them.
    virtual BOOL Create(int x, int y, int cx, int cy, CWnd* pParent);
    // Hook for subclasses at the end of Create.
    virtual int OnCreated();
    // The size of the content; the bars follow and the position stays within range.
    virtual void SetContentSize(int cx, int cy);
    // Measures the view again and updates the bars (after the panel was resized).
    virtual void RecalcView();
    // Sends WM_COMMAND(id) to the parent.
    virtual void OnChildCommand(UINT nID);
    // Scrolls so that the content point comes to the middle of the view, within range.
    virtual void CenterOn(int x, int y);
    // Moves the view by (dx, dy) in content pixels, clamped to the content; content smaller than
    // the view goes back to 0.
    virtual void ScrollBy(int dx, int dy);
    // Measures the view, clamps the position and updates the bars.
    virtual void Refresh();

    int GetScrollX() const { return m_nScrollX; }
    int GetScrollY() const { return m_nScrollY; }
    CSize GetViewSize() const { return CSize(m_nViewWidth, m_nViewHeight); }
    CSize GetContentSize() const { return CSize(m_nContentWidth, m_nContentHeight); }
    // A rectangle of the content in the panel's client coordinates at the current scroll
    // position (where a child made now must go to stand at that content place), and back.
    CRect ContentToView(const CRect& rcContent) const;
    CRect ViewToContent(const CRect& rcView) const;
    // Whether the bars have been set up: scroll messages are taken from then on.
    bool IsVScrollOn() const { return m_bVScrollOn; }
    bool IsHScrollOn() const { return m_bHScrollOn; }

    // Set when the panel is the inner panel of a CGeneralWindow.
    CGeneralWindow* m_pOwnerWindow = nullptr;
    // Fill of the panel; the next paint uses it.
    COLORREF m_crBackground = RGB(255, 255, 255);

protected:
    // The box lays out its inner panel.
    friend class CGeneralWindow;

    // Creates the window and sets up the bars for a view of cx x cy.
    BOOL CreatePanel(int x, int y, int cx, int cy, CWnd* pParent);
    // Takes the client size as the view size; tells whether it changed.
    bool MeasureView();
    // Range 0 ... content and page = view on both bars, measured again if the bars changed the
    // client size.
    void UpdateScrollBars();
    void SetViewSize(int cx, int cy);

    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* pDC) override;
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point) override;
    UINT OnGetDlgCode() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void SetBar(int nBar, int nContent, int nView);

    bool m_bVScrollOn = false;
    bool m_bHScrollOn = false;
    int m_nViewWidth = 0;
    int m_nViewHeight = 0;
    int m_nContentWidth = 0;
    int m_nContentHeight = 0;
    int m_nScrollY = 0;
    int m_nScrollX = 0;
};
