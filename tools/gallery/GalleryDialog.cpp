#include "GalleryDialog.h"

#include <utility>

CGalleryDialog::CGalleryDialog(SDialogLook look) : m_look(std::move(look))
{
    // Set before the window exists, so that its first shape is already the right one.
    m_bRoundCorners = m_look.bRoundCorners;
    m_bResizable = m_look.bResizable;
    m_bFullTopStrip = m_look.bFullTopStrip;
}

BOOL CGalleryDialog::OnInitDialog()
{
    const BOOL bResult = CCustomDialog::OnInitDialog();
    SetWindowText(m_look.strTitle);
    ShowTitleButton(IDC_SKIN_CLOSE, m_look.bShowClose);
    ShowTitleButton(IDC_SKIN_MAXIMIZE, m_look.bShowMaximize);
    ShowTitleButton(IDC_SKIN_MINIMIZE, m_look.bShowMinimize);
    ShowTitleButton(ID_HELP, m_look.bShowHelp);
    if (m_look.eButtons == SDialogLook::EButtons::OkCancel)
        AddOkCancelButtons();
    else if (m_look.eButtons == SDialogLook::EButtons::Close)
        AddCloseButton();
    MakeContent();
    return bResult;
}
