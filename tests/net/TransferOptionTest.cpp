// Every option libcurl is given is checked, and the HTTP-only limit survives a libcurl older than
// 7.85 that does not know the named-protocol options. libcurl's setopt is replaced by a stand-in
// that refuses the options a test names (as an older library would) and hands the rest on.
// The header's own names for the older options are used, to check the engine's copies of them.
#define CURL_DISABLE_DEPRECATION
#include "net/CurlApi.h"
#include "net/CurlOptions.h"
#include "net/VelCurlTransfer.h"
#include "support/CurlTestEnvironment.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <map>
#include <set>
#include <string>

namespace
{

constexpr long kHttpOnly = CURLPROTO_HTTP | CURLPROTO_HTTPS;

// The stand-in's settings and what it was given; one transfer at a time, on the test's thread.
struct SStandIn
{
    std::set<CURLoption> refused;
    bool bForward = false;              // hand what is not refused on to the loaded libcurl
    std::map<CURLoption, long> numbers; // numeric options taken
    std::set<CURLoption> taken;
};
SStandIn s_standIn;

// The signature is libcurl's own. CURLoption is an int-sized enum, so it reaches va_start as it is
// (the compiler cannot tell, hence the pragma).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif
CURLcode StandInSetopt(CURL* pEasy, CURLoption nOption, ...)
{
    if (s_standIn.refused.count(nOption) != 0)
        return CURLE_UNKNOWN_OPTION;
    const auto pfnReal = CurlApi()->m_pfnEasySetopt;
    CURLcode nCode = CURLE_OK;
    std::va_list args;
    va_start(args, nOption);
    if (nOption < CURLOPTTYPE_OBJECTPOINT)
    {
        const long nValue = va_arg(args, long);
        s_standIn.numbers[nOption] = nValue;
        if (s_standIn.bForward)
            nCode = pfnReal(pEasy, nOption, nValue);
    }
    else if (nOption < CURLOPTTYPE_FUNCTIONPOINT)
    {
        void* pValue = va_arg(args, void*);
        if (s_standIn.bForward)
            nCode = pfnReal(pEasy, nOption, pValue);
    }
    else if (nOption < CURLOPTTYPE_OFF_T)
    {
        // The transfer's one callback is its write function.
        const curl_write_callback pfnValue = va_arg(args, curl_write_callback);
        if (s_standIn.bForward)
            nCode = pfnReal(pEasy, nOption, pfnValue);
    }
    else
        nCode = CURLE_BAD_FUNCTION_ARGUMENT; // the engine sets no option of another kind
    va_end(args);
    if (nCode == CURLE_OK)
        s_standIn.taken.insert(nOption);
    return nCode;
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

CURLMcode RefusingMultiSetopt(CURLM*, CURLMoption, ...)
{
    return CURLM_UNKNOWN_OPTION;
}

} // namespace

TEST(TransferOptionTest, HttpLimitFallsBackToTheMasksAndIsNeverDropped)
{
    const std::set<CURLoption> namedOnes = {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR};
    const struct
    {
        const char* pszWhat;
        std::set<CURLoption> refused;
        bool bLimited;
        bool bMasks; // the limit was set by the masks
    } cases[] = {
        {"a library that knows the names", {}, true, false},
        {"one older than 7.85", namedOnes, true, true},
        {"one that knows only the request's names", {CURLOPT_REDIR_PROTOCOLS_STR}, true, true},
        {"one that takes no limit",
         {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR, CURLOPT_PROTOCOLS},
         false,
         false},
        {"one that takes no redirect limit",
         {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS},
         false,
         false},
    };
    SCurlApi api{};
    api.m_pfnEasySetopt = &StandInSetopt;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        s_standIn = SStandIn{};
        s_standIn.refused = c.refused;
        CCurlEasyOptions options(api, nullptr);

        EXPECT_EQ(options.LimitToHttp(), c.bLimited);
        if (!c.bLimited)
            continue;
        if (c.bMasks)
        {
            EXPECT_EQ(s_standIn.numbers[CURLOPT_PROTOCOLS], kHttpOnly);
            EXPECT_EQ(s_standIn.numbers[CURLOPT_REDIR_PROTOCOLS], kHttpOnly);
        }
        else
        {
            EXPECT_EQ(s_standIn.taken, namedOnes);
        }
    }
}

TEST(TransferOptionTest, RefusedOptionFailsTheTransferBeforeAnythingIsSent)
{
    const SCurlApi* pReal = CurlApi();
    ASSERT_NE(pReal, nullptr);
    CTestHttpServer server;
    ASSERT_NE(server.Port(), 0);
    server.SetHandler([](const CTestHttpRequest&, httplib::Response& res)
                      { res.set_content("Hello", "text/plain"); });
    const CTempDir dir;
    dir.Write("answer.txt", "from the disk");
    const std::string strHttp = server.URL("/get");
    const std::string strFile = "file://" + dir.File("answer.txt");

    const struct
    {
        const char* pszWhat;
        std::set<CURLoption> refused;
        bool bRefuseMulti;
        const std::string& strURL;
        bool bSucceeds;
    } cases[] = {
        {"nothing refused", {}, false, strHttp, true},
        {"an older library",
         {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR},
         false,
         strHttp,
         true},
        // The masks keep the limit: the file is not read.
        {"an older library, file",
         {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR},
         false,
         strFile,
         false},
        {"no limit taken",
         {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR, CURLOPT_PROTOCOLS},
         false,
         strHttp,
         false},
        {"no limit taken, file",
         {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR, CURLOPT_PROTOCOLS},
         false,
         strFile,
         false},
        {"header list refused", {CURLOPT_HTTPHEADER}, false, strHttp, false},
        {"time limit refused", {CURLOPT_TIMEOUT}, false, strHttp, false},
        {"multi option refused", {}, true, strHttp, false},
    };
    std::size_t nRequests = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        s_standIn = SStandIn{};
        s_standIn.refused = c.refused;
        s_standIn.bForward = true;
        SCurlApi api = *pReal;
        api.m_pfnEasySetopt = &StandInSetopt;
        if (c.bRefuseMulti)
            api.m_pfnMultiSetopt = &RefusingMultiSetopt;
        CVelCurlTransfer transfer;
        transfer.SetURL(c.strURL);
        transfer.SetTimeout(20);

        const bool bSetUp = transfer.Perform(api);
        EXPECT_EQ(transfer.Succeeded(), c.bSucceeds);
        EXPECT_TRUE(transfer.HasEnded());
        const std::string strAnswer = transfer.TakeResponse();
        if (c.bSucceeds)
        {
            EXPECT_TRUE(bSetUp);
            EXPECT_EQ(strAnswer, "Hello");
            EXPECT_EQ(server.Requests().size(), ++nRequests);
        }
        else
        {
            EXPECT_EQ(transfer.Outcome(), ETransferOutcome::Failed);
            EXPECT_EQ(strAnswer, "");
            EXPECT_EQ(server.Requests().size(), nRequests);
        }
    }
}
