// Floods a real Form1 on the offscreen platform with 200,000 seeded random events, as a person
// dragging things around for a long time would: pointer moves with every set of buttons and
// modifier keys at positions inside, beside and far outside the drawing area; scroll-bar
// values set, stepped and paged; thumbs dragged with real mouse presses, moves and releases.
// After every batch no error may have left a handler, the scene must be what the events
// imply, and Picture1 must hold exactly the picture of that scene.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

#include "drawing/picturebox.h"
#include "drawing/refreshimage.h"
#include "tests/ui/scrollbarpart.h"
#include "ui/fonts.h"
#include "ui/form1.h"

namespace circles {
namespace {

constexpr int kEventCount = 200'000;
constexpr int kBatchSize = 1'000;
constexpr int kMinimumRadius = 1;
constexpr int kMaximumRadius = 200;

/// The resident memory of this process in kB, from /proc/self/status.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

/// v rounded to the nearest single-precision number, as a pointer position is reported.
/// Through a volatile float: GCC 12.2 at -O2 drops the rounding of a pair of double-to-float-
/// to-double conversions when it vectorises them into one struct, and this would then expect
/// the unrounded position.
double Single(double v) {
    const volatile auto single = static_cast<float>(v);
    return single;
}

std::string Show(PointXY p) {
    char text[64];
    std::snprintf(text, sizeof text, "(%.17g, %.17g)", p.X, p.Y);
    return text;
}

/// Drives one window with random events and keeps the scene those events imply.
class Flood {
public:
    explicit Flood(Form1& form) : form_(form) {
        expected_.CenterPt = form.scene().CenterPt;
        for (int i = 0; i < 2; ++i) {
            expected_.Radius[i] = form.HScroll1[i]->value();
        }
    }

    /// Sends one event, or one step of a thumb drag, chosen at random.
    void Next() {
        const std::array<int, 2> before = expected_.Radius;
        NextEvent();
        if (expected_.Radius != before) {
            ++stats.radiusChanges;
        }
    }

    bool dragging() const { return dragging_ >= 0; }

    /// What the flood did, to show that it reached every kind of change.
    struct Stats {
        int centreMoves = 0;    // pointer moves with the left or the right button alone
        int radiusChanges = 0;  // events after which a radius differed from before
        int thumbDrags = 0;     // presses that took hold of a thumb
    } stats;

    /// Checks the window against the events sent so far.
    void Check(int sent) {
        SCOPED_TRACE("after " + std::to_string(sent) + " events");
        ASSERT_EQ(form_.escapedErrorCount(), 0);
        const Scene& scene = form_.scene();
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(scene.CenterPt[i], expected_.CenterPt[i])
                << "centre " << i << ": " << Show(scene.CenterPt[i]) << " instead of "
                << Show(expected_.CenterPt[i]);
            ASSERT_EQ(scene.Radius[i], expected_.Radius[i]) << "radius " << i;
            ASSERT_EQ(form_.HScroll1[i]->value(), expected_.Radius[i]) << "scroll bar " << i;
            ASSERT_TRUE(form_.Label1[i]->text().endsWith(QLatin1Char(' ') +
                                                         QString::number(expected_.Radius[i])))
                << "label " << i << ": " << form_.Label1[i]->text().toStdString();
        }
        // A fresh render of the current scene on surfaces of its own, set up as the window's
        // (its face at 9 pt; labels in the controls' text colour, black where that would not
        // stand out on white).
        PictureBox hidden;
        PictureBox visible;
        hidden.setFont(WindowFont(9));
        const QColor text = form_.Picture2->palette().color(QPalette::Active, QPalette::ButtonText);
        hidden.setForeColor(text.lightness() < 128 ? text : QColor(Qt::black));
        hidden.setBackColor(Qt::white);
        RefreshImage(scene, hidden, visible);
        ASSERT_TRUE(form_.Picture1->surface().Image() == visible.Image())
            << "Picture1 does not hold the picture of the current scene";
    }

private:
    void NextEvent() {
        if (dragging_ >= 0) {
            ContinueDrag();
            return;
        }
        const int kind = Pick(0, 99);
        if (kind < 65) {
            MovePointer();
        } else if (kind < 80) {
            SetValue();
        } else if (kind < 92) {
            TriggerAction();
        } else {
            PressOnScrollBar();
        }
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }

