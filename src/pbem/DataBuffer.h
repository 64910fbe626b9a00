// A growable little-endian byte buffer with a read position, the unit of the game list file and
// of the event records. Reads never pass the end: a read that would sets the failed flag, returns
// zero or an empty text, and every later read fails too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CDataBuffer
{
public:
    CDataBuffer() = default;
    explicit CDataBuffer(std::string_view bytes);
    explicit CDataBuffer(const char* pszBytes) : CDataBuffer(std::string_view(pszBytes)) {}
    // Takes the bytes over without a copy (a whole game list can be large).
    explicit CDataBuffer(std::string&& bytes);

    void AppendByte(std::uint8_t b);
    void AppendInt16(std::int16_t n);
    void AppendInt32(std::int32_t n);
    void AppendUInt32(std::uint32_t n);
    void AppendWide(std::wstring_view str);  // UTF-16LE units, then a 0x0000 unit
    void AppendAnsi8(std::wstring_view str); // as Windows-1252 bytes, then 0x00
    void AppendBytes8(std::string_view str); // bytes as they are, then 0x00
    void AppendRaw(const void* p, std::size_t n);

    std::uint8_t ReadByte();
    std::int16_t ReadInt16();
    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32();
    std::wstring ReadWide();
    std::wstring ReadAnsi8();
    std::string ReadBytes8();
    // Copies up to n bytes at the position; returns how many were there.
    std::size_t ReadRaw(void* p, std::size_t n);
    void Skip(std::size_t n);

    void SetPosition(std::size_t pos);
    std::size_t GetPosition() const { return m_nPosition; }
    std::size_t GetSize() const { return m_bytes.size(); }
    std::size_t GetRemaining() const { return m_bytes.size() - m_nPosition; }
    void SetSize(std::size_t n);
    bool HasFailed() const { return m_bFailed; }

    const unsigned char* GetData() const
    {
        return reinterpret_cast<const unsigned char*>(m_bytes.data());
    }
    // Hands the bytes over without a copy; the buffer is empty afterwards.
    std::string TakeBytes();

private:
    void Grow(std::size_t nMore);
    bool Take(std::size_t n); // true when n bytes remain; otherwise marks the buffer failed

    std::string m_bytes;
    std::size_t m_nPosition = 0;
    bool m_bFailed = false;
};
