#include "pbem/AnswerReader.h"
#include "pbem/DownloadAnswer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"

namespace
{

constexpr std::string_view kSanityCheck = "SanityCheck-5170382";
constexpr std::string_view kVersion = "Version01";
constexpr std::string_view kPlayerKey = "PlayerKey";
constexpr std::string_view kEvent = "Event";
constexpr std::string_view kNewGame = "NewGame";
// Contents of this size or less carry no record worth reading.
constexpr std::size_t kMinRecordText = 10;

} // namespace

void CPBEMMessageManager::EventFromAnswer(std::string_view strContent, std::uint32_t nEventId,
                                          CPBEMGameEvent& event)
{
    if (strContent.size() <= kMinRecordText)
        return;
    event.m_nEventId = nEventId;
    ParseEventRecord(strContent, event, true);
    if (!event.m_strGameId.empty())
        event.m_strRaw = strContent;
}

EAnswerRead ReadAnswerEvents(std::string_view strAnswer,
                             std::vector<std::unique_ptr<CPBEMGameEvent>>& events)
{
    CAnswerReader reader(strAnswer);
    if (reader.NextToken() != kSanityCheck)
        return EAnswerRead::NotAnAnswer;
    if (reader.NextToken() != kVersion)
        return EAnswerRead::WrongVersion;
    if (reader.NextToken() != kPlayerKey)
        return EAnswerRead::Read;

    for (;;)
    {
        std::string_view strPlayerKey;
        if (!reader.NextCounted(strPlayerKey))
            return EAnswerRead::Malformed;

        std::string_view strToken;
        while ((strToken = reader.NextToken()) == kEvent)
        {
            const std::uint32_t nEventId = reader.NextNumber();
            std::string_view strFirst, strSecond, strType, strContent;
            // An event is taken only when all of it could be read.
            if (!reader.NextCounted(strFirst) || !reader.NextCounted(strSecond) ||
                !reader.NextCounted(strType) || !reader.NextCounted(strContent))
                return EAnswerRead::Malformed;
            if (strType == kNewGame)
                continue;
            auto pEvent = std::make_unique<CPBEMGameEvent>();
            CPBEMMessageManager::EventFromAnswer(strContent, nEventId, *pEvent);
            events.push_back(std::move(pEvent));
        }

        // The token that ended the block's events, which the server chooses, is followed by one
        // that starts the next block. The end of the text ends the reading here as well: what the
        // server writes after its last event is its own choice, and whether the text arrived whole
        // is for the transfer to tell.
        if (reader.NextToken() != kPlayerKey)
            return EAnswerRead::Read;
    }
}
