// Our own decoder of Windows bitmap files.
//
// Decoded: 8 bits per pixel with a palette, 24 bits (B, G, R), 32 bits as B, G, R, unused
// (uncompressed) or with bit masks (BI_BITFIELDS, or BI_ALPHABITFIELDS); bottom-up and top-down
// (negative height) row order; every info header of 40 bytes or more, whose biSize tells where
// the palette or the masks begin. Everything else gives an empty record, never part of an image:
// other depths, run-length or embedded compression, the 12-byte OS/2 header, sizes that
// IsImageSizeAccepted refuses, and files whose header, palette or pixel rows do not lie wholly
// inside them.
//
// The header's image size field is not used: the rows' size follows from width, height and
// depth, and all of them must be in the file. A palette index past the palette's entries gives
// black. With masks, channels of fewer or more than 8 bits are scaled to 8; an alpha mask gives
// the alpha, except that an image whose alpha is 0 everywhere is taken as opaque (writers that
// emit an alpha mask with unused alpha).
#pragma once

#include "res/ImageData.h"

#include <cstdint>
#include <span>
#include <string>

CImageData DecodeBmpMemory(std::span<const std::uint8_t> bytes,
                           CImageDecodeStatus* pStatus = nullptr);
// Reads the file whole, then as DecodeBmpMemory; the record gets the path.
CImageData DecodeBmpFile(const std::wstring& strPath, CImageDecodeStatus* pStatus = nullptr);
