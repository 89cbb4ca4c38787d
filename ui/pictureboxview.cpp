#include "ui/pictureboxview.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>

namespace circles {

namespace {

std::int16_t ButtonSet(Qt::MouseButtons buttons) {
    std::int16_t set = 0;
    if (buttons & Qt::LeftButton) {
        set += 1;
    }
    if (buttons & Qt::RightButton) {
        set += 2;
    }
    if (buttons & Qt::MiddleButton) {
        set += 4;
    }
    return set;
}

std::int16_t ModifierSet(Qt::KeyboardModifiers modifiers) {
    std::int16_t set = 0;
    if (modifiers & Qt::ShiftModifier) {
        set += 1;
    }
    if (modifiers & Qt::ControlModifier) {
        set += 2;
    }
    if (modifiers & Qt::AltModifier) {
        set += 4;
    }
    return set;
}

}  // namespace

PictureBoxView::PictureBoxView(QWidget* parent)
    : QWidget(parent), surface_(parent ? parent->devicePixelRatioF() : 1.0) {
    setFixedSize(kOuterSize, kOuterSize);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // The image covers the whole drawing area and the border is painted in full, so Qt
    // need not clear the widget first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBoxView::showSurface() {
    update(kBorder, kBorder, PictureBox::kWidth, PictureBox::kHeight);
}

void PictureBoxView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
    painter.drawImage(QPoint(kBorder, kBorder), surface_.Image());
}

void PictureBoxView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position() - QPointF(kBorder, kBorder);
    emit MouseMove(ButtonSet(event->buttons()), ModifierSet(event->modifiers()),
                   static_cast<float>(position.x()), static_cast<float>(position.y()));
}

}  // namespace circles
