#include "LanguageFileWriter.h"

#include "base/Encoding.h"

namespace
{

std::wstring EscapeLanguageText(std::wstring_view text)
{
    std::wstring escaped;
    for (const wchar_t c : text)
    {
        switch (c)
        {
        case L'\r':
            escaped += L"\\r";
            break;
        case L'\n':
            escaped += L"\\n";
            break;
        case L'"':
            escaped += L"\\\"";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

bool BuildLanguageFile(std::span<const STextId> texts, std::string& bytes, std::string& strError)
{
    std::wstring text;
    for (const STextId& entry : texts)
        text += std::to_wstring(entry.nId) + L"=" + EscapeLanguageText(entry.pszText) + L"\r\n";
    bytes = "\xFF\xFE" + WideToUtf16Le(text);

    // Read it back as the program does: what the escapes cannot carry shows here.
    CLanguageTable table;
    table.LoadFromBytes(bytes);
    for (const STextId& entry : texts)
    {
        const auto it = table.m_arrItems.find(entry.nId);
        if (it == table.m_arrItems.end() || !it->second || it->second->m_strText != entry.pszText)
        {
            strError = "text " + std::to_string(entry.nId) + " does not read back as written";
            return false;
        }
    }
    return true;
}
