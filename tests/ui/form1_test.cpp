// A real Form1 on the offscreen platform, driven by real Qt events; the assertions look at the
// scene, the controls and the pixels. How the window first looks is the end-to-end tests' part.
#include "ui/form1.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace circles {
namespace {

const QString kBlue = QString::fromUtf8("青い点の半径 － "),
              kRed = QString::fromUtf8("赤い点の半径 － ");
const QString kStart = "blue (100,100) 100, red (300,300) 50";
// Where a scroll bar's parts lie, 201 px wide, its thumb near the middle: left arrow, left
// trough, thumb (at 100), right trough, right arrow.
enum Part { kSubLine = 6, kSubPage = 30, kThumb = 100, kAddPage = 170, kAddLine = 194 };

class Form1Test : public testing::Test {
protected:
    void SetUp() override {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // The scene as one text, checked with the labels and Picture2's copy on Picture1.
    QString State() const {
        const Scene& s = form.scene();
        EXPECT_EQ(form.Label1[0]->text(), kBlue + QString::number(s.Radius[0]));
        EXPECT_EQ(form.Label1[1]->text(), kRed + QString::number(s.Radius[1]));
        EXPECT_EQ(Picture(), form.Picture2.Image());
        return QString::asprintf("blue (%g,%g) %g, red (%g,%g) %g", s.CenterPt[0].X,
                                 s.CenterPt[0].Y, s.Radius[0], s.CenterPt[1].X, s.CenterPt[1].Y,
                                 s.Radius[1]);
    }

    QImage Picture() const { return form.Picture1->surface().Image(); }

    Form1 form;
};

TEST_F(Form1Test, OnlyTheLeftOrTheRightButtonAloneMovesACentre) {
    const std::tuple<Qt::MouseButtons, Qt::KeyboardModifiers, QString> moves[] = {
        {Qt::NoButton, {}, kStart},
        {Qt::MiddleButton, {}, kStart},
        {Qt::LeftButton | Qt::RightButton, {}, kStart},
        {Qt::AllButtons, {}, kStart},
        {Qt::LeftButton, Qt::ShiftModifier, "blue (150.5,-12.25) 100, red (300,300) 50"},
        {Qt::RightButton, {}, "blue (150.5,-12.25) 100, red (150.5,-12.25) 50"},
    };
    for (const auto& [buttons, modifiers, state] : moves) {
        const QImage before = Picture();
        const QString previous = State();
        const QPointF at(152.5, -10.25);  // the drawing area starts inside the 2 px border
        QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, buttons, modifiers);
        QApplication::sendEvent(form.Picture1, &move);
        EXPECT_EQ(State(), state) << buttons.toInt();
        EXPECT_EQ(Picture() != before, state != previous) << "redrawn";
    }
}

// Keys in a row, each pressed and repeated once as a held key repeats: on the picture the
// arrows move a centre, on a scroll bar they change its radius; Tab moves along the tab order.
TEST_F(Form1Test, KeysMoveTheCentresOnThePictureAndTheRadiiOnTheBars) {
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QString, QWidget*> keys[] = {
        {Qt::Key_Right, {}, "blue (102,100) 100, red (300,300) 50", form.Picture1},
        {Qt::Key_Down, shift, "blue (102,120) 100, red (300,300) 50", form.Picture1},
        {Qt::Key_Left, ctrl, "blue (102,120) 100, red (298,300) 50", form.Picture1},
        {Qt::Key_Up, ctrl | shift, "blue (102,120) 100, red (298,280) 50", form.Picture1},
        {Qt::Key_Left, Qt::AltModifier, "blue (102,120) 100, red (298,280) 50", form.Picture1},
        {Qt::Key_PageUp, {}, "blue (102,120) 100, red (298,280) 50", form.Picture1},
        {Qt::Key_Tab, {}, "blue (102,120) 100, red (298,280) 50", form.HScroll1[0]},
        {Qt::Key_Right, {}, "blue (102,120) 102, red (298,280) 50", form.HScroll1[0]},
        {Qt::Key_PageDown, {}, "blue (102,120) 92, red (298,280) 50", form.HScroll1[0]},
        {Qt::Key_Tab, {}, "blue (102,120) 92, red (298,280) 50", form.HScroll1[1]},
        {Qt::Key_PageUp, {}, "blue (102,120) 92, red (298,280) 60", form.HScroll1[1]},
        {Qt::Key_Home, {}, "blue (102,120) 92, red (298,280) 1", form.HScroll1[1]},
        {Qt::Key_End, {}, "blue (102,120) 92, red (298,280) 200", form.HScroll1[1]},
        {Qt::Key_Tab, {}, "blue (102,120) 92, red (298,280) 200", form.Picture1},
    };
    for (const auto& [key, modifiers, state, focus] : keys) {
        for (int n = 0; n < (key == Qt::Key_Tab ? 1 : 2); ++n) {
            QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), /*autorep=*/n > 0);
            QApplication::sendEvent(QApplication::focusWidget(), &press);
        }
        EXPECT_EQ(QApplication::focusWidget(), focus) << key;
        EXPECT_EQ(State(), state) << key;
    }
    // A screen reader hears the picture and the keys.
    const QString description =
        QAccessible::queryAccessibleInterface(form.Picture1)->text(QAccessible::Description);
    EXPECT_TRUE(description.contains("(102,120)") && description.contains("矢印キー"));
}

