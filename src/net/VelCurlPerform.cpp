// The transfer itself: one easy handle driven by a multi handle on the calling thread.
#include "net/VelCurlTransfer.h"

#include "net/CurlApi.h"
#include "net/CurlOptions.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace
{

// A wait never lasts longer than this, so that an abort asked for by another thread is seen
// promptly.
constexpr long ABORT_CHECK_MS = 100;
// libcurl's "no timeout of its own" (-1) waits this long.
constexpr long IDLE_WAIT_MS = 500;

} // namespace

// Everything Perform allocates from libcurl, released in the order libcurl asks for: the easy
// handle leaves the multi handle before either is cleaned up, and the form and header list outlive
// the easy handle that uses them.
class CVelCurlTransfer::CHandles
{
public:
    explicit CHandles(const SCurlApi& api) : m_api(api) {}
    CHandles(const CHandles&) = delete;
    CHandles& operator=(const CHandles&) = delete;
    ~CHandles()
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

bool CVelCurlTransfer::Perform()
{
    // libcurl's global set-up is not done here: loading it does that once for the process.
    return PerformWith(CurlApi());
}

bool CVelCurlTransfer::Perform(const SCurlApi& api)
{
    return PerformWith(&api);
}

bool CVelCurlTransfer::PerformWith(const SCurlApi* pApi)
{
    m_eOutcome.store(ETransferOutcome::Pending, std::memory_order_release);
    m_listBlocks.clear();
    m_nResponseBytes = 0;

    // A library that cannot be loaded, or a request libcurl will not take as meant, fails the
    // transfer like any other failure to start it.
    std::optional<ETransferOutcome> eOutcome;
    if (pApi != nullptr)
    {
        CHandles handles(*pApi);
        if (SetUpRequest(*pApi, handles))
            eOutcome = RunLoop(*pApi, handles);
    }
    // Published last: whoever sees the end may read the answer. A request that ended without
    // libcurl's report of it did not succeed.
    const bool bOk = eOutcome.has_value();
    m_eOutcome.store(bOk && *eOutcome != ETransferOutcome::Pending ? *eOutcome
                                                                   : ETransferOutcome::Failed,
                     std::memory_order_release);
    return bOk;
}

bool CVelCurlTransfer::SetUpRequest(const SCurlApi& api, CHandles& handles)
{
    handles.m_pMulti = api.m_pfnMultiInit();
    if (handles.m_pMulti == nullptr ||
        !SetMultiOption(api, handles.m_pMulti, CURLMOPT_MAXCONNECTS, 10L))
        return false;

    handles.m_pEasy = api.m_pfnEasyInit();
    if (handles.m_pEasy == nullptr)
        return false;
    CURL* pEasy = handles.m_pEasy;
    CCurlEasyOptions options(api, pEasy);
    // libcurl copies the URL: it need not outlive the set-up.
    const std::string strURL = BuildEffectiveURL();
    curl_write_callback pfnWrite = &CVelCurlTransfer::OnCurlWrite;
    if (!options.Set(CURLOPT_WRITEFUNCTION, pfnWrite) || !options.Set(CURLOPT_WRITEDATA, this) ||
        !options.Set(CURLOPT_HEADER, 0L) || !options.Set(CURLOPT_URL, strURL.c_str()) ||
        !options.Set(CURLOPT_PRIVATE, const_cast<char*>(m_strURL.c_str())) ||
        !options.Set(CURLOPT_VERBOSE, 0L))
        return false;
    if (m_nTimeout > 0 && !options.Set(CURLOPT_TIMEOUT, static_cast<long>(m_nTimeout)))
        return false;
    // Worker threads must not get libcurl's alarm signals.
    if (!options.Set(CURLOPT_NOSIGNAL, 1L))
        return false;
    // The URL may come from the environment; this engine speaks HTTP only (no file:// and such).
    if (!options.LimitToHttp())
        return false;

    if ((!m_listFormFields.empty() || !m_listFormFiles.empty()) &&
        (!SetUpForm(api, handles) || !options.Set(CURLOPT_MIMEPOST, handles.m_pMime)))
        return false;

    // An empty "Expect:" keeps libcurl from waiting for a 100-continue before posting the body.
    handles.m_pHeaders = api.m_pfnSlistAppend(nullptr, "Expect:");
    if (handles.m_pHeaders == nullptr || !options.Set(CURLOPT_HTTPHEADER, handles.m_pHeaders))
        return false;

    if (api.m_pfnMultiAddHandle(handles.m_pMulti, pEasy) != CURLM_OK)
        return false;
    handles.m_bAdded = true;
    return true;
}

bool CVelCurlTransfer::SetUpForm(const SCurlApi& api, CHandles& handles) const
{
    handles.m_pMime = api.m_pfnMimeInit(handles.m_pEasy);
    if (handles.m_pMime == nullptr)
        return false;
    for (const auto& pField : m_listFormFields)
    {
        curl_mimepart* pPart = api.m_pfnMimeAddpart(handles.m_pMime);
        if (pPart == nullptr || api.m_pfnMimeName(pPart, pField->m_strName.c_str()) != CURLE_OK ||
            api.m_pfnMimeData(pPart, pField->m_strValue.data(), pField->m_strValue.size()) !=
                CURLE_OK)
            return false;
    }
    for (const auto& pFile : m_listFormFiles)
    {
        curl_mimepart* pPart = api.m_pfnMimeAddpart(handles.m_pMime);
        if (pPart == nullptr || api.m_pfnMimeName(pPart, pFile->m_strName.c_str()) != CURLE_OK)
            return false;
        // Not checked: a file that cannot be read is reported when the body is sent, and the
        // transfer fails then.
        static_cast<void>(api.m_pfnMimeFiledata(pPart, pFile->m_strValue.c_str()));
    }
    return true;
}

std::optional<ETransferOutcome> CVelCurlTransfer::RunLoop(const SCurlApi& api,
                                                          CHandles& handles) const
{
    // Pending until libcurl reports the request's end.
    ETransferOutcome eOutcome = ETransferOutcome::Pending;
    int nRunning = 1;
    for (;;)
    {
        CURLMcode nCode;
        do
            nCode = api.m_pfnMultiPerform(handles.m_pMulti, &nRunning);
        while (nCode == CURLM_CALL_MULTI_PERFORM);
        if (nCode != CURLM_OK)
            return std::nullopt;

        if (nRunning != 0)
        {
            long nWaitMs = -1;
            if (api.m_pfnMultiTimeout(handles.m_pMulti, &nWaitMs) != CURLM_OK)
            {
                std::fputs("E: curl_multi_timeout\n", stderr);
                return std::nullopt;
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
                return std::nullopt;
            }
        }

        // An abort that comes after the request has ended changes nothing: the outcome stands.
        if (m_bAbort && eOutcome == ETransferOutcome::Pending)
            return ETransferOutcome::Aborted;

        int nQueued = 0;
        while (CURLMsg* pMsg = api.m_pfnMultiInfoRead(handles.m_pMulti, &nQueued))
        {
            // One more pass after every message, so nothing libcurl still has to say is lost.
            ++nRunning;
            if (pMsg->msg != CURLMSG_DONE)
                continue;
            const CURLcode nResult = pMsg->data.result;
            if (nResult == CURLE_OK)
                eOutcome = ETransferOutcome::Succeeded;
            else if (nResult == CURLE_COULDNT_RESOLVE_HOST)
                eOutcome = ETransferOutcome::HostNotFound;
            else
                eOutcome = ETransferOutcome::Failed;
            handles.ReleaseEasy();
        }

        if (nRunning == 0)
            return eOutcome;
    }
}
