// CRowListWindow: the main window's scrolling list. A CGeneralSubWindow that calls
// m_fnViewChanged after every move of its view (bars, wheel, ScrollBy, a new content size) and
// after every new measure of it (RecalcView), so that its owner can make the rows that came near
// the view and drop those that went far away. User-interface thread only.
#pragma once

#include "ui/GeneralSubWindow.h"

#include <functional>

class CRowListWindow : public CGeneralSubWindow
{
public:
    void ScrollBy(int dx, int dy) override;
    void RecalcView() override;

    std::function<void()> m_fnViewChanged;

private:
    void ViewChanged();

    // Set while m_fnViewChanged runs: a move it causes is seen by the run that caused it.
    bool m_bInViewChanged = false;
};
