#include "RgbaPng.h"

#include "Canvas.h"
#include "ImageWriters.h"

bool WriteRgbaPng(const std::filesystem::path& path, int nWidth, int nHeight,
                  const std::vector<std::uint8_t>& rgba)
{
    if (nWidth <= 0 || nHeight <= 0 ||
        rgba.size() != static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight) * 4)
        return false;
    CCanvas canvas(nWidth, nHeight);
    const std::uint8_t* p = rgba.data();
    for (int y = 0; y < nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x, p += 4)
            canvas.Set(x, y, SColour{p[0], p[1], p[2], p[3]});
    }
    const ByteVector bytes = EncodePng(canvas);
    return !bytes.empty() && WriteFileBytes(path, bytes);
}
