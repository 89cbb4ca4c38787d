// A real Form1 on the offscreen platform, driven by real Qt events; the assertions look at the
// scene, the controls and the pixels. How the window first looks is the end-to-end tests' part.
#include "ui/form1.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformbackingstore.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qplatformscreen.h>
#include <qpa/qplatformwindow.h>
#include <qpa/qwindowsysteminterface.h>
#include <QAccessible>
#include <QApplication>
#include <QBackingStore>
#include <QKeyEvent>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "ui/layout.h"
#include "ui/pagefit.h"
#include "ui/windowsystem.h"

namespace circles {
namespace {

// Where a scroll bar's parts lie, 201 px wide, its thumb near the middle: left trough, thumb
// (at 100), right trough, right arrow.
enum Part { kSubPage = 30, kThumb = 100, kAddPage = 170, kAddLine = 194 };

// How often a screen reader has been told that the picture's description changed.
int descriptionChanges = 0;

class Form1Test : public testing::Test {
protected:
    void SetUp() override {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            descriptionChanges += event->type() == QAccessible::DescriptionChanged;
        });
        ShowWindow(form);  // as the program shows it
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // The scene as one text, blue centre and radius / red centre and radius, checked with the
    // labels and Picture2's copy on Picture1.
    QString State() const {
        const Scene& s = form.scene();
        EXPECT_EQ(
            form.Label1[0]->text() + form.Label1[1]->text(),
            QString("青い点の半径 － %1赤い点の半径 － %2").arg(s.Radius[0]).arg(s.Radius[1]));
        EXPECT_EQ(Picture(), form.Picture2.Image());
        return QString::asprintf("(%g,%g) %g / (%g,%g) %g", s.CenterPt[0].X, s.CenterPt[0].Y,
                                 s.Radius[0], s.CenterPt[1].X, s.CenterPt[1].Y, s.Radius[1]);
    }

    QImage Picture() const { return form.Picture1->surface().Image(); }

    // What the window shows now, as the window system has it: only what was repainted changed.
    QImage OnScreen() {
        QCoreApplication::processEvents();
        return form.backingStore()->handle()->toImage();
    }

    void Move(Qt::MouseButtons buttons, QPointF to, Qt::KeyboardModifiers modifiers = {}) {
        const QPointF at = to + QPointF(2, 2);  // the drawing area starts inside the 2 px border
        QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, buttons, modifiers);
        QApplication::sendEvent(form.Picture1, &move);
    }

    // A key pressed and, but for Tab, repeated once as a held key repeats.
    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        for (int n = 0; n < (key == Qt::Key_Tab ? 1 : 2); ++n) {
            QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), /*autorep=*/n > 0);
            QApplication::sendEvent(QApplication::focusWidget(), &press);
        }
    }

    // A touch from its first finger down to its last one up; each step says where the fingers
    // are (one new in a step comes down, one gone is lifted). Held, the first finger stays still
    // longer than the press-and-hold time (made short for the test) before the next step.
    void Touch(QWidget* on, const std::vector<std::vector<QPoint>>& steps, bool held = false) {
        QGuiApplication::styleHints()->setMousePressAndHoldInterval(300);
        std::vector<QPoint> before;
        for (std::size_t step = 0; step <= steps.size(); ++step) {
            const std::vector<QPoint> now = step < steps.size() ? steps[step] : before;
            auto touch = QTest::touchEvent(on, device.get());
            for (std::size_t i = 0; i < std::max(before.size(), now.size()); ++i) {
                const int id = static_cast<int>(i);
                step == steps.size() || i >= now.size() ? touch.release(id, before[i], on)
                : i >= before.size()                    ? touch.press(id, now[i], on)
                                                        : touch.move(id, now[i], on);
            }
            touch.commit();
            QTest::qWait(step == 0 && held ? 400 : 0);
            before = now;
        }
    }

    EventHost host;
    Form1 form{host};
    // Owned by the test: Qt registers the device but leaves its deletion to whoever made it.
    std::unique_ptr<QPointingDevice> device{QTest::createTouchDevice()};
};

