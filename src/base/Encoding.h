// Conversions between the program's text encodings. Every conversion lives here.
//
// Wide text (std::wstring) holds Unicode code points. The game's files store UTF-16LE code units;
// a well-formed surrogate pair becomes one code point, and a lone surrogate is kept as its own
// value so that text read from a file is written back byte for byte.
//
// The "ANSI code page" is Windows-1252, the code page of the game program's systems.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-16LE bytes to wide text; an odd last byte is ignored.
std::wstring Utf16LeToWide(std::string_view bytes);
// Wide text to UTF-16LE bytes (no byte-order mark, no terminator).
std::string WideToUtf16Le(std::wstring_view text);

// Windows-1252 bytes to wide text. Every byte has a character.
std::wstring AnsiToWide(std::string_view bytes);
// Wide text to Windows-1252 bytes; a character without a byte becomes "?".
std::string WideToAnsi(std::wstring_view text);

// UTF-8, used for file names on Linux and for text shown to people on a terminal.
// Invalid input and characters that UTF-8 cannot carry become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);
