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
