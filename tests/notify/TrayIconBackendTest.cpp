// The window system's tray back end on the offscreen platform, where no tray host exists.
#include "notify/SystemTray.h"

#include "app/InstallFolder.h"
#include "platform/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const std::wstring kIcons = std::wstring(L"" ZORVEX_ASSETS_DIR) + L"/Data/Icons/";

TEST(TrayIconBackendTest, LoadsBundledIconsAndRefusesUnreadableFiles)
{
    std::unique_ptr<ITrayIconBackend> pTray = CreateTrayIconBackend();
    EXPECT_TRUE(pTray->SetIcon({kIcons + L"icon128-16.png", kIcons + L"icon128-64.png"}));
    EXPECT_FALSE(pTray->SetIcon({kIcons + L"missing.png"}));
    EXPECT_FALSE(pTray->SetIcon({}));
}

TEST(TrayIconBackendTest, WithoutTrayHostBalloonsAreRefused)
{
    std::unique_ptr<ITrayIconBackend> pTray = CreateTrayIconBackend();
    EXPECT_FALSE(pTray->IsSystemTrayAvailable());
    ASSERT_TRUE(pTray->SetIcon({kIcons + L"icon128-16.png"}));
    pTray->Show();
    EXPECT_FALSE(pTray->ShowMessage(L"title", L"text", ETrayMessageIcon::Information, 2000));
    long l = 0, t = 0, r = 0, b = 0;
    EXPECT_FALSE(pTray->GetGeometry(l, t, r, b));
}

// The main window must still open on a desktop without a tray: the icon waits for a host.
TEST(TrayIconBackendTest, TrayCreatesWithoutTrayHost)
{
    const std::wstring strOldFolder = GetInstallFolder();
    SetInstallFolder(L"" ZORVEX_ASSETS_DIR);
    CSystemTray tray;
    EXPECT_TRUE(tray.Create(L"Zorvex", 128, 132, FALSE, L"", L"", 0, 20));
    EXPECT_FALSE(tray.m_bIconHidden);
    SetInstallFolder(strOldFolder);
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
