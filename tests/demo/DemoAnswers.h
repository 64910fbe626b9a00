// Posts to the demo server and what its answers hold, for the demo server's tests.
#pragma once

#include "DemoGameServer.h"
#include "pbem/AnswerReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SPost
{
    std::string strGameId;
    int nPlayer = 0;
    std::string strHighest = "0"; // as the program prints it
};

inline DemoFormFields DownloadForm(const std::vector<SPost>& entries)
{
    DemoFormFields fields{{"DownloadEvent", "1"}};
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        const std::string n = std::to_string(i + 1);
        fields["G" + n] = entries[i].strGameId;
        fields["P" + n] = std::to_string(entries[i].nPlayer);
        fields["Pw" + n] = "any";
        fields["HEventId" + n] = entries[i].strHighest;
    }
    return fields;
}

// One event of an answer, as the server sent it.
struct SSentEvent
{
    std::string strKey; // the player key of its block
    std::uint32_t nId = 0;
    std::string strSender;
    std::string strDate;
    std::string strType;
    std::string strContent;
};

// Every event of an answer, "NewGame" notices included, read by the answer's grammar.
inline std::vector<SSentEvent> SentEvents(std::string_view answer)
{
    std::vector<SSentEvent> events;
    CAnswerReader reader(answer);
    EXPECT_EQ(reader.NextToken(), "SanityCheck-5170382");
    EXPECT_EQ(reader.NextToken(), "Version01");
    std::string_view token = reader.NextToken();
    while (token == "PlayerKey")
    {
        std::string_view key;
        if (!reader.NextCounted(key))
        {
            ADD_FAILURE() << "no player key: " << answer;
            break;
        }
        while ((token = reader.NextToken()) == "Event")
        {
            SSentEvent event;
            event.strKey = key;
            event.nId = reader.NextNumber();
            std::string_view sender, date, type, content;
            if (!reader.NextCounted(sender) || !reader.NextCounted(date) ||
                !reader.NextCounted(type) || !reader.NextCounted(content))
            {
                ADD_FAILURE() << "event cut short: " << answer;
                return events;
            }
            event.strSender = sender;
            event.strDate = date;
            event.strType = type;
            event.strContent = content;
            events.push_back(std::move(event));
        }
        token = reader.NextToken();
    }
    EXPECT_EQ(reader.GetPosition(), answer.size()) << "left unread: " << answer;
    return events;
}
