// 円の交点算出サンプル: two circles, and the points where they cross.
#include <cstdio>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>

#include "ui/form1.h"

namespace {

// The program's icon as the window system shows it, from the raw pixels of its 16 x 16 and
// 32 x 32 images: decoding a PNG or ICO would load image plugins at start-up, which cost the
// first picture time and memory.
QIcon WindowIcon() {
    QIcon icon;
    for (const int size : {16, 32}) {
        const QByteArray pixels =
            QResource(QStringLiteral(":/circle-intersection-%1.argb").arg(size)).uncompressedData();
        const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size,
                           QImage::Format_ARGB32);
        icon.addPixmap(QPixmap::fromImage(image.copy()));
    }
    return icon;
}

}  // namespace

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
    QApplication::setApplicationVersion(QStringLiteral(CIRCLES_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("circle-intersection"));

    QApplication::setWindowIcon(WindowIcon());

    circles::Form1 form;
    form.show();
    return QApplication::exec();
}
