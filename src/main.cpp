// Zorvex Messenger. What must outlive the main window is made here, in the order it is needed, and
// goes in reverse: the skin before the window system ends, the manager (which ends its download
// thread) before libcurl's clean-up. Nothing with a thread is left when main returns.
#include "app/CommandLine.h"
#include "app/ZorvexMessengerApp.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "mainwnd/ZorvexMessengerDlg.h"
#include "net/CurlGlobal.h"
#include "pbem/PBEMMessageManager.h"
#include "platform/SingleInstance.h"
#include "platform/System.h"
#include "platform/Wnd.h"
#include "res/FlagImageLoader.h"
#include "res/FlagImages.h"
#include "ui/SkinImages.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace
{

// Fixes the installation and data folders from the command line; false (with a message on
// stderr) when the folder given is not one.
bool SetFolders(const CCommandLine& commandLine, const char* pszProgram)
{
    const std::wstring strExeFolder = InstallFolderOfRunningExe();
    SetDataFolder(DataFolderForExe(strExeFolder, FromNativePath(ZORVEX_DATA_FROM_BIN),
                                   FromNativePath(ZORVEX_BUILD_OUTPUT_DIR),
                                   FromNativePath(ZORVEX_BUILD_DATA_DIR)));
    if (commandLine.m_strInstallDir.empty())
    {
        SetInstallFolder(strExeFolder);
        return true;
    }
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::absolute(commandLine.m_strInstallDir, error).lexically_normal();
    if (error || !std::filesystem::is_directory(folder, error))
    {
        std::fprintf(stderr, "%s: '%s' is not a folder\n", pszProgram,
                     commandLine.m_strInstallDir.c_str());
        return false;
    }
    // Paths are formed by appending "/..." to the folder, so it never ends in a separator.
    std::string strFolder = folder.native();
    while (strFolder.size() > 1 && strFolder.back() == '/')
        strFolder.pop_back();
    SetInstallFolder(FromNativePath(strFolder));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* pszProgram = argc > 0 ? argv[0] : "zorvex-messenger";
    const CCommandLine commandLine =
        ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (commandLine.m_action)
    {
    case CCommandLine::EAction::Help:
        std::fputs(CommandLineUsage(pszProgram).c_str(), stdout);
        return 0;
    case CCommandLine::EAction::Version:
        std::fputs(VersionText(pszProgram, ZORVEX_VERSION).c_str(), stdout);
        return 0;
    case CCommandLine::EAction::Error:
        std::fprintf(stderr, "%s: %s\n", pszProgram, commandLine.m_strError.c_str());
        std::fputs(CommandLineUsage(pszProgram).c_str(), stderr);
        return 2;
    case CCommandLine::EAction::Run:
        break;
    }
    if (!SetFolders(commandLine, pszProgram))
        return 2;

    // One program per installation folder: a second start shows the window of the first and ends.
    // Settled before the window system starts, so a second start needs no display of its own.
    auto pInstance = std::make_unique<CSingleInstance>(ToNativePath(GetInstallFolder()));
    switch (pInstance->Claim())
    {
    case CSingleInstance::EClaim::Owner:
        break;
    case CSingleInstance::EClaim::Taken:
        if (pInstance->AskOwnerToShow(std::chrono::seconds(5)))
            return 0;
        std::fprintf(stderr, "%s: it already runs for '%s', but did not answer\n", pszProgram,
                     ToNativePath(GetInstallFolder()).c_str());
        return 1;
    case CSingleInstance::EClaim::Unavailable:
        std::fprintf(stderr, "%s: cannot tell whether it already runs for this folder (%s)\n",
                     pszProgram, pInstance->Problem().c_str());
        break;
    }

    // The options are ours; the window system gets only the program's name.
    int nQtArgc = 1;
    char* qtArgv[] = {const_cast<char*>(pszProgram), nullptr};
    // Without a display there is nothing to show (the window system already said why).
    if (!InitPlatform(nQtArgc, qtArgv))
        return 1;
    CloseMainWindowOnTerminationSignals();
    pInstance->WatchShowRequests(
        []
        {
            // Handled by the window as the tray's "Show"; before it exists there is nothing to
            // show.
            CWnd* pWnd = AfxGetMainWnd();
            if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr)
                pWnd->PostMessage(WM_SHOW_REQUEST, 0, 0);
        });
    {
        const CCurlGlobal curl;
        CBitmapFlagLoader flagLoader;
        const CFlagImageLoaderScope flagLoaderScope(flagLoader);
        CPBEMMessageManager manager;
        const CMessageManagerScope managerScope(manager);
        const CSkinImages skin;
        theApp.m_bStartHidden = commandLine.m_bHidden;
        theApp.InitInstance();
    }
    // Its watch belongs to the window system; the folder is free once the window has gone.
    pInstance.reset();
    ExitPlatform();
    return 0;
}
