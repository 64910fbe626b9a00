#include "pbem/EventFiles.h"

#include "base/FileIo.h"
#include "base/Format.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameState.h"

#include "base/Encoding.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>

namespace
{

constexpr char kEscape = '\x1E';
constexpr char kZero = '\x1F';
constexpr std::string_view kSpecialBytes = "\x1E\x1F";
constexpr std::wstring_view kEventSuffix = L".event";
// Files and texts of this size or less carry no record worth reading.
constexpr std::size_t kMinRecordText = 10;

// Temporary files: ".event-write-<pid>-<n>.tmp" (CTempFileBeside's "<pid>-<n>"). The leading dot
// and the other ending keep them out of the scan and out of the game program's sight; the fixed
// length keeps a long event name within the file system's limit.
constexpr std::string_view kTempPrefix = ".event-write-";
constexpr std::string_view kTempSuffix = ".tmp";
// A writer takes seconds; a temporary file this old is a leftover even when its pid is in use
// again (or belongs to a process we cannot see).
constexpr std::chrono::minutes kTempMaxAge(10);

// Like the C run-time's decimal conversion: an optional sign, then digits up to the first
// non-digit. The value wraps to 32 bits, so a negative text gives back the unsigned id it was
// printed from.
std::uint32_t DecimalValue(std::wstring_view text)
{
    std::size_t i = 0;
    bool bNegative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        bNegative = text[i++] == L'-';
    std::uint32_t n = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        n = n * 10u + static_cast<std::uint32_t>(text[i] - L'0');
    return bNegative ? 0u - n : n;
}

// The record's fields in file order. Each field is stored only when it was read completely, so a
// record that ends early keeps the fields before the cut and leaves the others as they were.
void ReadRecordFields(CDataBuffer& record, CPBEMGameEvent& event, bool bWithData)
{
    record.Skip(5); // "Even" and one byte that is not examined
    std::wstring strGameId = record.ReadWide();
    if (record.HasFailed())
        return;
    event.m_strGameId = std::move(strGameId);
    const std::int32_t nFromPlayer = record.ReadInt32();
    if (record.HasFailed())
        return;
    event.m_nFromPlayer = nFromPlayer;
    const bool bShared = record.ReadByte() != 0;
    if (record.HasFailed())
        return;
    event.m_bShared = bShared;
    const std::int32_t nPlayer = record.ReadInt32();
    if (record.HasFailed())
        return;
    event.m_nPlayer = nPlayer;
    std::string strKind = record.ReadBytes8();
    if (record.HasFailed())
        return;
    event.m_strKind = std::move(strKind);
    std::wstring strText = record.ReadWide();
    if (record.HasFailed())
        return;
    event.m_strText = std::move(strText);

    if (!bWithData)
    {
        event.m_pData.reset();
        event.m_nDataSize = 0;
        return;
    }
    const std::int32_t nSize = record.ReadInt32();
    if (record.HasFailed())
        return;
    // The size is the sender's word: the block never exceeds the bytes that follow the count
    // field, and a negative size gives an empty block.
    const std::size_t nFollowing = record.GetRemaining() > 4 ? record.GetRemaining() - 4 : 0;
    const std::size_t nBlock =
        nSize <= 0 ? 0 : std::min(static_cast<std::size_t>(nSize), nFollowing);
    event.m_pData = std::make_unique<unsigned char[]>(nBlock); // zero-filled
    event.m_nDataSize = static_cast<std::int32_t>(nBlock);
    const std::int32_t nCount = record.ReadInt32();
    if (record.HasFailed() || nCount <= 0)
        return;
    // A count beyond the size copies only what the block holds.
    record.ReadRaw(event.m_pData.get(), std::min(static_cast<std::size_t>(nCount), nBlock));
}

// Gives the complete temporary file the final name, unless a file there holds the same record.
EWriteEvent PlaceTempFile(CTempFileBeside& temp, const std::wstring& strFinalPath,
                          std::string_view raw)
{
    switch (temp.Link())
    {
    case CTempFileBeside::ELink::Linked:
        return EWriteEvent::Written;
    case CTempFileBeside::ELink::Failed:
        return EWriteEvent::Failed;
    case CTempFileBeside::ELink::Exists:
        break;
    }

    switch (MatchFileBytes(strFinalPath, raw))
    {
    case EFileMatch::Same:
        return EWriteEvent::AlreadyStored;
    case EFileMatch::Different:
    case EFileMatch::Missing:
        // The name is made of the game, the player and the event id, which the server gives one
        // event only, and every writer puts the complete record there in one step. So a file of
        // this name that does not hold this record was cut by a writer that died (an empty or
        // half-written file of an older version), and nothing is lost by replacing it; a racing
        // writer of the same event puts the same bytes there. Keeping it would count the event
        // as stored while no readable copy exists.
        return temp.Replace() ? EWriteEvent::Written : EWriteEvent::Failed;
    case EFileMatch::NotRegular: // a folder or a pipe of that name is no event file to replace
    case EFileMatch::Failed:
        break;
    }
    return EWriteEvent::Failed;
}

EWriteEvent StoreRecord(const std::wstring& strPath, std::string_view raw)
{
    // After a link the final name holds the data, and the temporary name goes with temp.
    CTempFileBeside temp(ToNativePath(strPath), kTempPrefix, kTempSuffix, 0644);
    if (!temp.IsOpen())
        return EWriteEvent::Failed;
    // Flushed before it gets its name: a crash after that must not leave the name on an empty
    // file, which the next download would take for the stored event.
    const bool bWritten = WriteAll(temp.Get(), raw) && FlushToDisk(temp.Get());
    const bool bClosed = temp.Close();
    return bWritten && bClosed ? PlaceTempFile(temp, strPath, raw) : EWriteEvent::Failed;
}

// An event that has a file name already: read from that file (it has no raw text then), or
// written there before.
bool IsOnDisk(const CPBEMGameEvent& event)
{
    const std::wstring strPath = EventFilePath(event.m_strFileName);
    if (event.m_strRaw.empty())
        return FileExists(strPath);
    return MatchFileBytes(strPath, event.m_strRaw) == EFileMatch::Same;
}

// The pid in a temporary file's name, or 0 when the name is not one of ours.
pid_t TempFilePid(std::wstring_view strName)
{
    // Plain ASCII, the same in wide text.
    static const std::wstring s_strPrefix(kTempPrefix.begin(), kTempPrefix.end());
    static const std::wstring s_strSuffix(kTempSuffix.begin(), kTempSuffix.end());
    if (!strName.starts_with(s_strPrefix) || !strName.ends_with(s_strSuffix))
        return 0;
    strName.remove_prefix(s_strPrefix.size());
    strName.remove_suffix(s_strSuffix.size());
    // "<pid>-<n>", both plain digits; nine digits at most for the pid keep it within pid_t.
    const std::size_t nDash = strName.find(L'-');
    auto isDigits = [](std::wstring_view text)
    {
        return !text.empty() && std::all_of(text.begin(), text.end(),
                                            [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    if (nDash == std::wstring_view::npos || nDash > 9 || !isDigits(strName.substr(0, nDash)) ||
        !isDigits(strName.substr(nDash + 1)))
        return 0;
    return static_cast<pid_t>(DecimalValue(strName.substr(0, nDash)));
}

} // namespace

std::string UnescapeEventText(std::string_view escaped)
{
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i)
    {
        // Plain bytes are copied in runs: every stored event is unescaped at start-up.
        const std::size_t nSpecial = escaped.find_first_of(kSpecialBytes, i);
        if (nSpecial != i)
        {
            const std::size_t nEnd = std::min(nSpecial, escaped.size());
            out.append(escaped.substr(i, nEnd - i));
            if (nEnd == escaped.size())
                break;
            i = nEnd;
        }
        const char c = escaped[i];
        if (c == kZero)
        {
            out += '\0';
            continue;
        }
        // A prefix that is the last byte has nothing to escape and stands for itself.
        if (c != kEscape || i + 1 == escaped.size())
        {
            out += c;
            continue;
        }
        const char next = escaped[++i];
        if (next == '\x3D')
            out += '<';
        else if (next == '\x3F')
            out += '>';
        else
            out += next; // 0x1E and 0x1F stand for themselves; so does any other escaped byte
    }
    return out;
}

std::string EscapeEventText(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes)
    {
        switch (c)
        {
        case '\0':
            out += kZero;
            break;
        case '<':
            out += kEscape;
            out += '\x3D';
            break;
        case '>':
            out += kEscape;
            out += '\x3F';
            break;
        case kEscape:
        case kZero:
            out += kEscape;
            out += c;
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

void ParseEventRecord(std::string_view escaped, CPBEMGameEvent& event, bool bWithData)
{
    if (escaped.empty())
        return;
    try
    {
        CDataBuffer record(UnescapeEventText(escaped));
        if (record.GetSize() < 4 || std::memcmp(record.GetData(), "Even", 4) != 0)
            return;
        ReadRecordFields(record, event, bWithData);
    }
    catch (const std::bad_alloc&)
    {
        // A text too large to unescape in memory: the fields stored so far stay.
    }
}

std::wstring SplitEventFileName(std::wstring_view strName, std::uint32_t& nEventId)
{
    if (!strName.ends_with(kEventSuffix))
        return {};
    const std::wstring_view rest = strName.substr(0, strName.size() - kEventSuffix.size());
    std::size_t nDash = rest.rfind(L'-');
    if (nDash == std::wstring_view::npos)
        return {};
    // An id of 2^31 or more is printed negative ("G12-P03--1294967296"): the hyphen before the
    // sign is the separator, or such a file would never be found again. A PlayerId ends in
    // "-Pnn", never in "-".
    if (nDash > 0 && rest[nDash - 1] == L'-')
        --nDash;
    nEventId = DecimalValue(rest.substr(nDash + 1));
    return std::wstring(rest.substr(0, nDash));
}

std::wstring GetEventKey(const CPBEMGameEvent& event)
{
    return MakePlayerId(event.m_strGameId, event.m_bShared ? 0 : event.m_nPlayer);
}

std::wstring MakeEventFileName(const CPBEMGameEvent& event)
{
    return FormatText(L"%s-P%02d-%d.event",
                      {event.m_strGameId, event.m_bShared ? 0 : event.m_nPlayer,
                       static_cast<std::int32_t>(event.m_nEventId)});
}

bool IsSafeGameId(std::wstring_view strGameId)
{
    if (strGameId.empty() || strGameId == L"." || strGameId == L".." || !IsUtf8Exact(strGameId))
        return false;
    return std::none_of(strGameId.begin(), strGameId.end(),
                        [](wchar_t c) { return c == L'/' || c == L'\\' || c < 0x20 || c == 0x7F; });
}

void ReadEventFile(const std::wstring& strPath, CPBEMGameEvent& event)
{
    std::string bytes;
    // Folders and pipes named *.event are never read: a pipe would block the start-up. Nor is a
    // file larger than any answer: it would only take the memory.
    if (!ReadWholeFile(strPath, bytes, MAX_EVENT_FILE_BYTES).Ok())
        return;
    ReadEventFileBytes(strPath, bytes, event);
}

void ReadEventFileBytes(const std::wstring& strPath, std::string_view bytes, CPBEMGameEvent& event)
{
    try
    {
        const std::size_t nRead = bytes.size();
        // A correct file holds no zero byte; the text ends at the first one.
        const std::string_view text = bytes.substr(0, bytes.find('\0'));
        if (nRead > kMinRecordText)
            ParseEventRecord(text, event, true);
        event.m_strFileName = FileNamePart(strPath);
        // The name, not the record, says which id the event has.
        if (nRead > kMinRecordText && !event.m_strGameId.empty() && strPath.ends_with(kEventSuffix))
            SplitEventFileName(event.m_strFileName, event.m_nEventId);
    }
    catch (const std::bad_alloc&)
    {
        // Out of memory for the names: the fields stored so far stay.
    }
}

std::wstring EventFilePath(const std::wstring& strName)
{
    // The folder may come in another letter case from the game's own system; the name is taken
    // as it is, since game ids (and so the names made from them) compare by exact case.
    return JoinPath(InstallPath(PATH_PBEM_FOLDER), strName);
}

EWriteEvent WriteEventFileChecked(CPBEMGameEvent& event, const std::wstring& strName)
{
    std::wstring strFileName = strName;
    if (strFileName.empty())
    {
        if (!event.m_strFileName.empty())
            return IsOnDisk(event) ? EWriteEvent::AlreadyStored : EWriteEvent::Failed;
        // The game id comes from the server; one that could leave the folder gives no file.
        if (!IsSafeGameId(event.m_strGameId))
            return EWriteEvent::Unsafe;
        strFileName = MakeEventFileName(event);
    }
    else if (!IsSafeGameId(strFileName))
    {
        return EWriteEvent::Unsafe; // a given name must also stay a plain name in the folder
    }
    const EWriteEvent eResult = StoreRecord(EventFilePath(strFileName), event.m_strRaw);
    // The name is kept only for an event that is on disk, so a name always means a stored file
    // and a failed write is tried again.
    if (eResult == EWriteEvent::Written || eResult == EWriteEvent::AlreadyStored)
        event.m_strFileName = strFileName;
    return eResult;
}

std::wstring WriteEventFile(CPBEMGameEvent& event, const std::wstring& strName)
{
    if (WriteEventFileChecked(event, strName) != EWriteEvent::Written)
        return {};
    return EventFilePath(event.m_strFileName);
}

bool SyncEventFolder()
{
    return SyncFolder(InstallPath(PATH_PBEM_FOLDER));
}

bool IsEventTempName(std::wstring_view strName)
{
    return TempFilePid(strName) > 0;
}

void RemoveLeftoverEventTemp(const std::wstring& strName)
{
    const pid_t nPid = TempFilePid(strName);
    if (nPid <= 0)
        return; // not ours; and kill(0) would ask about our own process group
    const std::string strPath = ToNativePath(EventFilePath(strName));
    struct stat st;
    if (::lstat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    // A living writer's file is left alone, or its write would fail needlessly; a write that
    // fails that way loses nothing (its link fails, so the event counts as not stored).
    const bool bWriterGone = ::kill(nPid, 0) != 0 && errno == ESRCH;
    const auto modified = std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec);
    const bool bOld = std::chrono::system_clock::now() - modified > kTempMaxAge;
    if (bWriterGone || bOld)
        ::unlink(strPath.c_str());
}
