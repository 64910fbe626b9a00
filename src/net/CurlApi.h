// libcurl, loaded on the first transfer rather than linked: the program shows its window before it
// pays for mapping libcurl and what it pulls in. The table holds exactly the functions this engine
// calls. CurlApi() loads the library and runs its global set-up once (thread-safe) and returns null
// for good when the library or one of its functions is missing; a transfer then fails as on any
// network error. The library stays loaded for the rest of the process.
#pragma once

#include <curl/curl.h>

struct SCurlApi
{
    decltype(&curl_global_init) m_pfnGlobalInit;
    decltype(&curl_global_cleanup) m_pfnGlobalCleanup;
    decltype(&curl_easy_init) m_pfnEasyInit;
    // Called through the pointer, so curl's type-checking macro does not apply: numeric options
    // must be passed as long.
    decltype(&curl_easy_setopt) m_pfnEasySetopt;
    decltype(&curl_easy_cleanup) m_pfnEasyCleanup;
    decltype(&curl_multi_init) m_pfnMultiInit;
    decltype(&curl_multi_setopt) m_pfnMultiSetopt;
    decltype(&curl_multi_cleanup) m_pfnMultiCleanup;
    decltype(&curl_multi_add_handle) m_pfnMultiAddHandle;
    decltype(&curl_multi_remove_handle) m_pfnMultiRemoveHandle;
    decltype(&curl_multi_perform) m_pfnMultiPerform;
    decltype(&curl_multi_timeout) m_pfnMultiTimeout;
    decltype(&curl_multi_poll) m_pfnMultiPoll;
    decltype(&curl_multi_info_read) m_pfnMultiInfoRead;
    decltype(&curl_mime_init) m_pfnMimeInit;
    decltype(&curl_mime_addpart) m_pfnMimeAddpart;
    decltype(&curl_mime_name) m_pfnMimeName;
    decltype(&curl_mime_data) m_pfnMimeData;
    decltype(&curl_mime_filedata) m_pfnMimeFiledata;
    decltype(&curl_mime_free) m_pfnMimeFree;
    decltype(&curl_slist_append) m_pfnSlistAppend;
    decltype(&curl_slist_free_all) m_pfnSlistFreeAll;
};

// Loads libcurl on the first call; null when it cannot be used.
const SCurlApi* CurlApi();
// The table if an earlier CurlApi() loaded it, else null; never loads.
const SCurlApi* LoadedCurlApi();
