#include "install/ProfileFile.h"

#include "base/FileIo.h"

#include "base/Encoding.h"
#include "base/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cwctype>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{

enum class EEncoding
{
    Ansi,      // Windows-1252, what a new file gets
    Utf8Bom,   // EF BB BF
    Utf16LeBom // FF FE
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// The file as lines without their line ends; written back with CR LF. Lines that are not changed
// come back with the bytes they had, whatever their encoding makes of them.
struct SProfileText
{
    EEncoding eEncoding = EEncoding::Ansi;
    std::vector<std::wstring> lines;
    // A file whose last line has no line end keeps it that way while that line stays last.
    bool bFinalLineEnd = true;
    // The odd last byte of a UTF-16 file, which makes no character.
    std::string strOddByte;
};

// ---- Reading and writing the bytes ----

// The file that a chain of symbolic links ends at, or the path itself when it is no link; nothing
// when the chain cannot be followed. Replacing the link itself would turn it into a plain file
// and leave the file it points at behind with the old content.
std::optional<std::string> FollowLinks(std::string path)
{
    // As many links as the system itself follows in one path.
    constexpr int kMaxLinks = 40;
    for (int nLinks = 0; nLinks <= kMaxLinks; ++nLinks)
    {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path; // a missing target is created where the link points
        std::vector<char> buffer(4096);
        const ssize_t nLength = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (nLength <= 0 || static_cast<std::size_t>(nLength) >= buffer.size())
            return std::nullopt;
        std::string target(buffer.data(), static_cast<std::size_t>(nLength));
        if (target.front() != '/')
        {
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos)
                target.insert(0, path, 0, slash + 1);
        }
        path = std::move(target);
    }
    return std::nullopt;
}

// Either the whole new content is in place or the old file is untouched.
bool ReplaceFile(const std::string& path, std::string_view bytes)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Mode 0666 lets the umask decide, as for a plain new file.
    CTempFileBeside temp(path, "." + name + ".", ".tmp", 0666);
    if (!temp.IsOpen())
        return false;

    bool bOk = WriteAll(temp.Get(), bytes);
    // The replacement keeps the permissions of the file it replaces.
    struct stat st;
    if (bOk && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        bOk = ::fchmod(temp.Get(), st.st_mode & 07777) == 0;
    bOk = bOk && ::fsync(temp.Get()) == 0;
    bOk = temp.Close() && bOk;
    if (!bOk || !temp.Replace())
        return false;
    // Best effort: the rename itself has already happened.
    static_cast<void>(temp.SyncFolder());
    return true;
}

// ---- Text and lines ----

SProfileText Decode(std::string_view bytes)
{
    SProfileText text;
    std::wstring wide;
    if (bytes.substr(0, 2) == kUtf16LeBom)
    {
        text.eEncoding = EEncoding::Utf16LeBom;
        wide = Utf16LeToWide(bytes.substr(2));
        if (bytes.size() % 2 != 0)
            text.strOddByte = bytes.substr(bytes.size() - 1);
    }
    else if (bytes.substr(0, 3) == kUtf8Bom)
    {
        text.eEncoding = EEncoding::Utf8Bom;
        // Bytes that are not UTF-8 (another program's section, an old value) must survive a save.
        wide = Utf8ToWideLossless(bytes.substr(3));
    }
    else
    {
        wide = AnsiToWide(bytes);
    }

    std::size_t start = 0;
    while (start < wide.size())
    {
        std::size_t end = wide.find(L'\n', start);
        const bool bHasLineEnd = end != std::wstring::npos;
        if (!bHasLineEnd)
            end = wide.size();
        std::size_t contentEnd = end;
        if (bHasLineEnd && contentEnd > start && wide[contentEnd - 1] == L'\r')
            --contentEnd;
        text.lines.emplace_back(wide, start, contentEnd - start);
        text.bFinalLineEnd = bHasLineEnd;
        start = end + 1;
    }
    return text;
}

