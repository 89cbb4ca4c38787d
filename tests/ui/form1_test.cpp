// A real Form1 on the offscreen platform, driven by real Qt events; the assertions look at the
// scene, the controls and the pixels. How the window first looks is the end-to-end tests' part.
#include "ui/form1.h"

#include <algorithm>
#include <cmath>

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
#include "ui/windowsystem.h"

namespace circles {
namespace {

// Where a scroll bar's parts lie, 201 px wide, its thumb near the middle: left arrow, left
// trough, thumb (at 100), right trough, right arrow.
enum Part { kSubLine = 6, kSubPage = 30, kThumb = 100, kAddPage = 170, kAddLine = 194 };

// How often a screen reader has been told that the picture's description changed.
int descriptionChanges = 0;

class Form1Test : public testing::Test {
protected:
    void SetUp() override {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            descriptionChanges += event->type() == QAccessible::DescriptionChanged;
        });
        form.show();
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

    EventHost host;
    Form1 form{host};
};

// Where the window opens on screens of every size; the frame needs 8 px at the sides and below,
// 32 px above.
TEST(PlaceOnScreen, OpensAtItsOwnPlaceOrWhollyOnTheScreen) {
    const std::pair<QRect, QRect> screens[] = {
        {{0, 0, 800, 600}, layout::kClientArea},      // fits
        {{0, 0, 700, 560}, {33, 60, 634, 439}},       // the middle
        {{1024, 0, 700, 560}, {1057, 60, 634, 439}},  // a second screen
        {{0, 0, 640, 480}, {8, 32, 634, 439}},        // the middle, kept off the top-left edge
        {{0, 0, 320, 240}, {8, 32, 634, 439}},        // too small: its top-left corner
    };
    for (const auto& [free, window] : screens) {
        EXPECT_EQ(PlaceOnScreen(layout::kClientArea, free), window) << free.width();
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

// Only the left or the right button alone moves a centre, whatever the modifier keys, and only
// a move redraws. A screen reader is told of each new picture and hears it described.
TEST_F(Form1Test, OnlyTheLeftOrTheRightButtonAloneMovesACentre) {
    form.HScroll1[1]->setValue(100);
    const QString apart = "(100,100) 100 / (300,300) 100";
    const Qt::MouseButtons left = Qt::LeftButton, right = Qt::RightButton, mid = Qt::MiddleButton;
    const std::tuple<Qt::MouseButtons, Qt::KeyboardModifiers, QPointF, QString> moves[] = {
        {Qt::NoButton, {}, {250, 100}, apart},
        {mid, {}, {250, 100}, apart},
        {left | mid, {}, {250, 100}, apart},
        {left | right, {}, {250, 100}, apart},
        {left | right | mid, {}, {250, 100}, apart},
        {right, {}, {300, 100}, "(100,100) 100 / (300,100) 100"},
        {left, Qt::ShiftModifier, {250, 100}, "(250,100) 100 / (300,100) 100"},
        {left, {}, {150.5, -12.25}, "(150.5,-12.25) 100 / (300,100) 100"},
    };
    for (const auto& [buttons, modifiers, to, state] : moves) {
        const QImage before = Picture();
        const QString previous = State();
        const int told = descriptionChanges;
        const QPointF at = to + QPointF(2, 2);  // the drawing area starts inside the 2 px border
        QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, buttons, modifiers);
        QApplication::sendEvent(form.Picture1, &move);
        EXPECT_EQ(State(), state) << buttons.toInt();
        EXPECT_EQ(Picture() != before, state != previous) << "redrawn";
        EXPECT_EQ(descriptionChanges - told, state != previous ? 1 : 0) << "told";
    }
    // The picture is a graphic that tells what it shows, the window is a window, and each bar
    // is named by its label, which is its buddy.
    QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(form.Picture1);
    EXPECT_EQ(picture->role(), QAccessible::Graphic);
    EXPECT_TRUE(picture->text(QAccessible::Description).contains("中心 (150.5,-12.25)"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Window);
    for (int i = 0; i < 2; ++i) {
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.HScroll1[i]);
        EXPECT_TRUE(form.Label1[i]->text().startsWith(bar->text(QAccessible::Name) + " － "));
        const auto labels = bar->relations(QAccessible::Label);
        EXPECT_TRUE(!labels.empty() && labels[0].first->object() == form.Label1[i]);
    }
}

// Keys in a row, each pressed and repeated once as a held key repeats: on the picture the
// arrows move a centre, on a scroll bar they change its radius; Tab moves along the tab order.
TEST_F(Form1Test, KeysMoveTheCentresOnThePictureAndTheRadiiOnTheBars) {
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QString, QWidget*> keys[] = {
        {Qt::Key_Right, {}, "(102,100) 100 / (300,300) 50", form.Picture1},
        {Qt::Key_Down, shift, "(102,120) 100 / (300,300) 50", form.Picture1},
        {Qt::Key_Left, ctrl, "(102,120) 100 / (298,300) 50", form.Picture1},
        {Qt::Key_Up, ctrl | shift, "(102,120) 100 / (298,280) 50", form.Picture1},
        {Qt::Key_Left, Qt::AltModifier, "(102,120) 100 / (298,280) 50", form.Picture1},
        {Qt::Key_PageUp, {}, "(102,120) 100 / (298,280) 50", form.Picture1},
        {Qt::Key_Tab, {}, "(102,120) 100 / (298,280) 50", form.HScroll1[0]},
        {Qt::Key_Right, {}, "(102,120) 102 / (298,280) 50", form.HScroll1[0]},
        {Qt::Key_PageDown, {}, "(102,120) 92 / (298,280) 50", form.HScroll1[0]},
        {Qt::Key_Tab, {}, "(102,120) 92 / (298,280) 50", form.HScroll1[1]},
        {Qt::Key_PageUp, {}, "(102,120) 92 / (298,280) 60", form.HScroll1[1]},
        {Qt::Key_Home, {}, "(102,120) 92 / (298,280) 1", form.HScroll1[1]},
        {Qt::Key_End, {}, "(102,120) 92 / (298,280) 200", form.HScroll1[1]},
        {Qt::Key_Tab, {}, "(102,120) 92 / (298,280) 200", form.Picture1},
    };
    for (const auto& [key, modifiers, state, focus] : keys) {
        for (int n = 0; n < (key == Qt::Key_Tab ? 1 : 2); ++n) {
            QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), /*autorep=*/n > 0);
            QApplication::sendEvent(QApplication::focusWidget(), &press);
        }
        EXPECT_EQ(QApplication::focusWidget(), focus) << key;
        EXPECT_EQ(State(), state) << key;
    }
}

