#include "base/FileIo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::wstring Wide(const std::string& path)
{
    return std::wstring(path.begin(), path.end());
}
} // namespace

TEST(FileIo, ReadsWholeFilesAndRefusesWhatIsNoFile)
{
    CTempDir dir;
    dir.Write("a.bin", std::string("ab\0cd", 5));
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);

    std::string bytes = "stale";
    EXPECT_TRUE(ReadWholeFile(Wide(dir.File("a.bin")), bytes).Ok());
    EXPECT_EQ(bytes, std::string("ab\0cd", 5));

    struct
    {
        std::string path;
        std::uint64_t nMax;
        EFileRead expected;
    } const cases[] = {
        {dir.File("missing"), UINT64_MAX, EFileRead::Missing},
        {dir.File("missing/below"), UINT64_MAX, EFileRead::Missing},
        {dir.Path(), UINT64_MAX, EFileRead::NotRegular},
        {dir.File("pipe"), UINT64_MAX, EFileRead::NotRegular}, // and it does not block
        {dir.File("a.bin"), 4, EFileRead::TooLarge},
        {dir.File("a.bin"), 5, EFileRead::Ok},
    };
    for (const auto& c : cases)
    {
        bytes = "stale";
        const SFileReadResult result = ReadWholeFile(Wide(c.path), bytes, c.nMax);
        EXPECT_EQ(result.eResult, c.expected) << c.path;
        if (c.expected != EFileRead::Ok)
        {
            EXPECT_TRUE(bytes.empty()) << c.path;
        }
    }
}

TEST(FileIo, WriteAllWritesEverything)
{
    CTempDir dir;
    const int fd = ::open(dir.File("out").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const std::string big(1 << 20, 'x');
    EXPECT_TRUE(WriteAll(fd, big));
    ::close(fd);
    EXPECT_EQ(dir.Read("out"), big);
    EXPECT_FALSE(WriteAll(-1, "x"));
}

TEST(FileIo, MatchFileBytesComparesExactly)
{
    CTempDir dir;
    dir.Write("record", "Even record");
    dir.Write("empty", "");
    dir.Write("sub/x", "");
    const struct
    {
        std::string name;
        std::string bytes;
        EFileMatch expected;
    } cases[] = {
        {"record", "Even record", EFileMatch::Same},
        {"record", "Even recorD", EFileMatch::Different},
        {"record", "Even recor", EFileMatch::Different}, // the file holds more
        {"record", "Even record!", EFileMatch::Different},
        {"empty", "Even record", EFileMatch::Different},
        {"empty", "", EFileMatch::Same},
        {"missing", "Even record", EFileMatch::Missing},
        {"sub", "", EFileMatch::NotRegular},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name + " / " + c.bytes);
        EXPECT_EQ(MatchFileBytes(Wide(dir.File(c.name)), c.bytes), c.expected);
    }
    // Larger than one block of the comparison, with the difference in the last one.
    std::string big(200000, 'x');
    dir.Write("big", big);
    EXPECT_EQ(MatchFileBytes(Wide(dir.File("big")), big), EFileMatch::Same);
    big.back() = 'y';
    EXPECT_EQ(MatchFileBytes(Wide(dir.File("big")), big), EFileMatch::Different);
}

TEST(FileIo, SyncFolderNeedsAFolder)
{
    CTempDir dir;
    dir.Write("file", "x");
    EXPECT_TRUE(SyncFolder(Wide(dir.Path())));
    EXPECT_FALSE(SyncFolder(Wide(dir.File("file"))));
    EXPECT_FALSE(SyncFolder(Wide(dir.File("missing"))));
}