// Clicks in a row on the blue bar: an arrow steps by 1 and the trough by 5 towards the pointer,
// with the left or the middle button; the right button opens no (English) menu. Then a drag of
// the thumb, which redraws at every step.
TEST_F(Form1Test, ClicksOnAScrollBarStepAndPageAndItsThumbDrags) {
    HScrollBar* bar = form.HScroll1[0];
    QSignalSpy changes(bar, &HScrollBar::Change), scrolls(bar, &HScrollBar::Scroll);
    const std::tuple<Qt::MouseButton, Part, int> clicks[] = {
        {Qt::LeftButton, kAddLine, 101},   {Qt::LeftButton, kAddPage, 106},
        {Qt::MiddleButton, kSubPage, 101}, {Qt::MiddleButton, kAddPage, 106},
        {Qt::MiddleButton, kSubLine, 105}, {Qt::LeftButton, kSubPage, 100},
        {Qt::MiddleButton, kThumb, 100},   {Qt::RightButton, kAddPage, 100},
    };
    for (const auto& [button, part, value] : clicks) {
        QTest::mouseClick(bar, button, {}, QPoint(part, 8));
        EXPECT_EQ(bar->value(), value) << button << " at " << part;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
    EXPECT_EQ(changes.count(), 6);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(kThumb, 8));
    for (int step = 1; step <= 4; ++step) {
        const QImage before = Picture();
        QTest::mouseMove(bar, QPoint(kThumb + 4 * step, 8));
        EXPECT_EQ(State(), QString("blue (100,100) %1, red (300,300) 50").arg(bar->value()));
        EXPECT_NE(Picture(), before);
        EXPECT_EQ(scrolls.count(), step);
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(kThumb + 16, 8));
    EXPECT_EQ(changes.count(), 7);
}

// The keyboard focus shows, once the keyboard is in use, on the bars and on the picture's
// border; the border takes its share of device pixels at any scale and leaves none unpainted.
TEST_F(Form1Test, ShowsTheKeyboardFocusAroundTheDrawingArea) {
    const qreal ratio = form.devicePixelRatio();
    const QImage plain = form.Picture1->grab().toImage();
    const QPalette palette = form.Picture1->palette();
    for (int x = 0; x < 2 * ratio; ++x) {  // two logical pixels: dark, then shadow
        const QRgb expected = (x < ratio ? palette.dark() : palette.shadow()).color().rgb();
        EXPECT_EQ(plain.pixel(x, plain.height() / 2), expected) << x;
        EXPECT_EQ(plain.pixel(plain.width() / 2, x), expected) << x;
    }
    const QImage bar = form.HScroll1[0]->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_NE(form.HScroll1[0]->grab().toImage(), bar);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    const QImage focused = form.Picture1->grab().toImage();
    const QRect drawingArea(QPoint(2, 2) * ratio, QSize(400, 400) * ratio);
    EXPECT_NE(focused, plain);
    EXPECT_EQ(focused.copy(drawingArea), plain.copy(drawingArea));
}

}  // namespace
}  // namespace circles
