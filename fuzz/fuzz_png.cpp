// PNG files come from the installation folder and may be anything.
//
// Every input is decoded as it is, and again with its chunk checksums made right: libpng refuses
// a critical chunk with a bad checksum, so most mutations would otherwise never get past it.
#include "ImageInvariants.h"
#include "res/PngDecoder.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{

void Check(std::span<const std::uint8_t> bytes)
{
    CImageDecodeStatus status;
    const CImageData image = DecodePngMemory(bytes, &status);
    CheckDecodedImage(image, status);
}

// True when a checksum had to change.
bool FixChunkChecksums(std::vector<std::uint8_t>& bytes)
{
    bool bChanged = false;
    std::size_t nPos = 8;
    while (nPos + 12 <= bytes.size())
    {
        const std::uint32_t nLength = static_cast<std::uint32_t>(bytes[nPos]) << 24 |
                                      bytes[nPos + 1] << 16 | bytes[nPos + 2] << 8 |
                                      bytes[nPos + 3];
        if (nLength > bytes.size() - nPos - 12)
            break;
        const uLong nCrc = crc32(0, bytes.data() + nPos + 4, 4 + nLength);
        std::uint8_t* pCrc = bytes.data() + nPos + 8 + nLength;
        for (int i = 0; i < 4; ++i)
        {
            const auto b = static_cast<std::uint8_t>(nCrc >> (24 - 8 * i));
            bChanged = bChanged || pCrc[i] != b;
            pCrc[i] = b;
        }
        nPos += 12 + nLength;
    }
    return bChanged;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Check({data, size});
    std::vector<std::uint8_t> fixed(data, data + size);
    if (FixChunkChecksums(fixed))
        Check(fixed);
    return 0;
}
