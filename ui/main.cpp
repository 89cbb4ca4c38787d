// 円の交点算出サンプル: two circles, and the points where they cross.
#include <QApplication>
#include <QIcon>

#include "ui/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("circle-intersection"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QGuiApplication::setDesktopFileName(QStringLiteral("circle-intersection"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/circle-intersection.ico")));

    circles::Form1 form;
    form.show();
    return QApplication::exec();
}
