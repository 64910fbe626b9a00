// Options given to libcurl, every one checked. A refused option means the request would not be
// the one meant (above all, one without the HTTP-only limit), so the caller fails the transfer
// instead of running it. A refusal is told on standard error.
#pragma once

#include "net/CurlApi.h"

#include <type_traits>

class CCurlEasyOptions
{
public:
    CCurlEasyOptions(const SCurlApi& api, CURL* pEasy) : m_api(api), m_pEasy(pEasy) {}

    // True when libcurl took the option. Numeric options are long (the table's setopt is called
    // through a pointer, so curl's own type check does not apply).
    template <typename TValue> [[nodiscard]] bool Set(CURLoption nOption, TValue value)
    {
        return Told(nOption, Apply(nOption, value));
    }

    // Limits the request and any redirect to HTTP and HTTPS: by the protocols' names, or, from a
    // libcurl older than 7.85 that does not know those options, by their bit masks. False when
    // libcurl takes neither: the request must not run without the limit.
    [[nodiscard]] bool LimitToHttp();

private:
    // The one call of libcurl's setopt.
    template <typename TValue> CURLcode Apply(CURLoption nOption, TValue value)
    {
        static_assert(std::is_same_v<TValue, long> || std::is_pointer_v<TValue>,
                      "libcurl reads an option as a long or a pointer");
        return m_api.m_pfnEasySetopt(m_pEasy, nOption, value);
    }
    bool Told(CURLoption nOption, CURLcode nCode) const;

    const SCurlApi& m_api;
    CURL* m_pEasy;
};

// The same for an option of the multi handle.
[[nodiscard]] bool SetMultiOption(const SCurlApi& api, CURLM* pMulti, CURLMoption nOption,
                                  long nValue);
