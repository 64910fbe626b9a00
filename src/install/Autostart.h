// The desktop session's autostart entry of the program: $XDG_CONFIG_HOME/autostart/
// zorvex-messenger.desktop ($HOME/.config when XDG_CONFIG_HOME is unset, empty or relative). Its
// Exec runs the program by its absolute path with --install-dir FOLDER --hidden. There is one
// entry per user, so it names one installation folder: writing it for another folder replaces it.
// Paths are native bytes. Standard C++ only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the entry goes; empty when neither XDG_CONFIG_HOME nor a home folder is known.
std::string AutostartFilePath();

// The running program's absolute path (/proc/self/exe); empty when it cannot be read.
std::string RunningProgramPath();

// One argument as the entry's Exec value holds it: quoted where it has a reserved character,
// "%" doubled, then escaped as a desktop entry string. Nothing when the argument cannot be held
// (not UTF-8, or a control character other than tab, newline and return).
std::optional<std::string> QuoteExecArgument(std::string_view arg);
// The arguments of an Exec value (the reverse of QuoteExecArgument, field codes other than "%%"
// left as they are); nothing when its quoting or escapes are broken.
std::optional<std::vector<std::string>> SplitExecValue(std::string_view value);

// The whole entry for running strProgram on strInstallDir; nothing when a path cannot be held.
std::optional<std::string> AutostartEntryText(std::string_view strProgram,
                                              std::string_view strInstallDir);

// The entry at strFile exists and its Exec names strInstallDir (the same folder, also through
// another spelling or a symbolic link).
bool AutostartNamesFolder(const std::string& strFile, const std::string& strInstallDir);
// Writes the entry (its folder made when missing; the old file replaced whole, never left cut
// short). False when nothing could be written or a path cannot be held.
[[nodiscard]] bool WriteAutostartEntry(const std::string& strFile, std::string_view strProgram,
                                       std::string_view strInstallDir);
// Removes the entry; true when it is gone (also when there was none).
[[nodiscard]] bool RemoveAutostartEntry(const std::string& strFile);
