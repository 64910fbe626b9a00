#include "install/InstallFolder.h"

#include "base/Paths.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace
{
std::wstring g_strInstallFolder;
std::wstring g_strDataFolder;

std::filesystem::path CanonicalOrAsGiven(std::wstring_view folder)
{
    const std::filesystem::path path(ToNativePath(folder));
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path.lexically_normal() : canonical;
}

} // namespace

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

void SetDataFolder(std::wstring folder)
{
    g_strDataFolder = std::move(folder);
}

const std::wstring& GetDataFolder()
{
    return g_strDataFolder;
}

std::wstring DataFolderForExe(std::wstring_view exeFolder, std::wstring_view relativeFromExe,
                              std::wstring_view buildOutputFolder,
                              std::wstring_view buildDataFolder)
{
    if (!buildOutputFolder.empty() &&
        CanonicalOrAsGiven(exeFolder) == CanonicalOrAsGiven(buildOutputFolder))
        return std::wstring(buildDataFolder);
    return FromNativePath(CanonicalOrAsGiven(JoinPath(exeFolder, relativeFromExe)).native());
}

std::wstring ResourcePath(std::wstring_view relative)
{
    std::vector<std::wstring> candidates = ResourceCandidates(relative);
    for (std::wstring& strPath : candidates)
    {
        if (FileExists(strPath))
            return std::move(strPath);
    }
    return std::move(candidates.front());
}

std::vector<std::wstring> ResourceCandidates(std::wstring_view relative)
{
    std::vector<std::wstring> candidates{InstallPath(relative)};
    if (!g_strDataFolder.empty())
        candidates.push_back(ResolvePathNoCase(g_strDataFolder, relative));
    return candidates;
}
