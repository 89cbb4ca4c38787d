#include "ui/form1.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWindow>

#include "drawing/description.h"
#include "drawing/refreshimage.h"
#include "scene/checked.h"
#include "ui/accessible.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/windowsystem.h"

namespace circles {

namespace {

using layout::kClientArea;

constexpr int kWindowPointSize = 12;
constexpr int kPicturePointSize = 9;

constexpr int kMinimumRadius = 1;
constexpr int kMaximumRadius = 200;
constexpr int kSmallChange = 1;
constexpr int kLargeChange = 5;
constexpr std::array<int, 2> kStartRadius{100, 50};

const char kCaption[] = CIRCLES_CAPTION;
// Each prefix ends in a space, a fullwidth hyphen-minus (U+FF0D) and a space.
const std::array<const char*, 2> kLabelPrefix{"青い点の半径 － ", "赤い点の半径 － "};

// The labels on the picture are printed in the controls' text colour, as long as it stands
// out on the white drawing area; under a dark theme it would not, so black is used instead.
QColor PictureForeColor(const QPalette& palette) {
    const QColor text = palette.color(QPalette::Active, QPalette::ButtonText);
    return text.lightness() < 128 ? text : QColor(Qt::black);
}

QLabel* MakeLabel(QWidget* form, int index) {
    return new QLabel(QString::fromUtf8(kLabelPrefix[index]), form);
}

// A screen reader names each bar by the words of the label above it, which is also its buddy.
HScrollBar* MakeScrollBar(QWidget* form, int index, QLabel* label) {
    auto* bar = new HScrollBar(kMinimumRadius, kMaximumRadius, kSmallChange, kLargeChange,
                               kStartRadius[index], form);
    bar->setAccessibleName(label->text().section(QChar(' '), 0, 0));
    label->setBuddy(bar);
    return bar;
}

// The keyboard focus, once the keyboard is in use, is a ring this wide around the focused
// control, on the window's background, in the window's text colour, which stands out on that
// background in light and dark themes alike. Outside the control, it covers none of it.
constexpr int kFocusRing = 2;

QRect FocusRingBounds(const QWidget* control) {
    return control->geometry().adjusted(-kFocusRing, -kFocusRing, kFocusRing, kFocusRing);
}

}  // namespace

// The controls are created in tab order, which makes Qt's focus chain the tab order:
// Picture1, HScroll1(0), HScroll1(1) and round again; the labels take no focus.
Form1::Form1(EventHost& host, QWidget* parent)
    : QWidget(parent),
      Picture1(new PictureBoxView(this, host)),
      Picture2(devicePixelRatioF()),
      Label1{MakeLabel(this, 0), MakeLabel(this, 1)},
      HScroll1{MakeScrollBar(this, 0, Label1[0]), MakeScrollBar(this, 1, Label1[1])},
      host_(host) {
    InstallAccessibleInterfaces();
    setWindowTitle(QString::fromUtf8(kCaption));
    setFont(WindowFont(kWindowPointSize));
    setGeometry(PlaceOnScreen(kClientArea, FreeAreaAround(kClientArea)));
    Arrange(layout::kWindow);

    Picture2.setFont(WindowFont(kPicturePointSize));
    Picture2.setForeColor(PictureForeColor(palette()));
    Picture2.setBackColor(Qt::white);
    Picture1->setAccessibleName(QString::fromUtf8("円と交点の図"));
    // Asked for by assistive technology, outside any event handler: an error (a coordinate
    // too large for its label) is reported like one that leaves a handler.
    Picture1->setDescriber([this] {
        QString text;
        host_.Deliver([&] { text = DescribePicture(shownScene_, shownCrossing_); });
        return text;
    });
    Picture1->setFocus();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        for (const QWidget* control : {old, now}) {
            if (control != nullptr && control->parentWidget() == this) {
                update(FocusRingBounds(control));
            }
        }
    });

    WireEvents();
    // Without its first picture the window has nothing to show: an error here leaves the
    // constructor, and the program ends.
    Form_Load();
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
    const QWidget* focused = focusWidget();
    if (focused == nullptr || !testAttribute(Qt::WA_KeyboardFocusChange)) {
        return;
    }
    QPainter painter(this);
    const QRect ring = FocusRingBounds(focused);
    painter.fillRect(ring, palette().color(QPalette::WindowText));
    painter.fillRect(ring.marginsRemoved({kFocusRing, kFocusRing, kFocusRing, kFocusRing}),
                     palette().color(QPalette::Window));
}

// On a screen of another density both surfaces take its ratio and the picture is drawn anew,
// so that it stays crisp instead of being scaled. The surfaces were made before the window had
// a screen, at the highest ratio of all the screens (what Qt answers then), so the screen it
// first shows on counts too.
void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    connect(windowHandle(), &QWindow::screenChanged, this, &Form1::FollowDevicePixelRatio,
            Qt::UniqueConnection);
    FollowDevicePixelRatio();
}

