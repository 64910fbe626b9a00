// The window system's tray back end on the offscreen platform, where no tray host exists.
#include "notify/SystemTray.h"

#include "app/InstallFolder.h"
#include "platform/TrayIcon.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
