// zorvex-pbem: shows what the game list file and the event files hold, polls as the program does.
#include "PbemCommands.h"
#include "WatchCommand.h"

#include "base/Paths.h"

#include <iostream>
#include <string_view>

namespace
{

constexpr std::string_view kUsage =
    "usage: zorvex-pbem dump PATH\n"
    "       zorvex-pbem event PATH...\n"
    "       zorvex-pbem poll INSTALL_DIR\n"
    "       zorvex-pbem watch INSTALL_DIR [--exec COMMAND] [--notify] [--once]\n"
    "       zorvex-pbem --help\n";

int Usage()
{
    std::cerr << kUsage;
    return EXIT_BAD_INPUT;
}

// The arguments after "watch"; false when they do not fit.
bool ParseWatch(int argc, char** argv, SWatchOptions& options)
{
    bool bHaveDir = false;
    for (int i = 2; i < argc; ++i)
    {
        const std::string_view arg = argv[i];
        if (arg == "--exec" && i + 1 < argc && options.strExec.empty())
            options.strExec = argv[++i];
        else if (arg == "--notify")
            options.bNotify = true;
        else if (arg == "--once")
            options.bOnce = true;
        else if (!arg.starts_with("--") && !bHaveDir)
        {
            options.strInstallDir = FromNativePath(argv[i]);
            bHaveDir = true;
        }
        else
            return false;
    }
    return bHaveDir;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h"))
    {
        // Asked for: the usage is the answer, not a mistake.
        std::cout << kUsage;
        return 0;
    }
    if (argc < 3)
        return Usage();
    const std::string_view command = argv[1];
    if (command == "watch")
    {
        SWatchOptions options;
        if (!ParseWatch(argc, argv, options))
            return Usage();
        return RunWatchCommand(options, std::cout, std::cerr);
    }
    std::vector<std::wstring> paths;
    for (int i = 2; i < argc; ++i)
        paths.push_back(FromNativePath(argv[i]));

    if (command == "dump" && paths.size() == 1)
        return RunDumpCommand(paths[0], std::cout, std::cerr);
    if (command == "event")
        return RunEventCommand(paths, std::cout, std::cerr);
    if (command == "poll" && paths.size() == 1)
        return RunPollCommand(paths[0], std::cout, std::cerr);
    return Usage();
}
