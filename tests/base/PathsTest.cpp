#include "base/Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(Paths, JoinAndSplit)
{
    EXPECT_EQ(JoinPath(L"/opt/zorvex", L"\\PBEM\\PBEM.data"), L"/opt/zorvex/PBEM/PBEM.data");
    EXPECT_EQ(JoinPath(L"/opt/zorvex/", L"Data\\Images\\Flags\\x.png"),
              L"/opt/zorvex/Data/Images/Flags/x.png");
    EXPECT_EQ(JoinPath(L"", L"/Profile.ini"), L"Profile.ini");
    EXPECT_EQ(JoinPath(L"/", L"/PBEM"), L"/PBEM");

    EXPECT_EQ(FileNamePart(L"/a/b\\c.event"), L"c.event");
    EXPECT_EQ(FileNamePart(L"c.event"), L"c.event");
    EXPECT_EQ(FolderPart(L"/a/b/c"), L"/a/b");
    EXPECT_TRUE(IsRelativePath(L"Data/x.bmp"));
    EXPECT_FALSE(IsRelativePath(L"/Data/x.bmp"));
}

TEST(Paths, ResolvesLetterCaseFolderByFolder)
{
    CTempDir dir;
    dir.Write("Data/Images/Flags/Ravenmark.png", "x");
    const std::wstring root = dir.WidePath();

    // Exact case wins without a lookup.
    EXPECT_EQ(ResolvePathNoCase(root, L"Data/Images/Flags/Ravenmark.png"),
              root + L"/Data/Images/Flags/Ravenmark.png");
    // Wrong case in folders and file name.
    EXPECT_EQ(ResolvePathNoCase(root, L"\\DATA\\images\\flags\\RAVENMARK.PNG"),
              root + L"/Data/Images/Flags/Ravenmark.png");
    // A file still to be created keeps its name, below the folders that do exist.
    EXPECT_EQ(ResolvePathNoCase(root, L"data/images/New.png"), root + L"/Data/Images/New.png");
    // Past a missing folder everything is kept as given.
    EXPECT_EQ(ResolvePathNoCase(root, L"data/Missing/images"), root + L"/Data/Missing/images");
    EXPECT_TRUE(FileExists(ResolvePathNoCase(root, L"data/images/flags/ravenmark.png")));
    EXPECT_TRUE(DirectoryExists(ResolvePathNoCase(root, L"DATA")));
    EXPECT_FALSE(FileExists(ResolvePathNoCase(root, L"DATA")));
}

TEST(Paths, NativePathsKeepTheirBytes)
{
    const std::string names[] = {
        "/opt/zorvex/PBEM",
        "/home/j\xc3\xbcrgen/Zorvex \xe2\x82\xac",
        "/mnt/caf\xe9/PBEM",             // a Latin-1 folder name
        "/tmp/\xff\xfe/\x80",            // bytes that are never UTF-8
        "/tmp/\xc0\xaf/x",               // overlong "/"
        "/tmp/\xed\xa0\x80\xed\xb0\x80", // encoded surrogates
        "/tmp/\xe2\x82",                 // cut sequence
    };
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        const std::wstring wide = FromNativePath(name);
        EXPECT_EQ(ToNativePath(wide), name);
        EXPECT_EQ(FromNativePath(ToNativePath(wide)), wide);
        // An overlong form of "/" stays a byte of the name, never a separator.
        EXPECT_EQ(FileNamePart(wide), FromNativePath(name.substr(name.rfind('/') + 1)));
    }
}

TEST(Paths, FoldersNamedWithInvalidUtf8AreFoundAndResolved)
{
    CTempDir dir;
    dir.Write("Caf\xe9/Data/x.txt", "x");
    const std::wstring root = dir.WidePath();
    const std::wstring folder = root + FromNativePath("/Caf\xe9");
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_TRUE(FileExists(folder + L"/Data/x.txt"));
    // The case-insensitive lookup hands back the entry's own bytes.
    const std::wstring resolved = ResolvePathNoCase(root, FromNativePath("CAF\xe9/data/X.TXT"));
    EXPECT_EQ(ToNativePath(resolved), dir.Path() + "/Caf\xe9/Data/x.txt");
    EXPECT_TRUE(FileExists(resolved));
}
