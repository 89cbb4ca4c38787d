#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QWidget>

#include "drawing/picturebox.h"
#include "ui/eventhost.h"
#include "ui/layout.h"

class QTouchEvent;

namespace circles {

/// The picture-box control: a 2 px sunken border around a 400 x 400 drawing area that shows
/// its surface's persistent image. It draws nothing itself: painting only copies the image,
/// so the picture survives being covered and uncovered without the program redrawing it.
///
/// Pointer moves are reported as MouseMove with the buttons held (1 left, 2 right, 4 middle,
/// added together), the modifier keys (1 Shift, 2 Ctrl, 4 Alt) and the position relative to
/// the drawing area's top-left corner. While a button pressed over the box is held, moves go
/// on being reported outside it. The arrow keys, held or not, are reported as KeyDown with
/// the modifier keys.
///
/// A finger is a mouse with one button: once it moves, each move is a move with the left
/// button, or with the right one where the finger was held still for the platform's
/// press-and-hold time first (its touch "right click"). Until it moves nothing is reported, and
/// a second finger ends the drag: nothing more is reported until every finger is lifted.
class PictureBoxView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBorder = layout::kPictureBorder;
    static constexpr int kOuterSize = PictureBox::kWidth + 2 * kBorder;

    /// A box whose painting reports its errors to host.
    PictureBoxView(QWidget* parent, EventHost& host);

    PictureBox& surface() { return surface_; }

    /// Repaints the drawing area from the surface's image, and tells assistive technology
    /// that the picture's description has changed.
    void showSurface();

    /// Sets what tells the picture in words. Assistive technology asks for the description
    /// only when it needs it, so nothing is written on the way of a mouse move.
    void setDescriber(std::function<QString()> describe) { describe_ = std::move(describe); }
    QString describe() const { return describe_ ? describe_() : QString(); }

signals:
    void MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void KeyDown(Qt::Key KeyCode, std::int16_t Shift);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void touchEvent(QTouchEvent* event);
    void ReportMove(std::int16_t Button, Qt::KeyboardModifiers modifiers, QPointF position);

    // The finger on the picture: where and when it came down, and the button its drag stands
    // for, 0 while it has not moved; none once a second finger came.
    struct Finger {
        QPointF pressedAt;
        quint64 pressedTime = 0;
        std::int16_t Button = 0;
    };
    std::optional<Finger> finger_;

    PictureBox surface_;
    std::function<QString()> describe_;
    EventHost& host_;
};

}  // namespace circles
