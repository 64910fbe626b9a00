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

// UTF-8 as text: for text shown to people, files that hold UTF-8 text, and names made from text
// (a game id) that must mean one thing. Invalid input and characters that UTF-8 cannot carry
// become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);
// True when WideToUtf8 then Utf8ToWide gives text back unchanged: it holds no surrogate and
// nothing above U+10FFFF.
bool IsUtf8Exact(std::wstring_view text);

// UTF-8 as names: a Linux file name is bytes, not text, and must come back byte for byte. Each
// byte of an invalid sequence becomes U+DC80..U+DCFF (a lone surrogate, which valid UTF-8 never
// gives) and turns back into that byte, so WideToUtf8Lossless(Utf8ToWideLossless(b)) == b for
// any bytes. Other lone surrogates and values above U+10FFFF, which no name gives, become U+FFFD.
// Two texts can give the same bytes (U+DCC3 U+DCA9 and U+00E9): names that must be told apart
// are checked with IsUtf8Exact first.
std::wstring Utf8ToWideLossless(std::string_view bytes);
std::string WideToUtf8Lossless(std::wstring_view text);
