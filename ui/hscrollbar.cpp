#include "ui/hscrollbar.h"

#include <QMouseEvent>
#include <QProxyStyle>
#include <QStyleOptionSlider>

namespace circles {

namespace {

// The platform's style, except that a click in the trough never jumps the thumb to the
// pointer (Qt's styles do that for the middle button, and some for the left), and that a bar's
// arrows are as wide as it asks.
class TroughPagesStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const auto* bar = qobject_cast<const HScrollBar*>(widget);
        if (metric == PM_ScrollBarExtent && bar != nullptr && bar->arrowWidth() > 0) {
            return bar->arrowWidth();
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_ScrollBar_LeftClickAbsolutePosition ||
            hint == SH_ScrollBar_MiddleClickAbsolutePosition) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

}  // namespace

HScrollBar::HScrollBar(int minimum, int maximum, int smallChange, int largeChange, int value,
                       QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent) {
    auto* style = new TroughPagesStyle;
    style->setParent(this);
    setStyle(style);
    setRange(minimum, maximum);
    setSingleStep(smallChange);
    setPageStep(largeChange);
    setValue(value);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    // QScrollBar inverts its keys for the sake of vertical bars; on a horizontal bar that
    // makes Left raise the value.
    setInvertedControls(false);

    // Tracking stays on, so the value follows the thumb during a drag: each step of the drag
    // is a Scroll, and the release is the one Change that ends it.
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (isSliderDown()) {
            emit Scroll();
        } else {
            emit Change();
        }
    });
    connect(this, &QAbstractSlider::sliderReleased, this, &HScrollBar::Change);
}

void HScrollBar::setArrowWidth(int width) {
    arrowWidth_ = width;
    update();
}

// The middle button clicks the arrows and the trough as the left one does; only the left
// button drags the thumb.
void HScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton) {
        QScrollBar::mousePressEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QStyle::SubControl part = style()->hitTestComplexControl(
        QStyle::CC_ScrollBar, &option, event->position().toPoint(), this);
    if (part != QStyle::SC_ScrollBarSlider && event->buttons() == Qt::MiddleButton) {
        QMouseEvent left(event->type(), event->position(), event->scenePosition(),
                         event->globalPosition(), Qt::LeftButton, Qt::LeftButton,
                         event->modifiers());
        QScrollBar::mousePressEvent(&left);
    }
}

}  // namespace circles
