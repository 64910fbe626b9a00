// CVelListDisplay: a bordered, scrolling list of row buttons under a 20-pixel header band.
//
// Use: Create(left, top, right, bottom, parent); put the column titles in the header band
// (y 1 to 20) as children of the display; make each row a CVelButton child of m_wndPanel at its
// place in the panel's content and hand it over with AddRow, then set the panel's content size
// (m_wndPanel.SetContentSize). ClearRows empties the list and may run inside a row's own click.
// A row's click reaches the display's parent as WM_COMMAND(row id) (ids 3 to 65000). The
// border and the panel follow the display's size (LayoutFrame).
#pragma once

#include "ui/GeneralSubWindow2.h"
#include "ui/RowWindows.h"
#include "ui/VelStatic2.h"

#include <memory>

class CVelListDisplay : public CGeneralSubWindow2
{
public:
    using CRowList = CRowWindows::CRowList;

    ~CVelListDisplay() override;

    // The display, its one-pixel border and the panel at (1, 21, W - 2, H - 2).
    BOOL Create(int nLeft, int nTop, int nRight, int nBottom, CWnd* pParent) override;
    // Places the border and the panel for a display of cx x cy; nothing before Create made them.
    virtual void LayoutFrame(int cx, int cy);
    // Takes a row made by the owner (a child of m_wndPanel); rows keep the order they came in.
    CVelButton* AddRow(std::unique_ptr<CVelButton> pRow);
    const CRowList& GetRows() const { return m_listRows.GetRows(); }
    // Resets the panel's content size to 0 x 0 and deletes every row.
    void ClearRows();

    // The scrolling area that holds the rows.
    CGeneralSubWindow2 m_wndPanel;
    CVelStatic2 m_wndTopLine;
    CVelStatic2 m_wndBottomLine;
    CVelStatic2 m_wndLeftLine;
    CVelStatic2 m_wndRightLine;
    int m_nHeaderHeight = 20;

protected:
    void OnSize(UINT nType, int cx, int cy) override;

private:
    CRowWindows m_listRows;
};
