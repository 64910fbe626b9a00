// What every image decoder promises, checked by the image fuzz targets.
#pragma once

#include "res/AlphaFlatten.h"
#include "res/ImageData.h"

#include <cstddef>

// An image is whole or absent, and its size is one the decoder promises.
inline void CheckDecodedImage(const CImageData& image, const CImageDecodeStatus& status)
{
    if (image.IsEmpty() != status.Failed())
        __builtin_trap();
    if (image.IsEmpty())
        return;
    if (image.m_nWidth < 1 || image.m_nHeight < 1 ||
        !IsImageSizeAccepted(static_cast<unsigned>(image.m_nWidth),
                             static_cast<unsigned>(image.m_nHeight)))
        __builtin_trap();
    if (FlattenAlpha(image, MakeRgb(255, 0, 255)).size() !=
        static_cast<std::size_t>(image.m_nWidth) * image.m_nHeight)
        __builtin_trap();
}
