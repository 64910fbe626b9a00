#include "res/MaskedBitmap.h"

namespace
{
CImageLoader* g_pImageLoader = nullptr;
}

void SetImageLoader(CImageLoader* pLoader)
{
    g_pImageLoader = pLoader;
}

bool CMaskedBitmap::Load(const std::wstring& path, COLORREF rgbBackground)
{
    return g_pImageLoader != nullptr && g_pImageLoader->LoadInto(*this, path, rgbBackground);
}
