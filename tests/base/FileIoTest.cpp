#include "base/FileIo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace
{
std::wstring Wide(const std::string& path)
{
    return std::wstring(path.begin(), path.end());
}

bool IsOpenFd(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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

TEST(FileIo, DescriptorIsClosedByItsLastOwnerOnly)
{
    CTempDir dir;
    const int fd = ::open(dir.Path().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        CFileDescriptor first(fd);
        CFileDescriptor second(std::move(first));
        EXPECT_FALSE(first.IsOpen()); // NOLINT(bugprone-use-after-move): what a move leaves
        CFileDescriptor third;
        third = std::move(second);
        EXPECT_EQ(third.Get(), fd);
        EXPECT_TRUE(IsOpenFd(fd)) << "a move closes nothing";
    }
    EXPECT_FALSE(IsOpenFd(fd));

    CFileDescriptor kept(::open(dir.Path().c_str(), O_RDONLY | O_CLOEXEC));
    const int nOther = ::open(dir.Path().c_str(), O_RDONLY | O_CLOEXEC);
    const int nKept = kept.Get();
    kept.Reset(nOther);
    EXPECT_FALSE(IsOpenFd(nKept)) << "Reset closes what was held";
    const int nReleased = kept.Release();
    EXPECT_FALSE(kept.IsOpen());
    EXPECT_TRUE(IsOpenFd(nReleased)) << "Release leaves it open";
    ::close(nReleased);
    EXPECT_TRUE(kept.Close()) << "nothing held: nothing to fail";
}

TEST(FileIo, TempFileBesideIsNamedPrivateAndRemoved)
{
    CTempDir dir;
    const std::string pid = std::to_string(::getpid());
    std::string strFirst;
    {
        CTempFileBeside temp(dir.File("final.dat"), ".final.", ".tmp", 0600);
        ASSERT_TRUE(temp.IsOpen());
        strFirst = temp.GetPath();
        EXPECT_TRUE(strFirst.starts_with(dir.File(".final." + pid + "-"))) << strFirst;
        EXPECT_TRUE(strFirst.ends_with(".tmp")) << strFirst;
        EXPECT_NE(::fcntl(temp.Get(), F_GETFD) & FD_CLOEXEC, 0);
        struct stat st;
        ASSERT_EQ(::fstat(temp.Get(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_TRUE(WriteAll(temp.Get(), "half"));
    }
    EXPECT_TRUE(Entries(dir.Path()).empty()) << "a temporary file that took no name is removed";

    // Names that are taken (leftovers of a process that had our pid) are skipped, not reused.
    const std::size_t nDash = strFirst.rfind('-');
    const unsigned nSerial = std::stoul(strFirst.substr(nDash + 1));
    for (unsigned n = nSerial + 1; n <= nSerial + 3; ++n)
        dir.Write("x." + pid + "-" + std::to_string(n), "leftover");
    CTempFileBeside next(dir.File("x"), "x.", "", 0644);
    ASSERT_TRUE(next.IsOpen());
    EXPECT_EQ(next.GetPath(), dir.File("x." + pid + "-" + std::to_string(nSerial + 4)));
    EXPECT_EQ(dir.Read("x." + pid + "-" + std::to_string(nSerial + 1)), "leftover");

    CTempFileBeside nowhere(dir.File("missing/final"), "", ".tmp", 0644);
    EXPECT_FALSE(nowhere.IsOpen());
    EXPECT_FALSE(nowhere.Replace());
    EXPECT_EQ(nowhere.Link(), CTempFileBeside::ELink::Failed);
}

TEST(FileIo, TempFileBesideReplacesOrLinksWithoutReplacing)
{
    CTempDir dir;
    dir.Write("replaced", "old");
    dir.Write("kept", "old");
    {
        CTempFileBeside temp(dir.File("replaced"), ".r.", ".tmp", 0644);
        ASSERT_TRUE(WriteAll(temp.Get(), "new") && temp.Close());
        EXPECT_TRUE(temp.Replace());
        EXPECT_TRUE(temp.SyncFolder());
    }
    EXPECT_EQ(dir.Read("replaced"), "new");

    {
        CTempFileBeside temp(dir.File("kept"), ".k.", ".tmp", 0644);
        ASSERT_TRUE(WriteAll(temp.Get(), "new") && temp.Close());
        EXPECT_EQ(temp.Link(), CTempFileBeside::ELink::Exists);
        EXPECT_EQ(dir.Read("kept"), "old");
        // The caller may still decide to replace it.
        EXPECT_TRUE(temp.Replace());
    }
    EXPECT_EQ(dir.Read("kept"), "new");

    {
        CTempFileBeside temp(dir.File("linked"), ".l.", ".tmp", 0644);
        ASSERT_TRUE(WriteAll(temp.Get(), "new") && temp.Close());
        EXPECT_EQ(temp.Link(), CTempFileBeside::ELink::Linked);
    }
    EXPECT_EQ(dir.Read("linked"), "new");
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"kept", "linked", "replaced"}))
        << "no temporary name is left behind";
}
