// zorvex-gallery: every kind of skinned window of the program, for looking at the skin.
//
//     zorvex-gallery [--install-dir PATH] [--png DIR]
//
// Without --png the windows open on the screen one after another; closing one shows the next.
// With --png they are drawn without a display and written to DIR as PNG pictures of exactly the
// window's size, transparent outside the window's shape. The skin, icons and texts come from the
// bundled installation (the repository's assets folder) unless --install-dir names another.
#include "Exhibits.h"
#include "WindowPicture.h"
#include "base/Encoding.h"
#include "install/InstallFolder.h"
#include "platform/System.h"
#include "res/LanguageTable.h"
#include "ui/CustomDialog.h"
#include "ui/SkinImages.h"
#include "ui/VelTooltip2.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace
{

struct SOptions
{
    std::optional<std::filesystem::path> pngDir;
    std::filesystem::path installDir = ZORVEX_ASSETS_DIR;
};

// Screen position of every window's top-left corner.
const CPoint kOrigin(80, 80);

void PrintUsage()
{
    std::cerr << "usage: zorvex-gallery [--install-dir PATH] [--png DIR]\n";
}

std::optional<SOptions> ParseArguments(int argc, char** argv)
{
    SOptions options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view arg = argv[i];
        if ((arg == "--png" || arg == "--install-dir") && i + 1 < argc)
        {
            const std::filesystem::path value = argv[++i];
            if (arg == "--png")
                options.pngDir = value;
            else
                options.installDir = value;
        }
        else
        {
            return std::nullopt;
        }
    }
    return options;
}

int ShowOnScreen()
{
    for (SExhibit& exhibit : MakeExhibits(kOrigin))
    {
        if (exhibit.pWindow->DoModal() == -1)
        {
            std::cerr << "zorvex-gallery: " << exhibit.strName << " cannot be shown\n";
            return 1;
        }
    }
    return 0;
}

int WritePictures(const std::filesystem::path& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    int nResult = 0;
    for (SExhibit& exhibit : MakeExhibits(kOrigin))
    {
        const std::filesystem::path file = dir / (exhibit.strName + ".png");
        std::string strError;
        if (!exhibit.pWindow->Create(IDD_CUSTOM_DIALOG, nullptr))
            strError = "the window cannot be made";
        else
            SaveWindowPng(*exhibit.pSubject, file, &strError);
        if (!strError.empty())
        {
            std::cerr << "zorvex-gallery: " << file.string() << ": " << strError << "\n";
            nResult = 1;
        }
        exhibit.pWindow->DestroyWindow();
    }
    return nResult;
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<SOptions> options = ParseArguments(argc, argv);
    if (!options)
    {
        PrintUsage();
        return 2;
    }
    // Pictures need no display.
    if (options->pngDir)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    SetInstallFolder(std::filesystem::absolute(options->installDir).wstring());
    g_languageTable.m_fnReportError = [](const std::wstring& strMessage)
    { std::cerr << "zorvex-gallery: " << WideToUtf8(strMessage) << "\n"; };
    g_languageTable.LoadLanguageFile(InstallPath(PATH_LANGUAGE_FILE));

    if (!InitPlatform(argc, argv))
    {
        std::cerr << "zorvex-gallery: the window system cannot start\n";
        return 1;
    }
    AfxSetAppName(L"zorvex-gallery");
    if (options->pngDir)
    {
        // A damaged skin must not stop a run without a display: the report goes to the terminal.
        SetMessageBoxHandler(
            [](const std::wstring& strText, const std::wstring&, UINT)
            {
                std::cerr << "zorvex-gallery: " << WideToUtf8(strText) << "\n";
                return IDOK;
            });
    }
    int nResult = 0;
    {
        // The set every skinned window draws with and the one tooltip, for the whole run; both
        // go before the window system does.
        CSkinImages skin;
        CVelTooltip2 tooltip;
        // Pictures show no tips: the tooltip only keeps the texts the controls register.
        if (!options->pngDir)
            tooltip.CreateTooltipWindow(nullptr);
        nResult = options->pngDir ? WritePictures(*options->pngDir) : ShowOnScreen();
    }
    ExitPlatform();
    return nResult;
}
