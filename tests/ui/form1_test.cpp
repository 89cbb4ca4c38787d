// A real Form1 on the offscreen platform, driven by real Qt events; the assertions look at
// the scene, the controls and the pixels of the picture.
#include "ui/form1.h"

#include <cmath>
#include <memory>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/ui/scrollbarpart.h"

namespace circles {
namespace {

const QString kBluePrefix = QString::fromUtf8("青い点の半径 － ");
const QString kRedPrefix = QString::fromUtf8("赤い点の半径 － ");

// True when the pixel is the colour c laid over white at a coverage of at least a third, as
// anti-aliasing leaves the edge of a 1 px ring.
bool IsTintOf(QColor pixel, QColor c) {
    const int channels[3][2] = {
        {pixel.red(), c.red()}, {pixel.green(), c.green()}, {pixel.blue(), c.blue()}};
    double coverage = 0;
    for (const auto& ch : channels) {
        if (ch[1] != 255) {
            coverage = std::max(coverage, (255.0 - ch[0]) / (255.0 - ch[1]));
        }
    }
    if (coverage < 0.33) {
        return false;
    }
    for (const auto& ch : channels) {
        const double expected = 255.0 - coverage * (255.0 - ch[1]);
        if (std::fabs(ch[0] - expected) > 40) {
            return false;
        }
    }
    return true;
}

// Looks for colour c within a pixel of the logical position (x, y) of a picture.
bool InkNear(const QImage& image, double x, double y, QColor c) {
    const double ratio = image.devicePixelRatio();
    const int cx = static_cast<int>(std::lround(x * ratio));
    const int cy = static_cast<int>(std::lround(y * ratio));
    const int reach = static_cast<int>(std::ceil(ratio));
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (image.valid(cx + dx, cy + dy) && IsTintOf(image.pixelColor(cx + dx, cy + dy), c)) {
                return true;
            }
        }
    }
    return false;
}

const QColor kBlue(0, 0, 255);
const QColor kLightBlue(127, 127, 255);
const QColor kRed(255, 0, 0);
const QColor kLightRed(255, 127, 127);
const QColor kBlack(0, 0, 0);

class Form1Test : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Form1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    const QImage& Picture() const { return form->Picture1->surface().Image(); }

    // What a screen reader is told about the picture.
    QString PictureDescription() const {
        return QAccessible::queryAccessibleInterface(form->Picture1)
            ->text(QAccessible::Description);
    }

    // A pointer move over Picture1 at a position of its drawing area, with buttons held.
    void MoveOverPicture(QPointF at, Qt::MouseButtons buttons,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF local = at + QPointF(PictureBoxView::kBorder, PictureBoxView::kBorder);
        QMouseEvent move(QEvent::MouseMove, local, form->Picture1->mapToGlobal(local), Qt::NoButton,
                         buttons, modifiers);
        QApplication::sendEvent(form->Picture1, &move);
    }

    void ClickOn(HScrollBar* bar, QStyle::SubControl part) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, ScrollBarPart(bar, part).center());
    }

    std::unique_ptr<Form1> form;
};

TEST_F(Form1Test, StartsWithTheLayoutAndTheFirstPictureInPlace) {
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("円の交点算出サンプル"));
    EXPECT_EQ(form->size(), QSize(634, 439));

    const struct {
        QWidget* control;
        QRect place;
    } layout[] = {
        {form->Picture1, {8, 16, 404, 404}},      {form->Picture2, {-48, 40, 404, 404}},
        {form->Label1[0], {424, 96, 193, 17}},    {form->Label1[1], {424, 152, 193, 17}},
        {form->HScroll1[0], {424, 120, 201, 17}}, {form->HScroll1[1], {424, 176, 201, 17}},
    };
    for (const auto& [control, place] : layout) {
        EXPECT_EQ(control->geometry(), place) << control->metaObject()->className();
    }
    EXPECT_TRUE(form->Picture1->isVisible());
    EXPECT_FALSE(form->Picture2->isVisible());

    EXPECT_EQ(form->Label1[0]->text(), kBluePrefix + "100");
    EXPECT_EQ(form->Label1[1]->text(), kRedPrefix + "50");
    for (HScrollBar* bar : form->HScroll1) {
        EXPECT_EQ(bar->minimum(), 1);
        EXPECT_EQ(bar->maximum(), 200);
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->pageStep(), 5);
    }
    EXPECT_EQ(form->scene().Radius, (std::array<double, 2>{100, 50}));
    EXPECT_EQ(form->scene().CenterPt[0], (PointXY{100, 100}));
    EXPECT_EQ(form->scene().CenterPt[1], (PointXY{300, 300}));

    // Both circles with their centre dots, and nothing black but the labels below the centres.
    EXPECT_TRUE(InkNear(Picture(), 103, 100, kBlue));
    EXPECT_TRUE(InkNear(Picture(), 200, 100, kLightBlue));
    EXPECT_TRUE(InkNear(Picture(), 303, 300, kRed));
    EXPECT_TRUE(InkNear(Picture(), 350, 300, kLightRed));
    EXPECT_FALSE(InkNear(Picture(), 200, 200, kBlack));
    EXPECT_EQ(Picture(), form->Picture2->surface().Image());
    EXPECT_EQ(form->escapedErrorCount(), 0);
}

