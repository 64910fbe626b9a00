#include "res/PngDecoder.h"

#include "res/ImageFileBytes.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

namespace
{

constexpr std::size_t SIGNATURE_SIZE = 8;

// One decode's state. libpng reaches it through its error and I/O pointers; the jump back from
// an error lands in ReadPng, and this object outlives it, so nothing here is lost by the jump.
class CPngJob
{
public:
    explicit CPngJob(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    ~CPngJob()
    {
        if (m_pPng != nullptr)
            png_destroy_read_struct(&m_pPng, m_pInfo != nullptr ? &m_pInfo : nullptr, nullptr);
    }
    CPngJob(const CPngJob&) = delete;
    CPngJob& operator=(const CPngJob&) = delete;

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_nPos = SIGNATURE_SIZE;
    png_structp m_pPng = nullptr;
    png_infop m_pInfo = nullptr;
    CImageData m_image;
    std::unique_ptr<png_bytep[]> m_pRows;
    EImageError m_eError = EImageError::BadData; // what an error jump means
    char m_szMessage[128] = {};
};

void OnPngError(png_structp pPng, png_const_charp pszMessage)
{
    CPngJob* pJob = static_cast<CPngJob*>(png_get_error_ptr(pPng));
    std::size_t i = 0;
    for (; pszMessage != nullptr && pszMessage[i] != '\0' && i + 1 < sizeof(pJob->m_szMessage); ++i)
        pJob->m_szMessage[i] = pszMessage[i];
    pJob->m_szMessage[i] = '\0';
    png_longjmp(pPng, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp pPng, png_bytep pData, std::size_t nLength)
{
    CPngJob* pJob = static_cast<CPngJob*>(png_get_io_ptr(pPng));
    if (nLength > pJob->m_bytes.size() - pJob->m_nPos)
        png_error(pPng, "Read Error");
    std::memcpy(pData, pJob->m_bytes.data() + pJob->m_nPos, nLength);
    pJob->m_nPos += nLength;
}

// All libpng calls that may end in an error jump. Nothing here has a destructor, so the jump
// skips no clean-up; what was allocated is held by the job.
bool ReadPng(CPngJob& job)
{
    png_structp pPng = job.m_pPng;
    png_infop pInfo = job.m_pInfo;
    if (setjmp(png_jmpbuf(pPng)))
        return false;

    png_set_read_fn(pPng, &job, ReadFromMemory);
    png_set_sig_bytes(pPng, SIGNATURE_SIZE);
    png_set_user_limits(pPng, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
    png_read_info(pPng, pInfo);

    png_uint_32 nWidth = 0;
    png_uint_32 nHeight = 0;
    int nBitDepth = 0;
    int nColourType = 0;
    png_get_IHDR(pPng, pInfo, &nWidth, &nHeight, &nBitDepth, &nColourType, nullptr, nullptr,
                 nullptr);
    if (!IsImageSizeAccepted(nWidth, nHeight))
    {
        job.m_eError = EImageError::TooLarge;
        png_error(pPng, "PNG Image Loader: image too large");
    }
    if (nBitDepth == 16)
        png_set_strip_16(pPng);
    if (nColourType == PNG_COLOR_TYPE_PALETTE || nBitDepth < 8 ||
        png_get_valid(pPng, pInfo, PNG_INFO_tRNS))
        png_set_expand(pPng);
    if (nColourType == PNG_COLOR_TYPE_GRAY || nColourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(pPng);
    png_color_16p pBackground = nullptr;
    if (png_get_bKGD(pPng, pInfo, &pBackground))
        png_set_background(pPng, pBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    double dFileGamma = 0;
    if (png_get_gAMA(pPng, pInfo, &dFileGamma))
        png_set_gamma(pPng, 2.2, dFileGamma);
    png_set_interlace_handling(pPng);
    png_read_update_info(pPng, pInfo);

    const png_byte nChannels = png_get_channels(pPng, pInfo);
    // The rows are read straight into the RGBA record: a row of 3 channels fills the first three
    // quarters of its place and is spread out afterwards.
    if ((nChannels != 3 && nChannels != 4) || png_get_bit_depth(pPng, pInfo) != 8 ||
        png_get_rowbytes(pPng, pInfo) != std::size_t{nWidth} * nChannels)
        png_error(pPng, "PNG Image Loader: unexpected pixel format");
    job.m_eError = EImageError::OutOfMemory;
    if (!job.m_image.Allocate(static_cast<int>(nWidth), static_cast<int>(nHeight)))
        png_error(pPng, "PNG Image Loader: out of memory");
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the unique_ptr takes it
    job.m_pRows.reset(new (std::nothrow) png_bytep[nHeight]);
    if (job.m_pRows == nullptr)
        png_error(pPng, "PNG Image Loader: out of memory");
    job.m_eError = EImageError::BadData;
    for (png_uint_32 y = 0; y < nHeight; ++y)
        job.m_pRows[y] = job.m_image.GetRow(static_cast<int>(y));

    png_read_image(pPng, job.m_pRows.get());
    png_read_end(pPng, nullptr);

    if (nChannels == 3)
    {
        for (png_uint_32 y = 0; y < nHeight; ++y)
            ExpandRgbRowToRgba(job.m_pRows[y], static_cast<int>(nWidth));
    }
    return true;
}

// The size in the header, when the file starts with one, so that a refused size is told apart
// from other errors before libpng looks at the file; the size libpng reads is checked again.
bool HeaderTooLarge(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return false;
    const auto read32 = [&](std::size_t nPos)
    {
        return static_cast<std::uint32_t>(bytes[nPos]) << 24 | bytes[nPos + 1] << 16 |
               bytes[nPos + 2] << 8 | bytes[nPos + 3];
    };
    const std::uint32_t nWidth = read32(16);
    const std::uint32_t nHeight = read32(20);
    // A zero side is libpng's to report as bad data.
    return nWidth != 0 && nHeight != 0 && !IsImageSizeAccepted(nWidth, nHeight);
}

} // namespace

CImageData DecodePngMemory(std::span<const std::uint8_t> bytes, CImageDecodeStatus* pStatus)
{
    if (bytes.size() < SIGNATURE_SIZE || png_sig_cmp(bytes.data(), 0, SIGNATURE_SIZE) != 0)
    {
        SetDecodeStatus(pStatus, EImageFormat::Png, EImageError::NotThisType);
        return {};
    }
    if (HeaderTooLarge(bytes))
    {
        SetDecodeStatus(pStatus, EImageFormat::Png, EImageError::TooLarge);
        return {};
    }

    CPngJob job(bytes);
    job.m_pPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
    if (job.m_pPng != nullptr)
        job.m_pInfo = png_create_info_struct(job.m_pPng);
    if (job.m_pPng == nullptr || job.m_pInfo == nullptr)
    {
        SetDecodeStatus(pStatus, EImageFormat::Png, EImageError::OutOfMemory);
        return {};
    }
    if (!ReadPng(job))
    {
        SetDecodeStatus(pStatus, EImageFormat::Png, job.m_eError, job.m_szMessage);
        return {};
    }
    SetDecodeStatus(pStatus, EImageFormat::Png, EImageError::None);
    return std::move(job.m_image);
}

CImageData DecodePngFile(const std::wstring& strPath, CImageDecodeStatus* pStatus)
{
    return DecodeImageFile(strPath, EImageFormat::Png, &DecodePngMemory, pStatus);
}
