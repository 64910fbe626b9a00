#include "ui/VelListDisplay.h"

#include <utility>

namespace
{

const COLORREF kBorder = RGB(200, 200, 200);

void CreateLine(CVelStatic2& line, const CRect& rc, CWnd* pParent)
{
    line.m_crFace = kBorder;
    line.Create(L"", WS_CHILD | WS_VISIBLE, rc, pParent);
}

} // namespace

CVelListDisplay::~CVelListDisplay()
{
    // Rows and lines go with their windows while the display is still whole.
    DestroyWindow();
}

BOOL CVelListDisplay::Create(int nLeft, int nTop, int nRight, int nBottom, CWnd* pParent)
{
    const int W = nRight - nLeft;
    const int H = nBottom - nTop;
    const BOOL bCreated = CGeneralSubWindow2::Create(nLeft, nTop, nRight, nBottom, pParent);
    m_nHeaderHeight = 20;
    CreateLine(m_wndTopLine, CRect(0, 0, W, 1), this);
    CreateLine(m_wndBottomLine, CRect(0, H - 1, W, H), this);
    CreateLine(m_wndLeftLine, CRect(0, 0, 1, H), this);
    CreateLine(m_wndRightLine, CRect(W - 1, 0, W, H), this);
    m_wndPanel.Create(1, 21, W - 2, H - 2, this);
    return bCreated;
}

void CVelListDisplay::LayoutFrame(int cx, int cy)
{
    // The size message of the display's own creation comes before the lines exist.
    if (m_wndTopLine.GetSafeHwnd() == nullptr)
        return;
    const UINT nSize = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    const UINT nMoveSize = SWP_NOZORDER | SWP_NOACTIVATE;
    m_wndTopLine.SetWindowPos(nullptr, 0, 0, cx, 1, nSize);
    // Only the one-pixel strip of the bottom and right lines lies inside the display.
    m_wndBottomLine.SetWindowPos(nullptr, 0, cy - 1, cx, cy, nMoveSize);
    m_wndLeftLine.SetWindowPos(nullptr, 0, 0, 1, cy, nSize);
    m_wndRightLine.SetWindowPos(nullptr, cx - 1, 0, cx, cy, nMoveSize);
    m_wndPanel.SetWindowPos(nullptr, 1, m_nHeaderHeight + 1, cx - 2, cy - m_nHeaderHeight - 2,
                            nMoveSize);
}

CVelButton* CVelListDisplay::AddRow(std::unique_ptr<CVelButton> pRow)
{
    return m_listRows.Add(std::move(pRow));
}

void CVelListDisplay::ClearRows()
{
    if (m_wndPanel.GetSafeHwnd() != nullptr)
        m_wndPanel.SetContentSize(0, 0);
    m_listRows.Clear();
}

void CVelListDisplay::OnSize(UINT nType, int cx, int cy)
{
    CGeneralSubWindow2::OnSize(nType, cx, cy);
    LayoutFrame(cx, cy);
}
