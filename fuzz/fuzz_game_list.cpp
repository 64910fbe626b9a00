// The game list file comes from another program and may be anything.
#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CPBEMGameStore store;
    CDataBuffer buffer(std::string_view(reinterpret_cast<const char*>(data), size));
    if (store.Parse(buffer))
    {
        // What parsed completely must survive a save and a second load unchanged.
        const std::string saved = store.Serialize();
        CPBEMGameStore again;
        CDataBuffer reread(saved);
        if (!again.Parse(reread) || again.Serialize() != saved)
            __builtin_trap();
    }
    return 0;
}
