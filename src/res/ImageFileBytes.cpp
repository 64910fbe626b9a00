#include "res/ImageFileBytes.h"

#include "base/FileIo.h"

#include <new>

EImageError ReadImageFileBytes(const std::wstring& strPath, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    std::string content;
    switch (ReadWholeFile(strPath, content, MAX_IMAGE_FILE_BYTES).eResult)
    {
    case EFileRead::Ok:
        break;
    case EFileRead::TooLarge:
        return EImageError::TooLarge;
    default:
        return EImageError::CannotOpen;
    }
    try
    {
        bytes.assign(content.begin(), content.end());
    }
    catch (const std::bad_alloc&)
    {
        return EImageError::OutOfMemory;
    }
    return EImageError::None;
}

CImageData DecodeImageFile(const std::wstring& strPath, EImageFormat eFormat,
                           FDecodeImageMemory fnDecode, CImageDecodeStatus* pStatus)
{
    std::vector<std::uint8_t> bytes;
    const EImageError eError = ReadImageFileBytes(strPath, bytes);
    if (eError != EImageError::None)
    {
        SetDecodeStatus(pStatus, eFormat, eError);
        return {};
    }
    CImageData image = fnDecode(bytes, pStatus);
    if (!image.IsEmpty())
        image.m_strPath = strPath;
    return image;
}
