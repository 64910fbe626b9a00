// One HTTP request to the game server, performed with libcurl's multi interface, on the calling
// thread (Perform) or on a worker thread of its own (TransferThreadProc).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CVelCurlTransfer;

// One name/value pair of 8-bit texts.
class CStringANSI8AndStringANSI8
{
public:
    std::string m_strName;
    std::string m_strValue;
};

// One block of the answer as it arrived; m_pData holds m_nSize bytes and a 0 after them.
class CVelCurlDataBlock
{
public:
    std::unique_ptr<char[]> m_pData;
    std::int32_t m_nSize = 0;
};

// Told about a transfer's progress; both calls come on the transfer's own thread.
class CVelCurlObserver
{
public:
    virtual ~CVelCurlObserver() = default;
    virtual void OnTransferData(CVelCurlTransfer* pTransfer) { (void)pTransfer; }
    virtual void OnTransferDone(CVelCurlTransfer* pTransfer) { (void)pTransfer; }
};

class CVelCurlTransfer
{
public:
    CVelCurlTransfer() = default;
    CVelCurlTransfer(const CVelCurlTransfer&) = delete;
    CVelCurlTransfer& operator=(const CVelCurlTransfer&) = delete;

    void SetURL(std::string_view strURL) { m_strURL = strURL; }
    void AddUrlParam(std::string_view strName, std::string_view strValue);
    void AddFormField(std::string_view strName, std::string_view strValue);
    // The value is converted to the ANSI code page (Windows-1252).
    void AddFormField(std::string_view strName, std::wstring_view strValue);
    void AddFormFile(std::string_view strName, std::string_view strPath);

    // Runs the transfer to its end on this thread. True when the loop ended normally (also after
    // an abort or a failed transfer: see the flags); false when waiting for the network failed.
    bool Perform();
    // The answer's bytes up to its first zero byte; the blocks are freed.
    std::string TakeResponse();
    // The URL with the URL parameters appended, as Perform sends it.
    std::string BuildEffectiveURL() const;

    // Entry of a worker thread: Perform, then OnTransferDone, then delete when asked to.
    static int TransferThreadProc(CVelCurlTransfer* pTransfer);
    // libcurl's write callback. A block that would not fit m_nSize, or that would take the answer
    // past m_nMaxResponseBytes, is refused (0), which makes libcurl fail the transfer.
    static std::size_t OnCurlWrite(char* pData, std::size_t nSize, std::size_t nCount, void* pUser);

    // The server is outside our control; an answer may not grow without end.
    static constexpr std::size_t DEFAULT_MAX_RESPONSE_BYTES = 64u * 1024u * 1024u;

    std::string m_strName;
    std::int32_t m_nTimeout = 0; // seconds for the whole transfer; 0 or less: none
    std::string m_strURL;
    std::vector<std::unique_ptr<CStringANSI8AndStringANSI8>> m_listUrlParams;
    std::vector<std::unique_ptr<CStringANSI8AndStringANSI8>> m_listFormFields;
    std::vector<std::unique_ptr<CStringANSI8AndStringANSI8>> m_listFormFiles;
    CVelCurlObserver* m_pObserver = nullptr;
    std::atomic<bool> m_bDeleteWhenDone{false};
    std::atomic<bool> m_bAbort{false};
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bSucceeded{false};
    std::atomic<bool> m_bFailed{false};
    std::atomic<bool> m_bHostNotFound{false};
    std::atomic<bool> m_bAborted{false};
    std::vector<std::unique_ptr<CVelCurlDataBlock>> m_listBlocks;
    std::size_t m_nMaxResponseBytes = DEFAULT_MAX_RESPONSE_BYTES;

private:
    bool RunMulti();

    std::size_t m_nResponseBytes = 0; // bytes taken into m_listBlocks since Perform began
};