std::string Encode(const SProfileText& text)
{
    std::wstring wide;
    for (std::size_t i = 0; i < text.lines.size(); ++i)
    {
        wide += text.lines[i];
        if (i + 1 < text.lines.size() || text.bFinalLineEnd)
            wide += L"\r\n";
    }
    switch (text.eEncoding)
    {
    case EEncoding::Utf16LeBom:
        return std::string(kUtf16LeBom) + WideToUtf16Le(wide) + text.strOddByte;
    case EEncoding::Utf8Bom:
        return std::string(kUtf8Bom) + WideToUtf8Lossless(wide);
    case EEncoding::Ansi:
        break;
    }
    return WideToAnsi(wide);
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

std::wstring_view Trim(std::wstring_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (std::towlower(static_cast<std::wint_t>(a[i])) !=
            std::towlower(static_cast<std::wint_t>(b[i])))
            return false;
    }
    return true;
}

// The name of a "[name]" line; nothing for any other line.
std::optional<std::wstring_view> SectionName(std::wstring_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != L'[')
        return std::nullopt;
    line.remove_prefix(1);
    const std::size_t close = line.find(L']');
    return Trim(line.substr(0, close));
}

struct SKeyLine
{
    std::wstring_view key;
    std::wstring_view value;
};

// The key and value of a "key=value" line; nothing for comments and lines without "=".
std::optional<SKeyLine> KeyLine(std::wstring_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() == L';' || line.front() == L'[')
        return std::nullopt;
    const std::size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos)
        return std::nullopt;
    return SKeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

struct SSectionRange
{
    std::size_t header = 0; // index of the "[name]" line
    std::size_t end = 0;    // index of the next section's line, or the line count
};

std::optional<SSectionRange> FindSection(const SProfileText& text, std::wstring_view section)
{
    const std::size_t count = text.lines.size();
    for (std::size_t i = 0; i < count; ++i)
    {
        const auto name = SectionName(text.lines[i]);
        if (!name || !EqualNoCase(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < count && !SectionName(text.lines[end]))
            ++end;
        return SSectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const SProfileText& text, const SSectionRange& range,
                                   std::wstring_view key)
{
    for (std::size_t i = range.header + 1; i < range.end; ++i)
    {
        const auto keyLine = KeyLine(text.lines[i]);
        if (keyLine && EqualNoCase(keyLine->key, key))
            return i;
    }
    return std::nullopt;
}

std::wstring_view Unquote(std::wstring_view value)
{
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// ---- Editing ----

void SetKey(SProfileText& text, std::wstring_view section, std::wstring_view key,
            std::wstring_view value)
{
    const auto range = FindSection(text, section);
    if (!range)
    {
        // A new section goes at the end, set off from what is before it by a blank line.
        if (!text.lines.empty() && !Trim(text.lines.back()).empty())
            text.lines.emplace_back();
        text.lines.push_back(L"[" + std::wstring(section) + L"]");
        text.lines.push_back(std::wstring(key) + L"=" + std::wstring(value));
        text.bFinalLineEnd = true;
        return;
    }

    if (const auto index = FindKey(text, *range, key))
    {
        std::wstring& line = text.lines[*index];
        // The key keeps the spelling it has in the file.
        const std::wstring existingKey(KeyLine(line)->key);
        line = existingKey + L"=" + std::wstring(value);
        return;
    }

    // A new key follows the last non-blank line of its section.
    std::size_t insertAt = range->end;
    while (insertAt > range->header + 1 && Trim(text.lines[insertAt - 1]).empty())
        --insertAt;
    if (insertAt == text.lines.size())
        text.bFinalLineEnd = true;
    text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                      std::wstring(key) + L"=" + std::wstring(value));
}

void RemoveKey(SProfileText& text, std::wstring_view section, std::wstring_view key)
{
    const auto range = FindSection(text, section);
    if (!range)
        return;
    if (const auto index = FindKey(text, *range, key))
        text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(*index));
}

// Reads the file (nothing when missing), applies edit and replaces the file with the result.
template <class FnEdit> bool EditProfile(const std::wstring& strPath, FnEdit fnEdit)
{
    const std::string path = ToNativePath(strPath);
    std::string bytes;
    SProfileText text;
    switch (ReadWholeFile(strPath, bytes).eResult)
    {
    case EFileRead::Ok:
        text = Decode(bytes);
        break;
    case EFileRead::Missing:
        break;
    default:
        return false; // rewriting a file we could not read would lose its other contents
    }
    if (!fnEdit(text))
        return true;
    const std::optional<std::string> target = FollowLinks(path);
    return target && ReplaceFile(*target, Encode(text));
}

} // namespace

