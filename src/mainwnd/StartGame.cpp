#include "mainwnd/StartGame.h"

#include "base/Encoding.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "platform/Process.h"

#include <cstring>
#include <iostream>

bool StartGame(const std::wstring& strInstanceId)
{
    const std::wstring strPath = InstallPath(PATH_GAME_EXE);
    // The game opens its files by relative paths, as when started from its own folder.
    const int nError =
        SpawnWindowsProgram(ToNativePath(strPath), {"-PBEM", ToNativePath(strInstanceId)},
                            ToNativePath(GetInstallFolder()));
    if (nError == 0)
        return true;
    std::cerr << "Cannot start the game " << WideToUtf8(strPath) << ": " << std::strerror(nError)
              << "\n";
    return false;
}
