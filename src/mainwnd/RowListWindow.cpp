#include "mainwnd/RowListWindow.h"

void CRowListWindow::ScrollBy(int dx, int dy)
{
    CGeneralSubWindow::ScrollBy(dx, dy);
    ViewChanged();
}

void CRowListWindow::RecalcView()
{
    CGeneralSubWindow::RecalcView();
    ViewChanged();
}

void CRowListWindow::ViewChanged()
{
    if (!m_fnViewChanged || m_bInViewChanged || GetSafeHwnd() == nullptr)
        return;
    m_bInViewChanged = true;
    m_fnViewChanged();
    m_bInViewChanged = false;
}
