// One HTTP request to the game server, performed with libcurl's multi interface, on the calling
// thread (Perform) or on a worker thread (TransferThreadProc).
// Threads: the transfer is set up before it is performed; while it runs, only the performing
// thread touches it, except RequestAbort and Outcome, which any thread may call. The outcome is
// published (release) when Perform ends, before OnTransferDone; the answer is the observer's during
// that call, and the owner's once the worker thread has ended.
// Ownership: TransferThreadProc borrows the transfer, whose owner keeps it until the worker thread
// has ended; OwnedTransferThreadProc takes it over and deletes it after OnTransferDone returns.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CVelCurlTransfer;
struct SCurlApi;

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

// Told about a transfer's progress; both calls come on the thread that performs it.
class CVelCurlObserver
{
public:
    virtual ~CVelCurlObserver() = default;
    virtual void OnTransferData(CVelCurlTransfer* pTransfer) { (void)pTransfer; }
    virtual void OnTransferDone(CVelCurlTransfer* pTransfer) { (void)pTransfer; }
};

// How a transfer ended, or that it has not.
enum class [[nodiscard]] ETransferOutcome : std::uint8_t{
    Pending,      // not ended: not begun yet, or running
    Succeeded,    // the request completed, whatever the server's HTTP status
    Failed,       // not sent, not answered in full, or refused by libcurl
    HostNotFound, // failed: the server's name did not resolve
    Aborted,      // failed: ended by RequestAbort
};

class CVelCurlTransfer
{
public:
    using PairList = std::vector<std::unique_ptr<CStringANSI8AndStringANSI8>>;
    using BlockList = std::vector<std::unique_ptr<CVelCurlDataBlock>>;

    explicit CVelCurlTransfer(CVelCurlObserver* pObserver = nullptr) : m_pObserver(pObserver) {}
    CVelCurlTransfer(const CVelCurlTransfer&) = delete;
    CVelCurlTransfer& operator=(const CVelCurlTransfer&) = delete;

    void SetName(std::string_view strName) { m_strName = strName; }
    const std::string& Name() const { return m_strName; }
    void SetURL(std::string_view strURL) { m_strURL = strURL; }
    // Seconds for the whole transfer; 0 or less: none.
    void SetTimeout(std::int32_t nSeconds) { m_nTimeout = nSeconds; }
    std::int32_t Timeout() const { return m_nTimeout; }
    void SetMaxResponseBytes(std::size_t nBytes) { m_nMaxResponseBytes = nBytes; }
    void AddUrlParam(std::string_view strName, std::string_view strValue);
    void AddFormField(std::string_view strName, std::string_view strValue);
    // The value is converted to the ANSI code page (Windows-1252).
    void AddFormField(std::string_view strName, std::wstring_view strValue);
    void AddFormFile(std::string_view strName, std::string_view strPath);
    const PairList& FormFields() const { return m_listFormFields; }

    // Runs the transfer to its end on this thread. True when the loop ended normally (also after
    // an abort or a failed transfer: see Outcome); false when it could not be set up or waiting for
    // the network failed (the outcome is then Failed).
    [[nodiscard]] bool Perform();
    // The same with the given libcurl table in place of the loaded library: tests stand in for
    // libcurl's functions through it.
    [[nodiscard]] bool Perform(const SCurlApi& api);
    // Asks a running transfer, from any thread, to end soon as Aborted.
    void RequestAbort() { m_bAbort.store(true); }

    ETransferOutcome Outcome() const { return m_eOutcome.load(std::memory_order_acquire); }
    bool HasEnded() const { return Outcome() != ETransferOutcome::Pending; }
    bool Succeeded() const { return Outcome() == ETransferOutcome::Succeeded; }
    bool Failed() const { return HasEnded() && !Succeeded(); }

    // The blocks of the answer taken in so far.
    const BlockList& Blocks() const { return m_listBlocks; }
    // The answer's bytes up to its first zero byte; the blocks are freed.
    std::string TakeResponse();
    // The URL with the URL parameters appended, as Perform sends it.
    std::string BuildEffectiveURL() const;

    // Entries of a worker thread: Perform, then OnTransferDone. The first leaves the transfer to
    // its owner; the second deletes it after OnTransferDone has returned.
    static int TransferThreadProc(CVelCurlTransfer* pTransfer);
    static int OwnedTransferThreadProc(std::unique_ptr<CVelCurlTransfer> pTransfer);
    // libcurl's write callback. A block that would not fit m_nSize, or that would take the answer
    // past the most it may have, is refused (0), which makes libcurl fail the transfer.
    static std::size_t OnCurlWrite(char* pData, std::size_t nSize, std::size_t nCount, void* pUser);

    // The server is outside our control; an answer may not grow without end.
    static constexpr std::size_t DEFAULT_MAX_RESPONSE_BYTES = std::size_t{64} * 1024 * 1024;

    // Fixed for the transfer's life, so that any thread may read it.
    CVelCurlObserver* Observer() const { return m_pObserver; }

private:
    CVelCurlObserver* const m_pObserver;
    class CHandles;

    [[nodiscard]] bool PerformWith(const SCurlApi* pApi);
    // Creates the handles and gives libcurl the request; false when anything is refused.
    [[nodiscard]] bool SetUpRequest(const SCurlApi& api, CHandles& handles);
    // The form fields and files as a multipart body.
    [[nodiscard]] bool SetUpForm(const SCurlApi& api, CHandles& handles) const;
    // Drives the request to its end; nullopt when waiting for the network failed.
    [[nodiscard]] std::optional<ETransferOutcome> RunLoop(const SCurlApi& api,
                                                          CHandles& handles) const;

    std::string m_strName;
    std::int32_t m_nTimeout = 0;
    std::string m_strURL;
    PairList m_listUrlParams;
    PairList m_listFormFields;
    PairList m_listFormFiles;
    std::atomic<bool> m_bAbort{false};
    std::atomic<ETransferOutcome> m_eOutcome{ETransferOutcome::Pending};
    BlockList m_listBlocks;
    std::size_t m_nMaxResponseBytes = DEFAULT_MAX_RESPONSE_BYTES;
    std::size_t m_nResponseBytes = 0; // bytes taken into m_listBlocks since Perform began
};
