// The bundled skin for tests of skinned windows: while a CBundledSkin exists the installation
// folder is the repository's assets folder and the program's shared CSkinImages exists.
#pragma once

#include "platform/Afx.h"
#include "support/InstallFolderScope.h"
#include "ui/SkinImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

class CBundledSkin
{
public:
    CBundledSkin() : m_installFolder(AssetsFolder()), m_pSkin(std::make_unique<CSkinImages>()) {}
    CBundledSkin(const CBundledSkin&) = delete;
    CBundledSkin& operator=(const CBundledSkin&) = delete;

    CSkinImages& Skin() const { return *m_pSkin; }

    static std::wstring AssetsFolder()
    {
        return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                "assets")
            .wstring();
    }

private:
    CInstallFolderScope m_installFolder;
    std::unique_ptr<CSkinImages> m_pSkin; // goes before the folder is put back
};

// Whether the window has the rounded shape: its top-left corner pixel lies outside it.
inline bool RoundShape(const CWnd& wnd)
{
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(wnd.GetWindowRgn(rgn), RGN_ERROR);
    return !rgn.PtInRegion(0, 0);
}
