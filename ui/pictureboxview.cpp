#include "ui/pictureboxview.h"

#include <utility>

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTouchEvent>

namespace circles {

namespace {

// The numbers the handlers know the mouse buttons and modifier keys by; a set of them is the
// sum of its members.
constexpr std::pair<Qt::MouseButton, std::int16_t> kButtonNumbers[] = {
    {Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
constexpr std::pair<Qt::KeyboardModifier, std::int16_t> kModifierNumbers[] = {
    {Qt::ShiftModifier, 1}, {Qt::ControlModifier, 2}, {Qt::AltModifier, 4}};

// The sunken border: an outer and an inner ring, each one logical pixel wide, so that on a
// scaled screen each takes its share of device pixels. Top and left are in shadow, bottom and
// right in light, as Windows draws a sunken panel.
void DrawSunkenBorder(QPainter& painter, QRect r, const QPalette& palette) {
    const auto ring = [&](QRect r, QColor topLeft, QColor bottomRight) {
        painter.fillRect(r.left(), r.top(), 1, r.height() - 1, topLeft);
        painter.fillRect(r.left(), r.top(), r.width() - 1, 1, topLeft);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
        painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    };
    ring(r, palette.dark().color(), palette.light().color());
    ring(r.adjusted(1, 1, -1, -1), palette.shadow().color(), palette.midlight().color());
}

template <typename Flags, typename Numbers>
std::int16_t SetNumber(Flags held, const Numbers& numbers) {
    std::int16_t sum = 0;
    for (const auto& [flag, number] : numbers) {
        if (held.testFlag(flag)) {
            sum = static_cast<std::int16_t>(sum + number);
        }
    }
    return sum;
}

}  // namespace

PictureBoxView::PictureBoxView(QWidget* parent, EventHost& host)
    : QWidget(parent), surface_(parent ? parent->devicePixelRatioF() : 1.0), host_(host) {
    setFixedSize(kOuterSize, kOuterSize);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_AcceptTouchEvents);
    // The image covers the whole drawing area and the border is painted in full, so Qt
    // need not clear the widget first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBoxView::showSurface() {
    update(kBorder, kBorder, PictureBox::kWidth, PictureBox::kHeight);
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void PictureBoxView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    DrawSunkenBorder(painter, rect(), palette());
    host_.Deliver([&] { painter.drawImage(QPoint(kBorder, kBorder), surface_.Image()); });
}

void PictureBoxView::keyPressEvent(QKeyEvent* event) {
    const auto key = static_cast<Qt::Key>(event->key());
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Keys in use: show where they go, as a Tab would have.
    if (!window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        window()->setAttribute(Qt::WA_KeyboardFocusChange);
        window()->update();
    }
    emit KeyDown(key, SetNumber(event->modifiers(), kModifierNumbers));
}

void PictureBoxView::mouseMoveEvent(QMouseEvent* event) {
    ReportMove(SetNumber(event->buttons(), kButtonNumbers), event->modifiers(), event->position());
}

// Touches are taken here, so that Qt makes no mouse events of them.
bool PictureBoxView::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
            touchEvent(static_cast<QTouchEvent*>(event));
            return true;
        default:
            return QWidget::event(event);
    }
}

void PictureBoxView::touchEvent(QTouchEvent* event) {
    // The last finger lifted, or the touch taken over by a gesture of the system's, ends the
    // drag where it is: only the next touch begins another.
    const QList<QEventPoint>& points = event->points();
    if (event->type() == QEvent::TouchBegin) {
        finger_ = Finger{points.front().position(), event->timestamp()};
    }
    if (points.size() != 1) {
        finger_.reset();
    }
    if (!finger_ || event->type() != QEvent::TouchUpdate) {
        return;
    }
    const QStyleHints* hints = QGuiApplication::styleHints();
    const QPointF at = points.front().position();
    if (finger_->Button == 0) {
        if ((at - finger_->pressedAt).manhattanLength() < hints->startDragDistance()) {
            return;  // still
        }
        const bool held = event->timestamp() - finger_->pressedTime >=
                          static_cast<quint64>(hints->mousePressAndHoldInterval());
        finger_->Button = held ? 2 : 1;
    }
    ReportMove(finger_->Button, event->modifiers(), at);
}

void PictureBoxView::ReportMove(std::int16_t Button, Qt::KeyboardModifiers modifiers,
                                QPointF position) {
    position -= QPointF(kBorder, kBorder);
    emit MouseMove(Button, SetNumber(modifiers, kModifierNumbers), static_cast<float>(position.x()),
                   static_cast<float>(position.y()));
}

}  // namespace circles
