// The program's language table in another language for a test: the language number and the
// texts of a language file's lines while the object lives; the table as it was when it goes,
// also when a failed assertion ends the test early.
#pragma once

#include "base/Encoding.h"
#include "res/LanguageTable.h"

#include <cstdint>
#include <string>
#include <utility>

class CLanguageScope
{
public:
    CLanguageScope(std::int32_t nLanguage, const std::wstring& strLines)
        : m_nOldLanguage(g_languageTable.m_nLanguage)
    {
        std::swap(m_oldItems, g_languageTable.m_arrItems);
        g_languageTable.m_nLanguage = nLanguage;
        g_languageTable.LoadFromBytes("\xFF\xFE" + WideToUtf16Le(strLines));
    }
    ~CLanguageScope()
    {
        g_languageTable.m_nLanguage = m_nOldLanguage;
        std::swap(m_oldItems, g_languageTable.m_arrItems);
    }
    CLanguageScope(const CLanguageScope&) = delete;
    CLanguageScope& operator=(const CLanguageScope&) = delete;

private:
    std::int32_t m_nOldLanguage;
    decltype(CLanguageTable::m_arrItems) m_oldItems;
};
