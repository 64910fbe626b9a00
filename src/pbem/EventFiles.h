// Event files: one file per event in the PBEM folder, holding the event's escaped text as the
// server sent it.
#pragma once

#include "pbem/PBEMGameEvent.h"

#include <cstdint>
#include <string>
#include <string_view>

// 0x1E escapes "<", ">", 0x1E and 0x1F; 0x1F stands for a zero byte. A pair with any other
// second byte gives that byte; a 0x1E that ends the text stands for itself.
std::string UnescapeEventText(std::string_view escaped);
// The inverse, for writers of event texts (the demo server and the tests).
std::string EscapeEventText(std::string_view bytes);

// Fills event from an escaped event record; with bWithData the attached data too. A record that
// ends early fills the fields read completely and leaves the others; the data block holds at most
// the bytes that came with the record, whatever size and count it claims.
void ParseEventRecord(std::string_view escaped, CPBEMGameEvent& event, bool bWithData);
// "<PlayerId>-<id>.event" into its PlayerId and id; other names give an empty PlayerId and leave
// nEventId unchanged. A negative id ("G12-P03--5") is read back as the unsigned id it came from.
std::wstring SplitEventFileName(std::wstring_view strName, std::uint32_t& nEventId);
// The PlayerId an event is filed under.
std::wstring GetEventKey(const CPBEMGameEvent& event);
// "%s-P%02d-%d.event".
std::wstring MakeEventFileName(const CPBEMGameEvent& event);
// True when a game id from the server can safely be part of a file name: not empty, "." or "..",
// and without "/", "\", NUL or other control characters. Also applied to names given to
// WriteEventFile.
bool IsSafeGameId(std::wstring_view strGameId);

// The path of an event file of that name in the PBEM folder.
std::wstring EventFilePath(const std::wstring& strName);

void ReadEventFile(const std::wstring& strPath, CPBEMGameEvent& event);
// Writes the event's raw text to PBEM/<name>; an empty name means the event's own file name.
// Returns the path written, or an empty text when nothing was written: an existing file (of any
// letter case) is never overwritten, and a write that fails midway leaves no file behind.
std::wstring WriteEventFile(CPBEMGameEvent& event, const std::wstring& strName = {});
