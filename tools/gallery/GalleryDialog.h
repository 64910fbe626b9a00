// CGalleryDialog: a skinned dialog set up from a description of its look, the way the program's
// own windows set themselves up; subclasses put a window of another kind inside it.
#pragma once

#include "ui/CustomDialog.h"

#include <string>

struct SDialogLook
{
    enum class EButtons
    {
        None,
        OkCancel,
        Close,
    };

    std::wstring strTitle;
    bool bRoundCorners = true;
    bool bResizable = false;
    bool bFullTopStrip = true;
    bool bShowClose = false;
    bool bShowMaximize = false;
    bool bShowMinimize = false;
    bool bShowHelp = false;
    EButtons eButtons = EButtons::None;
};

class CGalleryDialog : public CCustomDialog
{
public:
    explicit CGalleryDialog(SDialogLook look);

    BOOL OnInitDialog() override;
    // The window a picture of this exhibit shows: the dialog, or the window inside it.
    virtual CWnd& Subject() { return *this; }

protected:
    // Makes what goes inside, once the frame and its buttons exist.
    virtual void MakeContent() {}

private:
    SDialogLook m_look;
};
