#include "net/CurlGlobal.h"

#include <curl/curl.h>

#include <mutex>

namespace
{

std::mutex s_mutex;
int s_nHolders = 0;

} // namespace

CCurlGlobal::CCurlGlobal()
{
    // Only the outermost holder sets libcurl up, so nested holders (a test environment around the
    // program's own) neither repeat nor end it early.
    const std::lock_guard<std::mutex> lock(s_mutex);
    if (s_nHolders++ == 0)
        curl_global_init(CURL_GLOBAL_ALL);
}

CCurlGlobal::~CCurlGlobal()
{
    const std::lock_guard<std::mutex> lock(s_mutex);
    if (--s_nHolders == 0)
        curl_global_cleanup();
}
