// Decoded icon pictures to Qt's icon. Only the layer's own sources include this.
#pragma once

#include "platform/IconImage.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <cstring>
#include <vector>

// Every valid picture as one size of the icon; pictures without the memory for them are left
// out. A null icon when none is left.
inline QIcon ToQIcon(const std::vector<SIconImage>& images)
{
    QIcon icon;
    for (const SIconImage& image : images)
    {
        if (!image.IsValid())
            continue;
        QImage picture(image.nWidth, image.nHeight, QImage::Format_ARGB32);
        if (picture.isNull())
            continue;
        for (int y = 0; y < image.nHeight; ++y)
            std::memcpy(picture.scanLine(y), image.pixels.data() + std::size_t(y) * image.nWidth,
                        std::size_t(image.nWidth) * sizeof(std::uint32_t));
        icon.addPixmap(QPixmap::fromImage(picture));
    }
    return icon;
}
