// Writes answers of the event download in the tokens the program's answer reader takes apart:
// for whatever stands in for the game server (the demo server and the tests).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CAnswerWriter
{
public:
    // Begins with the sanity and version tokens.
    CAnswerWriter();

    // Starts the block of one game entry; closes the block before it.
    void BeginPlayer(std::string_view strPlayerKey);
    // One event of the current block. strSender and strDate are the two texts the program reads
    // past; strContent is the escaped event record.
    void AddEvent(std::uint32_t nEventId, std::string_view strSender, std::string_view strDate,
                  std::string_view strType, std::string_view strContent);
    // The whole answer, its last block closed.
    std::string Finish() const;

private:
    void AddCounted(std::string_view strText);
    void CloseBlock();

    std::string m_strAnswer;
    bool m_bInBlock = false;
};
