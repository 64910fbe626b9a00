#include "ImageSet.h"

#include "ImageWriters.h"

ImageSet BuildImageSet()
{
    ImageSet set;
    AddSkinFrame(set);
    AddSkinButtons(set);
    AddWindowIcons(set);
    AddFlags(set);
    AddAppIcons(set);
    return set;
}

const SImageFile* FindImage(const ImageSet& set, const std::string& strPath)
{
    for (const SImageFile& file : set)
        if (file.strPath == strPath)
            return &file;
    return nullptr;
}

std::vector<std::string> WriteImageSet(const ImageSet& set, const std::filesystem::path& folder)
{
    std::vector<std::string> failed;
    for (const SImageFile& file : set)
    {
        ByteVector bytes;
        switch (file.eForm)
        {
        case EFileForm::Bmp24:
            bytes = EncodeBmp24(file.canvas);
            break;
        case EFileForm::Bmp8:
            bytes = EncodeBmp8(file.canvas);
            break;
        case EFileForm::Png:
            bytes = EncodePng(file.canvas);
            break;
        }
        if (bytes.empty() || !WriteFileBytes(folder / file.strPath, bytes))
            failed.push_back(file.strPath);
    }
    return failed;
}