// Where the window opens on screens of every size; the frame needs 8 px at the sides and below,
// 32 px above.
TEST(PlaceOnScreen, OpensAtItsOwnPlaceOrWhollyOnTheScreen) {
    const std::pair<QRect, QRect> screens[] = {
        {{0, 0, 800, 600}, layout::kClientArea},      // fits
        {{1024, 0, 700, 560}, {1057, 60, 634, 439}},  // the middle of a second screen
        {{0, 0, 640, 480}, {8, 32, 634, 439}},        // the middle, kept off the top-left edge
    };
    for (const auto& [free, window] : screens) {
        EXPECT_EQ(PlaceOnScreen(layout::kClientArea, free), window) << free.width();
    }
}

// Where a web page shows the window: in its own arrangement where it fits, else in the one made
// for the screen's shape, zoomed until all of it shows. In every arrangement each control lies
// inside the window and none overlaps another, and where zoomed for a phone each bar and its
// arrows are at least 24 CSS px across, as a finger needs.
TEST(FitToScreen, ShowsTheWholeWindowWithBarsAFingerCanHit) {
    const std::tuple<QSize, const layout::Arrangement*, double> screens[] = {
        {{1024, 768}, &layout::kWindow, 1.0},           // a desktop or a tablet
        {{390, 844}, &layout::kUpright, 390.0 / 420},   // a phone upright: as wide as the page
        {{844, 390}, &layout::kSideways, 390.0 / 439},  // sideways: as tall as the page
        {{320, 480}, &layout::kUpright, 320.0 / 420},   // the smallest phone
        {{480, 320}, &layout::kSideways, 320.0 / 439},
    };
    for (const auto& [screen, arrangement, zoom] : screens) {
        const PageFit fit = FitToScreen(screen);
        EXPECT_EQ(fit.arrangement, arrangement) << screen.width();
        EXPECT_DOUBLE_EQ(fit.zoom, zoom) << screen.width();
        const QRect window({}, arrangement->window);
        EXPECT_TRUE(QRectF({}, screen).contains(QRectF(window.topLeft(), window.size() * zoom)));
        std::vector<QRect> controls{{arrangement->picture, QSize(404, 404)}};
        for (std::size_t i = 0; i < 2; ++i) {
            controls.push_back(arrangement->labels[i]);
            controls.push_back(arrangement->scrollBars[i]);
            if (arrangement != &layout::kWindow) {
                EXPECT_GE(arrangement->scrollBars[i].height() * zoom, 24) << screen.width();
                EXPECT_GE(arrangement->arrowWidth * zoom, 24) << screen.width();
            }
        }
        for (auto control = controls.begin(); control != controls.end(); ++control) {
            EXPECT_TRUE(window.contains(*control)) << screen.width();
            for (auto other = control + 1; other != controls.end(); ++other) {
                EXPECT_FALSE(control->intersects(*other)) << screen.width();
            }
        }
    }
}

// Moved by the window manager to each screen in turn (qt_tests.two_screens has two, of ratios 1
// and 2), the window keeps its size and draws its picture anew at that screen's density rather
// than letting it be scaled.
TEST_F(Form1Test, DrawsAtTheDensityOfEachScreenItIsMovedTo) {
    for (QScreen* screen : QGuiApplication::screens()) {
        // As X11 reports a move: the new place in device pixels at the old size, then the screen.
        QWindow* window = form.windowHandle();
        const QPoint place = screen->handle()->geometry().topLeft() + QPoint(10, 10);
        QWindowSystemInterface::handleGeometryChange<QWindowSystemInterface::SynchronousDelivery>(
            window, QRect(place, window->handle()->geometry().size()));
        QWindowSystemInterface::handleWindowScreenChanged<
            QWindowSystemInterface::SynchronousDelivery>(window, screen);
        const qreal ratio = screen->devicePixelRatio();
        EXPECT_EQ(form.size(), layout::kClientArea.size()) << ratio;
        EXPECT_EQ(Picture().size(), QSize(400, 400) * ratio);
        EXPECT_EQ(Picture().pixel(QPoint(103, 100) * ratio), qRgb(0, 0, 255));  // the blue dot
        State();
    }
}

