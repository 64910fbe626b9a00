// The program's command line: --install-dir DIR (or --install-dir=DIR), --hidden, -h/--help,
// --version.
// Parsed before the window system starts, so that --help and --version work without a display.
// The program takes no other arguments; the window system gets none of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CCommandLine
{
    enum class EAction
    {
        Run,
        Help,
        Version,
        Error, // m_strError says why; the caller prints it and the usage, and exits with 2
    };
    EAction m_action = EAction::Run;
    std::string m_strInstallDir; // as given (native bytes); empty: the executable's folder
    bool m_bHidden = false;      // start in the tray (minimised where no tray shows the icon)
    std::string m_strError;
};

// args without the program name. The first help or version request wins over later arguments;
// an error stops the parse.
CCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The usage text, with the name the program was started by (its last path component).
std::string CommandLineUsage(std::string_view programPath);
std::string VersionText(std::string_view programPath, std::string_view version);
