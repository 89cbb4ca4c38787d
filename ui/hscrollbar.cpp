#include "ui/hscrollbar.h"

namespace circles {

HScrollBar::HScrollBar(int minimum, int maximum, int smallChange, int largeChange, int value,
                       QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent) {
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

}  // namespace circles
