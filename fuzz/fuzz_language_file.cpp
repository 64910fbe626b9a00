// The language file may be replaced by anyone.
#include "base/Format.h"
#include "res/LanguageTable.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CLanguageTable table;
    table.m_nLanguage = 7;
    table.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    // Every loaded text may be used as a format with too few or the wrong arguments.
    for (const auto& [nId, pItem] : table.m_arrItems)
    {
        (void)nId;
        FormatText(pItem->m_strText, {3});
        FormatText(pItem->m_strText, {L"x", L"y"});
    }
    return 0;
}
