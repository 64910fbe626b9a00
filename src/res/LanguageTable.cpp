#include "res/LanguageTable.h"

#include "base/FileIo.h"

#include "base/Encoding.h"
#include "base/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <limits>
#include <optional>
#include <utility>

CLanguageTable g_languageTable;

namespace
{

constexpr std::int32_t kLanguageEnglish = 9;
constexpr std::size_t kByteOrderMarkSize = 2;

// The value of the line's leading decimal digits; nothing when that is not a positive 32-bit id.
std::optional<std::int32_t> LeadingId(std::wstring_view line)
{
    std::int64_t value = 0;
    std::size_t i = 0;
    for (; i < line.size() && line[i] >= L'0' && line[i] <= L'9'; ++i)
    {
        value = value * 10 + (line[i] - L'0');
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }
    if (value <= 0)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Left to right, never looking into what was put in. Built anew rather than replaced in place,
// which would move the rest of a long line once per escape.
void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to)
{
    std::size_t pos = text.find(from);
    if (from.empty() || pos == std::wstring::npos)
        return;
    std::wstring result;
    result.reserve(text.size());
    std::size_t done = 0;
    for (; pos != std::wstring::npos; pos = text.find(from, done))
    {
        result.append(text, done, pos - done);
        result.append(to);
        done = pos + from.size();
    }
    result.append(text, done);
    text = std::move(result);
}

} // namespace

void CLanguageTable::LoadLanguageFile(const std::wstring& strPath)
{
    Clear();
    std::string bytes;
    const SFileReadResult read = ReadWholeFile(strPath, bytes);
    if (!read.Ok())
        return; // missing or unreadable: the built-in texts answer
    if (read.bShort)
    {
        // Fewer bytes than the file's length arrived.
        if (m_fnReportError)
            m_fnReportError(L"Error: Load failed.  Bad data.");
        return;
    }
    LoadFromBytes(bytes);
}

void CLanguageTable::LoadFromBytes(std::string_view bytes)
{
    if (bytes.size() <= kByteOrderMarkSize)
        return;
    // A line feed is one unit and never part of a surrogate pair, so the text can be split after
    // decoding.
    const std::wstring text = Utf16LeToWide(bytes.substr(kByteOrderMarkSize));

    // Units after the last line feed do not form a line.
    std::size_t start = 0;
    for (std::size_t lf = text.find(L'\n'); lf != std::wstring::npos;
         start = lf + 1, lf = text.find(L'\n', start))
    {
        std::wstring line = text.substr(start, lf + 1 - start);
        ReplaceAll(line, L"\r\n", L"");
        if (line.empty())
            continue;

        const std::optional<std::int32_t> id = LeadingId(line);
        if (!id)
            continue;
        const std::size_t eq = line.find(L'=');
        if (eq == std::wstring::npos)
            continue;
        std::wstring entryText = line.substr(eq + 1);
        if (entryText.empty())
            continue;

        std::unique_ptr<CLanguageItem>& slot = m_arrItems[*id];
        if (slot && !slot->m_strText.empty())
            continue; // the first definition wins
        ReplaceAll(entryText, L"\\r", L"\r");
        ReplaceAll(entryText, L"\\n", L"\n");
        ReplaceAll(entryText, L"\\\"", L"\"");
        slot = std::make_unique<CLanguageItem>();
        slot->m_nId = *id;
        slot->m_strText = std::move(entryText);
    }
}

std::wstring CLanguageTable::LookupText(std::int32_t nId, std::wstring_view strDefault) const
{
    if (m_nLanguage == kLanguageEnglish)
        return std::wstring(strDefault);
    const auto it = m_arrItems.find(nId);
    if (it == m_arrItems.end() || !it->second)
        return {};
    return it->second->m_strText;
}

std::wstring LookupText(std::int32_t nId, std::wstring_view strDefault)
{
    return g_languageTable.LookupText(nId, strDefault);
}
