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
