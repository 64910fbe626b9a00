#include "app/InstallFolder.h"

#include "base/Paths.h"

#include <unistd.h>

#include <vector>

namespace
{
std::wstring g_strInstallFolder;
}

std::wstring InstallFolderFromExePath(std::wstring_view exePath)
{
    const std::size_t pos = exePath.rfind(L'/');
    if (pos == std::wstring_view::npos)
        return {};
    // An executable directly in "/" keeps "/": an empty folder would mean the working folder.
    return pos == 0 ? std::wstring(L"/") : std::wstring(exePath.substr(0, pos));
}

std::wstring InstallFolderOfRunningExe()
{
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size())
        return {};
    return InstallFolderFromExePath(FromNativePath(std::string_view(buffer.data(), n)));
}

void SetInstallFolder(std::wstring folder)
{
    g_strInstallFolder = std::move(folder);
}

const std::wstring& GetInstallFolder()
{
    return g_strInstallFolder;
}

std::wstring InstallPath(std::wstring_view relative)
{
    return ResolvePathNoCase(g_strInstallFolder, relative);
}
