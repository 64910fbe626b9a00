// The commands of zorvex-pbem, apart from argument handling, so that tests can run them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses.
inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILED = 1;
inline constexpr int EXIT_BAD_INPUT = 2;

// Prints a game list file as one JSON object. Never changes the file.
int RunDumpCommand(const std::wstring& strPath, std::ostream& out, std::ostream& err);
// Prints one JSON object per event file.
int RunEventCommand(const std::vector<std::wstring>& paths, std::ostream& out, std::ostream& err);
// Does what the program does at start-up and with its first download, on the installation folder
// strInstallDir: loads the game list and the stored events, downloads the new events, writes them
// and the raised event ids, and prints one JSON object per announced event, then the count.
// EXIT_FAILED when the server gave no answer it could read.
int RunPollCommand(const std::wstring& strInstallDir, std::ostream& out, std::ostream& err);
