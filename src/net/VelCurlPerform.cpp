// The transfer itself: one easy handle driven by a multi handle on the calling thread.
#include "net/VelCurlTransfer.h"

#include <curl/curl.h>

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
    CCurlHandles() = default;
    CCurlHandles(const CCurlHandles&) = delete;
    CCurlHandles& operator=(const CCurlHandles&) = delete;
    ~CCurlHandles()
    {
        ReleaseEasy();
        if (m_pMulti != nullptr)
            curl_multi_cleanup(m_pMulti);
        curl_mime_free(m_pMime);
        curl_slist_free_all(m_pHeaders);
    }

    void ReleaseEasy()
    {
        if (m_pEasy == nullptr)
            return;
        if (m_bAdded)
            curl_multi_remove_handle(m_pMulti, m_pEasy);
        curl_easy_cleanup(m_pEasy);
        m_pEasy = nullptr;
        m_bAdded = false;
    }

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

    // libcurl's global set-up is not done here: CCurlGlobal does it once for the process.
    const bool bOk = RunMulti();
    if (!bOk)
        m_bFailed = true;
    m_bRunning = false;
    return bOk;
}

bool CVelCurlTransfer::RunMulti()
{
    CCurlHandles handles;
    handles.m_pMulti = curl_multi_init();
    if (handles.m_pMulti == nullptr)
        return false;
    curl_multi_setopt(handles.m_pMulti, CURLMOPT_MAXCONNECTS, 10L);

    handles.m_pEasy = curl_easy_init();
    if (handles.m_pEasy == nullptr)
        return false;
    CURL* pEasy = handles.m_pEasy;
    const std::string strURL = BuildEffectiveURL();
    curl_easy_setopt(pEasy, CURLOPT_WRITEFUNCTION, &CVelCurlTransfer::OnCurlWrite);
    curl_easy_setopt(pEasy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(pEasy, CURLOPT_HEADER, 0L);
    curl_easy_setopt(pEasy, CURLOPT_URL, strURL.c_str());
    curl_easy_setopt(pEasy, CURLOPT_PRIVATE, const_cast<char*>(m_strURL.c_str()));
    curl_easy_setopt(pEasy, CURLOPT_VERBOSE, 0L);
    if (m_nTimeout > 0)
        curl_easy_setopt(pEasy, CURLOPT_TIMEOUT, static_cast<long>(m_nTimeout));
    // Worker threads must not get libcurl's alarm signals.
    curl_easy_setopt(pEasy, CURLOPT_NOSIGNAL, 1L);
    // The URL may come from the environment; this engine speaks HTTP only (no file:// and such).
    curl_easy_setopt(pEasy, CURLOPT_PROTOCOLS_STR, "http,https");

    if (!m_listFormFields.empty() || !m_listFormFiles.empty())
    {
        handles.m_pMime = curl_mime_init(pEasy);
        if (handles.m_pMime == nullptr)
            return false;
        for (const auto& pField : m_listFormFields)
        {
            curl_mimepart* pPart = curl_mime_addpart(handles.m_pMime);
            curl_mime_name(pPart, pField->m_strName.c_str());
            curl_mime_data(pPart, pField->m_strValue.data(), pField->m_strValue.size());
        }
        for (const auto& pFile : m_listFormFiles)
        {
            curl_mimepart* pPart = curl_mime_addpart(handles.m_pMime);
            curl_mime_name(pPart, pFile->m_strName.c_str());
            // A file that cannot be read is reported when the body is sent: the transfer fails.
            curl_mime_filedata(pPart, pFile->m_strValue.c_str());
        }
        curl_easy_setopt(pEasy, CURLOPT_MIMEPOST, handles.m_pMime);
    }

    // An empty "Expect:" keeps libcurl from waiting for a 100-continue before posting the body.
    handles.m_pHeaders = curl_slist_append(nullptr, "Expect:");
    curl_easy_setopt(pEasy, CURLOPT_HTTPHEADER, handles.m_pHeaders);

    if (curl_multi_add_handle(handles.m_pMulti, pEasy) != CURLM_OK)
        return false;
    handles.m_bAdded = true;

    int nRunning = 1;
    bool bEnded = false; // libcurl has reported the request's end
    for (;;)
    {
        CURLMcode nCode;
        do
            nCode = curl_multi_perform(handles.m_pMulti, &nRunning);
        while (nCode == CURLM_CALL_MULTI_PERFORM);
        if (nCode != CURLM_OK)
            return false;

        if (nRunning != 0)
        {
            long nWaitMs = -1;
            if (curl_multi_timeout(handles.m_pMulti, &nWaitMs) != CURLM_OK)
            {
                std::fputs("E: curl_multi_timeout\n", stderr);
                return false;
            }
            if (nWaitMs < 0)
                nWaitMs = IDLE_WAIT_MS;
            nWaitMs = std::min(nWaitMs, ABORT_CHECK_MS);
            // curl_multi_poll stands for the descriptor sets and select of old; its failure is
            // reported with the line the descriptor sets had.
            if (curl_multi_poll(handles.m_pMulti, nullptr, 0, static_cast<int>(nWaitMs), nullptr) !=
                CURLM_OK)
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
        while (CURLMsg* pMsg = curl_multi_info_read(handles.m_pMulti, &nQueued))
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
