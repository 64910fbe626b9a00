// BMP files come from the installation folder and may be anything.
#include "res/AlphaFlatten.h"
#include "res/BmpDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CImageDecodeStatus status;
    const CImageData image = DecodeBmpMemory({data, size}, &status);
    // An image is whole or absent, and its size is one the decoder promises.
    if (image.IsEmpty() != status.Failed())
        __builtin_trap();
    if (!image.IsEmpty())
    {
        if (image.m_nWidth < 1 || image.m_nHeight < 1 || image.m_nWidth > MAX_IMAGE_SIDE ||
            image.m_nHeight > MAX_IMAGE_SIDE)
            __builtin_trap();
        if (FlattenAlpha(image, MakeRgb(255, 0, 255)).size() !=
            static_cast<std::size_t>(image.m_nWidth) * image.m_nHeight)
            __builtin_trap();
    }
    return 0;
}
