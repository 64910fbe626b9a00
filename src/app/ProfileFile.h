// A reader and writer of initialisation files ("[Section]" lines and "key=value" lines), with the
// behaviour the profile needs from the Windows profile calls: section and key names compare
// without regard to case, a missing file, section or key gives the default, and a write keeps
// every other line (foreign sections and keys, comments, blank lines) where it was, byte for byte
// (apart from line ends, which become CR LF). The file is replaced atomically: written to a
// temporary file beside it and renamed over it; a symbolic link is followed, so that the link
// stays and the file it points at is the one replaced.
#pragma once

#include <string>
#include <string_view>

std::wstring GetPrivateProfileString(std::wstring_view strSection, std::wstring_view strKey,
                                     std::wstring_view strDefault, const std::wstring& strPath);
// Sets the key, creating the file and the section when missing. False when the file could not
// be written.
bool WritePrivateProfileString(std::wstring_view strSection, std::wstring_view strKey,
                               std::wstring_view strValue, const std::wstring& strPath);

// The number of a decimal text the way _wtol reads it: leading blanks, an optional sign, digits up
// to the first non-digit; no digits give 0. Values out of range are clamped.
long WideToLong(std::wstring_view str);