TEST_F(Form1Test, UsesTheJapaneseFaceEverywhere) {
    for (QWidget* w :
         {static_cast<QWidget*>(form->Label1[0]), static_cast<QWidget*>(form->Picture1)}) {
        EXPECT_EQ(QFontInfo(w->font()).family(), "IPAPGothic");
    }
    EXPECT_EQ(QFontInfo(form->Label1[1]->font()).pointSize(), 12);
    EXPECT_EQ(QFontInfo(form->Picture1->font()).pointSize(), 9);
}

TEST_F(Form1Test, TabMovesFocusAlongTheTabOrder) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), form->Picture1);
    QWidget* const expected[] = {form->HScroll1[0], form->HScroll1[1], form->Picture1};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), form->HScroll1[1]);
}

TEST_F(Form1Test, OnlyTheLeftOrTheRightButtonAloneMovesACentre) {
    const struct {
        const char* name;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        int moved;  // the circle whose centre follows the pointer, or -1 for none
    } cases[] = {
        {"left", Qt::LeftButton, Qt::NoModifier, 0},
        {"left with Shift and Ctrl", Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, 0},
        {"right", Qt::RightButton, Qt::NoModifier, 1},
        {"no button", Qt::NoButton, Qt::NoModifier, -1},
        {"middle", Qt::MiddleButton, Qt::NoModifier, -1},
        {"left and right", Qt::LeftButton | Qt::RightButton, Qt::NoModifier, -1},
        {"left and middle", Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier, -1},
        {"all three", Qt::LeftButton | Qt::RightButton | Qt::MiddleButton, Qt::NoModifier, -1},
    };
    for (const auto& c : cases) {
        form = std::make_unique<Form1>();
        const Scene before = form->scene();
        const QImage picture = Picture().copy();
        const QString labels = form->Label1[0]->text() + form->Label1[1]->text();

        MoveOverPicture({150.5, 220.25}, c.buttons, c.modifiers);

        for (int i = 0; i < 2; ++i) {
            const PointXY expected = i == c.moved ? PointXY{150.5, 220.25} : before.CenterPt[i];
            EXPECT_EQ(form->scene().CenterPt[i], expected) << c.name << " circle " << i;
        }
        EXPECT_EQ(form->scene().Radius, before.Radius) << c.name;
        EXPECT_EQ(form->Label1[0]->text() + form->Label1[1]->text(), labels) << c.name;
        if (c.moved < 0) {
            EXPECT_EQ(Picture(), picture) << c.name << ": no redraw";
        } else {
            EXPECT_TRUE(InkNear(Picture(), 153.5, 220.25, c.moved == 0 ? kBlue : kRed)) << c.name;
        }
    }
}

TEST_F(Form1Test, DragsWithThePressedButtonAndTakesPositionsAsTheyCome) {
    QWidget* picture = form->Picture1;
    QTest::mousePress(picture, Qt::RightButton, {}, QPoint(52, 62));
    QTest::mouseMove(picture, QPoint(202, 152));
    EXPECT_EQ(form->scene().CenterPt[1], (PointXY{200, 150}));
    // Beyond the drawing area, even at negative positions, the centre still follows.
    QTest::mouseMove(picture, QPoint(-20, 500));
    EXPECT_EQ(form->scene().CenterPt[1], (PointXY{-22, 498}));
    QTest::mouseRelease(picture, Qt::RightButton, {}, QPoint(-20, 500));
    EXPECT_EQ(form->scene().CenterPt[0], (PointXY{100, 100}));

    MoveOverPicture({-12.5, 410}, Qt::LeftButton);
    EXPECT_EQ(form->scene().CenterPt[0], (PointXY{-12.5, 410}));
}

