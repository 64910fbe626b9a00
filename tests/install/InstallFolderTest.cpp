#include "install/InstallFolder.h"

#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

TEST(InstallFolderTest, FolderOfExecutablePath)
{
    const struct
    {
        const wchar_t* pszExe;
        const wchar_t* pszFolder;
    } cases[] = {
        {L"/opt/Games/Zorvex/ZorvexMessenger", L"/opt/Games/Zorvex"},
        {L"/opt/Games/Zorvex/Any Name.bin", L"/opt/Games/Zorvex"},
        {L"relative/Zorvex", L"relative"},
        {L"ZorvexMessenger", L""},
        {L"/ZorvexMessenger", L"/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstallFolderFromExePath(c.pszExe), c.pszFolder);
}

TEST(InstallFolderTest, PathsBelowTheFolder)
{
    {
        const CInstallFolderScope root(L"/");
        EXPECT_EQ(InstallPath(L"/zorvex-no-such-file.ini"), L"/zorvex-no-such-file.ini");
    }

    CTempDir dir;
    dir.Write("pbem/pbem.DATA", "");
    const CInstallFolderScope installFolder(dir.WidePath());
    EXPECT_EQ(InstallPath(PATH_PBEM_DATA), dir.WidePath() + L"/pbem/pbem.DATA");
    EXPECT_EQ(InstallPath(PATH_PROFILE), dir.WidePath() + L"/Profile.ini");
}

TEST(InstallFolderTest, ResourcesMissingFromTheInstallFolderComeFromTheDataFolder)
{
    CTempDir install;
    CTempDir data;
    install.Write("Data/Icons/a.png", "");
    data.Write("Data/Icons/a.png", "");
    data.Write("Data/Icons/b.png", "");
    const CInstallFolderScope folders(install.WidePath(), data.WidePath());
    const struct
    {
        const wchar_t* pszRelative;
        std::wstring strExpected;
    } cases[] = {
        {L"Data/Icons/a.png", install.WidePath() + L"/Data/Icons/a.png"},
        {L"Data/Icons/b.png", data.WidePath() + L"/Data/Icons/b.png"},
        {L"/Data/Icons/B.PNG", data.WidePath() + L"/Data/Icons/b.png"},
        {L"Data/Icons/c.png", install.WidePath() + L"/Data/Icons/c.png"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.pszRelative)));
        EXPECT_EQ(ResourcePath(c.pszRelative), c.strExpected);
    }
    // Without a data folder, only the installation folder counts.
    SetDataFolder({});
    EXPECT_EQ(ResourcePath(L"Data/Icons/b.png"), install.WidePath() + L"/Data/Icons/b.png");
}

TEST(InstallFolderTest, DataFolderOfTheBuildTreeOrTheInstalledLayout)
{
    CTempDir tree;
    tree.Write("build/bin/.keep", "");
    tree.Write("prefix/bin/.keep", "");
    tree.Write("prefix/share/zorvex-messenger/.keep", "");
    const std::wstring root = tree.WidePath();
    const std::wstring build = root + L"/build/bin";
    const std::wstring assets = L"/source/assets";
    const std::wstring rel = L"../share/zorvex-messenger";

    EXPECT_EQ(DataFolderForExe(build, rel, build, assets), assets);
    // The same folder reached through a link is still the build tree.
    std::filesystem::create_directory_symlink(tree.Path() + "/build", tree.Path() + "/link");
    EXPECT_EQ(DataFolderForExe(root + L"/link/bin", rel, build, assets), assets);
    EXPECT_EQ(DataFolderForExe(root + L"/prefix/bin", rel, build, assets),
              root + L"/prefix/share/zorvex-messenger");
    EXPECT_EQ(DataFolderForExe(root + L"/prefix/bin", rel, L"", L""),
              root + L"/prefix/share/zorvex-messenger");
}

} // namespace
