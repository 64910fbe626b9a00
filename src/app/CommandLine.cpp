#include "app/CommandLine.h"

namespace
{

constexpr std::string_view kInstallDir = "--install-dir";

std::string ProgramName(std::string_view programPath)
{
    const std::size_t pos = programPath.rfind('/');
    const std::string_view name =
        pos == std::string_view::npos ? programPath : programPath.substr(pos + 1);
    return name.empty() ? std::string("zorvex-messenger") : std::string(name);
}

CCommandLine Failed(std::string strError)
{
    CCommandLine result;
    result.m_action = CCommandLine::EAction::Error;
    result.m_strError = std::move(strError);
    return result;
}

} // namespace

CCommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CCommandLine result;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help")
        {
            result.m_action = CCommandLine::EAction::Help;
            return result;
        }
        if (arg == "--version")
        {
            result.m_action = CCommandLine::EAction::Version;
            return result;
        }
        if (arg == "--hidden")
        {
            result.m_bHidden = true;
            continue;
        }
        if (arg == kInstallDir)
        {
            if (i + 1 >= args.size())
                return Failed("option '--install-dir' requires an argument");
            result.m_strInstallDir = args[++i];
        }
        else if (arg.starts_with(kInstallDir) && arg.size() > kInstallDir.size() &&
                 arg[kInstallDir.size()] == '=')
        {
            result.m_strInstallDir = std::string(arg.substr(kInstallDir.size() + 1));
        }
        else if (arg.starts_with("-"))
        {
            return Failed("unknown option '" + std::string(arg) + "'");
        }
        else
        {
            return Failed("unexpected argument '" + std::string(arg) + "'");
        }
        // An empty folder would silently mean the working folder.
        if (result.m_strInstallDir.empty())
            return Failed("option '--install-dir' requires a folder");
    }
    return result;
}

std::string CommandLineUsage(std::string_view programPath)
{
    return "Usage: " + ProgramName(programPath) +
           " [--install-dir DIR] [--hidden]\n"
           "Keeps track of the game's play-by-e-mail turns from the notification area.\n"
           "A second start for the same DIR shows the window of the one that runs.\n"
           "\n"
           "Options:\n"
           "  --install-dir DIR  the game's installation folder (default: the folder of this\n"
           "                     program); its own images are used where DIR lacks them\n"
           "  --hidden           start with the window hidden in the notification area (minimised\n"
           "                     where no tray shows the icon); checks for turns as usual\n"
           "  -h, --help         show this help and exit\n"
           "  --version          show the version and exit\n";
}

std::string VersionText(std::string_view programPath, std::string_view version)
{
    return ProgramName(programPath) + " " + std::string(version) + "\n";
}