std::wstring GetPrivateProfileString(std::wstring_view strSection, std::wstring_view strKey,
                                     std::wstring_view strDefault, const std::wstring& strPath)
{
    std::string bytes;
    if (!ReadWholeFile(strPath, bytes).Ok())
        return std::wstring(strDefault);
    const SProfileText text = Decode(bytes);
    const auto range = FindSection(text, strSection);
    if (!range)
        return std::wstring(strDefault);
    const auto index = FindKey(text, *range, strKey);
    if (!index)
        return std::wstring(strDefault);
    return std::wstring(Unquote(KeyLine(text.lines[*index])->value));
}

bool WritePrivateProfileString(std::wstring_view strSection, std::wstring_view strKey,
                               std::wstring_view strValue, const std::wstring& strPath)
{
    return EditProfile(strPath,
                       [&](SProfileText& text)
                       {
                           SetKey(text, strSection, strKey, strValue);
                           return true;
                       });
}

std::vector<std::pair<std::wstring, std::wstring>>
GetPrivateProfileSection(std::wstring_view strSection, const std::wstring& strPath)
{
    std::vector<std::pair<std::wstring, std::wstring>> keys;
    std::string bytes;
    if (!ReadWholeFile(strPath, bytes).Ok())
        return keys;
    const SProfileText text = Decode(bytes);
    const auto range = FindSection(text, strSection);
    if (!range)
        return keys;
    for (std::size_t i = range->header + 1; i < range->end; ++i)
    {
        if (const auto keyLine = KeyLine(text.lines[i]))
            keys.emplace_back(std::wstring(keyLine->key), std::wstring(Unquote(keyLine->value)));
    }
    return keys;
}

bool WritePrivateProfileKeys(std::wstring_view strSection, const ProfileKeyChanges& changes,
                             const std::wstring& strPath)
{
    return EditProfile(strPath,
                       [&](SProfileText& text)
                       {
                           bool bChanged = false;
                           for (const auto& [strKey, value] : changes)
                           {
                               if (value)
                               {
                                   SetKey(text, strSection, strKey, *value);
                                   bChanged = true;
                               }
                               else if (const auto range = FindSection(text, strSection);
                                        range && FindKey(text, *range, strKey))
                               {
                                   RemoveKey(text, strSection, strKey);
                                   bChanged = true;
                               }
                           }
                           return bChanged;
                       });
}

long WideToLong(std::wstring_view str)
{
    std::size_t i = 0;
    while (i < str.size() && std::iswspace(static_cast<std::wint_t>(str[i])))
        ++i;
    bool bNegative = false;
    if (i < str.size() && (str[i] == L'+' || str[i] == L'-'))
    {
        bNegative = str[i] == L'-';
        ++i;
    }
    // Accumulated as a negative number, whose range holds LONG_MIN.
    long value = 0;
    bool bOverflow = false;
    for (; i < str.size() && str[i] >= L'0' && str[i] <= L'9'; ++i)
    {
        const long digit = str[i] - L'0';
        if (value < (LONG_MIN + digit) / 10)
            bOverflow = true;
        else
            value = value * 10 - digit;
    }
    if (bOverflow)
        return bNegative ? LONG_MIN : LONG_MAX;
    if (bNegative)
        return value;
    return value == LONG_MIN ? LONG_MAX : -value;
}
