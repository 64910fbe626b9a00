#include "net/CurlApi.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace
{

std::once_flag s_loadOnce;
SCurlApi s_api{};
std::atomic<const SCurlApi*> s_pLoaded{nullptr};

template <typename TFn> bool Resolve(void* hLibrary, const char* pszName, TFn& pfn)
{
    pfn = reinterpret_cast<TFn>(dlsym(hLibrary, pszName));
    if (pfn == nullptr)
        std::fprintf(stderr, "E: libcurl lacks %s\n", pszName);
    return pfn != nullptr;
}

void Load()
{
    // RTLD_LOCAL: libcurl's dependencies stay out of the global symbol scope.
    void* hLibrary = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (hLibrary == nullptr)
    {
        const char* pszError = dlerror();
        std::fprintf(stderr, "E: cannot load libcurl: %s\n", pszError != nullptr ? pszError : "?");
        return;
    }
    SCurlApi& api = s_api;
    const bool bOk = Resolve(hLibrary, "curl_global_init", api.m_pfnGlobalInit) &&
                     Resolve(hLibrary, "curl_global_cleanup", api.m_pfnGlobalCleanup) &&
                     Resolve(hLibrary, "curl_easy_init", api.m_pfnEasyInit) &&
                     Resolve(hLibrary, "curl_easy_setopt", api.m_pfnEasySetopt) &&
                     Resolve(hLibrary, "curl_easy_cleanup", api.m_pfnEasyCleanup) &&
                     Resolve(hLibrary, "curl_multi_init", api.m_pfnMultiInit) &&
                     Resolve(hLibrary, "curl_multi_setopt", api.m_pfnMultiSetopt) &&
                     Resolve(hLibrary, "curl_multi_cleanup", api.m_pfnMultiCleanup) &&
                     Resolve(hLibrary, "curl_multi_add_handle", api.m_pfnMultiAddHandle) &&
                     Resolve(hLibrary, "curl_multi_remove_handle", api.m_pfnMultiRemoveHandle) &&
                     Resolve(hLibrary, "curl_multi_perform", api.m_pfnMultiPerform) &&
                     Resolve(hLibrary, "curl_multi_timeout", api.m_pfnMultiTimeout) &&
                     Resolve(hLibrary, "curl_multi_poll", api.m_pfnMultiPoll) &&
                     Resolve(hLibrary, "curl_multi_info_read", api.m_pfnMultiInfoRead) &&
                     Resolve(hLibrary, "curl_mime_init", api.m_pfnMimeInit) &&
                     Resolve(hLibrary, "curl_mime_addpart", api.m_pfnMimeAddpart) &&
                     Resolve(hLibrary, "curl_mime_name", api.m_pfnMimeName) &&
                     Resolve(hLibrary, "curl_mime_data", api.m_pfnMimeData) &&
                     Resolve(hLibrary, "curl_mime_filedata", api.m_pfnMimeFiledata) &&
                     Resolve(hLibrary, "curl_mime_free", api.m_pfnMimeFree) &&
                     Resolve(hLibrary, "curl_slist_append", api.m_pfnSlistAppend) &&
                     Resolve(hLibrary, "curl_slist_free_all", api.m_pfnSlistFreeAll);
    // The library stays loaded even when unusable; a half-resolved table is never handed out.
    if (!bOk)
        return;
    if (api.m_pfnGlobalInit(CURL_GLOBAL_ALL) != CURLE_OK)
    {
        std::fputs("E: curl_global_init\n", stderr);
        return;
    }
    s_pLoaded.store(&s_api, std::memory_order_release);
}

} // namespace

const SCurlApi* CurlApi()
{
    std::call_once(s_loadOnce, Load);
    return s_pLoaded.load(std::memory_order_acquire);
}

const SCurlApi* LoadedCurlApi()
{
    return s_pLoaded.load(std::memory_order_acquire);
}
