#include "ui/windowsystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QLoggingCategory>
#include <QMargins>
#include <QScreen>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef CIRCLES_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace circles {

namespace {

#ifdef Q_OS_UNIX
// Where stderr went before the start-up silenced it.
int savedStderr = -1;

// While Qt tries its platforms, what it and the window system's libraries say (a platform that
// is missing before one that works, a Wayland library that finds no runtime folder) goes to
// /dev/null: it is not for the user.
void SilenceStderr() {
    std::fflush(stderr);
    savedStderr = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStderr >= 0 && null >= 0) {
        dup2(null, STDERR_FILENO);
    }
    if (null >= 0) {
        close(null);
    }
}

void RestoreStderr() {
    if (savedStderr >= 0) {
        std::fflush(stderr);
        dup2(savedStderr, STDERR_FILENO);
        close(savedStderr);
        savedStderr = -1;
    }
}
#else
void SilenceStderr() {}
void RestoreStderr() {}
#endif

// Qt's failure to start its platform is a fatal message; anything else it says meanwhile is
// about platforms it tried and gave up.
void StartUpMessage(QtMsgType type, const QMessageLogContext& /*context*/,
                    const QString& /*message*/) {
    if (type == QtFatalMsg) {
        RestoreStderr();
        std::fputs(
            "ディスプレイに接続できません。このプログラムには X11 または Wayland の"
            "ディスプレイが必要です。\n",
            stderr);
        std::_Exit(1);
    }
}

#ifdef CIRCLES_HAVE_XCB
// Watches the X server's events for the destruction of one window.
class DestroyWatch : public QAbstractNativeEventFilter {
public:
    explicit DestroyWatch(xcb_window_t window) : window_(window) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message,
                           qintptr* /*result*/) override {
        if (eventType != "xcb_generic_event_t") {
            return false;
        }
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
            static_cast<const xcb_destroy_notify_event_t*>(message)->window == window_) {
            // The window is gone; Qt's own clean-up would only ask the server to destroy it
            // again, and print the server's error. There is nothing to save.
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }

private:
    xcb_window_t window_;
};
#endif

}  // namespace

std::unique_ptr<QApplication> ConnectToWindowSystem(int& argc, char** argv) {
    const QtMessageHandler previous = qInstallMessageHandler(&StartUpMessage);
    SilenceStderr();
    auto app = std::make_unique<QApplication>(argc, argv);
    RestoreStderr();
    qInstallMessageHandler(previous);
    // Qt notes each touch point it drops on the way (the second of two fingers lifted at once,
    // in a browser): a note for Qt's own developers, not for the user.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.pointer.dispatch.warning=false"));
    return app;
}

QRect PlaceOnScreen(QRect window, QRect free) {
    // Room for a window manager's frame, which is not known before the window is shown.
    constexpr QMargins kFrame{8, 32, 8, 8};
    if (free.contains(window.marginsAdded(kFrame))) {
        return window;
    }
    window.moveCenter(free.center());
    const QRect framed = window.marginsAdded(kFrame);
    window.translate(std::max(0, free.left() - framed.left()),
                     std::max(0, free.top() - framed.top()));
    return window;
}

QRect FreeAreaAround(QRect window) {
    const QScreen* screen = QGuiApplication::screenAt(window.center());
    return (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
}

void ShowWindow(QWidget& window) {
    if (QGuiApplication::platformName() == QLatin1String("wasm")) {
        // Qt's browser platform draws a title bar wherever a window has the title hint, which
        // Qt gives every window unless its hints are customised.
        window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::FramelessWindowHint);
        window.move(window.screen()->geometry().topLeft());
    }
    // Rather than show(), which on the browser's platform opens every window full screen.
    window.showNormal();
}

void EndWhenDestroyedFromOutside(QWidget& window) {
#ifdef CIRCLES_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        static DestroyWatch watch(static_cast<xcb_window_t>(window.winId()));
        QCoreApplication::instance()->installNativeEventFilter(&watch);
    }
#else
    (void)window;
#endif
}

}  // namespace circles