// Clicks in a row on the blue bar: an arrow steps by 1 and the trough by 5 towards the pointer,
// with the left or the middle button, and the label and the picture follow; the right button
// opens no (English) menu. Then a drag of the thumb, which redraws at every step.
TEST_F(Form1Test, ClicksOnAScrollBarStepAndPageAndItsThumbDrags) {
    HScrollBar* bar = form.HScroll1[0];
    const std::tuple<Qt::MouseButton, Part, int> clicks[] = {
        {Qt::LeftButton, kAddLine, 101},   {Qt::LeftButton, kAddPage, 106},
        {Qt::MiddleButton, kSubPage, 101}, {Qt::MiddleButton, kAddPage, 106},
        {Qt::MiddleButton, kSubLine, 105}, {Qt::LeftButton, kSubPage, 100},
        {Qt::MiddleButton, kThumb, 100},   {Qt::RightButton, kAddPage, 100},
    };
    for (const auto& [button, part, value] : clicks) {
        QTest::mouseClick(bar, button, {}, QPoint(part, 8));
        EXPECT_EQ(State(), QString("(100,100) %1 / (300,300) 50").arg(value)) << part;
    }
    QWidget* menu = nullptr;  // a menu opened by the right button would be closed at once
    QTimer::singleShot(0, [&] { (menu = QApplication::activePopupWidget()) && menu->close(); });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, {kAddPage, 8}, {kAddPage, 8});
    QApplication::sendEvent(bar, &rightClick);
    QApplication::processEvents();
    EXPECT_EQ(menu, nullptr);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(kThumb, 8));
    for (int step = 1; step <= 5; ++step) {
        const QImage before = Picture();
        step < 5 ? QTest::mouseMove(bar, QPoint(kThumb + 4 * step, 8))
                 : QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(kThumb + 16, 8));
        EXPECT_EQ(State(), QString("(100,100) %1 / (300,300) 50").arg(bar->value()));
        EXPECT_EQ(Picture() != before, step < 5);
    }
}

