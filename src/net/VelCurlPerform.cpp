// The transfer itself: one easy handle driven by a multi handle on the calling thread.
#include "net/VelCurlTransfer.h"

#include "net/CurlApi.h"

#include <algorithm>
#include <cstdio>

namespace
{

// A wait never lasts longer than this, so that m_bAbort set by another thread is seen promptly.
constexpr long ABORT_CHECK_MS = 100;
// libcurl's "no timeout of its own" (-1) waits this long.
constexpr long IDLE_WAIT_MS = 500;

// Everything Perform allocates from libcurl, released in the order libcurl asks for: the easy
// handle leaves the multi handle before either is cleaned up, and the form and header list outlive
// the easy handle that uses them.
class CCurlHandles
{
public:
    explicit CCurlHandles(const SCurlApi& api) : m_api(api) {}
    CCurlHandles(const CCurlHandles&) = delete;
    CCurlHandles& operator=(const CCurlHandles&) = delete;
    ~CCurlHandles()
    {
        ReleaseEasy();
        if (m_pMulti != nullptr)
            m_api.m_pfnMultiCleanup(m_pMulti);
        m_api.m_pfnMimeFree(m_pMime);
        m_api.m_pfnSlistFreeAll(m_pHeaders);
    }

    void ReleaseEasy()
    {
        if (m_pEasy == nullptr)
            return;
        if (m_bAdded)
            m_api.m_pfnMultiRemoveHandle(m_pMulti, m_pEasy);
        m_api.m_pfnEasyCleanup(m_pEasy);
        m_pEasy = nullptr;
        m_bAdded = false;
    }

    const SCurlApi& m_api;
    CURLM* m_pMulti = nullptr;
    CURL* m_pEasy = nullptr;
    bool m_bAdded = false;
    curl_mime* m_pMime = nullptr;
    curl_slist* m_pHeaders = nullptr;
};

} // namespace

bool CVelCurlTransfer::Perform()
{
    m_bRunning = true;
    m_bSucceeded = false;
    m_bFailed = false;
    m_bHostNotFound = false;
    m_bAborted = false;
    m_listBlocks.clear();
    m_nResponseBytes = 0;

    // libcurl's global set-up is not done here: loading it does that once for the process.
    const bool bOk = RunMulti();
    if (!bOk)
        m_bFailed = true;
    m_bRunning = false;
    return bOk;
}

