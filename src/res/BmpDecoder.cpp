#include "res/BmpDecoder.h"

#include "res/ImageFileBytes.h"

#include <bit>

namespace
{

constexpr std::uint64_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t MIN_INFO_HEADER_SIZE = 40;
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::uint64_t pos)
{
    return static_cast<std::uint32_t>(bytes[pos]) |
           static_cast<std::uint32_t>(bytes[pos + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[pos + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[pos + 3]) << 24;
}

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::uint64_t pos)
{
    return static_cast<std::uint16_t>(bytes[pos] | bytes[pos + 1] << 8);
}

// One channel of a 32-bit pixel under a mask.
class CBitField
{
public:
    // False for a mask whose bits are not one run.
    bool SetMask(std::uint32_t nMask)
    {
        m_nMask = nMask;
        if (nMask == 0)
            return true;
        m_nShift = std::countr_zero(nMask);
        m_nMax = nMask >> m_nShift;
        return (m_nMax & (m_nMax + 1)) == 0;
    }
    bool IsPresent() const { return m_nMask != 0; }
    std::uint8_t Extract(std::uint32_t nPixel) const
    {
        if (m_nMask == 0)
            return 0;
        const std::uint32_t v = (nPixel & m_nMask) >> m_nShift;
        if (m_nMax == 255)
            return static_cast<std::uint8_t>(v);
        return static_cast<std::uint8_t>((std::uint64_t{v} * 255 + m_nMax / 2) / m_nMax);
    }

private:
    std::uint32_t m_nMask = 0;
    int m_nShift = 0;
    std::uint32_t m_nMax = 0;
};

class CBmpReader
{
public:
    explicit CBmpReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    EImageError Decode(CImageData& image);

private:
    bool Has(std::uint64_t nPos, std::uint64_t nCount) const
    {
        return nPos <= m_bytes.size() && nCount <= m_bytes.size() - nPos;
    }
    EImageError ReadMasks(std::uint32_t nInfoSize, std::uint32_t nCompression);
    void ConvertRow(const std::uint8_t* pSrc, std::uint8_t* pDst, int nWidth) const;

    std::span<const std::uint8_t> m_bytes;
    int m_nBits = 0;
    // 8 bits: the palette's entries (B, G, R, reserved), at most 256.
    const std::uint8_t* m_pPalette = nullptr;
    std::uint32_t m_nColours = 0;
    // 32 bits with masks.
    bool m_bMasks = false;
    CBitField m_red, m_green, m_blue, m_alpha;
};

EImageError CBmpReader::ReadMasks(std::uint32_t nInfoSize, std::uint32_t nCompression)
{
    // A header of 52 bytes or more holds the masks itself (56 and more: the alpha mask too);
    // after a shorter one they follow it.
    std::uint64_t nPos = FILE_HEADER_SIZE + 40;
    bool bAlpha = nInfoSize >= 56;
    if (nInfoSize < 52)
    {
        nPos = FILE_HEADER_SIZE + nInfoSize;
        bAlpha = nCompression == BI_ALPHABITFIELDS;
    }
    if (!Has(nPos, bAlpha ? 16 : 12))
        return EImageError::BadData;
    if (!m_red.SetMask(Read32(m_bytes, nPos)) || !m_green.SetMask(Read32(m_bytes, nPos + 4)) ||
        !m_blue.SetMask(Read32(m_bytes, nPos + 8)) ||
        !m_alpha.SetMask(bAlpha ? Read32(m_bytes, nPos + 12) : 0))
        return EImageError::BadData;
    m_bMasks = true;
    return EImageError::None;
}

void CBmpReader::ConvertRow(const std::uint8_t* pSrc, std::uint8_t* pDst, int nWidth) const
{
    switch (m_nBits)
    {
    case 8:
        for (int x = 0; x < nWidth; ++x, pDst += 4)
        {
            const std::uint32_t nIndex = pSrc[x];
            if (nIndex < m_nColours)
            {
                const std::uint8_t* pEntry = m_pPalette + std::size_t{4} * nIndex;
                pDst[0] = pEntry[2];
                pDst[1] = pEntry[1];
                pDst[2] = pEntry[0];
            }
            else
            {
                pDst[0] = pDst[1] = pDst[2] = 0;
            }
            pDst[3] = 255;
        }
        break;
    case 24:
        for (int x = 0; x < nWidth; ++x, pSrc += 3, pDst += 4)
        {
            pDst[0] = pSrc[2];
            pDst[1] = pSrc[1];
            pDst[2] = pSrc[0];
            pDst[3] = 255;
        }
        break;
    default: // 32
        for (int x = 0; x < nWidth; ++x, pSrc += 4, pDst += 4)
        {
            if (!m_bMasks)
            {
                pDst[0] = pSrc[2];
                pDst[1] = pSrc[1];
                pDst[2] = pSrc[0];
                pDst[3] = 255;
                continue;
            }
            const std::uint32_t nPixel = static_cast<std::uint32_t>(pSrc[0]) | pSrc[1] << 8 |
                                         pSrc[2] << 16 | static_cast<std::uint32_t>(pSrc[3]) << 24;
            pDst[0] = m_red.Extract(nPixel);
            pDst[1] = m_green.Extract(nPixel);
            pDst[2] = m_blue.Extract(nPixel);
            pDst[3] = m_alpha.IsPresent() ? m_alpha.Extract(nPixel) : 255;
        }
        break;
    }
}

EImageError CBmpReader::Decode(CImageData& image)
{
    if (!Has(0, FILE_HEADER_SIZE + 4) || m_bytes[0] != 'B' || m_bytes[1] != 'M')
        return EImageError::NotThisType;
    const std::uint32_t nPixelOffset = Read32(m_bytes, 10);
    const std::uint32_t nInfoSize = Read32(m_bytes, 14);
    if (nInfoSize < MIN_INFO_HEADER_SIZE)
        return EImageError::Unsupported;
    if (!Has(FILE_HEADER_SIZE, nInfoSize))
        return EImageError::BadData;

    const std::int64_t nWidth = static_cast<std::int32_t>(Read32(m_bytes, 18));
    const std::int64_t nSignedHeight = static_cast<std::int32_t>(Read32(m_bytes, 22));
    m_nBits = Read16(m_bytes, 28);
    const std::uint32_t nCompression = Read32(m_bytes, 30);
    const std::uint32_t nColoursUsed = Read32(m_bytes, 46);

    if (nWidth <= 0 || nSignedHeight == 0)
        return EImageError::BadData;
    const bool bTopDown = nSignedHeight < 0;
    const std::int64_t nHeight = bTopDown ? -nSignedHeight : nSignedHeight;
    if (!IsImageSizeAccepted(static_cast<std::uint64_t>(nWidth),
                             static_cast<std::uint64_t>(nHeight)))
        return EImageError::TooLarge;

    const std::uint64_t nTablePos = FILE_HEADER_SIZE + nInfoSize;
    std::uint64_t nStride = 0;
    switch (m_nBits)
    {
    case 8:
        if (nCompression != BI_RGB)
            return EImageError::Unsupported;
        m_nColours = nColoursUsed == 0 || nColoursUsed > 256 ? 256 : nColoursUsed;
        if (!Has(nTablePos, std::uint64_t{4} * m_nColours))
            return EImageError::BadData;
        m_pPalette = m_bytes.data() + nTablePos;
        nStride = (static_cast<std::uint64_t>(nWidth) + 3) & ~std::uint64_t{3};
        break;
    case 24:
        if (nCompression != BI_RGB)
            return EImageError::Unsupported;
        nStride = (3 * static_cast<std::uint64_t>(nWidth) + 3) & ~std::uint64_t{3};
        break;
    case 32:
        if (nCompression == BI_BITFIELDS || nCompression == BI_ALPHABITFIELDS)
        {
            const EImageError eError = ReadMasks(nInfoSize, nCompression);
            if (eError != EImageError::None)
                return eError;
        }
        else if (nCompression != BI_RGB)
            return EImageError::Unsupported;
        nStride = 4 * static_cast<std::uint64_t>(nWidth);
        break;
    default:
        return EImageError::Unsupported;
    }

    // The pixel rows follow the header and lie wholly inside the file.
    if (nPixelOffset < nTablePos ||
        !Has(nPixelOffset, nStride * static_cast<std::uint64_t>(nHeight)))
        return EImageError::BadData;

    if (!image.Allocate(static_cast<int>(nWidth), static_cast<int>(nHeight)))
        return EImageError::OutOfMemory;
    const std::uint8_t* pRows = m_bytes.data() + nPixelOffset;
    for (int y = 0; y < image.m_nHeight; ++y)
    {
        const std::uint64_t nFileRow = bTopDown ? y : image.m_nHeight - 1 - y;
        ConvertRow(pRows + nFileRow * nStride, image.GetRow(y), image.m_nWidth);
    }

    if (m_alpha.IsPresent())
    {
        const std::size_t nBytes = image.GetByteCount();
        std::uint8_t* pPixels = image.m_pPixels.get();
        bool bAnyAlpha = false;
        for (std::size_t i = 3; i < nBytes && !bAnyAlpha; i += 4)
            bAnyAlpha = pPixels[i] != 0;
        if (!bAnyAlpha)
        {
            for (std::size_t i = 3; i < nBytes; i += 4)
                pPixels[i] = 255;
        }
    }
    return EImageError::None;
}

} // namespace

CImageData DecodeBmpMemory(std::span<const std::uint8_t> bytes, CImageDecodeStatus* pStatus)
{
    CImageData image;
    const EImageError eError = CBmpReader(bytes).Decode(image);
    if (eError != EImageError::None)
        image.Clear();
    SetDecodeStatus(pStatus, EImageFormat::Bmp, eError);
    return image;
}

CImageData DecodeBmpFile(const std::wstring& strPath, CImageDecodeStatus* pStatus)
{
    return DecodeImageFile(strPath, EImageFormat::Bmp, &DecodeBmpMemory, pStatus);
}
