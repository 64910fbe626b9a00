#include "WindowPicture.h"

#include "RgbaPng.h"
#include "platform/Afx.h"

#include <vector>

bool SaveWindowPng(CWnd& wnd, const std::filesystem::path& path, std::string* pError)
{
    CBitmap shot;
    if (!wnd.GrabClientImage(shot))
    {
        *pError = "the window cannot be grabbed";
        return false;
    }
    CRect rcWindow;
    wnd.GetWindowRect(&rcWindow);
    const int nWidth = shot.GetWidth();
    const int nHeight = shot.GetHeight();
    // The windows shown here have no borders or scroll bars of their own: client = window.
    if (nWidth != rcWindow.Width() || nHeight != rcWindow.Height())
    {
        *pError = "the client area is not the whole window";
        return false;
    }
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    const bool bShaped = wnd.GetWindowRgn(rgn) != RGN_ERROR;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(nWidth) * nHeight * 4, 0);
    std::uint8_t* p = rgba.data();
    for (int y = 0; y < nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x, p += 4)
        {
            if (bShaped && !rgn.PtInRegion(x, y))
                continue; // stays fully transparent
            const COLORREF cr = shot.GetPixel(x, y);
            p[0] = GetRValue(cr);
            p[1] = GetGValue(cr);
            p[2] = GetBValue(cr);
            p[3] = 255;
        }
    }
    if (!WriteRgbaPng(path, nWidth, nHeight, rgba))
    {
        *pError = "the file cannot be written";
        return false;
    }
    return true;
}
