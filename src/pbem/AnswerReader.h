// The readers of the game server's answer: space-separated tokens and counted texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class CAnswerReader
{
public:
    explicit CAnswerReader(std::string_view strText) : m_strText(strText) {}

    // The characters up to the next space; the position moves past that space. Without a space
    // after the position, the result is empty and the position stays.
    std::string_view NextToken();
    // NextToken read as a decimal number: an optional sign, then the digits up to the first
    // other character (none give 0). The value wraps to 32 bits, so "-1" and "4294967295" are
    // the same id.
    std::uint32_t NextNumber();
    // A length token L, then the L characters after it; the position moves past them and past
    // one separator character. False, with an empty result and the position unchanged, when the
    // length is not a plain decimal number or more than what remains: the answer is malformed
    // from there on and must not be read further.
    [[nodiscard]] bool NextCounted(std::string_view& strCounted);

    std::size_t GetPosition() const { return m_nPos; }

private:
    std::string_view m_strText;
    std::size_t m_nPos = 0;
};
