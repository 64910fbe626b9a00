#include "res/ImageData.h"

#include <new>
#include <utility>

bool CImageData::Allocate(int nWidth, int nHeight)
{
    Clear();
    if (nWidth < 1 || nHeight < 1 ||
        !IsImageSizeAccepted(static_cast<std::uint64_t>(nWidth),
                             static_cast<std::uint64_t>(nHeight)))
        return false;
    const std::size_t nBytes =
        static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight) * 4;
    // Not value-initialised: a decoder overwrites every byte, and a huge image that fails on its
    // first rows then never touches most of its pages.
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the unique_ptr takes it
    m_pPixels.reset(new (std::nothrow) std::uint8_t[nBytes]);
    if (m_pPixels == nullptr)
        return false;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    return true;
}

void CImageData::Clear()
{
    m_pPixels.reset();
    m_nWidth = 0;
    m_nHeight = 0;
}

std::size_t CImageData::GetByteCount() const
{
    return IsEmpty() ? 0 : GetRowBytes() * static_cast<std::size_t>(m_nHeight);
}

void ExpandRgbRowToRgba(std::uint8_t* pRow, int nWidth)
{
    // Back to front, so no triple is overwritten before it has been moved.
    for (std::size_t x = nWidth > 0 ? static_cast<std::size_t>(nWidth) : 0; x-- > 0;)
    {
        const std::uint8_t r = pRow[3 * x];
        const std::uint8_t g = pRow[3 * x + 1];
        const std::uint8_t b = pRow[3 * x + 2];
        pRow[4 * x] = r;
        pRow[4 * x + 1] = g;
        pRow[4 * x + 2] = b;
        pRow[4 * x + 3] = 255;
    }
}

void SetDecodeStatus(CImageDecodeStatus* pStatus, EImageFormat eFormat, EImageError eError,
                     std::string strMessage)
{
    if (pStatus == nullptr)
        return;
    pStatus->m_eFormat = eFormat;
    pStatus->m_eError = eError;
    pStatus->m_strMessage = std::move(strMessage);
}
