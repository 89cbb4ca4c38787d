// 円の交点算出サンプル: two circles, and the points where they cross.
#include <cstdio>

#include <QApplication>
#include <QIcon>

#include "ui/form1.h"

int main(int argc, char** argv) {
    // Without a display Qt would abort with an English message and a core dump. A platform
    // named in QT_QPA_PLATFORM (offscreen, say) is the caller's choice and is left to Qt.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs(
            "ディスプレイが見つかりません。このプログラムには X11 または Wayland の"
            "ディスプレイが必要です。\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("circle-intersection"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QGuiApplication::setDesktopFileName(QStringLiteral("circle-intersection"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/circle-intersection.ico")));

    circles::Form1 form;
    form.show();
    return QApplication::exec();
}
