#include "pbem/DataBuffer.h"

#include "GameListBytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{

std::string Bytes(const CDataBuffer& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), buffer.GetSize());
}

} // namespace

TEST(DataBuffer, WritesLittleEndianValuesAndTerminatedStrings)
{
    CDataBuffer buffer;
    buffer.AppendByte(0xAB);
    buffer.AppendInt16(-2);
    buffer.AppendInt32(0x01020304);
    buffer.AppendUInt32(0xFFFFFFFEu);
    buffer.AppendWide(L"A\u00E9\u20AC");
    buffer.AppendWide(L"\U0001F600");          // beyond 16 bits: a surrogate pair
    buffer.AppendAnsi8(L"\u20AC\u00E9\u4E00"); // the last has no Windows-1252 byte
    buffer.AppendBytes8("\x81z");

    const std::string expected = CBytes()
                                     .U8(0xAB)
                                     .U8(0xFE)
                                     .U8(0xFF)
                                     .Raw("\x04\x03\x02\x01")
                                     .Raw("\xFE\xFF\xFF\xFF")
                                     .Raw(std::string("A\0\xE9\0\xAC\x20\0\0", 8))
                                     .Raw(std::string("\x3D\xD8\x00\xDE\0\0", 6))
                                     .Raw(std::string("\x80\xE9?\0", 4))
                                     .Raw(std::string("\x81z\0", 3));
    EXPECT_EQ(Bytes(buffer), expected);

    buffer.SetPosition(0);
    EXPECT_EQ(buffer.ReadByte(), 0xAB);
    EXPECT_EQ(buffer.ReadInt16(), -2);
    EXPECT_EQ(buffer.ReadInt32(), 0x01020304);
    EXPECT_EQ(buffer.ReadUInt32(), 0xFFFFFFFEu);
    EXPECT_EQ(buffer.ReadWide(), L"A\u00E9\u20AC");
    EXPECT_EQ(buffer.ReadWide(), L"\U0001F600");
    EXPECT_EQ(buffer.ReadAnsi8(), L"\u20AC\u00E9?");
    EXPECT_EQ(buffer.ReadBytes8(), "\x81z");
    EXPECT_FALSE(buffer.HasFailed());
    EXPECT_EQ(buffer.GetRemaining(), 0u);
}

TEST(DataBuffer, EmbeddedTerminatorCannotSplitAField)
{
    CDataBuffer buffer;
    buffer.AppendWide(std::wstring(L"ab\0cd", 5));
    buffer.AppendBytes8(std::string("xy\0z", 4));
    buffer.AppendInt32(5);

    EXPECT_EQ(buffer.ReadWide(), L"ab");
    EXPECT_EQ(buffer.ReadBytes8(), "xy");
    EXPECT_EQ(buffer.ReadInt32(), 5);
    EXPECT_FALSE(buffer.HasFailed());
}

// Every read that would pass the end fails, returns nothing, and fails every read after it,
// even one that would fit.
TEST(DataBuffer, ReadPastTheEndFailsAndStaysFailed)
{
    struct SCase
    {
        const char* pszName;
        std::string bytes;
        std::function<bool(CDataBuffer&)> read; // true when the read returned "nothing"
    };
    const SCase cases[] = {
        {"byte", "", [](CDataBuffer& b) { return b.ReadByte() == 0; }},
        {"int16", "\x05", [](CDataBuffer& b) { return b.ReadInt16() == 0; }},
        {"int32", "\x01\x02\x03", [](CDataBuffer& b) { return b.ReadInt32() == 0; }},
        {"uint32", "\x01", [](CDataBuffer& b) { return b.ReadUInt32() == 0; }},
        {"wide unterminated", "a\0b\0", [](CDataBuffer& b) { return b.ReadWide().empty(); }},
        {"wide odd byte", std::string("a\0\0", 3),
         [](CDataBuffer& b) { return b.ReadWide().empty(); }},
        {"8-bit unterminated", "abc", [](CDataBuffer& b) { return b.ReadBytes8().empty(); }},
        {"ansi unterminated", "abc", [](CDataBuffer& b) { return b.ReadAnsi8().empty(); }},
        {"skip", "abc",
         [](CDataBuffer& b)
         {
             b.Skip(4);
             return true;
         }},
        {"raw", "abc",
         [](CDataBuffer& b)
         {
             char out[8] = {};
             return b.ReadRaw(out, sizeof out) == 3 && std::string(out) == "abc";
         }},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CDataBuffer buffer(c.bytes);
        EXPECT_TRUE(c.read(buffer));
        EXPECT_TRUE(buffer.HasFailed());
        EXPECT_LE(buffer.GetPosition(), buffer.GetSize());

        // Now there would be room (zeros: a terminated empty string); the reads still fail.
        const std::size_t nPosition = buffer.GetPosition();
        buffer.SetSize(buffer.GetSize() + 8);
        buffer.ReadByte();
        EXPECT_TRUE(buffer.ReadWide().empty());
        EXPECT_EQ(buffer.ReadInt32(), 0);
        EXPECT_EQ(buffer.GetPosition(), nPosition);
        EXPECT_TRUE(buffer.HasFailed());
    }
}

TEST(DataBuffer, ExactFitReadsSucceed)
{
    CDataBuffer buffer(std::string("\x01\x02\x03\x04"
                                   "a\0"
                                   "b\0\0\0",
                                   10));
    EXPECT_EQ(buffer.ReadInt32(), 0x04030201);
    EXPECT_EQ(buffer.ReadBytes8(), "a");
    EXPECT_EQ(buffer.ReadWide(), L"b");
    EXPECT_FALSE(buffer.HasFailed());
    EXPECT_EQ(buffer.GetRemaining(), 0u);
}

TEST(DataBuffer, SetSizeCutsAndExtendsWithZeros)
{
    CDataBuffer buffer("abcdef");
    buffer.Skip(5);
    buffer.SetSize(3);
    EXPECT_EQ(buffer.GetPosition(), 3u);
    buffer.SetSize(5);
    EXPECT_EQ(Bytes(buffer), std::string("abc\0\0", 5));
    buffer.AppendByte('z');
    EXPECT_EQ(Bytes(buffer), std::string("abc\0\0z", 6));
}

TEST(DataBuffer, LargeAppendsKeepEveryByte)
{
    CDataBuffer buffer;
    for (int i = 0; i < 10000; ++i)
        buffer.AppendInt32(i);
    ASSERT_EQ(buffer.GetSize(), 40000u);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(buffer.ReadInt32(), i);
    EXPECT_FALSE(buffer.HasFailed());
}
