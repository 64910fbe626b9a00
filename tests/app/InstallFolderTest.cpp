#include "app/InstallFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

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
    SetInstallFolder(L"/");
    EXPECT_EQ(InstallPath(L"/zorvex-no-such-file.ini"), L"/zorvex-no-such-file.ini");

    CTempDir dir;
    dir.Write("pbem/pbem.DATA", "");
    SetInstallFolder(dir.WidePath());
    EXPECT_EQ(InstallPath(PATH_PBEM_DATA), dir.WidePath() + L"/pbem/pbem.DATA");
    EXPECT_EQ(InstallPath(PATH_PROFILE), dir.WidePath() + L"/Profile.ini");
    SetInstallFolder({});
}

} // namespace
