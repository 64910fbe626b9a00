// The reference of the desktop cost benchmark: a minimal tray program as Qt makes one, a frameless
// 220×220 window at the screen's top left with a few lines of text, and a tray icon. Prints
// "first paint" on standard output when the window first paints, and ends cleanly on SIGTERM.
#include "ReferenceWindow.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

namespace
{

class CTextWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xd4, 0xd0, 0xc8));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("Tray window\nGame G1001: 3 new events\nGame G2045\n"
                                        "Game G3183\nPreferences"));
        reference::SayFirstPaint(m_bPainted);
    }

private:
    bool m_bPainted = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const auto pQuitOnTerm = reference::QuitOnTerm(app);
    if (!pQuitOnTerm)
        return 1;

    QPixmap picture(22, 22);
    picture.fill(QColor(0x30, 0x60, 0xa0));
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setToolTip(QStringLiteral("tray window"));
    tray.show();

    CTextWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setWindowTitle("tray window");
    window.setGeometry(0, 0, 220, 220);
    window.show();
    return app.exec();
}
