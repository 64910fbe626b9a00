// The flag pictures of the program with windows: CMaskedBitmaps loaded from Data/Images/Flags/.
#pragma once

#include "res/FlagImageLoader.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

class CMaskedBitmap;

// Loads a flag picture into bitmap. A name that is not a plain file name loads nothing and
// leaves the bitmap as it is; a file that fails is reported as CMaskedBitmap::Load does.
bool LoadFlagImage(CMaskedBitmap& bitmap, const std::wstring& strFlagName);

// Never gives null: an empty name or one that is not a plain file name gives an empty picture
// (width 0), a file that fails the 10 × 10 black one of CMaskedBitmap::Load. Entries and players
// that name one file share one picture, read (or reported) once while any of them holds it: a
// list of a hundred games has a handful of flags.
class CBitmapFlagLoader : public CFlagImageLoader
{
public:
    std::shared_ptr<CMaskedBitmap> Load(const std::wstring& strFlagName) override;

private:
    std::unordered_map<std::wstring, std::weak_ptr<CMaskedBitmap>> m_mapShared;
    std::size_t m_nPruneAt = 64; // the map's size at which pictures no longer held are dropped
};
