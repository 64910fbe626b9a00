// The reference of the desktop cost benchmark: an empty frameless 220×220 Qt window at the
// screen's top left, as small as a Qt window program gets. Prints "first paint" on standard
// output when it first paints, and ends cleanly on SIGTERM.
#include "ReferenceWindow.h"

#include <QPainter>
#include <QWidget>

namespace
{

class CEmptyWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), QColor(0xd4, 0xd0, 0xc8));
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

    CEmptyWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setWindowTitle("empty window");
    window.setGeometry(0, 0, 220, 220);
    window.show();
    return app.exec();
}
