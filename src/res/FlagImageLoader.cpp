#include "res/FlagImageLoader.h"

CFlagImageLoader* g_pFlagImageLoader = nullptr;

CFlagImageLoader::~CFlagImageLoader() = default;

CFlagImageLoaderScope::CFlagImageLoaderScope(CFlagImageLoader& loader)
    : m_pPrevious(g_pFlagImageLoader)
{
    g_pFlagImageLoader = &loader;
}

CFlagImageLoaderScope::~CFlagImageLoaderScope()
{
    g_pFlagImageLoader = m_pPrevious;
}

bool IsPlainFlagName(const std::wstring& strFlagName)
{
    return !strFlagName.empty() && strFlagName != L"." && strFlagName != L".." &&
           strFlagName.find_first_of(L"/\\") == std::wstring::npos;
}
