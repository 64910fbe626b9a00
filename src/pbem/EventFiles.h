// Event files: one file per event in the PBEM folder, holding the event's escaped text as the
// server sent it.
#pragma once

#include "pbem/PBEMGameEvent.h"

#include <cstdint>
#include <string>
#include <string_view>

// 0x1E escapes "<", ">", 0x1E and 0x1F; 0x1F stands for a zero byte.
std::string UnescapeEventText(std::string_view escaped);
// The inverse, for writers of event texts (the demo server and the tests).
std::string EscapeEventText(std::string_view bytes);

// Fills event from an escaped event record; with bWithData the attached data too.
void ParseEventRecord(std::string_view escaped, CPBEMGameEvent& event, bool bWithData);
// "<PlayerId>-<id>.event" into its PlayerId and id; other names give an empty PlayerId and leave
// nEventId unchanged.
std::wstring SplitEventFileName(std::wstring_view strName, std::uint32_t& nEventId);
// The PlayerId an event is filed under.
std::wstring GetEventKey(const CPBEMGameEvent& event);
// "%s-P%02d-%d.event".
std::wstring MakeEventFileName(const CPBEMGameEvent& event);
// True when a game id from the server can safely be part of a file name.
bool IsSafeGameId(std::wstring_view strGameId);

void ReadEventFile(const std::wstring& strPath, CPBEMGameEvent& event);
// Writes the event's raw text to PBEM/<name>; an empty name means the event's own file name.
// Returns the path written, or an empty text when nothing was written.
std::wstring WriteEventFile(CPBEMGameEvent& event, const std::wstring& strName = {});
