// Whether the game program of an installation is running, told from the processes' command lines.
#pragma once

#include <string>
#include <string_view>

// True when a process under procRoot (a /proc-like folder: one numeric folder per process with its
// "cmdline", NUL-separated arguments, and its "cwd" link) has an argument naming installFolder's
// Zorvex.exe. The file name matches in any letter case, the folder exactly or as the same folder
// on disk (through links). Matched forms of an argument:
//   - an absolute path, "/games/zorvex/Zorvex.exe" (run directly, or "wine /games/...");
//   - a path of wine's drive Z: (the root folder), "Z:\games\zorvex\ZORVEX.EXE", either slash;
//   - a relative path or a bare "Zorvex.exe", taken from the process's working folder.
// Other drive letters are not matched: where they lead depends on wine's settings. Processes whose
// entries cannot be read (ended meanwhile, another user's) are passed over.
bool IsGameRunning(std::wstring_view installFolder, const std::string& procRoot = "/proc");
