// Circle Intersection: two circles, and the points where they cross.
#include <memory>
#include <optional>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>

#include "ui/eventhost.h"
#include "ui/form1.h"
#include "ui/pageaccessibility.h"
#include "ui/pagefit.h"
#include "ui/windowsystem.h"

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
    const std::unique_ptr<QApplication> app = circles::ConnectToWindowSystem(argc, argv);
    QApplication::setApplicationName(QStringLiteral("circle-intersection"));
    QApplication::setApplicationVersion(QStringLiteral(CIRCLES_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("circle-intersection"));

    QApplication::setWindowIcon(WindowIcon());

    // An error while the window is made (a screen scale too large for its pictures, say) is
    // reported as one that leaves an event handler; without its window the program ends.
    circles::EventHost host;
    std::optional<circles::Form1> form;
    host.Deliver([&] { form.emplace(host); });
    if (!form) {
        return 1;
    }
    circles::FitWindowToPage(*form);
    circles::ShowWindow(*form);
    circles::MirrorAccessibleTreeToPage(*form, host);
    circles::EndWhenDestroyedFromOutside(*form);
    return QApplication::exec();
}
