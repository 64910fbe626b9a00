// An icon's picture in one size, decoded by the caller: the window system is never asked to open
// a file by a name it would have to hold as text (a folder name need not be valid UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SIconImage
{
    int nWidth = 0;
    int nHeight = 0;
    // nWidth × nHeight pixels 0xAARRGGBB, alpha not premultiplied, rows top to bottom.
    std::vector<std::uint32_t> pixels;

    bool IsValid() const
    {
        return nWidth > 0 && nHeight > 0 &&
               pixels.size() ==
                   static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight);
    }
    friend bool operator==(const SIconImage&, const SIconImage&) = default;
};
