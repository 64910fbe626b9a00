// The window system's tray back end on the offscreen platform, where no tray host exists.
#include "notify/SystemTray.h"

#include "base/Paths.h"
#include "notify/FakeTray.h"
#include "platform/TrayIcon.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{

TEST(TrayIconBackendTest, TakesValidPicturesAndRefusesOthers)
{
    std::unique_ptr<ITrayIconBackend> pTray = CreateTrayIconBackend();
    EXPECT_TRUE(pTray->SetIcon({BundledIconImage(128, 16), BundledIconImage(128, 64)}));
    SIconImage wrongCount = BundledIconImage(128, 16);
    wrongCount.pixels.pop_back();
    EXPECT_FALSE(pTray->SetIcon({wrongCount}));
    EXPECT_FALSE(pTray->SetIcon({SIconImage{}}));
    EXPECT_FALSE(pTray->SetIcon({}));
}

// The real back end behind the tray: the icon can be set from an installation folder whose name
// is not UTF-8, and from the bundled pictures where the game folder's files are broken.
TEST(TrayIconBackendTest, IconIsSetFromAnyFolderNameAndDespiteBrokenFiles)
{
    CTempDir temp;
    const std::string strFolder = temp.File("Zorvex \xE9\xFF");
    std::filesystem::create_directories(std::filesystem::path(strFolder) / "Data");
    std::filesystem::copy(std::filesystem::path(ZORVEX_ASSETS_DIR) / "Data" / "Icons",
                          std::filesystem::path(strFolder) / "Data" / "Icons");
    {
        const CInstallFolderScope installFolder(FromNativePath(strFolder));
        CSystemTray tray;
        ASSERT_TRUE(tray.Create(L"Zorvex", 128, 132, FALSE, L"", L"", 0, 20));
        EXPECT_TRUE(tray.SetIconFromResource(134));
    }

    CTempDir broken;
    for (int nSize : {16, 22, 24, 32, 48, 64})
        broken.Write("Data/Icons/icon134-" + std::to_string(nSize) + ".png", "garbage");
    {
        const CInstallFolderScope installFolder(broken.WidePath(), L"" ZORVEX_ASSETS_DIR);
        CSystemTray tray;
        ASSERT_TRUE(tray.Create(L"Zorvex", 128, 132, FALSE, L"", L"", 0, 20));
        EXPECT_TRUE(tray.SetIconFromResource(134));
    }
}

TEST(TrayIconBackendTest, WithoutTrayHostBalloonsAreRefused)
{
    std::unique_ptr<ITrayIconBackend> pTray = CreateTrayIconBackend();
    EXPECT_FALSE(pTray->IsSystemTrayAvailable());
    ASSERT_TRUE(pTray->SetIcon({BundledIconImage(128, 16)}));
    pTray->Show();
    EXPECT_FALSE(pTray->ShowMessage(L"title", L"text", ETrayMessageIcon::Information, 2000));
    long l = 0, t = 0, r = 0, b = 0;
    EXPECT_FALSE(pTray->GetGeometry(l, t, r, b));
}

// The main window must still open on a desktop without a tray: the icon waits for a host.
TEST(TrayIconBackendTest, TrayCreatesWithoutTrayHost)
{
    const CInstallFolderScope installFolder(L"" ZORVEX_ASSETS_DIR);
    CSystemTray tray;
    EXPECT_TRUE(tray.Create(L"Zorvex", 128, 132, FALSE, L"", L"", 0, 20));
    EXPECT_FALSE(tray.m_bIconHidden);
}

// The icon's menu is made from the provider at each opening (id 0 a separator) and reports the
// picked entry's id; without a provider the menu goes.
TEST(TrayIconBackendTest, ContextMenuIsFilledAtOpeningAndReportsThePick)
{
    const QWidgetList before = QApplication::topLevelWidgets();
    std::unique_ptr<ITrayIconBackend> pTray = CreateTrayIconBackend();
    std::wstring strFirst = L"First";
    std::vector<unsigned int> chosen;
    pTray->SetMenuProvider(
        [&] {
            return std::vector<STrayMenuItem>{{1, strFirst}, {0, L""}, {2, L"Second"}};
        },
        [&](unsigned int nID) { chosen.push_back(nID); });
    QPointer<QMenu> pMenu;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (!before.contains(pWidget) && qobject_cast<QMenu*>(pWidget))
            pMenu = qobject_cast<QMenu*>(pWidget);
    ASSERT_FALSE(pMenu.isNull());

    strFirst = L"First again";
    emit pMenu->aboutToShow();
    const QList<QAction*> actions = pMenu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("First again"));
    EXPECT_TRUE(actions[1]->isSeparator());
    actions[2]->trigger();
    EXPECT_EQ(chosen, std::vector<unsigned int>{2});

    pTray->SetMenuProvider(nullptr, nullptr);
    EXPECT_TRUE(pMenu.isNull());
}

} // namespace
