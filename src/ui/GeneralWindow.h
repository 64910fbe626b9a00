// CGeneralWindow: a white box with a thin dark edge along its top and left and cut corners, that
// holds one scrollable panel (CGeneralSubWindow) 2 pixels in from its top-left corner.
//
// Use: Create(x, y, cx, cy, parent), then CreatePanel() for a panel of its own, deleted with the
// box, or SetPanel() for one made elsewhere as a child of the box, which is left alone. Fill the
// panel like any CGeneralSubWindow; it follows the box's size ((W - 3) x (H - 3) at (2, 2)).
// Commands from inside (ids 0 to 65000, and edit changes from ids 1300 to 1305) reach the box's
// parent as WM_COMMAND(id) through OnChildCommand; clicks from id 8007 and double clicks from
// ids 8007 and 8008 are dropped. m_bFramed = false paints the whole box white.
#pragma once

#include "ui/GeneralSubWindow.h"

#include <memory>

class CGeneralWindow : public CWnd
{
public:
    CGeneralWindow();
    ~CGeneralWindow() override;

    using CWnd::Create;
    // A child at (x, y) of cx x cy, visible when m_bVisibleOnCreate is set.
    virtual BOOL Create(int x, int y, int cx, int cy, CWnd* pParent);
    // Hook for subclasses at the end of Create.
    virtual int OnCreated();
    // Sends WM_COMMAND(id) to the parent.
    virtual void OnChildCommand(UINT nID);

    // Makes the box's own panel and lays it out.
    CGeneralSubWindow* CreatePanel();
    // Takes a panel made elsewhere (a child of the box) as the inner panel and lays it out.
    void SetPanel(CGeneralSubWindow* pPanel);
    CGeneralSubWindow* GetPanel() const { return m_pPanel; }
    // Fits the panel to the box's client area; runs on every resize.
    void LayoutPanel();

    bool m_bVisibleOnCreate = true;
    // Edge and cut corners; false fills the whole box white.
    bool m_bFramed = true;

protected:
    void OnDestroy() override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* pDC) override;
    void OnSize(UINT nType, int cx, int cy) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSetFocus(CWnd* pOldWnd) override;

private:
    void DrawFrame(CDC& dc, int cx, int cy);

    CGeneralSubWindow* m_pPanel = nullptr;
    // Set when CreatePanel made the panel.
    std::unique_ptr<CGeneralSubWindow> m_pOwnedPanel;
};
