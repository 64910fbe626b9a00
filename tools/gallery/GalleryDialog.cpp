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
    const struct
    {
        CVelButton& button;
        bool& bFlag;
        bool bShow;
    } titleButtons[] = {
        {m_btnClose, m_bShowClose, m_look.bShowClose},
        {m_btnMaximize, m_bShowMaximize, m_look.bShowMaximize},
        {m_btnMinimize, m_bShowMinimize, m_look.bShowMinimize},
        {m_btnHelp, m_bShowHelp, m_look.bShowHelp},
    };
    for (const auto& title : titleButtons)
    {
        title.bFlag = title.bShow;
        if (title.bShow)
            title.button.ShowWindow(SW_SHOW);
    }
    LayoutTitleButtons();
    if (m_look.eButtons == SDialogLook::EButtons::OkCancel)
        AddOkCancelButtons();
    else if (m_look.eButtons == SDialogLook::EButtons::Close)
        AddCloseButton();
    MakeContent();
    return bResult;
}
