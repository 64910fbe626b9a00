// The tray back end on a real X server with a real tray host (trayer): the icon is embedded in the
// host's panel and shows its image there. Skipped where trayer is not installed.
#include "platform/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
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

// The bundled icon's pictures, decoded by Qt here: the back end takes decoded pictures.
std::vector<SIconImage> Icon128Images()
{
    std::vector<SIconImage> images;
    for (int nSize : {16, 22, 24, 32, 48, 64})
    {
        const std::filesystem::path path = std::filesystem::path(ZORVEX_ASSETS_DIR) / "Data" /
                                           "Icons" / ("icon128-" + std::to_string(nSize) + ".png");
        const QImage picture =
            QImage(QString::fromStdString(path.string())).convertToFormat(QImage::Format_ARGB32);
        SIconImage image;
        image.nWidth = picture.width();
        image.nHeight = picture.height();
        for (int y = 0; y < picture.height(); ++y)
        {
            const auto* pLine = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            image.pixels.insert(image.pixels.end(), pLine, pLine + picture.width());
        }
        images.push_back(std::move(image));
    }
    return images;
}

// A tray host whose panel is kPanelWidth x kPanelHeight in the screen's top right corner.
void StartTrayHost(QProcess& host, const QString& trayer)
{
    host.start(trayer,
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                QStringLiteral("--width"), QString::number(kPanelWidth),
                QStringLiteral("--heighttype"), QStringLiteral("pixel"), QStringLiteral("--height"),
                QString::number(kPanelHeight)});
}

// Waits until the host says where the icon is and that place lies inside its panel (top right).
bool WaitUntilInPanel(const ITrayIconBackend& icon, long& l, long& t, long& r, long& b)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect panel(screen.right() + 1 - kPanelWidth, 0, kPanelWidth, kPanelHeight);
    return QTest::qWaitFor(
        [&] { return icon.GetGeometry(l, t, r, b) && panel.contains(QRect(l, t, r - l, b - t)); },
        10000);
}

TEST(X11TrayIconTest, IconIsEmbeddedInTheTrayHost)
{
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    if (trayer.isEmpty())
        GTEST_SKIP() << "trayer is not installed";
    QProcess host;
    StartTrayHost(host, trayer);
    ASSERT_TRUE(host.waitForStarted(5000));

    const std::unique_ptr<ITrayIconBackend> pIcon = CreateTrayIconBackend();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pIcon->IsSystemTrayAvailable(); }, 10000));
    ASSERT_TRUE(pIcon->SetIcon(Icon128Images()));
    pIcon->SetToolTip(L"Zorvex");
    pIcon->Show();

    // Embedded: the host tells where the icon is, and that is inside its panel.
    long l = 0, t = 0, r = 0, b = 0;
    ASSERT_TRUE(WaitUntilInPanel(*pIcon, l, t, r, b))
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

// A right click on the embedded icon opens its menu with the provider's entries; clicking one
// reports its id. The pointer is moved by the X server (xdotool), as a user's would be.
TEST(X11TrayIconTest, RightClickOpensTheMenuAndReportsThePick)
{
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (trayer.isEmpty() || xdotool.isEmpty())
        GTEST_SKIP() << "trayer or xdotool is not installed";
    // Ended however the test ends.
    struct SHost : QProcess
    {
        ~SHost() override
        {
            kill();
            waitForFinished(5000);
        }
    } host;
    StartTrayHost(host, trayer);
    ASSERT_TRUE(host.waitForStarted(5000));
    const auto clickAt = [&](QPoint pt, int nButton)
    {
        QProcess::execute(xdotool, {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                    QString::number(pt.x()), QString::number(pt.y()),
                                    QStringLiteral("click"), QString::number(nButton)});
    };

    const std::unique_ptr<ITrayIconBackend> pIcon = CreateTrayIconBackend();
    std::vector<unsigned int> chosen;
    pIcon->SetMenuProvider(
        [] {
            return std::vector<STrayMenuItem>{{5, L"Five"}, {0, L""}, {6, L"Six"}};
        },
        [&](unsigned int nID) { chosen.push_back(nID); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return pIcon->IsSystemTrayAvailable(); }, 10000));
    ASSERT_TRUE(pIcon->SetIcon(Icon128Images()));
    pIcon->Show();
    long l = 0, t = 0, r = 0, b = 0;
    ASSERT_TRUE(WaitUntilInPanel(*pIcon, l, t, r, b));

    clickAt(QPoint((l + r) / 2, (t + b) / 2), 3);
    QMenu* pMenu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&]
        {
            pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return pMenu && pMenu->isVisible();
        },
        5000));
    const QList<QAction*> actions = pMenu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Five"));
    EXPECT_TRUE(actions[1]->isSeparator());
    clickAt(pMenu->mapToGlobal(pMenu->actionGeometry(actions[2]).center()), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !chosen.empty(); }, 5000));
    EXPECT_EQ(chosen, std::vector<unsigned int>{6});

    pIcon->Hide();
}

} // namespace
