#include "install/Autostart.h"

#include "base/FileIo.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace
{

constexpr std::string_view kFileName = "zorvex-messenger.desktop";
constexpr std::string_view kInstallDir = "--install-dir";
// A hand-edited entry is small; anything larger is not read.
constexpr std::uintmax_t kMaxEntryBytes = std::uintmax_t{64} * 1024;

// Characters that make an Exec argument need quotes, and those that must then be escaped.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

bool IsUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();)
    {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        char32_t cp = 0;
        if (c < 0x80)
            n = 1, cp = c;
        else if ((c & 0xE0) == 0xC0)
            n = 2, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            n = 3, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            n = 4, cp = c & 0x07;
        else
            return false;
        if (i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
        {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        constexpr char32_t kMinOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinOfLength[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

// The desktop entry string escapes of one character.
void AppendEscaped(std::string& out, char c)
{
    switch (c)
    {
    case '\\':
        out += "\\\\";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\t':
        out += "\\t";
        break;
    case '\r':
        out += "\\r";
        break;
    default:
        out += c;
        break;
    }
}

std::optional<std::string> Unescape(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] != '\\')
        {
            out += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        switch (value[i])
        {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::string UndoublePercent(std::string_view arg)
{
    std::string out;
    for (std::size_t i = 0; i < arg.size(); ++i)
    {
        out += arg[i];
        if (arg[i] == '%' && i + 1 < arg.size() && arg[i + 1] == '%')
            ++i;
    }
    return out;
}

// The value of the Exec key of the [Desktop Entry] group.
std::optional<std::string> ReadExecValue(const std::string& strFile)
{
    std::error_code error;
    const std::uintmax_t nSize = std::filesystem::file_size(strFile, error);
    if (error || nSize > kMaxEntryBytes)
        return std::nullopt;
    std::ifstream in(strFile, std::ios::binary);
    std::string strLine;
    bool bInGroup = false;
    while (std::getline(in, strLine))
    {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (strLine.starts_with('['))
        {
            bInGroup = strLine == "[Desktop Entry]";
            continue;
        }
        if (!bInGroup)
            continue;
        const std::size_t eq = strLine.find('=');
        if (eq == std::string::npos)
            continue;
        std::string_view key = std::string_view(strLine).substr(0, eq);
        while (!key.empty() && key.back() == ' ')
            key.remove_suffix(1);
        if (key != "Exec")
            continue;
        std::string_view value = std::string_view(strLine).substr(eq + 1);
        while (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        return std::string(value);
    }
    return std::nullopt;
}

bool SameFolder(const std::string& a, const std::string& b)
{
    std::error_code error;
    const bool bSame = std::filesystem::equivalent(a, b, error);
    if (!error)
        return bSame;
    // A folder that is gone can still be named: compare the spelling.
    return std::filesystem::path(a).lexically_normal() ==
           std::filesystem::path(b).lexically_normal();
}

std::string HomeFolder()
{
    if (const char* pszHome = std::getenv("HOME"); pszHome != nullptr && pszHome[0] == '/')
        return pszHome;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return {};
}

} // namespace

std::string AutostartFilePath()
{
    std::string strConfig;
    // A relative XDG_CONFIG_HOME is invalid and is to be ignored.
    if (const char* psz = std::getenv("XDG_CONFIG_HOME"); psz != nullptr && psz[0] == '/')
        strConfig = psz;
    else if (const std::string strHome = HomeFolder(); !strHome.empty())
        strConfig = strHome + "/.config";
    else
        return {};
    while (strConfig.size() > 1 && strConfig.back() == '/')
        strConfig.pop_back();
    return strConfig + "/autostart/" + std::string(kFileName);
}

std::string RunningProgramPath()
{
    std::error_code error;
    std::string strPath = std::filesystem::read_symlink("/proc/self/exe", error).native();
    if (error)
        return {};
    // Replaced while running (an update): the new file at the same place is the one to start.
    constexpr std::string_view kDeleted = " (deleted)";
    if (strPath.ends_with(kDeleted))
        strPath.resize(strPath.size() - kDeleted.size());
    return strPath;
}

std::optional<std::string> QuoteExecArgument(std::string_view arg)
{
    if (!IsUtf8(arg))
        return std::nullopt;
    bool bQuote = arg.empty();
    for (const char c : arg)
    {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r') || u == 0x7F)
            return std::nullopt;
        if (kReserved.find(c) != std::string_view::npos)
            bQuote = true;
    }
    std::string out;
    if (bQuote)
        out += '"';
    for (const char c : arg)
    {
        if (c == '%')
            out += "%%";
        else if (bQuote && kEscapedInQuotes.find(c) != std::string_view::npos)
        {
            // The quoting's backslash, then the string's escape of both.
            AppendEscaped(out, '\\');
            AppendEscaped(out, c);
        }
        else
            AppendEscaped(out, c);
    }
    if (bQuote)
        out += '"';
    return out;
}

std::optional<std::vector<std::string>> SplitExecValue(std::string_view value)
{
    const std::optional<std::string> unescaped = Unescape(value);
    if (!unescaped)
        return std::nullopt;
    const std::string_view s = *unescaped;
    std::vector<std::string> args;
    std::size_t i = 0;
    while (i < s.size())
    {
        if (s[i] == ' ' || s[i] == '\t' || s[i] == '\n')
        {
            ++i;
            continue;
        }
        std::string arg;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\n')
        {
            if (s[i] != '"')
            {
                arg += s[i++];
                continue;
            }
            for (++i;; ++i)
            {
                if (i == s.size())
                    return std::nullopt;
                if (s[i] == '"')
                    break;
                if (s[i] == '\\')
                {
                    if (i + 1 == s.size() ||
                        kEscapedInQuotes.find(s[i + 1]) == std::string_view::npos)
                        return std::nullopt;
                    ++i;
                }
                arg += s[i];
            }
            ++i;
        }
        args.push_back(UndoublePercent(arg));
    }
    return args;
}

std::optional<std::string> AutostartEntryText(std::string_view strProgram,
                                              std::string_view strInstallDir)
{
    const std::optional<std::string> program = QuoteExecArgument(strProgram);
    const std::optional<std::string> folder = QuoteExecArgument(strInstallDir);
    if (!program || !folder)
        return std::nullopt;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Zorvex Messenger\n"
           "Comment=Keeps track of Zorvex play-by-e-mail turns from the notification area\n"
           "Exec=" +
           *program + " " + std::string(kInstallDir) + " " + *folder +
           " --hidden\n"
           "Icon=zorvex-messenger\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartNamesFolder(const std::string& strFile, const std::string& strInstallDir)
{
    const std::optional<std::string> value = ReadExecValue(strFile);
    if (!value)
        return false;
    const std::optional<std::vector<std::string>> args = SplitExecValue(*value);
    if (!args)
        return false;
    for (std::size_t i = 1; i < args->size(); ++i)
    {
        const std::string_view arg = (*args)[i];
        std::string strFolder;
        if (arg == kInstallDir && i + 1 < args->size())
            strFolder = (*args)[i + 1];
        else if (arg.starts_with(kInstallDir) && arg.size() > kInstallDir.size() &&
                 arg[kInstallDir.size()] == '=')
            strFolder = std::string(arg.substr(kInstallDir.size() + 1));
        if (!strFolder.empty())
            return SameFolder(strFolder, strInstallDir);
    }
    return false;
}

bool WriteAutostartEntry(const std::string& strFile, std::string_view strProgram,
                         std::string_view strInstallDir)
{
    const std::optional<std::string> text = AutostartEntryText(strProgram, strInstallDir);
    if (!text || strFile.empty())
        return false;
    const std::filesystem::path file(strFile);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error)
        return false;
    // Written beside it and renamed over it: a session that starts meanwhile reads the old
    // entry or the new one, never half of one.
    CTempFileBeside temp(strFile, file.filename().string() + ".", "", 0644);
    if (!temp.IsOpen())
        return false;
    const bool bWritten =
        fchmod(temp.Get(), 0644) == 0 && WriteAll(temp.Get(), *text) && FlushToDisk(temp.Get());
    const bool bClosed = temp.Close();
    return bWritten && bClosed && temp.Replace();
}

bool RemoveAutostartEntry(const std::string& strFile)
{
    std::error_code error;
    std::filesystem::remove(strFile, error);
    return !error;
}
