// The decoders' common result: an image as RGBA bytes, and why a decode gave nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// No decoder hands out an image wider or taller than MAX_IMAGE_SIDE, or of more pixels than
// MAX_IMAGE_PIXELS (4096 × 2048, a 4K screen fits): the interface's pictures are far smaller, and
// a few bytes of a compressed file can claim gigabytes. Bigger ones are refused from their header,
// before anything is allocated or decoded.
inline constexpr int MAX_IMAGE_SIDE = 4096;
inline constexpr std::uint64_t MAX_IMAGE_PIXELS = std::uint64_t{4096} * 2048;

// Whether a decoder may hand out an image of this size (both sides 1 or more, within the limits).
constexpr bool IsImageSizeAccepted(std::uint64_t nWidth, std::uint64_t nHeight)
{
    return nWidth >= 1 && nHeight >= 1 && nWidth <= MAX_IMAGE_SIDE && nHeight <= MAX_IMAGE_SIDE &&
           nWidth * nHeight <= MAX_IMAGE_PIXELS;
}

class CImageData
{
public:
    // Makes room for width × height pixels, left uninitialised. False (and the record stays
    // empty) for a size IsImageSizeAccepted refuses or when the memory is not there.
    [[nodiscard]] bool Allocate(int nWidth, int nHeight);
    void Clear();

    bool IsEmpty() const { return m_pPixels == nullptr; }
    std::size_t GetByteCount() const;
    std::size_t GetRowBytes() const { return static_cast<std::size_t>(m_nWidth) * 4; }
    std::uint8_t* GetRow(int y)
    {
        return m_pPixels.get() + GetRowBytes() * static_cast<std::size_t>(y);
    }
    const std::uint8_t* GetRow(int y) const
    {
        return m_pPixels.get() + GetRowBytes() * static_cast<std::size_t>(y);
    }
    // R, G, B, A of one pixel.
    const std::uint8_t* GetPixel(int x, int y) const
    {
        return GetRow(y) + 4 * static_cast<std::size_t>(x);
    }

    std::wstring m_strPath;
    int m_nWidth = 0;
    int m_nHeight = 0;
    // Rows top to bottom, pixels left to right, each R, G, B, A; null when nothing was decoded.
    std::unique_ptr<std::uint8_t[]> m_pPixels;
};

// Spreads a row whose first 3 × width bytes are R, G, B triples out to R, G, B, 255 in place.
// The row must have room for 4 × width bytes.
void ExpandRgbRowToRgba(std::uint8_t* pRow, int nWidth);

enum class EImageFormat
{
    Unknown, // the path's ending names no decoder
    Bmp,
    Jpeg,
    Png,
};

enum class [[nodiscard]] EImageError{
    None,
    UnknownType, // no decoder for the path's ending
    CannotOpen,  // missing or unreadable file
    NotThisType, // the file does not start like one of its kind
    Unsupported, // a valid file of a kind this program does not decode (compression, depth)
    TooLarge,    // a size IsImageSizeAccepted refuses, or a file too big to be an image
    BadData,     // truncated or inconsistent data
    OutOfMemory,
};

// What a decode reports besides the image. The image is empty exactly when m_eError is not None.
class CImageDecodeStatus
{
public:
    bool Failed() const { return m_eError != EImageError::None; }
    // A PNG that could not be decoded is reported to the user as "File not found: %s" before the
    // loader's own report; no other decoder has a message of its own.
    bool ReportsFileNotFound() const { return m_eFormat == EImageFormat::Png && Failed(); }

    EImageFormat m_eFormat = EImageFormat::Unknown;
    EImageError m_eError = EImageError::None;
    // The decoding library's message when it stopped the decode ("Read Error", ...); may be empty.
    std::string m_strMessage;
};

// Fills *pStatus when the caller asked for it (pStatus not null).
void SetDecodeStatus(CImageDecodeStatus* pStatus, EImageFormat eFormat, EImageError eError,
                     std::string strMessage = {});
