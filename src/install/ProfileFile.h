// A reader and writer of initialisation files ("[Section]" lines and "key=value" lines), with the
// behaviour the profile needs from the Windows profile calls: section and key names compare
// without regard to case, a missing file, section or key gives the default, and a write keeps
// every other line (foreign sections and keys, comments, blank lines) where it was, byte for byte
// (apart from line ends, which become CR LF). The file is replaced atomically: written to a
// temporary file beside it and renamed over it; a symbolic link is followed, so that the link
// stays and the file it points at is the one replaced.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

std::wstring GetPrivateProfileString(std::wstring_view strSection, std::wstring_view strKey,
                                     std::wstring_view strDefault, const std::wstring& strPath);
// Sets the key, creating the file and the section when missing. False when the file could not
// be written.
[[nodiscard]] bool WritePrivateProfileString(std::wstring_view strSection, std::wstring_view strKey,
                                             std::wstring_view strValue,
                                             const std::wstring& strPath);

// The keys of a section with their values, in file order; empty when the file or section is
// missing.
std::vector<std::pair<std::wstring, std::wstring>>
GetPrivateProfileSection(std::wstring_view strSection, const std::wstring& strPath);
// Sets (a value) or removes (nothing) several keys of one section in a single rewrite; keys not
// named stay as they are. A removal in a missing file or section writes nothing. False when the
// file could not be written.
using ProfileKeyChanges = std::vector<std::pair<std::wstring, std::optional<std::wstring>>>;
[[nodiscard]] bool WritePrivateProfileKeys(std::wstring_view strSection,
                                           const ProfileKeyChanges& changes,
                                           const std::wstring& strPath);

// The number of a decimal text the way _wtol reads it: leading blanks, an optional sign, digits up
// to the first non-digit; no digits give 0. Values out of range are clamped.
long WideToLong(std::wstring_view str);
