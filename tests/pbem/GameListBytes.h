// Game list files written byte by byte, independent of the code that reads and writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CBytes
{
public:
    CBytes& U8(unsigned b)
    {
        m_str += static_cast<char>(b & 0xFF);
        return *this;
    }
    CBytes& I16(int n)
    {
        const auto u = static_cast<std::uint16_t>(n);
        return U8(u).U8(u >> 8);
    }
    CBytes& I32(long long n)
    {
        const auto u = static_cast<std::uint32_t>(n);
        return U8(u).U8(u >> 8).U8(u >> 16).U8(u >> 24);
    }
    // ASCII text as UTF-16LE units and the 0x0000 unit.
    CBytes& W(std::string_view ascii)
    {
        for (char c : ascii)
            U8(static_cast<unsigned char>(c)).U8(0);
        return U8(0).U8(0);
    }
    // Bytes and the 0x00 byte.
    CBytes& A(std::string_view bytes)
    {
        m_str += bytes;
        return U8(0);
    }
    CBytes& Raw(std::string_view bytes)
    {
        m_str += bytes;
        return *this;
    }

    const std::string& Str() const { return m_str; }
    operator std::string() const { return m_str; }

private:
    std::string m_str;
};

// Header version 2 with an account.
inline CBytes HeaderV2(int nGames)
{
    return CBytes().U8(2).I32(1).W("user").W("pw").I32(nGames);
}

// A version-8 record with two players.
// A version-8 record with empty texts, turn 1 and highest id 0, up to its player count.
inline CBytes BareRecordV8Head(std::string_view playerId)
{
    return CBytes().I16(8).W("").W("").W(playerId).W("").I32(1).W("").A("").U8(0).I32(0);
}

inline CBytes GameRecordV8(std::string_view playerId, unsigned nHighestEventId)
{
    return CBytes()
        .I16(8)
        .W("aux")
        .W("inst")
        .W(playerId)
        .W("secret")
        .I32(7)
        .W("flag.png")
        .A("ansi")
        .U8(1)
        .I32(nHighestEventId)
        .I32(2)
        .I32(1)
        .W("p1.png")
        .A("x")
        .I32(2)
        .W("")
        .A("");
}
