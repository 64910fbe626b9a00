#include "res/JpegDecoder.h"

#include "res/ImageFileBytes.h"

#include <cstdio> // jpeglib.h needs FILE
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>

namespace
{

// libjpeg's error manager extended by the jump back and what went wrong. Its default error exit
// would end the program.
class CJpegErrors
{
public:
    jpeg_error_mgr m_manager;
    std::jmp_buf m_jump;
    EImageError m_eError = EImageError::BadData;
    bool m_bTruncated = false;
    char m_szMessage[JMSG_LENGTH_MAX] = {};
};

void OnJpegError(j_common_ptr pInfo)
{
    CJpegErrors* pErrors = reinterpret_cast<CJpegErrors*>(pInfo->err);
    pInfo->err->format_message(pInfo, pErrors->m_szMessage);
    std::longjmp(pErrors->m_jump, 1);
}

void OnJpegMessage(j_common_ptr pInfo, int nLevel)
{
    // Level -1 is a warning about the data; only the premature end matters to us, as libjpeg
    // fills the missing rest with grey.
    if (nLevel < 0 && pInfo->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<CJpegErrors*>(pInfo->err)->m_bTruncated = true;
}

void OnJpegOutput(j_common_ptr) {}

// All libjpeg calls that may end in an error jump; see CPngJob for why nothing here owns memory.
bool ReadJpeg(jpeg_decompress_struct& info, CJpegErrors& errors,
              std::span<const std::uint8_t> bytes, CImageData& image)
{
    if (setjmp(errors.m_jump))
        return false;

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    // Checked before jpeg_start_decompress, which already allocates by the size (a progressive
    // file's whole coefficient buffer).
    if (!IsImageSizeAccepted(info.image_width, info.image_height))
    {
        errors.m_eError = EImageError::TooLarge;
        return false;
    }
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
    {
        errors.m_eError = EImageError::Unsupported;
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width != info.image_width ||
        info.output_height != info.image_height)
        return false;
    if (!image.Allocate(static_cast<int>(info.output_width), static_cast<int>(info.output_height)))
    {
        errors.m_eError = EImageError::OutOfMemory;
        return false;
    }
    // A file that ended is refused anyway: the rest of its rows would only be grey filler.
    while (info.output_scanline < info.output_height && !errors.m_bTruncated)
    {
        JSAMPROW pRow = image.GetRow(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &pRow, 1);
        ExpandRgbRowToRgba(pRow, image.m_nWidth);
    }
    // Missing data shows up while the rows are read; a file that lacks only its end marker
    // still had the whole image.
    if (errors.m_bTruncated)
        return false;
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

CImageData DecodeJpegMemory(std::span<const std::uint8_t> bytes, CImageDecodeStatus* pStatus)
{
    if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF)
    {
        SetDecodeStatus(pStatus, EImageFormat::Jpeg, EImageError::NotThisType);
        return {};
    }
    jpeg_decompress_struct info{};
    CJpegErrors errors;
    info.err = jpeg_std_error(&errors.m_manager);
    errors.m_manager.error_exit = OnJpegError;
    errors.m_manager.emit_message = OnJpegMessage;
    errors.m_manager.output_message = OnJpegOutput;

    CImageData image;
    const bool bDecoded = ReadJpeg(info, errors, bytes, image);
    jpeg_destroy_decompress(&info);
    if (!bDecoded)
    {
        if (errors.m_bTruncated)
            errors.m_eError = EImageError::BadData;
        SetDecodeStatus(pStatus, EImageFormat::Jpeg, errors.m_eError, errors.m_szMessage);
        return {};
    }
    SetDecodeStatus(pStatus, EImageFormat::Jpeg, EImageError::None);
    return image;
}

CImageData DecodeJpegFile(const std::wstring& strPath, CImageDecodeStatus* pStatus)
{
    return DecodeImageFile(strPath, EImageFormat::Jpeg, &DecodeJpegMemory, pStatus);
}
