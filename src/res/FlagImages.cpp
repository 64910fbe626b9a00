#include "res/FlagImages.h"

#include "install/InstallFolder.h"
#include "res/MaskedBitmap.h"

bool LoadFlagImage(CMaskedBitmap& bitmap, const std::wstring& strFlagName)
{
    if (!IsPlainFlagName(strFlagName))
        return false;
    return bitmap.Load(std::wstring(PATH_FLAGS_FOLDER) + strFlagName);
}

std::shared_ptr<CMaskedBitmap> CBitmapFlagLoader::Load(const std::wstring& strFlagName)
{
    if (!IsPlainFlagName(strFlagName))
        return std::make_shared<CMaskedBitmap>();
    std::weak_ptr<CMaskedBitmap>& shared = m_mapShared[strFlagName];
    if (std::shared_ptr<CMaskedBitmap> pBitmap = shared.lock())
        return pBitmap;
    auto pBitmap = std::make_shared<CMaskedBitmap>();
    LoadFlagImage(*pBitmap, strFlagName);
    shared = pBitmap;
    if (m_mapShared.size() >= m_nPruneAt)
    {
        std::erase_if(m_mapShared, [](const auto& entry) { return entry.second.expired(); });
        m_nPruneAt = 2 * m_mapShared.size() + 64;
    }
    return pBitmap;
}