    /// A coordinate in the picture box's own pixels (the drawing area starts at the border):
    /// inside it, fractional or whole, just beside it, or far away, up to a million either way.
    double Coordinate() {
        switch (Pick(0, 5)) {
            case 0:
            case 1:
                return Uniform(0, PictureBoxView::kOuterSize);
            case 2:
                return Pick(-5, PictureBoxView::kOuterSize + 5);
            case 3:
                return Uniform(-1000, 0);
            case 4:
                return Uniform(PictureBoxView::kOuterSize, 5000);
            default:
                return Uniform(-1e6, 1e6);
        }
    }

    /// The left button alone and the right button alone each a third of the time; the rest
    /// is every other set, none included.
    Qt::MouseButtons Buttons() {
        const int pick = Pick(0, 8);
        if (pick < 3) {
            return Qt::LeftButton;
        }
        if (pick < 6) {
            return Qt::RightButton;
        }
        constexpr std::array<Qt::MouseButtons::Int, 6> kOthers{
            Qt::NoButton,
            Qt::MiddleButton,
            Qt::LeftButton | Qt::RightButton,
            Qt::LeftButton | Qt::MiddleButton,
            Qt::RightButton | Qt::MiddleButton,
            Qt::LeftButton | Qt::RightButton | Qt::MiddleButton,
        };
        return Qt::MouseButtons::fromInt(kOthers[static_cast<std::size_t>(Pick(0, 5))]);
    }

    Qt::KeyboardModifiers Modifiers() {
        Qt::KeyboardModifiers modifiers;
        for (const auto key : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            if (Pick(0, 3) == 0) {
                modifiers |= key;
            }
        }
        return modifiers;
    }

    void MovePointer() {
        const QPointF local(Coordinate(), Coordinate());
        const Qt::MouseButtons buttons = Buttons();
        QMouseEvent move(QEvent::MouseMove, local, local, Qt::NoButton, buttons, Modifiers());
        QApplication::sendEvent(form_.Picture1, &move);
        // The box reports positions relative to its drawing area, in single precision; the
        // left button alone moves the blue centre, the right button alone the red one.
        const PointXY reported{Single(local.x() - PictureBoxView::kBorder),
                               Single(local.y() - PictureBoxView::kBorder)};
        if (buttons == Qt::LeftButton) {
            expected_.CenterPt[0] = reported;
            ++stats.centreMoves;
        } else if (buttons == Qt::RightButton) {
            expected_.CenterPt[1] = reported;
            ++stats.centreMoves;
        }
    }

    HScrollBar* Bar(int index) const { return form_.HScroll1.at(static_cast<std::size_t>(index)); }

    void SetValue() {
        const int index = Pick(0, 1);
        HScrollBar* bar = Bar(index);
        const int value = Pick(-50, 250);
        bar->setValue(value);
        expected_.Radius[index] = std::clamp(value, kMinimumRadius, kMaximumRadius);
    }

    /// An arrow, the trough or the ends of the range, as the mouse and keys trigger them.
    void TriggerAction() {
        const int index = Pick(0, 1);
        HScrollBar* bar = Bar(index);
        struct Action {
            QAbstractSlider::SliderAction action;
            int step;
        };
        constexpr std::array<Action, 6> kActions{{
            {QAbstractSlider::SliderSingleStepAdd, 1},
            {QAbstractSlider::SliderSingleStepSub, -1},
            {QAbstractSlider::SliderPageStepAdd, 5},
            {QAbstractSlider::SliderPageStepSub, -5},
            {QAbstractSlider::SliderToMinimum, -1000},
            {QAbstractSlider::SliderToMaximum, 1000},
        }};
        const Action& a = kActions[static_cast<std::size_t>(Pick(0, 5))];
        bar->triggerAction(a.action);
        expected_.Radius[index] =
            std::clamp(expected_.Radius[index] + a.step, kMinimumRadius, kMaximumRadius);
    }

