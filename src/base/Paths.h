// Paths. The program's relative paths were written with backslashes for the game's own system;
// here every path uses "/", and a path is relative when it does not start with "/".
//
// The game's files come from a case-insensitive file system, so a file below a root folder that
// does not exist with the exact letter case is looked up case-insensitively, folder by folder.
#pragma once

#include <string>
#include <string_view>

// Wide path to the bytes the operating system takes (UTF-8), and back. Lossless: a name that is
// not valid UTF-8 keeps its bytes (see Utf8ToWideLossless), so every file found can be opened.
// For showing a path to a person, WideToUtf8 gives valid text.
std::string ToNativePath(std::wstring_view path);
std::wstring FromNativePath(std::string_view path);

// Backslashes become "/".
std::wstring ToSlashPath(std::wstring_view path);
bool IsRelativePath(std::wstring_view path);

// The text after the last "/" or "\"; the whole path when there is neither.
std::wstring FileNamePart(std::wstring_view path);
// Everything before the last "/", without it; empty when there is none.
std::wstring FolderPart(std::wstring_view path);

// root + "/" + relative, with backslashes turned into "/" and doubled separators folded. The
// program's fixed paths begin with a separator ("/PBEM/PBEM.data"); they are still taken below
// root. An empty root gives a path relative to the working folder.
std::wstring JoinPath(std::wstring_view root, std::wstring_view relative);

// Like JoinPath, then each component below root that does not exist with its exact case is
// replaced by an entry of its folder that matches it case-insensitively, if there is one.
// Components past the first one that has no match are kept as given, so the result also names
// files that are still to be created.
std::wstring ResolvePathNoCase(std::wstring_view root, std::wstring_view relative);

bool FileExists(std::wstring_view path); // exists and is not a directory
bool DirectoryExists(std::wstring_view path);
