#include "res/FlagImages.h"

#include "app/InstallFolder.h"
#include "res/MaskedBitmap.h"

bool LoadFlagImage(CMaskedBitmap& bitmap, const std::wstring& strFlagName)
{
    if (!IsPlainFlagName(strFlagName))
        return false;
    return bitmap.Load(std::wstring(PATH_FLAGS_FOLDER) + strFlagName);
}

std::shared_ptr<CMaskedBitmap> CBitmapFlagLoader::Load(const std::wstring& strFlagName)
{
    auto pBitmap = std::make_shared<CMaskedBitmap>();
    LoadFlagImage(*pBitmap, strFlagName);
    return pBitmap;
}