void Form1::FollowDevicePixelRatio() {
    const qreal ratio = devicePixelRatioF();
    if (ratio != Picture2.devicePixelRatio()) {
        // Moved by the window manager, the native window would keep its size in device pixels
        // and show only part of the window; it takes the window's size at the new ratio.
        windowHandle()->resize(size());
        Picture2.setDevicePixelRatio(ratio);
        Picture1->surface().setDevicePixelRatio(ratio);
        host_.Deliver([this] { RefreshImage(); });
    }
}

void Form1::Arrange(const layout::Arrangement& arrangement) {
    setFixedSize(arrangement.window);
    Picture1->move(arrangement.picture);
    for (std::size_t i = 0; i < HScroll1.size(); ++i) {
        Label1[i]->setGeometry(arrangement.labels[i]);
        HScroll1[i]->setGeometry(arrangement.scrollBars[i]);
        HScroll1[i]->setArrowWidth(arrangement.arrowWidth);
    }
    // The focus ring lies around the focused control, wherever that now is.
    update();
}

void Form1::WireEvents() {
    connect(Picture1, &PictureBoxView::MouseMove, this,
            [this](std::int16_t Button, std::int16_t Shift, float X, float Y) {
                host_.Deliver([&] { Picture1_MouseMove(Button, Shift, X, Y); });
            });
    connect(Picture1, &PictureBoxView::KeyDown, this, [this](Qt::Key KeyCode, std::int16_t Shift) {
        host_.Deliver([&] { Picture1_KeyDown(KeyCode, Shift); });
    });
    for (std::int16_t index = 0; index < 2; ++index) {
        connect(HScroll1[index], &HScrollBar::Change, this,
                [this, index] { host_.Deliver([&] { HScroll1_Change(index); }); });
        connect(HScroll1[index], &HScrollBar::Scroll, this,
                [this, index] { host_.Deliver([&] { HScroll1_Scroll(index); }); });
    }
}

void Form1::RefreshImage() {
    shownCrossing_ = circles::RefreshImage(scene_, Picture2, Picture1->surface());
    shownScene_ = scene_;
    Picture1->showSurface();
}

void Form1::RefreshLabel() {
    Label1[0]->setText(QString::fromUtf8(kLabelPrefix[0]) + QString::number(HScroll1[0]->Value()));
    Label1[1]->setText(QString::fromUtf8(kLabelPrefix[1]) + QString::number(HScroll1[1]->Value()));
    scene_.SetRadii(HScroll1[0]->Value(), HScroll1[1]->Value());
}

void Form1::Form_Load() {
    RefreshLabel();
    scene_.SetDefaultCenters();
    RefreshImage();
}

// Both labels and both radii are refreshed, whichever bar moved.
void Form1::HScroll1_Change(std::int16_t /*Index*/) {
    RefreshLabel();
    RefreshImage();
}

// Dragging a thumb updates the label, the radius and the picture at every step.
void Form1::HScroll1_Scroll(std::int16_t Index) {
    HScroll1_Change(Index);
}

// The left button alone moves the blue centre, the right button alone the red one; any other
// set of buttons, or none, changes nothing. The modifier keys play no part.
void Form1::Picture1_MouseMove(std::int16_t Button, std::int16_t /*Shift*/, float X, float Y) {
    if (Button == 1) {
        scene_.SetCenter(0, X, Y);
        RefreshImage();
    } else if (Button == 2) {
        scene_.SetCenter(1, X, Y);
        RefreshImage();
    }
}

// The arrow keys move the blue centre one pixel their way, and with Ctrl the red centre; with
// Shift as well the step is ten pixels. A move by key is a move by mouse to the new place,
// with the button that drags that circle; with Alt or another key, nothing moves.
void Form1::Picture1_KeyDown(Qt::Key KeyCode, std::int16_t Shift) {
    constexpr std::int16_t kShift = 1, kCtrl = 2;
    if ((Shift & ~(kShift | kCtrl)) != 0) {
        return;
    }
    const int dx = KeyCode == Qt::Key_Right ? 1 : KeyCode == Qt::Key_Left ? -1 : 0;
    const int dy = KeyCode == Qt::Key_Down ? 1 : KeyCode == Qt::Key_Up ? -1 : 0;
    const double step = (Shift & kShift) != 0 ? 10.0 : 1.0;
    const int index = (Shift & kCtrl) != 0 ? 1 : 0;
    const PointXY& center = scene_.CenterPt[index];
    Picture1_MouseMove(static_cast<std::int16_t>(index + 1), Shift,
                       ToSingle((CheckedDouble(center.X) + dx * step).value()),
                       ToSingle((CheckedDouble(center.Y) + dy * step).value()));
}

}  // namespace circles
