#include "pbem/AnswerReader.h"

std::string_view CAnswerReader::NextToken()
{
    const std::size_t nSpace = m_strText.find(' ', m_nPos);
    if (nSpace == std::string_view::npos)
        return {};
    const std::string_view strToken = m_strText.substr(m_nPos, nSpace - m_nPos);
    m_nPos = nSpace + 1;
    return strToken;
}

std::uint32_t CAnswerReader::NextNumber()
{
    const std::string_view strToken = NextToken();
    std::size_t i = 0;
    bool bNegative = false;
    if (i < strToken.size() && (strToken[i] == '-' || strToken[i] == '+'))
        bNegative = strToken[i++] == '-';
    std::uint32_t n = 0;
    for (; i < strToken.size() && strToken[i] >= '0' && strToken[i] <= '9'; ++i)
        n = n * 10u + static_cast<std::uint32_t>(strToken[i] - '0');
    return bNegative ? 0u - n : n;
}

bool CAnswerReader::NextCounted(std::string_view& strCounted)
{
    strCounted = {};
    const std::size_t nStart = m_nPos;
    const std::string_view strLength = NextToken();
    const std::size_t nRemaining = m_strText.size() - m_nPos;

    // A length taken on trust would move the position before the answer or far past its end.
    bool bValid = !strLength.empty();
    std::size_t nLength = 0;
    for (const char c : strLength)
    {
        if (c < '0' || c > '9')
        {
            bValid = false;
            break;
        }
        nLength = nLength * 10 + static_cast<std::size_t>(c - '0');
        if (nLength > nRemaining)
        {
            bValid = false; // also stops the sum before it could overflow
            break;
        }
    }
    if (!bValid)
    {
        m_nPos = nStart;
        return false;
    }

    strCounted = m_strText.substr(m_nPos, nLength);
    // The separator is not examined; a text that ends the answer has none.
    m_nPos += nLength < nRemaining ? nLength + 1 : nLength;
    return true;
}