// Touches, each from its first finger down to its last one up; each step gives where the
// fingers are (a finger new in a step comes down, one gone is lifted). On the picture one finger
// drags the blue centre, also off the picture, and one held still first the red one; a tap, a
// finger that stays near where it came down, or two fingers move nothing. On a bar a tap on an
// arrow steps it and one in the trough pages it, the thumb drags, and a long press opens no menu.
TEST_F(Form1Test, FingersDragTheCentresAndTapTheBars) {
    QPointingDevice* device = QTest::createTouchDevice();
    QGuiApplication::styleHints()->setMousePressAndHoldInterval(300);
    QWidget* picture = form.Picture1;
    HScrollBar* bar = form.HScroll1[0];
    using Steps = std::vector<std::vector<QPoint>>;
    const std::tuple<QWidget*, Steps, bool, QString> touches[] = {
        {picture, {{{52, 52}}, {{100, 80}}, {{150, 250}}}, false, "(148,248) 100 / (300,300) 50"},
        {picture, {{{302, 302}}, {{250, 100}}}, true, "(148,248) 100 / (248,98) 50"},
        {picture, {{{52, 52}}}, false, "(148,248) 100 / (248,98) 50"},
        {picture, {{{52, 52}}, {{55, 54}}}, true, "(148,248) 100 / (248,98) 50"},
        {picture,
         {{{52, 52}, {90, 90}}, {{80, 80}, {120, 120}}, {{100, 100}}},
         false,
         "(148,248) 100 / (248,98) 50"},
        {picture, {{{52, 52}}, {{-50, 500}}}, false, "(-52,498) 100 / (248,98) 50"},
        {bar, {{{kAddLine, 8}}}, false, "(-52,498) 101 / (248,98) 50"},
        {bar, {{{kAddPage, 8}}}, false, "(-52,498) 106 / (248,98) 50"},
        {bar, {{{kThumb, 8}}}, true, "(-52,498) 106 / (248,98) 50"},
        {bar, {{{kThumb, 8}}, {{kThumb + 300, 8}}}, false, "(-52,498) 200 / (248,98) 50"},
    };
    for (const auto& [on, steps, hold, state] : touches) {
        std::vector<QPoint> before;
        for (std::size_t step = 0; step <= steps.size(); ++step) {
            const std::vector<QPoint> now = step < steps.size() ? steps[step] : before;
            auto touch = QTest::touchEvent(on, device);
            for (std::size_t i = 0; i < std::max(before.size(), now.size()); ++i) {
                const int id = static_cast<int>(i);
                step == steps.size() || i >= now.size() ? touch.release(id, before[i], on)
                : i >= before.size()                    ? touch.press(id, now[i], on)
                                                        : touch.move(id, now[i], on);
            }
            touch.commit();
            QTest::qWait(step == 0 && hold ? 400 : 0);
            before = now;
        }
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(State(), state);
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
// 3 : 1 at least, in a light theme and in a dark one (qt6ct's "darker"); nothing else on the
// screen changes, the ring round the control that lost the focus included. The picture's
// border takes its share of device pixels at any scale and leaves none unpainted.
TEST_F(Form1Test, ShowsTheKeyboardFocusAroundTheFocusedControl) {
    const int ratio = qRound(form.devicePixelRatio());  // 1 or 2 here
    const QImage box = form.Picture1->grab().toImage();
    const QPalette light = form.Picture1->palette();
    for (int x = 0; x < 2 * ratio; ++x) {  // two logical pixels: dark, then shadow
        const QRgb expected = (x < ratio ? light.dark() : light.shadow()).color().rgb();
        EXPECT_EQ(box.pixel(x, box.height() / 2), expected) << x;
        EXPECT_EQ(box.pixel(box.width() / 2, x), expected) << x;
    }
    const QPalette darker(QColor(0x424245u), QColor(0x222020u));  // qt6ct's buttons and window
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

// Under a dark theme the labels on the white picture are still dark.
TEST_F(Form1Test, LabelsOnThePictureStayDarkUnderADarkTheme) {
    QWidget dark;
    dark.setPalette(QPalette(QColor(0x424245u), QColor(0x222020u)));
    const Form1 inDark(host, &dark);
    const QImage picture = inDark.Picture2.Image();
    int darkest = 255;  // among the pixels of the blue centre's label, "(100,100)"
    for (int y = 110; y < 122; ++y) {
        for (int x = 80; x < 130; ++x) {
            darkest = std::min(
                darkest, qGray(picture.pixel(QPoint(x, y) * qRound(picture.devicePixelRatio()))));
        }
    }
    EXPECT_LT(darkest, 64);
}

}  // namespace
}  // namespace circles
