#include "pbem/AnswerWriter.h"

namespace
{

// The reader takes a token only when a space follows it, so every token here ends with one.
constexpr std::string_view kHeader = "SanityCheck-5170382 Version01 ";
// The token that ends a block's events, and the one after it that starts no other block.
constexpr std::string_view kEndEvents = "EndEvents ";
constexpr std::string_view kEndAnswer = "EndAnswer ";

} // namespace

CAnswerWriter::CAnswerWriter() : m_strAnswer(kHeader) {}

void CAnswerWriter::AddCounted(std::string_view strText)
{
    m_strAnswer += std::to_string(strText.size());
    m_strAnswer += ' ';
    m_strAnswer += strText;
    m_strAnswer += ' ';
}

void CAnswerWriter::CloseBlock()
{
    if (m_bInBlock)
        m_strAnswer += kEndEvents;
    m_bInBlock = false;
}

void CAnswerWriter::BeginPlayer(std::string_view strPlayerKey)
{
    CloseBlock();
    m_strAnswer += "PlayerKey ";
    AddCounted(strPlayerKey);
    m_bInBlock = true;
}

void CAnswerWriter::AddEvent(std::uint32_t nEventId, std::string_view strSender,
                             std::string_view strDate, std::string_view strType,
                             std::string_view strContent)
{
    m_strAnswer += "Event ";
    m_strAnswer += std::to_string(nEventId);
    m_strAnswer += ' ';
    AddCounted(strSender);
    AddCounted(strDate);
    AddCounted(strType);
    AddCounted(strContent);
}

std::string CAnswerWriter::Finish() const
{
    std::string strAnswer = m_strAnswer;
    if (m_bInBlock)
        strAnswer += kEndEvents;
    strAnswer += kEndAnswer;
    return strAnswer;
}
