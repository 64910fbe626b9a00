// Answers of the game server's event download, written token by token, and the events in them.
#pragma once

#include "pbem/EventRecordWriter.h"
#include "pbem/PBEMGameEvent.h"

#include <cstdint>
#include <string>
#include <string_view>

// A readable event as the server sends it (m_strRaw holds its escaped record).
inline CPBEMGameEvent ServerEvent(std::wstring_view gameId, int nPlayer, std::wstring_view text,
                                  bool bShared = false, std::string_view kind = "Mail")
{
    CPBEMGameEvent event;
    event.m_strGameId = gameId;
    event.m_nPlayer = nPlayer;
    event.m_bShared = bShared;
    event.m_nFromPlayer = 2;
    event.m_strKind = kind;
    event.m_strText = text;
    event.m_strRaw = BuildEscapedEventRecord(event);
    return event;
}

class CAnswerText
{
public:
    explicit CAnswerText(std::string_view version = "Version01")
    {
        m_str = "SanityCheck-5170382 ";
        m_str += version;
        m_str += ' ';
    }

    static std::string Counted(std::string_view text)
    {
        return std::to_string(text.size()) + " " + std::string(text) + " ";
    }

    CAnswerText& Player(std::string_view key = "K")
    {
        CloseBlock();
        m_str += "PlayerKey " + Counted(key);
        m_bInBlock = true;
        return *this;
    }
    // The id as the server prints it ("1058", "-1").
    CAnswerText& Event(std::string_view id, std::string_view type, std::string_view content)
    {
        m_str += "Event " + std::string(id) + " 0  0  " + Counted(type) + Counted(content);
        return *this;
    }
    CAnswerText& Event(std::uint32_t nId, const CPBEMGameEvent& event)
    {
        return Event(std::to_string(nId), "Mail", event.m_strRaw);
    }
    // Anything written as it is.
    CAnswerText& Raw(std::string_view text)
    {
        m_str += text;
        return *this;
    }
    // The closing token of the last block and one token that starts no other block.
    std::string Text() const { return m_bInBlock ? m_str + "EndEvents EndAnswer " : m_str; }
    // The text so far: the last block's events end with the text.
    std::string Unclosed() const { return m_str; }

private:
    void CloseBlock()
    {
        if (m_bInBlock)
            m_str += "EndEvents ";
    }

    std::string m_str;
    bool m_bInBlock = false;
};
