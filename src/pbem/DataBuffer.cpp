#include "pbem/DataBuffer.h"

#include "base/Encoding.h"

#include <algorithm>
#include <cstring>

namespace
{

constexpr std::size_t kMinGrowth = 500;

// A terminated string cannot carry its terminator: cut the text there, so that what is written
// reads back as one field and never shifts the fields after it.
template <typename Char> std::basic_string_view<Char> UpToNul(std::basic_string_view<Char> str)
{
    const std::size_t nul = str.find(Char(0));
    return nul == std::basic_string_view<Char>::npos ? str : str.substr(0, nul);
}

} // namespace

CDataBuffer::CDataBuffer(std::string_view bytes) : m_bytes(bytes) {}

CDataBuffer::CDataBuffer(std::string&& bytes) : m_bytes(std::move(bytes)) {}

std::string CDataBuffer::TakeBytes()
{
    std::string bytes = std::move(m_bytes);
    m_bytes.clear();
    m_nPosition = 0;
    return bytes;
}

void CDataBuffer::Grow(std::size_t nMore)
{
    const std::size_t nNeeded = m_bytes.size() + nMore;
    if (nNeeded <= m_bytes.capacity())
        return;
    // Doubling keeps appends linear; the floor keeps small buffers from growing byte by byte.
    m_bytes.reserve(
        std::max(nNeeded, m_bytes.capacity() + std::max(kMinGrowth, m_bytes.capacity())));
}

void CDataBuffer::AppendRaw(const void* p, std::size_t n)
{
    if (n == 0)
        return;
    Grow(n);
    m_bytes.append(static_cast<const char*>(p), n);
}

void CDataBuffer::AppendByte(std::uint8_t b)
{
    AppendRaw(&b, 1);
}

void CDataBuffer::AppendInt16(std::int16_t n)
{
    const auto u = static_cast<std::uint16_t>(n);
    const unsigned char bytes[2] = {static_cast<unsigned char>(u & 0xFF),
                                    static_cast<unsigned char>(u >> 8)};
    AppendRaw(bytes, 2);
}

void CDataBuffer::AppendInt32(std::int32_t n)
{
    AppendUInt32(static_cast<std::uint32_t>(n));
}

void CDataBuffer::AppendUInt32(std::uint32_t n)
{
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(n & 0xFF), static_cast<unsigned char>((n >> 8) & 0xFF),
        static_cast<unsigned char>((n >> 16) & 0xFF), static_cast<unsigned char>(n >> 24)};
    AppendRaw(bytes, 4);
}

void CDataBuffer::AppendWide(std::wstring_view str)
{
    const std::string units = WideToUtf16Le(UpToNul(str));
    Grow(units.size() + 2);
    AppendRaw(units.data(), units.size());
    AppendInt16(0);
}

void CDataBuffer::AppendAnsi8(std::wstring_view str)
{
    AppendBytes8(WideToAnsi(UpToNul(str)));
}

void CDataBuffer::AppendBytes8(std::string_view str)
{
    str = UpToNul(str);
    Grow(str.size() + 1);
    AppendRaw(str.data(), str.size());
    AppendByte(0);
}

bool CDataBuffer::Take(std::size_t n)
{
    if (m_bFailed || n > GetRemaining())
    {
        m_bFailed = true;
        return false;
    }
    return true;
}

std::uint8_t CDataBuffer::ReadByte()
{
    if (!Take(1))
        return 0;
    return static_cast<std::uint8_t>(m_bytes[m_nPosition++]);
}

std::int16_t CDataBuffer::ReadInt16()
{
    if (!Take(2))
        return 0;
    const unsigned char* p = GetData() + m_nPosition;
    m_nPosition += 2;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

std::int32_t CDataBuffer::ReadInt32()
{
    return static_cast<std::int32_t>(ReadUInt32());
}

std::uint32_t CDataBuffer::ReadUInt32()
{
    if (!Take(4))
        return 0;
    const unsigned char* p = GetData() + m_nPosition;
    m_nPosition += 4;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::wstring CDataBuffer::ReadWide()
{
    if (m_bFailed)
        return {};
    for (std::size_t i = m_nPosition; i + 2 <= m_bytes.size(); i += 2)
    {
        if (m_bytes[i] == 0 && m_bytes[i + 1] == 0)
        {
            const std::string_view units(m_bytes.data() + m_nPosition, i - m_nPosition);
            m_nPosition = i + 2;
            return Utf16LeToWide(units);
        }
    }
    m_bFailed = true;
    return {};
}

std::wstring CDataBuffer::ReadAnsi8()
{
    return AnsiToWide(ReadBytes8());
}

std::string CDataBuffer::ReadBytes8()
{
    if (m_bFailed)
        return {};
    const auto begin = m_bytes.begin() + static_cast<std::ptrdiff_t>(m_nPosition);
    const auto nul = std::find(begin, m_bytes.end(), '\0');
    if (nul == m_bytes.end())
    {
        m_bFailed = true;
        return {};
    }
    std::string out(begin, nul);
    m_nPosition += out.size() + 1;
    return out;
}

std::size_t CDataBuffer::ReadRaw(void* p, std::size_t n)
{
    if (m_bFailed)
        return 0;
    const std::size_t nAvailable = std::min(n, GetRemaining());
    if (nAvailable > 0)
        std::memcpy(p, &m_bytes[m_nPosition], nAvailable);
    m_nPosition += nAvailable;
    if (nAvailable < n)
        m_bFailed = true;
    return nAvailable;
}

void CDataBuffer::Skip(std::size_t n)
{
    if (Take(n))
        m_nPosition += n;
}

void CDataBuffer::SetPosition(std::size_t pos)
{
    if (pos > m_bytes.size())
    {
        m_nPosition = m_bytes.size();
        m_bFailed = true;
        return;
    }
    m_nPosition = pos;
}

void CDataBuffer::SetSize(std::size_t n)
{
    if (n > m_bytes.size())
        Grow(n - m_bytes.size());
    m_bytes.resize(n);
    m_nPosition = std::min(m_nPosition, n);
}
