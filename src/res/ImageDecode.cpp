#include "res/ImageDecode.h"

#include "res/BmpDecoder.h"
#include "res/JpegDecoder.h"
#include "res/PngDecoder.h"

#include <string_view>

CImageData DecodeImageFile(const std::wstring& strPath, CImageDecodeStatus* pStatus)
{
    const std::wstring_view path(strPath);
    if (path.ends_with(L".bmp"))
        return DecodeBmpFile(strPath, pStatus);
    if (path.ends_with(L".jpg") || path.ends_with(L".jpeg"))
        return DecodeJpegFile(strPath, pStatus);
    if (path.ends_with(L".png"))
        return DecodePngFile(strPath, pStatus);
    SetDecodeStatus(pStatus, EImageFormat::Unknown, EImageError::UnknownType);
    return {};
}
