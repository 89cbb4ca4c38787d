#include "drawing/refreshimage.h"

#include "drawing/colors.h"
#include "drawing/numbertext.h"
#include "scene/checked.h"
#include "scene/errors.h"
#include "scene/intersection.h"

namespace circles {

namespace {

constexpr double kCenterDotRadius = 3.0;
constexpr std::int16_t kCrossDotWidth = 5;
constexpr std::int16_t kNormalWidth = 1;
// A label's top-left corner lies this far left of and below the point it labels.
constexpr double kLabelLeft = 20.0;
constexpr double kLabelDown = 10.0;

const PointXY& CrossPtAt(const std::array<PointXY, 2>& CrossPt, std::int32_t i) {
    if (i < 0 || i > 1) [[unlikely]] {
        Raise(ErrorKind::IndexOutOfRange);
    }
    return CrossPt[static_cast<std::size_t>(i)];
}

// Sets the text position for the label of point p; the position is computed in checked double
// arithmetic before it is rounded to single precision.
void MoveToLabel(PointXY p, PictureBox& picture) {
    picture.SetCurrentX(ToSingle((CheckedDouble(p.X) - kLabelLeft).value()));
    picture.SetCurrentY(ToSingle((CheckedDouble(p.Y) + kLabelDown).value()));
}

// A circle's centre dot, its outline and its centre label.
void DrawCircle(PointXY center, double radius, PackedColor dotColor, PackedColor circleColor,
                PictureBox& picture) {
    const float x = ToSingle(center.X);
    const float y = ToSingle(center.Y);
    picture.Circle(x, y, ToSingle(kCenterDotRadius), dotColor);
    picture.Circle(x, y, ToSingle(radius), circleColor);
    MoveToLabel(center, picture);
    picture.Print(CenterLabel(center));
}

// For i from 0 to CrossCount - 1: the lines from both centres to CrossPt[i], its thick dot and
// its label. The last index is computed once, and the index stepped, with overflow checks; a
// count of 0 or below draws nothing, and reading past CrossPt[1] would raise the index error
// before anything of that pass is drawn.
void DrawCrossPoints(const Scene& scene, const CrossPoints& crossing, PictureBox& Picture2) {
    const PointXY& c0 = scene.CenterPt[0];
    const PointXY& c1 = scene.CenterPt[1];
    const std::int32_t last = SubtractInt32(crossing.CrossCount, 1);
    for (std::int32_t i = 0; i <= last; i = AddInt32(i, 1)) {
        const PointXY& p = CrossPtAt(crossing.CrossPt, i);
        Picture2.Line(ToSingle(c0.X), ToSingle(c0.Y), ToSingle(p.X), ToSingle(p.Y), kBlack);
        Picture2.Line(ToSingle(p.X), ToSingle(p.Y), ToSingle(c1.X), ToSingle(c1.Y), kBlack);
        Picture2.SetDrawWidth(kCrossDotWidth);
        Picture2.PSet(ToSingle(p.X), ToSingle(p.Y), kBlack);
        Picture2.SetDrawWidth(kNormalWidth);
        MoveToLabel(p, Picture2);
        Picture2.Print(IntersectionLabel(p));
    }
}

}  // namespace

CrossPoints RefreshImage(const Scene& scene, PictureBox& Picture2, PictureBox& Picture1) {
    CrossPoints crossing;
    Picture2.Cls();
    DrawCircle(scene.CenterPt[0], scene.Radius[0], kBlue, kLightBlue, Picture2);
    DrawCircle(scene.CenterPt[1], scene.Radius[1], kRed, kLightRed, Picture2);
    crossing.CrossCount =
        CalcIntersection(crossing.CrossPt[0], crossing.CrossPt[1], scene.CenterPt[0],
                         scene.Radius[0], scene.CenterPt[1], scene.Radius[1]);
    DrawCrossPoints(scene, crossing, Picture2);
    const QImage& picture = Picture2.Image();
    Picture1.PaintPicture(picture, 0.0f, 0.0f, PictureBox::kWidth, PictureBox::kHeight, 0, 0,
                          PictureBox::kWidth, PictureBox::kHeight);
    return crossing;
}

}  // namespace circles
