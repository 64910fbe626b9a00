#include "net/CurlOptions.h"

#include <cstdio>

namespace
{

// The options libcurl 7.85 replaced by the named ones, and the masks they take: libcurl's
// numbers, kept here because newer headers mark the names deprecated.
constexpr CURLoption kOptProtocols = static_cast<CURLoption>(181);
constexpr CURLoption kOptRedirProtocols = static_cast<CURLoption>(182);
constexpr long kProtoHttp = 1L << 0;
constexpr long kProtoHttps = 1L << 1;

} // namespace

bool CCurlEasyOptions::LimitToHttp()
{
    // Tried quietly: an older library refusing them is expected, and the masks follow.
    if (Apply(CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        Apply(CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK)
        return true;
    return Set(kOptProtocols, kProtoHttp | kProtoHttps) &&
           Set(kOptRedirProtocols, kProtoHttp | kProtoHttps);
}

bool CCurlEasyOptions::Told(CURLoption nOption, CURLcode nCode) const
{
    if (nCode == CURLE_OK)
        return true;
    std::fprintf(stderr, "E: curl_easy_setopt %d: %d\n", static_cast<int>(nOption),
                 static_cast<int>(nCode));
    return false;
}

bool SetMultiOption(const SCurlApi& api, CURLM* pMulti, CURLMoption nOption, long nValue)
{
    const CURLMcode nCode = api.m_pfnMultiSetopt(pMulti, nOption, nValue);
    if (nCode == CURLM_OK)
        return true;
    std::fprintf(stderr, "E: curl_multi_setopt %d: %d\n", static_cast<int>(nOption),
                 static_cast<int>(nCode));
    return false;
}
