// The language table: every text the user sees is looked up by number, with its English text as
// the default. Texts of the language file answer only under a language other than English (9).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class CLanguageItem
{
public:
    std::int32_t m_nId = 0;
    std::wstring m_strText;
};

class CLanguageTable
{
public:
    // Reads a UTF-16LE language file. A missing file leaves the table empty; a short read
    // reports "Error: Load failed.  Bad data." through m_fnReportError and leaves it empty.
    void LoadLanguageFile(const std::wstring& strPath);
    // Reads the file's bytes (byte-order mark included).
    void LoadFromBytes(std::string_view bytes);
    std::wstring LookupText(std::int32_t nId, std::wstring_view strDefault) const;
    void Clear() { m_arrItems.clear(); }

    std::int32_t m_nLanguage = 9;
    // Ids are sparse and come from a file: a map, never an array sized by an id.
    std::map<std::int32_t, std::unique_ptr<CLanguageItem>> m_arrItems;
    // Shows a message to the user; the platform layer sets it. Null: the message goes nowhere.
    std::function<void(const std::wstring&)> m_fnReportError;
};

extern CLanguageTable g_languageTable;

// g_languageTable.LookupText.
std::wstring LookupText(std::int32_t nId, std::wstring_view strDefault);