// A session of mouse moves, clicks, keys and touches, each followed by what the scene is then and,
// where it matters, where the focus is. Only the left or the right button alone moves a centre (not
// with the middle one held too), whatever the modifier keys; on the blue bar an arrow steps by 1
// and the trough by 5 towards the pointer, with the left or the middle button, and a drag of the
// thumb with the left button (the middle one drags nothing) redraws at every step; on the picture
// the arrows move a centre, on a bar they change its radius, and Tab goes along the tab order. A
// finger drags the blue centre, also off the picture, and held still first the red one; a tap, a
// finger that stays near where it came down, or two fingers move nothing; on a bar a tap steps it,
// as a click does. Only what changes the scene redraws, and a new picture tells a screen reader
// that it changed.
TEST_F(Form1Test, EveryInputChangesTheSceneAsItShould) {
    const Qt::MouseButtons left = Qt::LeftButton, right = Qt::RightButton, mid = Qt::MiddleButton;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    QWidget* picture = form.Picture1;
    HScrollBar* bar = form.HScroll1[0];
    struct Input {
        std::function<void()> input;
        QString state;
        QWidget* focus = nullptr;  // where the focus then is, where it matters
    };
    // One input a line:
    // clang-format off
    const Input inputs[] = {
        {[&] { Move(Qt::NoButton, {250, 100}); }, "(100,100) 100 / (300,300) 50"},
        {[&] { Move(left | mid, {250, 100}); }, "(100,100) 100 / (300,300) 50"},
        {[&] { Move(left | right, {250, 100}); }, "(100,100) 100 / (300,300) 50"},
        {[&] { Move(right, {300, 100}); }, "(100,100) 100 / (300,100) 50"},
        {[&] { Move(left, {250, 100}, shift); }, "(250,100) 100 / (300,100) 50"},
        {[&] { Move(left, {150.5, -12.25}); }, "(150.5,-12.25) 100 / (300,100) 50"},
        {[&] { Key(Qt::Key_Right); }, "(152.5,-12.25) 100 / (300,100) 50", picture},
        {[&] { Key(Qt::Key_Down, shift); }, "(152.5,7.75) 100 / (300,100) 50"},
        {[&] { Key(Qt::Key_Left, ctrl); }, "(152.5,7.75) 100 / (298,100) 50"},
        {[&] { Key(Qt::Key_Up, ctrl | shift); }, "(152.5,7.75) 100 / (298,80) 50"},
        {[&] { Key(Qt::Key_Left, Qt::AltModifier); }, "(152.5,7.75) 100 / (298,80) 50"},
        {[&] { Key(Qt::Key_Tab); }, "(152.5,7.75) 100 / (298,80) 50", bar},
        {[&] { Key(Qt::Key_Right); }, "(152.5,7.75) 102 / (298,80) 50", bar},
        {[&] { Key(Qt::Key_PageDown); }, "(152.5,7.75) 92 / (298,80) 50", bar},
        {[&] { Key(Qt::Key_Tab); }, "(152.5,7.75) 92 / (298,80) 50", form.HScroll1[1]},
        {[&] { Key(Qt::Key_PageUp); }, "(152.5,7.75) 92 / (298,80) 60"},
        {[&] { Key(Qt::Key_Home); }, "(152.5,7.75) 92 / (298,80) 1"},
        {[&] { Key(Qt::Key_End); }, "(152.5,7.75) 92 / (298,80) 200"},
        {[&] { Key(Qt::Key_Tab); }, "(152.5,7.75) 92 / (298,80) 200", picture},
        {[&] { QTest::mouseClick(bar, Qt::LeftButton, {}, {kAddLine, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { QTest::mouseClick(bar, Qt::LeftButton, {}, {kAddPage, 8}); }, "(152.5,7.75) 98 / (298,80) 200"},
        {[&] { QTest::mouseClick(bar, Qt::MiddleButton, {}, {kSubPage, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        // The thumb dragged by the middle button.
        {[&] { QTest::mousePress(bar, Qt::MiddleButton, {}, {kThumb, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { QTest::mouseMove(bar, {kThumb - 8, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { QTest::mouseRelease(bar, Qt::MiddleButton, {}, {kThumb - 8, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { QTest::mouseClick(bar, Qt::RightButton, {}, {kAddPage, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { QTest::mousePress(bar, Qt::LeftButton, {}, {kThumb, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { QTest::mouseMove(bar, {kThumb - 8, 8}); }, "(152.5,7.75) 82 / (298,80) 200"},
        {[&] { QTest::mouseMove(bar, {kThumb, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { QTest::mouseRelease(bar, Qt::LeftButton, {}, {kThumb, 8}); }, "(152.5,7.75) 93 / (298,80) 200"},
        {[&] { Touch(picture, {{{52, 52}}, {{100, 80}}, {{150, 250}}}); }, "(148,248) 93 / (298,80) 200"},
        {[&] { Touch(picture, {{{302, 302}}, {{250, 100}}}, true); }, "(148,248) 93 / (248,98) 200"},
        {[&] { Touch(picture, {{{52, 52}}}); }, "(148,248) 93 / (248,98) 200"},
        {[&] { Touch(picture, {{{52, 52}}, {{55, 54}}}, true); }, "(148,248) 93 / (248,98) 200"},
        {[&] { Touch(picture, {{{52, 52}, {90, 90}}, {{80, 80}, {120, 120}}, {{100, 100}}}); },
         "(148,248) 93 / (248,98) 200"},
        {[&] { Touch(picture, {{{52, 52}}, {{-50, 300}}}); }, "(-52,298) 93 / (248,98) 200"},
        {[&] { Touch(bar, {{{kAddLine, 8}}}); }, "(-52,298) 94 / (248,98) 200"},
        // Arranged for a phone held upright, a bar's arrow takes a tap anywhere in it.
        {[&] { form.Arrange(layout::kUpright); }, "(-52,298) 94 / (248,98) 200"},
        {[&] { Touch(bar, {{{400, 1}}}); }, "(-52,298) 95 / (248,98) 200"},
        {[&] { QTest::mouseClick(bar, Qt::LeftButton, {}, {358, 46}); }, "(-52,298) 96 / (248,98) 200"},
    };
    // clang-format on
    for (const auto& [input, state, focus] : inputs) {
        const QImage before = Picture();
        const QString previous = State();
        const int told = descriptionChanges;
        input();
        EXPECT_EQ(State().toStdString(), state.toStdString());
        EXPECT_EQ(Picture() != before, state != previous) << "redrawn: " << state.toStdString();
        EXPECT_TRUE(state == previous || descriptionChanges > told) << "told";
        EXPECT_TRUE(focus == nullptr || QApplication::focusWidget() == focus);
    }
    // The right button opens no menu on the bar either.
    QWidget* menu = nullptr;  // one would be closed at once
    QTimer::singleShot(0, [&] { (menu = QApplication::activePopupWidget()) && menu->close(); });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, {kAddPage, 8}, {kAddPage, 8});
    QApplication::sendEvent(bar, &rightClick);
    QApplication::processEvents();
    EXPECT_EQ(menu, nullptr);
    // The picture is a graphic that tells what it shows, the window is a window, and each bar
    // is named by its label, which is its buddy.
    QAccessibleInterface* graphic = QAccessible::queryAccessibleInterface(picture);
    EXPECT_EQ(graphic->role(), QAccessible::Graphic);
    EXPECT_TRUE(graphic->text(QAccessible::Description).contains("中心 (-52,298)"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Window);
    for (int i = 0; i < 2; ++i) {
        QAccessibleInterface* named = QAccessible::queryAccessibleInterface(form.HScroll1[i]);
        EXPECT_TRUE(form.Label1[i]->text().startsWith(named->text(QAccessible::Name) + " － "));
        const auto labels = named->relations(QAccessible::Label);
        EXPECT_TRUE(!labels.empty() && labels[0].first->object() == form.Label1[i]);
    }
}

// A colour's relative luminance as WCAG defines it, plus 0.05: the contrast ratio of two colours
// is the larger of theirs over the smaller, 1 (the same) to 21 (black and white).
double Luminance(QRgb c) {
    const auto f = [](int v) {
        return v <= 10 ? v / 3294.6 : std::pow((v + 14.025) / 269.025, 2.4);
    };
    return 0.2126 * f(qRed(c)) + 0.7152 * f(qGreen(c)) + 0.0722 * f(qBlue(c)) + 0.05;
}

// Once the keyboard is in use (an arrow key on the picture, or Tab), the focused control has a
// ring around its whole outline whose every pixel contrasts with the same pixel unfocused by
// 3 : 1 at least, in a light theme and in a dark one (qt6ct's "darker"), whose labels on the
// white picture stay dark; nothing else on the screen changes, the ring round the control that
// lost the focus included.
TEST_F(Form1Test, ShowsTheKeyboardFocusAroundTheFocusedControl) {
    const int ratio = qRound(form.devicePixelRatio());
    const QPalette light = form.Picture1->palette();
    const QPalette darker(QColor(0x424245u), QColor(0x222020u));  // qt6ct's buttons and window
    QWidget inDarker;
    inDarker.setPalette(darker);
    const QImage labelled = Form1(host, &inDarker).Picture2.Image();
    // The blue centre's label, "(100,100)", 52 px wide so that its rows have no padding.
    const qreal dpr = labelled.devicePixelRatio();
    const QImage label = labelled.copy(QRectF(80 * dpr, 110 * dpr, 52 * dpr, 12 * dpr).toRect())
                             .convertToFormat(QImage::Format_Grayscale8);
    EXPECT_LT(*std::min_element(label.constBits(), label.constBits() + label.sizeInBytes()), 64);
    for (const QPalette& palette : {light, darker}) {
        form.setPalette(palette);
        form.setAttribute(Qt::WA_KeyboardFocusChange, false);
        form.update();
        const QImage plain = OnScreen();
        // Alt + Right moves no centre, so that the picture stays as it was.
        const std::tuple<Qt::Key, Qt::KeyboardModifier, QWidget*> keys[] = {
            {Qt::Key_Right, Qt::AltModifier, form.Picture1},
            {Qt::Key_Tab, Qt::NoModifier, form.HScroll1[0]},
            {Qt::Key_Tab, Qt::NoModifier, form.HScroll1[1]},
            {Qt::Key_Tab, Qt::NoModifier, form.Picture1}};
        for (const auto& [key, modifier, control] : keys) {
            QTest::keyClick(QApplication::focusWidget(), key, modifier);
            QImage focused = OnScreen();
            const QRect inner = control->geometry(), outer = inner.adjusted(-2, -2, 2, 2);
            int weak = 0;  // pixels of the ring that do not stand out
            for (int y = outer.top() * ratio; y < (outer.bottom() + 1) * ratio; ++y) {
                for (int x = outer.left() * ratio; x < (outer.right() + 1) * ratio; ++x) {
                    if (!inner.contains(QPoint(x / ratio, y / ratio))) {
                        const double a = Luminance(focused.pixel(x, y)),
                                     b = Luminance(plain.pixel(x, y));
                        weak += std::max(a, b) / std::min(a, b) < 3.0;
                    }
                    focused.setPixel(x, y, plain.pixel(x, y));  // a bar's own look may change
                }
            }
            EXPECT_EQ(weak, 0) << control->accessibleName().toStdString();
            EXPECT_EQ(focused, plain) << control->accessibleName().toStdString();
        }
    }
}

}  // namespace
}  // namespace circles
