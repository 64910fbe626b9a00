#include "pbem/EventFiles.h"

#include "app/InstallFolder.h"
#include "base/FileIo.h"
#include "base/Format.h"
#include "base/Paths.h"
#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace
{

constexpr char kEscape = '\x1E';
constexpr char kZero = '\x1F';
constexpr std::wstring_view kEventSuffix = L".event";
// Files and texts of this size or less carry no record worth reading.
constexpr std::size_t kMinRecordText = 10;

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

} // namespace

std::string UnescapeEventText(std::string_view escaped)
{
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i)
    {
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
    if (strGameId.empty() || strGameId == L"." || strGameId == L"..")
        return false;
    return std::none_of(strGameId.begin(), strGameId.end(),
                        [](wchar_t c) { return c == L'/' || c == L'\\' || c < 0x20 || c == 0x7F; });
}

void ReadEventFile(const std::wstring& strPath, CPBEMGameEvent& event)
{
    std::string bytes;
    // Folders and pipes named *.event are never read: a pipe would block the start-up.
    if (!ReadWholeFile(strPath, bytes).Ok())
        return;
    const std::size_t nRead = bytes.size();
    // A correct file holds no zero byte; the text ends at the first one.
    const std::string_view text(bytes.data(), std::min(nRead, bytes.find('\0')));
    if (nRead > kMinRecordText)
        ParseEventRecord(text, event, true);
    event.m_strFileName = FileNamePart(strPath);
    // The name, not the record, says which id the event has.
    if (nRead > kMinRecordText && !event.m_strGameId.empty() && strPath.ends_with(kEventSuffix))
        SplitEventFileName(event.m_strFileName, event.m_nEventId);
}

std::wstring EventFilePath(const std::wstring& strName)
{
    // The folder may come in another letter case from the game's own system; the name is taken
    // as it is, since game ids (and so the names made from them) compare by exact case.
    return JoinPath(InstallPath(PATH_PBEM_FOLDER), strName);
}

std::wstring WriteEventFile(CPBEMGameEvent& event, const std::wstring& strName)
{
    std::wstring strFileName = strName;
    if (strFileName.empty())
    {
        if (!event.m_strFileName.empty())
            return {}; // on disk already
        // The game id comes from the server; one that could leave the folder gives no file.
        if (!IsSafeGameId(event.m_strGameId))
            return {};
        strFileName = MakeEventFileName(event);
    }
    else if (!IsSafeGameId(strFileName))
    {
        return {}; // a given name must also stay a plain name in the folder
    }

    const std::wstring strPath = EventFilePath(strFileName);
    // O_EXCL: an existing event file is never overwritten, even by a writer racing with us.
    const int fd =
        ::open(ToNativePath(strPath).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST)
        return {};
    event.m_strFileName = strFileName;
    if (fd < 0)
        return {};
    const bool bWritten = WriteAll(fd, event.m_strRaw);
    const bool bClosed = ::close(fd) == 0;
    if (!bWritten || !bClosed)
    {
        // A half-written file would be read back as a corrupt event at every start.
        ::unlink(ToNativePath(strPath).c_str());
        return {};
    }
    return strPath;
}