bool CVelCurlTransfer::RunMulti()
{
    // A library that cannot be loaded fails the transfer like any other failure to start it.
    const SCurlApi* pApi = CurlApi();
    if (pApi == nullptr)
        return false;
    const SCurlApi& api = *pApi;
    CCurlHandles handles(api);
    handles.m_pMulti = api.m_pfnMultiInit();
    if (handles.m_pMulti == nullptr)
        return false;
    api.m_pfnMultiSetopt(handles.m_pMulti, CURLMOPT_MAXCONNECTS, 10L);

    handles.m_pEasy = api.m_pfnEasyInit();
    if (handles.m_pEasy == nullptr)
        return false;
    CURL* pEasy = handles.m_pEasy;
    const std::string strURL = BuildEffectiveURL();
    api.m_pfnEasySetopt(pEasy, CURLOPT_WRITEFUNCTION, &CVelCurlTransfer::OnCurlWrite);
    api.m_pfnEasySetopt(pEasy, CURLOPT_WRITEDATA, this);
    api.m_pfnEasySetopt(pEasy, CURLOPT_HEADER, 0L);
    api.m_pfnEasySetopt(pEasy, CURLOPT_URL, strURL.c_str());
    api.m_pfnEasySetopt(pEasy, CURLOPT_PRIVATE, const_cast<char*>(m_strURL.c_str()));
    api.m_pfnEasySetopt(pEasy, CURLOPT_VERBOSE, 0L);
    if (m_nTimeout > 0)
        api.m_pfnEasySetopt(pEasy, CURLOPT_TIMEOUT, static_cast<long>(m_nTimeout));
    // Worker threads must not get libcurl's alarm signals.
    api.m_pfnEasySetopt(pEasy, CURLOPT_NOSIGNAL, 1L);
    // The URL may come from the environment; this engine speaks HTTP only (no file:// and such).
    api.m_pfnEasySetopt(pEasy, CURLOPT_PROTOCOLS_STR, "http,https");

    if (!m_listFormFields.empty() || !m_listFormFiles.empty())
    {
        handles.m_pMime = api.m_pfnMimeInit(pEasy);
        if (handles.m_pMime == nullptr)
            return false;
        for (const auto& pField : m_listFormFields)
        {
            curl_mimepart* pPart = api.m_pfnMimeAddpart(handles.m_pMime);
            api.m_pfnMimeName(pPart, pField->m_strName.c_str());
            api.m_pfnMimeData(pPart, pField->m_strValue.data(), pField->m_strValue.size());
        }
        for (const auto& pFile : m_listFormFiles)
        {
            curl_mimepart* pPart = api.m_pfnMimeAddpart(handles.m_pMime);
            api.m_pfnMimeName(pPart, pFile->m_strName.c_str());
            // A file that cannot be read is reported when the body is sent: the transfer fails.
            api.m_pfnMimeFiledata(pPart, pFile->m_strValue.c_str());
        }
        api.m_pfnEasySetopt(pEasy, CURLOPT_MIMEPOST, handles.m_pMime);
    }

    // An empty "Expect:" keeps libcurl from waiting for a 100-continue before posting the body.
    handles.m_pHeaders = api.m_pfnSlistAppend(nullptr, "Expect:");
    api.m_pfnEasySetopt(pEasy, CURLOPT_HTTPHEADER, handles.m_pHeaders);

    if (api.m_pfnMultiAddHandle(handles.m_pMulti, pEasy) != CURLM_OK)
        return false;
    handles.m_bAdded = true;

    int nRunning = 1;
    bool bEnded = false; // libcurl has reported the request's end
    for (;;)
    {
        CURLMcode nCode;
        do
            nCode = api.m_pfnMultiPerform(handles.m_pMulti, &nRunning);
        while (nCode == CURLM_CALL_MULTI_PERFORM);
        if (nCode != CURLM_OK)
            return false;

        if (nRunning != 0)
        {
            long nWaitMs = -1;
            if (api.m_pfnMultiTimeout(handles.m_pMulti, &nWaitMs) != CURLM_OK)
            {
                std::fputs("E: curl_multi_timeout\n", stderr);
                return false;
            }
            if (nWaitMs < 0)
                nWaitMs = IDLE_WAIT_MS;
            nWaitMs = std::min(nWaitMs, ABORT_CHECK_MS);
            // curl_multi_poll stands for the descriptor sets and select of old; its failure is
            // reported with the line the descriptor sets had.
            if (api.m_pfnMultiPoll(handles.m_pMulti, nullptr, 0, static_cast<int>(nWaitMs),
                                   nullptr) != CURLM_OK)
            {
                std::fputs("E: curl_multi_fdset\n", stderr);
                return false;
            }
        }

        // An abort that comes after the request has ended changes nothing: the outcome stands.
        if (m_bAbort && !bEnded)
        {
            m_bFailed = true;
            m_bAborted = true;
            break;
        }

        int nQueued = 0;
        while (CURLMsg* pMsg = api.m_pfnMultiInfoRead(handles.m_pMulti, &nQueued))
        {
            // One more pass after every message, so nothing libcurl still has to say is lost.
            ++nRunning;
            if (pMsg->msg != CURLMSG_DONE)
                continue;
            const CURLcode nResult = pMsg->data.result;
            bEnded = true;
            if (nResult == CURLE_OK)
                m_bSucceeded = true;
            else
            {
                m_bFailed = true;
                if (nResult == CURLE_COULDNT_RESOLVE_HOST)
                    m_bHostNotFound = true;
            }
            handles.ReleaseEasy();
        }

        if (nRunning == 0)
            break;
    }
    return true;
}
