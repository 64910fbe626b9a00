// The tray back end on a real X server with a real tray host (trayer): the icon is embedded in the
// host's panel and shows its image there. Skipped where trayer is not installed.
#include "platform/TrayIcon.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr int kPanelWidth = 120;
constexpr int kPanelHeight = 32;

std::vector<std::wstring> Icon128Files()
{
    std::vector<std::wstring> files;
    for (int nSize : {16, 22, 24, 32, 48, 64})
    {
        files.push_back((std::filesystem::path(ZORVEX_ASSETS_DIR) / "Data" / "Icons" /
                         ("icon128-" + std::to_string(nSize) + ".png"))
                            .wstring());
    }
    return files;
}

TEST(X11TrayIconTest, IconIsEmbeddedInTheTrayHost)
{
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    if (trayer.isEmpty())
        GTEST_SKIP() << "trayer is not installed";
    QProcess host;
    host.start(trayer, {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("right"), QStringLiteral("--widthtype"),
                        QStringLiteral("pixel"), QStringLiteral("--width"),
                        QString::number(kPanelWidth), QStringLiteral("--heighttype"),
                        QStringLiteral("pixel"), QStringLiteral("--height"),
                        QString::number(kPanelHeight)});
    ASSERT_TRUE(host.waitForStarted(5000));

    const std::unique_ptr<ITrayIconBackend> pIcon = CreateTrayIconBackend();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pIcon->IsSystemTrayAvailable(); }, 10000));
    ASSERT_TRUE(pIcon->SetIcon(Icon128Files()));
    pIcon->SetToolTip(L"Zorvex");
    pIcon->Show();

    // Embedded: the host tells where the icon is, and that is inside its panel.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect panel(screen.right() + 1 - kPanelWidth, 0, kPanelWidth, kPanelHeight);
    long l = 0, t = 0, r = 0, b = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return pIcon->GetGeometry(l, t, r, b) && panel.contains(QRect(l, t, r - l, b - t)); },
        10000))
        << "icon at " << l << "," << t << " - " << r << "," << b;

    // The icon's image shows there: more than the panel's one background colour.
    const auto Colours = [&]
    {
        const QImage shot = QGuiApplication::primaryScreen()
                                ->grabWindow(0, l, t, r - l, b - t)
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
        std::vector<QRgb> seen;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (std::find(seen.begin(), seen.end(), shot.pixel(x, y)) == seen.end())
                    seen.push_back(shot.pixel(x, y));
        return seen.size();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return Colours() > 8; }, 5000));

    pIcon->Hide();
    host.kill();
    host.waitForFinished(5000);
}

} // namespace
