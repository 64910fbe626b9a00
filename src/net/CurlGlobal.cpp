#include "net/CurlGlobal.h"

#include "net/CurlApi.h"

#include <mutex>

namespace
{

std::mutex s_mutex;
int s_nHolders = 0;
bool s_bCleanedUp = false; // the loaded library's clean-up ran and no set-up followed yet

} // namespace

CCurlGlobal::CCurlGlobal()
{
    // Only the outermost holder counts, so nested holders (a test environment around the program's
    // own) neither repeat the set-up nor end it early. The first load sets libcurl up; only a
    // library cleaned up by an earlier holder needs it again here.
    const std::lock_guard<std::mutex> lock(s_mutex);
    if (s_nHolders++ == 0 && s_bCleanedUp)
    {
        if (const SCurlApi* pApi = LoadedCurlApi())
            pApi->m_pfnGlobalInit(CURL_GLOBAL_ALL);
        s_bCleanedUp = false;
    }
}

CCurlGlobal::~CCurlGlobal()
{
    const std::lock_guard<std::mutex> lock(s_mutex);
    if (--s_nHolders != 0)
        return;
    if (const SCurlApi* pApi = LoadedCurlApi())
    {
        pApi->m_pfnGlobalCleanup();
        s_bCleanedUp = true;
    }
}
