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
