// zorvex-pbem: shows what the game list file and the event files hold.
#include "PbemCommands.h"

#include "base/Paths.h"

#include <iostream>
#include <string_view>

namespace
{

int Usage()
{
    std::cerr << "usage: zorvex-pbem dump PATH\n"
                 "       zorvex-pbem event PATH...\n"
                 "       zorvex-pbem poll INSTALL_DIR\n";
    return EXIT_BAD_INPUT;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string_view command = argv[1];
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
