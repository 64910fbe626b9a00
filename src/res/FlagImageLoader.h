// How the game model gets the flag pictures of its entries and players without knowing how a
// picture is made: the program with windows installs a loader (FlagImages.h); without one (the
// command-line tools) no flag is loaded. The loader is used on the user-interface thread only.
#pragma once

#include <memory>
#include <string>

class CMaskedBitmap;

class CFlagImageLoader
{
public:
    virtual ~CFlagImageLoader();

    // The picture of strFlagName in Data/Images/Flags/. The name is a plain file name (see
    // IsPlainFlagName) or empty, which asks for an empty picture. A file that cannot be loaded
    // gives what the loader shows for it; null means no picture at all.
    virtual std::shared_ptr<CMaskedBitmap> Load(const std::wstring& strFlagName) = 0;
};

// The loader in use; null (the default) loads no flag.
extern CFlagImageLoader* g_pFlagImageLoader;

// Installs a loader for its lifetime and puts the previous one back.
class CFlagImageLoaderScope
{
public:
    explicit CFlagImageLoaderScope(CFlagImageLoader& loader);
    ~CFlagImageLoaderScope();
    CFlagImageLoaderScope(const CFlagImageLoaderScope&) = delete;
    CFlagImageLoaderScope& operator=(const CFlagImageLoaderScope&) = delete;

private:
    CFlagImageLoader* m_pPrevious;
};

// A flag name comes from the shared game list: only a plain, non-empty file name may be loaded
// ("/", "\", "." and ".." would reach outside the flags folder).
bool IsPlainFlagName(const std::wstring& strFlagName);
