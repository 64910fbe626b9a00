// Event files: one file per event in the PBEM folder, holding the event's escaped text as the
// server sent it.
#pragma once

#include "net/VelCurlTransfer.h"
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
// without "/", "\", NUL or other control characters, and unchanged by UTF-8 and back (two ids
// that differ only in lone surrogates would otherwise share their files). Also applied to names
// given to WriteEventFile.
bool IsSafeGameId(std::wstring_view strGameId);

// The path of an event file of that name in the PBEM folder.
std::wstring EventFilePath(const std::wstring& strName);

// The largest event file read. An event arrives inside one answer, and the transfer cuts answers
// at this size, so a larger file is no event of ours.
inline constexpr std::uint64_t MAX_EVENT_FILE_BYTES = CVelCurlTransfer::DEFAULT_MAX_RESPONSE_BYTES;

// Fills event from the event file at strPath: the record, the file name, and the id from the
// name. A file that cannot be read, or is larger than MAX_EVENT_FILE_BYTES, leaves the event
// untouched.
void ReadEventFile(const std::wstring& strPath, CPBEMGameEvent& event);
// The same for bytes the caller read from strPath.
void ReadEventFileBytes(const std::wstring& strPath, std::string_view bytes, CPBEMGameEvent& event);

enum class [[nodiscard]] EWriteEvent{
    Written,       // the file now holds the event's record: newly, or in place of a damaged file
    AlreadyStored, // a file of that name held the same record already; nothing was written
    Failed,        // the event is not safely on disk
    Unsafe,        // the game id or the given name cannot be a plain file name; nothing written
};
// Stores the event's raw text (m_strRaw) as PBEM/<name>; an empty name means the event's own
// file name. The text goes to a temporary file in the folder, is flushed, and then takes the
// final name, so a crash leaves either no file or the complete one under that name.
// Written and AlreadyStored: a file of that name holds exactly m_strRaw, its data flushed to
// disk; its name is durable after SyncEventFolder. A regular file of that name that holds
// anything else (empty, or cut by a crash of an earlier writer) is replaced; a folder or a pipe
// of that name gives Failed. m_strFileName is set to the name only with Written and
// AlreadyStored: an event with a name is on disk.
// An event that has an m_strFileName and is given no name is not written again: AlreadyStored
// when the file of that name holds its m_strRaw (or, for an event read from a file, which has
// no raw text, when that file is there), Failed when not.
EWriteEvent WriteEventFileChecked(CPBEMGameEvent& event, const std::wstring& strName = {});
// WriteEventFileChecked, returning the path when it wrote the file, an empty text when not
// (stored already, failed or unsafe).
[[nodiscard]] std::wstring WriteEventFile(CPBEMGameEvent& event, const std::wstring& strName = {});
// Makes the names of the event files written so far survive a crash of the system (fsync of the
// PBEM folder). Called once after an answer's files are written and before the raised ids are
// saved; false when the folder could not be flushed, and then the new names may be lost.
[[nodiscard]] bool SyncEventFolder();

// True for the names of WriteEventFileChecked's temporary files, which are never events.
bool IsEventTempName(std::wstring_view strName);
// Removes the PBEM folder's temporary file strName when its writer is gone: the process named in
// it no longer runs, or the file is older than ten minutes. Other names are left alone.
void RemoveLeftoverEventTemp(const std::wstring& strName);
