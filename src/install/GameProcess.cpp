#include "install/GameProcess.h"

#include "base/FileIo.h"
#include "base/Paths.h"

#include <fcntl.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{

bool IsGameFileName(const std::string& name)
{
    static constexpr std::string_view GAME_EXE = "zorvex.exe";
    return name.size() == GAME_EXE.size() &&
           std::equal(name.begin(), name.end(), GAME_EXE.begin(),
                      [](char a, char b)
                      { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// The argument as a path of this system: wine's "Z:\a\b" is "/a/b". Empty for another drive.
std::string NativeArgument(std::string arg)
{
    const bool bDrive = arg.size() >= 3 && std::isalpha(static_cast<unsigned char>(arg[0])) &&
                        arg[1] == ':' && (arg[2] == '\\' || arg[2] == '/');
    if (bDrive)
    {
        if (arg[0] != 'Z' && arg[0] != 'z')
            return {};
        arg.erase(0, 2);
        std::replace(arg.begin(), arg.end(), '\\', '/');
    }
    return arg;
}

fs::path WithoutTrailingSeparator(const fs::path& path)
{
    fs::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal.has_parent_path() && normal != normal.root_path())
        normal = normal.parent_path();
    return normal;
}

bool IsSameFolder(const fs::path& a, const fs::path& b)
{
    if (WithoutTrailingSeparator(a) == WithoutTrailingSeparator(b))
        return true;
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

std::vector<std::string> ReadArguments(const fs::path& cmdline)
{
    // Not through a file stream: a process that ends while we read makes read() fail (ESRCH),
    // and a stream's iterator would throw that out of the program. Such a process has none.
    std::string bytes;
    if (!ReadWholeFileAt(AT_FDCWD, cmdline.native(), bytes).Ok())
        return {};
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start < bytes.size())
    {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string::npos)
            end = bytes.size();
        args.emplace_back(bytes, start, end - start);
        start = end + 1;
    }
    return args;
}

bool NamesGame(const fs::path& processFolder, const std::vector<std::string>& args,
               const fs::path& installFolder)
{
    for (const std::string& rawArg : args)
    {
        const std::string arg = NativeArgument(rawArg);
        if (arg.empty())
            continue;
        fs::path exe(arg);
        if (!IsGameFileName(exe.filename().string()))
            continue;
        if (exe.is_relative())
        {
            std::error_code error;
            const fs::path cwd = fs::read_symlink(processFolder / "cwd", error);
            if (error || cwd.empty())
                continue;
            exe = cwd / exe;
        }
        if (IsSameFolder(exe.lexically_normal().parent_path(), installFolder))
            return true;
    }
    return false;
}

} // namespace

bool IsGameRunning(std::wstring_view installFolder, const std::string& procRoot)
{
    if (installFolder.empty())
        return false;
    const fs::path folder(ToNativePath(installFolder));
    std::error_code error;
    fs::directory_iterator it(procRoot, error);
    if (error)
        return false;
    for (; it != fs::directory_iterator(); it.increment(error))
    {
        // An error ends the walk: the iterator becomes the end.
        const std::string name = it->path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(),
                                         [](unsigned char c) { return std::isdigit(c) != 0; }))
            continue;
        if (NamesGame(it->path(), ReadArguments(it->path() / "cmdline"), folder))
            return true;
    }
    return false;
}