TEST_F(Form1Test, ScrollBarArrowsTroughAndKeysChangeTheRadius) {
    HScrollBar* blue = form->HScroll1[0];
    QSignalSpy changes(blue, &HScrollBar::Change);
    QSignalSpy scrolls(blue, &HScrollBar::Scroll);

    ClickOn(blue, QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(blue->value(), 101);
    ClickOn(blue, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(blue->value(), 106);
    ClickOn(blue, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(blue->value(), 105);
    ClickOn(blue, QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(blue->value(), 100);
    EXPECT_EQ(changes.count(), 4);
    EXPECT_EQ(scrolls.count(), 0);

    const struct {
        Qt::Key key;
        int expected;
    } keys[] = {{Qt::Key_Right, 101},    {Qt::Key_Left, 100}, {Qt::Key_PageUp, 105},
                {Qt::Key_PageDown, 100}, {Qt::Key_End, 200},  {Qt::Key_Right, 200},
                {Qt::Key_Home, 1},       {Qt::Key_Left, 1}};
    for (const auto& k : keys) {
        QTest::keyClick(blue, k.key);
        EXPECT_EQ(blue->value(), k.expected) << k.key;
        EXPECT_EQ(form->scene().Radius[0], k.expected);
        EXPECT_EQ(form->Label1[0]->text(), kBluePrefix + QString::number(k.expected));
    }

    // At the bottom of the range neither the arrow nor the trough goes lower.
    ClickOn(blue, QStyle::SC_ScrollBarSubLine);
    ClickOn(blue, QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(blue->value(), 1);
    EXPECT_EQ(form->escapedErrorCount(), 0);
}

TEST_F(Form1Test, DraggingAThumbUpdatesLabelRadiusAndPictureAtEveryStep) {
    HScrollBar* red = form->HScroll1[1];
    QSignalSpy changes(red, &HScrollBar::Change);
    QSignalSpy scrolls(red, &HScrollBar::Scroll);

    const QPoint grab = ScrollBarPart(red, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(red, Qt::LeftButton, {}, grab);
    int lastValue = red->value();
    for (int step = 1; step <= 5; ++step) {
        QTest::mouseMove(red, grab + QPoint(4 * step, 0));
        ASSERT_GT(red->value(), lastValue) << "the thumb did not follow the drag";
        lastValue = red->value();
        EXPECT_EQ(form->Label1[1]->text(), kRedPrefix + QString::number(lastValue));
        EXPECT_EQ(form->scene().Radius[1], lastValue);
        EXPECT_TRUE(InkNear(Picture(), 300 + lastValue, 300, kLightRed)) << lastValue;
    }
    EXPECT_EQ(scrolls.count(), 5);
    EXPECT_EQ(changes.count(), 0);
    QTest::mouseRelease(red, Qt::LeftButton, {}, grab + QPoint(20, 0));
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(Form1Test, AChangeOfEitherBarRewritesBothLabels) {
    form->Label1[0]->setText("?");
    ClickOn(form->HScroll1[1], QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(form->Label1[0]->text(), kBluePrefix + "100");
    EXPECT_EQ(form->Label1[1]->text(), kRedPrefix + "51");
}

TEST_F(Form1Test, CrossingCirclesShowTheirPointsAndSayThemInWords) {
    EXPECT_TRUE(PictureDescription().contains(QString::fromUtf8("交わりません")));
    form->HScroll1[0]->setValue(200);
    form->HScroll1[1]->setValue(150);
    EXPECT_TRUE(InkNear(Picture(), 150.136, 293.614, kBlack));
    EXPECT_TRUE(InkNear(Picture(), 293.614, 150.136, kBlack));
    const QString description = PictureDescription();
    EXPECT_TRUE(description.contains("(150,294)")) << description.toStdString();
    EXPECT_TRUE(description.contains("(294,150)")) << description.toStdString();
    EXPECT_FALSE(form->HScroll1[0]->accessibleName().isEmpty());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->Picture1)->text(QAccessible::Name),
              QString::fromUtf8("円と交点の図"));
}

// Regression: dragging one circle onto an equal one divided 0 by 0 and ended the program.
TEST_F(Form1Test, DraggingOneCircleOntoAnEqualOneRaisesNoError) {
    form->HScroll1[0]->setValue(50);
    for (int x = 100; x <= 300; x += 10) {
        MoveOverPicture({double(x), double(x)}, Qt::LeftButton);
    }
    EXPECT_EQ(form->scene().CenterPt[0], form->scene().CenterPt[1]);
    EXPECT_EQ(form->escapedErrorCount(), 0);
    EXPECT_EQ(Picture(), form->Picture2->surface().Image());
}

TEST_F(Form1Test, RightClicksOpenNoMenu) {
    for (QWidget* w :
         {static_cast<QWidget*>(form->Picture1), static_cast<QWidget*>(form->HScroll1[0])}) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                               w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &menu);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

}  // namespace
}  // namespace circles
