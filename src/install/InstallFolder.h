// The installation folder and the program's fixed paths below it, and the program's own data
// folder: the images it ships with, used where the installation folder lacks them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Fixed paths, relative to the installation folder.
inline constexpr std::wstring_view PATH_LANGUAGE_FILE = L"/RawEnglishUnicode.txt";
inline constexpr std::wstring_view PATH_PROFILE = L"/Profile.ini";
inline constexpr std::wstring_view PATH_PBEM_FOLDER = L"/PBEM";
inline constexpr std::wstring_view PATH_PBEM_DATA = L"/PBEM/PBEM.data";
inline constexpr std::wstring_view PATH_GAME_EXE = L"/Zorvex.exe";
inline constexpr std::wstring_view PATH_ERROR_LOG = L"/Errors.txt";
inline constexpr std::wstring_view PATH_FLAGS_FOLDER = L"Data/Images/Flags/";

// The folder of an executable path: everything left of the last "/", without it; empty when the
// path has no "/", and "/" for a file directly in the root folder.
std::wstring InstallFolderFromExePath(std::wstring_view exePath);

// The folder of the running executable (/proc/self/exe).
std::wstring InstallFolderOfRunningExe();

// Set once at start-up, before anything else reads it; tests and tools set their own.
void SetInstallFolder(std::wstring folder);
const std::wstring& GetInstallFolder();

// A path below the installation folder, looked up case-insensitively where the exact case does not
// exist (see ResolvePathNoCase).
std::wstring InstallPath(std::wstring_view relative);

// The program's data folder (its bundled images and language file); empty when there is none.
// Set once at start-up like the installation folder.
void SetDataFolder(std::wstring folder);
const std::wstring& GetDataFolder();

// Where an executable in exeFolder finds its data folder: the build tree's assets folder when it
// runs from the build tree's output folder, otherwise exeFolder + "/" + relativeFromExe (the
// installed layout, "../share/zorvex-messenger"). Both folders are compared after resolving
// symbolic links.
std::wstring DataFolderForExe(std::wstring_view exeFolder, std::wstring_view relativeFromExe,
                              std::wstring_view buildOutputFolder,
                              std::wstring_view buildDataFolder);

// A file the program reads (images, icons): the installation folder's copy when it exists there,
// else the data folder's when that exists, else the installation folder's path (so a failure is
// reported with the path of the game's own folder).
std::wstring ResourcePath(std::wstring_view relative);
// Where such a file may be, in the order to try: the installation folder's path, then the data
// folder's (when one is set). For a reader that goes on to the next when a copy does not decode.
std::vector<std::wstring> ResourceCandidates(std::wstring_view relative);
