#pragma once

#include <array>
#include <cstdint>

#include <QLabel>
#include <QWidget>

#include "scene/intersection.h"
#include "scene/scene.h"
#include "ui/eventhost.h"
#include "ui/hscrollbar.h"
#include "ui/layout.h"
#include "ui/pictureboxview.h"

namespace circles {

/// The program's one window, captioned with the program's name: the visible drawing area
/// Picture1, the hidden drawing area Picture2 on which every picture is drawn, and for each
/// circle a radius label (Label1) above a scroll bar (HScroll1). It owns the scene.
///
/// Constructing it lays out the controls with their start values and then loads it: the
/// labels, the radii, the default centres and the first picture are all in place before the
/// window is first shown. An error in loading leaves the constructor: there is no window.
class Form1 : public QWidget {
    Q_OBJECT

public:
    /// Errors that leave the window's handlers, and its painting, go to host.
    explicit Form1(EventHost& host, QWidget* parent = nullptr);

    // The controls, by tab order. Label1 and HScroll1 are control arrays, indexed 0 for the
    // blue circle and 1 for the red one. Picture2 is the hidden drawing surface every picture
    // is drawn on before one copy puts it on Picture1; it is never shown, so it needs no widget.
    PictureBoxView* const Picture1;
    PictureBox Picture2;
    const std::array<QLabel*, 2> Label1;
    const std::array<HScrollBar*, 2> HScroll1;

    const Scene& scene() const { return scene_; }

    /// Puts the window's controls where the arrangement says, and gives it the arrangement's
    /// size; the window starts in its own arrangement, layout::kWindow.
    void Arrange(const layout::Arrangement& arrangement);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Procedures of the window.
    void RefreshImage();
    void RefreshLabel();

    // Event handlers, each taking what its event gives, used or not.
    void Form_Load();
    void HScroll1_Change(std::int16_t Index);
    void HScroll1_Scroll(std::int16_t Index);
    void Picture1_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture1_KeyDown(Qt::Key KeyCode, std::int16_t Shift);

    void WireEvents();
    void FollowDevicePixelRatio();

    EventHost& host_;
    Scene scene_;
    // What Picture1 shows, for its description: the scene of its last finished picture, and
    // the points that picture was drawn with.
    Scene shownScene_;
    CrossPoints shownCrossing_;
};

}  // namespace circles
