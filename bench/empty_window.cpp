// The reference of the desktop cost benchmark: an empty frameless 220×220 Qt window at the
// screen's top left, as small as a Qt window program gets. Prints "first paint" on standard
// output when it first paints, and ends cleanly on SIGTERM.
#include <QApplication>
#include <QPainter>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace
{

int g_signalPipe[2] = {-1, -1};

void OnTerm(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &c, 1);
}

class CEmptyWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), QColor(0xd4, 0xd0, 0xc8));
        if (!m_bPainted)
        {
            m_bPainted = true;
            std::puts("first paint");
            std::fflush(stdout);
        }
    }

private:
    bool m_bPainted = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (pipe(g_signalPipe) != 0)
        return 1;
    std::signal(SIGTERM, OnTerm);
    QSocketNotifier notifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QApplication::quit);

    CEmptyWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setWindowTitle("empty window");
    window.setGeometry(0, 0, 220, 220);
    window.show();
    return app.exec();
}