    void SendMouse(QWidget* to, QEvent::Type type, QPointF at, Qt::MouseButton button,
                   Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, to->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(to, &event);
    }

    /// Presses the left button on a scroll bar: on its thumb, to drag it, or anywhere on the
    /// bar (an arrow, the trough or the thumb), to be released after a few moves.
    void PressOnScrollBar() {
        const int index = Pick(0, 1);
        HScrollBar* bar = Bar(index);
        const QPointF at = Pick(0, 2) > 0
                               ? QPointF(ScrollBarPart(bar, QStyle::SC_ScrollBarSlider).center())
                               : QPointF(Uniform(0, bar->width()), Uniform(0, bar->height()));
        SendMouse(bar, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        if (bar->isSliderDown()) {
            ++stats.thumbDrags;
        }
        dragging_ = index;
        dragSteps_ = Pick(1, 12);
    }

    /// One move of the held button along the bar and beyond its ends, or the release. The
    /// value the thumb lands on is the bar's to work out; the scene must follow it at every
    /// step, as the handlers redraw on every Scroll.
    void ContinueDrag() {
        HScrollBar* bar = Bar(dragging_);
        const QPointF at(Uniform(-100, bar->width() + 100), Uniform(-20, bar->height() + 20));
        if (--dragSteps_ > 0) {
            SendMouse(bar, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        } else {
            SendMouse(bar, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            dragging_ = -1;
        }
        for (int i = 0; i < 2; ++i) {
            const int value = Bar(i)->value();
            EXPECT_GE(value, kMinimumRadius);
            EXPECT_LE(value, kMaximumRadius);
            expected_.Radius[static_cast<std::size_t>(i)] = value;
        }
    }

    struct ExpectedScene {
        std::array<PointXY, 2> CenterPt{};
        std::array<int, 2> Radius{};
    };

    Form1& form_;
    std::mt19937_64 random_{20261207};
    ExpectedScene expected_;
    int dragging_ = -1;  // the index of the bar whose thumb is held, or -1
    int dragSteps_ = 0;
};

TEST(Form1Flood, StaysConsistentAndBoundedThroughTwoHundredThousandRandomEvents) {
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    Flood flood(form);
    const auto started = std::chrono::steady_clock::now();
    long residentAtHalf = 0;
    int sent = 0;
    int nextCheck = kBatchSize;
    while (sent < kEventCount) {
        flood.Next();
        ++sent;
        // Checked between drags only: with a button held on a scroll bar, the event loop
        // would let the bar's auto-repeat move it on its own.
        if (sent >= nextCheck && !flood.dragging()) {
            // Let the window paint and handle what the events posted, as the event loop would.
            QCoreApplication::processEvents();
            flood.Check(sent);
            if (testing::Test::HasFatalFailure()) {
                return;
            }
            nextCheck += kBatchSize;
        }
        if (sent == kEventCount / 2) {
            residentAtHalf = ResidentKilobytes();
        }
    }
    while (flood.dragging()) {
        flood.Next();
    }
    QCoreApplication::processEvents();
    flood.Check(sent);
    const long residentAtEnd = ResidentKilobytes();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "%d events in %.1f s: %d centre moves, %d radius changes, %d thumb drags; resident "
        "memory %ld kB after the first half, %ld kB at the end\n",
        sent, seconds, flood.stats.centreMoves, flood.stats.radiusChanges, flood.stats.thumbDrags,
        residentAtHalf, residentAtEnd);
    EXPECT_GT(flood.stats.centreMoves, kEventCount / 5);
    EXPECT_GT(flood.stats.radiusChanges, kEventCount / 20);
    EXPECT_GT(flood.stats.thumbDrags, 1000);

#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer holds freed memory back on purpose, so the resident size says nothing
    // here; LeakSanitizer checks for leaks at the end of the run instead.
#else
    EXPECT_LT(residentAtEnd - residentAtHalf, 1024)
        << "resident memory grew over the last " << kEventCount / 2 << " events";
#endif
}

}  // namespace
}  // namespace circles
