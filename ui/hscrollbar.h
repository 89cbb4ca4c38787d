#pragma once

#include <cstdint>

#include <QScrollBar>

namespace circles {

/// A horizontal scroll bar that reports its changes the way the window's handlers expect:
/// Scroll for every movement of the thumb while it is dragged, and Change once after every
/// other change of the value (an arrow, the trough, a key) and at the end of a drag.
///
/// Unlike a plain QScrollBar it takes keyboard focus by Tab and by click (the window shows it),
/// opens no (English) context menu, pages by the large change on every click in the trough with
/// the left or the middle button (the right one does nothing), and its keys run the natural way:
/// Right and Page Up raise the value, Left and Page Down lower it.
class HScrollBar : public QScrollBar {
    Q_OBJECT

public:
    /// A bar from minimum to maximum, with the given small and large changes and start value.
    HScrollBar(int minimum, int maximum, int smallChange, int largeChange, int value,
               QWidget* parent);

    /// The current value as the 16-bit integer the handlers read.
    std::int16_t Value() const { return static_cast<std::int16_t>(value()); }

    /// How wide the arrows are: the style's own width where 0.
    int arrowWidth() const { return arrowWidth_; }
    void setArrowWidth(int width);

signals:
    void Change();
    void Scroll();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int arrowWidth_ = 0;
};

}  // namespace circles
