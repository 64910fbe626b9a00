// Event records arrive from the network and from files.
#include "pbem/EventFiles.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CPBEMGameEvent event;
    ParseEventRecord(text, event, true);
    if (event.m_nDataSize < 0 || static_cast<std::size_t>(event.m_nDataSize) > size)
        __builtin_trap();
    if (UnescapeEventText(EscapeEventText(text)) != text)
        __builtin_trap();
    std::uint32_t nId = 0;
    SplitEventFileName(std::wstring(text.begin(), text.end()), nId);
    return 0;
}
