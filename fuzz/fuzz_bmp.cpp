// BMP files come from the installation folder and may be anything.
#include "ImageInvariants.h"
#include "res/BmpDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CImageDecodeStatus status;
    const CImageData image = DecodeBmpMemory({data, size}, &status);
    CheckDecodedImage(image, status);
    return 0;
}
