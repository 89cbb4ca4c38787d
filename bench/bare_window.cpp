// The yardstick of the program's start-up: a bare Qt window of the same size and place with a
// label (with Japanese text) and a scroll bar where the blue circle's are, and nothing else.
// tools/startup_bench.py times the two side by side.
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QWidget>

#include "ui/layout.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(CIRCLES_CAPTION));
    window.setGeometry(circles::layout::kClientArea);
    QLabel label(QString::fromUtf8("青い点の半径 － 100"), &window);
    label.setGeometry(circles::layout::kWindow.labels[0]);
    QScrollBar bar(Qt::Horizontal, &window);
    bar.setGeometry(circles::layout::kWindow.scrollBars[0]);
    window.show();
    return QApplication::exec();
}
