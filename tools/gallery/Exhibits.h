// The window kinds the gallery shows, each under the name of its picture.
#pragma once

#include "platform/Dialog.h"

#include <memory>
#include <string>
#include <vector>

struct SExhibit
{
    std::string strName; // the picture is strName + ".png"
    // The top-level window, not made yet: DoModal shows it, Create makes it for a picture.
    std::unique_ptr<CDialog> pWindow;
    // The window the picture shows: pWindow itself or a window inside it.
    CWnd* pSubject = nullptr;
};

// Fresh objects, in showing order, placed with their top-left corner at ptOrigin on the screen.
std::vector<SExhibit> MakeExhibits(CPoint ptOrigin);
