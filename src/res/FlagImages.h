// The flag pictures of the program with windows: CMaskedBitmaps loaded from Data/Images/Flags/.
#pragma once

#include "res/FlagImageLoader.h"

#include <memory>
#include <string>

class CMaskedBitmap;

// Loads a flag picture into bitmap. A name that is not a plain file name loads nothing and
// leaves the bitmap as it is; a file that fails is reported as CMaskedBitmap::Load does.
bool LoadFlagImage(CMaskedBitmap& bitmap, const std::wstring& strFlagName);

// Never gives null: an empty name or one that is not a plain file name gives an empty picture
// (width 0), a file that fails the 10 × 10 black one of CMaskedBitmap::Load.
class CBitmapFlagLoader : public CFlagImageLoader
{
public:
    std::shared_ptr<CMaskedBitmap> Load(const std::wstring& strFlagName) override;
};
