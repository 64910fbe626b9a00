#include "net/VelCurlTransfer.h"

#include "base/Encoding.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace
{

std::unique_ptr<CStringANSI8AndStringANSI8> MakePair(std::string_view strName,
                                                     std::string_view strValue)
{
    auto pPair = std::make_unique<CStringANSI8AndStringANSI8>();
    pPair->m_strName = strName;
    pPair->m_strValue = strValue;
    return pPair;
}

void ReplaceAll(std::string& strText, std::string_view strFrom, std::string_view strTo)
{
    for (std::size_t nPos = strText.find(strFrom); nPos != std::string::npos;
         nPos = strText.find(strFrom, nPos + strTo.size()))
        strText.replace(nPos, strFrom.size(), strTo);
}

} // namespace

void CVelCurlTransfer::AddUrlParam(std::string_view strName, std::string_view strValue)
{
    m_listUrlParams.push_back(MakePair(strName, strValue));
}

void CVelCurlTransfer::AddFormField(std::string_view strName, std::string_view strValue)
{
    m_listFormFields.push_back(MakePair(strName, strValue));
}

void CVelCurlTransfer::AddFormField(std::string_view strName, std::wstring_view strValue)
{
    m_listFormFields.push_back(MakePair(strName, WideToAnsi(strValue)));
}

void CVelCurlTransfer::AddFormFile(std::string_view strName, std::string_view strPath)
{
    m_listFormFiles.push_back(MakePair(strName, strPath));
}

std::string CVelCurlTransfer::BuildEffectiveURL() const
{
    // The server reads its query its own way: only what would end or break a value is escaped
    // ("%" first, so that the "%" of "%23" stays), and spaces anywhere in the URL.
    std::string strURL = m_strURL;
    for (const auto& pParam : m_listUrlParams)
    {
        std::string strValue = pParam->m_strValue;
        ReplaceAll(strValue, "%", "%25");
        ReplaceAll(strValue, "#", "%23");
        strURL += strURL.find('?') != std::string::npos ? '&' : '?';
        strURL += pParam->m_strName;
        strURL += '=';
        strURL += strValue;
    }
    ReplaceAll(strURL, " ", "%20");
    return strURL;
}

std::size_t CVelCurlTransfer::OnCurlWrite(char* pData, std::size_t nSize, std::size_t nCount,
                                          void* pUser)
{
    auto* pTransfer = static_cast<CVelCurlTransfer*>(pUser);
    if (nSize != 0 && nCount > std::numeric_limits<std::size_t>::max() / nSize)
        return 0;
    const std::size_t nBytes = nSize * nCount;
    // A block's size is kept in 32 bits; and the whole answer is bounded.
    if (nBytes > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        nBytes > pTransfer->m_nMaxResponseBytes - pTransfer->m_nResponseBytes)
        return 0;

    auto pBlock = std::make_unique<CVelCurlDataBlock>();
    pBlock->m_pData = std::make_unique<char[]>(nBytes + 1);
    if (nBytes != 0)
        std::memcpy(pBlock->m_pData.get(), pData, nBytes);
    pBlock->m_pData[nBytes] = '\0';
    pBlock->m_nSize = static_cast<std::int32_t>(nBytes);
    pTransfer->m_listBlocks.push_back(std::move(pBlock));
    pTransfer->m_nResponseBytes += nBytes;

    if (pTransfer->m_pObserver != nullptr)
        pTransfer->m_pObserver->OnTransferData(pTransfer);
    return nBytes;
}

std::string CVelCurlTransfer::TakeResponse()
{
    std::vector<std::unique_ptr<CVelCurlDataBlock>> listBlocks;
    listBlocks.swap(m_listBlocks);

    std::size_t nTotal = 0;
    for (const auto& pBlock : listBlocks)
        nTotal += static_cast<std::size_t>(pBlock->m_nSize);
    std::string strResponse;
    strResponse.reserve(nTotal);
    for (const auto& pBlock : listBlocks)
        strResponse.append(pBlock->m_pData.get(), static_cast<std::size_t>(pBlock->m_nSize));

    // The answer is text: it ends at its first zero byte.
    const std::size_t nEnd = strResponse.find('\0');
    if (nEnd != std::string::npos)
        strResponse.resize(nEnd);
    return strResponse;
}

int CVelCurlTransfer::TransferThreadProc(CVelCurlTransfer* pTransfer)
{
    static_cast<void>(pTransfer->Perform()); // the outcome tells the observer all
    // Once told, the observer's side may take the transfer over: it is not touched after this.
    if (pTransfer->m_pObserver != nullptr)
        pTransfer->m_pObserver->OnTransferDone(pTransfer);
    return 0;
}

int CVelCurlTransfer::OwnedTransferThreadProc(std::unique_ptr<CVelCurlTransfer> pTransfer)
{
    return TransferThreadProc(pTransfer.get());
}
