#include "drawing/refreshimage.h"

#include <array>
#include <cstdint>
#include <limits>

#include <QFont>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "drawing/colors.h"
#include "probe.h"
#include "scene/errors.h"

namespace circles {
namespace {

using probe::At;
using probe::InkBounds;
using probe::InkNear;
using probe::Near;

const QColor kWhite(255, 255, 255);

Scene MakeScene(double r0, double r1) {
    Scene scene;
    scene.SetDefaultCenters();
    scene.Radius = {r0, r1};
    return scene;
}

void SetUpLikeTheWindow(PictureBox& box) {
    box.setFont(QFont("IPAPGothic", 9));
    box.setForeColor(Qt::black);
}

// The box a label's ink must fall in: its top-left corner at (x, y), a few pixels of slack
// for the glyphs' side bearings, and room for up to twelve characters.
QRect LabelBox(double x, double y) {
    return QRect(static_cast<int>(x) - 1, static_cast<int>(y) - 1, 80, 18);
}

// Checks that a label's ink begins just right of and below its top-left corner (x, y), and
// runs on for several characters. Only the opening parenthesis is measured, so that lines
// crossing the rest of the label do not count.
void ExpectLabelAt(const QImage& image, double x, double y, const char* what) {
    const int left = static_cast<int>(x);
    const int top = static_cast<int>(y);
    const QRect parenthesis = InkBounds(image, QRect(left - 3, top - 3, 8, 22));
    ASSERT_FALSE(parenthesis.isEmpty()) << what;
    EXPECT_GE(parenthesis.left(), left) << what;
    EXPECT_LE(parenthesis.left(), left + 3) << what;
    EXPECT_GE(parenthesis.top(), top) << what;
    EXPECT_LE(parenthesis.top(), top + 4) << what;
    EXPECT_GT(InkBounds(image, LabelBox(x, y)).width(), 35) << what;
}

// Counts ink pixels outside the given label boxes.
int InkOutside(const QImage& image, std::initializer_list<QRect> labels) {
    int count = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 400; ++x) {
            bool inLabel = false;
            for (const QRect& label : labels) {
                inLabel = inLabel || label.contains(x, y);
            }
            count += !inLabel && probe::IsInk(At(image, x, y));
        }
    }
    return count;
}

class Render : public ::testing::TestWithParam<qreal> {
protected:
    Render() {
        SetUpLikeTheWindow(picture1);
        SetUpLikeTheWindow(picture2);
    }
    PictureBox picture2{GetParam()};
    PictureBox picture1{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Ratio, Render, ::testing::Values(1.0, 2.0),
                         [](const auto& info) { return info.param == 1.0 ? "x1" : "x2"; });

// The start-up scene: the circles miss each other.
TEST_P(Render, StartUpSceneHasCirclesDotsAndCentreLabelsOnly) {
    RefreshImage(MakeScene(100, 50), picture2, picture1);
    const QImage& image = picture1.Image();
    EXPECT_EQ(image, picture2.Image());

    const QColor blue = ToQColor(kBlue), lightBlue = ToQColor(kLightBlue);
    const QColor red = ToQColor(kRed), lightRed = ToQColor(kLightRed);
    EXPECT_TRUE(Near(At(image, 200, 100), lightBlue));
    EXPECT_TRUE(Near(At(image, 100, 0), lightBlue));
    EXPECT_TRUE(Near(At(image, 0, 100), lightBlue));
    EXPECT_TRUE(Near(At(image, 103, 100), blue));
    EXPECT_TRUE(Near(At(image, 100, 97), blue));
    EXPECT_TRUE(Near(At(image, 350, 300), lightRed));
    EXPECT_TRUE(Near(At(image, 300, 250), lightRed));
    EXPECT_TRUE(Near(At(image, 297, 300), red));
    EXPECT_TRUE(Near(At(image, 300, 303), red));
    EXPECT_EQ(At(image, 100, 100), kWhite);  // centre dots are rings
    EXPECT_EQ(At(image, 200, 200), kWhite);

    ExpectLabelAt(image, 80, 110, "(100,100)");
    ExpectLabelAt(image, 280, 310, "(300,300)");
    // No lines, dots or labels of intersection points.
    EXPECT_EQ(InkOutside(image, {LabelBox(80, 110), LabelBox(280, 310)}), 0);
    EXPECT_EQ(picture2.DrawWidth(), 1);
}

// The default centres with radii 200 and 150 cross at about (150.136, 293.614) and
// (293.614, 150.136).
TEST_P(Render, CrossingCirclesAddLinesDotsAndLabels) {
    RefreshImage(MakeScene(200, 150), picture2, picture1);
    const QImage& image = picture1.Image();
    EXPECT_EQ(image, picture2.Image());
    const QColor black(Qt::black);

    EXPECT_TRUE(Near(At(image, 300, 100), ToQColor(kLightBlue)));
    EXPECT_TRUE(Near(At(image, 300, 150), ToQColor(kLightRed)));
    // The thick dots: black at the points, and ink two pixels away on every side, where the
    // lines alone would leave white.
    for (const QPoint p : {QPoint(150, 294), QPoint(294, 150)}) {
        EXPECT_EQ(At(image, p.x(), p.y()), black) << p.x() << "," << p.y();
        for (const QPoint d : {QPoint(-2, 0), QPoint(2, 0), QPoint(0, -2), QPoint(0, 2)}) {
            EXPECT_TRUE(probe::IsInk(At(image, p.x() + d.x(), p.y() + d.y())))
                << p.x() << "," << p.y() << " + " << d.x() << "," << d.y();
        }
    }
    // Along the four lines, a quarter and three quarters of the way.
    const PointXY c0{100, 100}, c1{300, 300};
    for (const PointXY p : {PointXY{150.136, 293.614}, PointXY{293.614, 150.136}}) {
        for (const PointXY c : {c0, c1}) {
            for (const double t : {0.25, 0.75}) {
                const int x = static_cast<int>(std::lround(c.X + t * (p.X - c.X)));
                const int y = static_cast<int>(std::lround(c.Y + t * (p.Y - c.Y)));
                EXPECT_TRUE(InkNear(image, x, y)) << "line at " << x << "," << y;
            }
        }
    }
    // Lines are one pixel wide: beside a line's middle it is white again.
    EXPECT_FALSE(InkNear(image, 197, 110, 1));
    ExpectLabelAt(image, 130.136, 303.614, "(150,294)");
    ExpectLabelAt(image, 273.614, 160.136, "(294,150)");
    ExpectLabelAt(image, 80, 110, "(100,100)");
    EXPECT_EQ(picture2.DrawWidth(), 1);
}

TEST_P(Render, TouchingCirclesGetOneDotAndOneLabel) {
    Scene scene;
    scene.CenterPt = {PointXY{100, 200}, PointXY{300, 200}};
    scene.Radius = {120, 80};  // touch at (220, 200)
    RefreshImage(scene, picture2, picture1);
    const QImage& image = picture1.Image();
    EXPECT_EQ(At(image, 220, 200), QColor(Qt::black));
    EXPECT_TRUE(Near(At(image, 220, 198), Qt::black, 16));
    ExpectLabelAt(image, 200, 210, "(220,200)");
    // One dot: nothing black at the mirror point an extra one would take.
    EXPECT_EQ(InkOutside(image, {LabelBox(80, 210), LabelBox(280, 210), LabelBox(200, 210),
                                 QRect(95, 195, 210, 11)}),
              0);
}

TEST_P(Render, FailingCallLeavesPicture1AsItWas) {
    RefreshImage(MakeScene(100, 50), picture2, picture1);
    const QImage before = picture1.Image().copy();

    // The circles cross at x = 3e9 + 50, which does not fit the label's 32-bit rounding.
    Scene far;
    far.CenterPt = {PointXY{3e9, 0}, PointXY{3e9 + 100, 0}};
    far.Radius = {100, 100};
    try {
        RefreshImage(far, picture2, picture1);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(picture1.Image(), before);
    EXPECT_NE(picture2.Image(), before);  // the hidden surface was cleared and drawn on

    // A centre beyond single precision fails at the first circle.
    Scene huge = MakeScene(100, 50);
    huge.CenterPt[1] = {1e300, 0};
    EXPECT_THROW(RefreshImage(huge, picture2, picture1), RuntimeError);
    EXPECT_EQ(picture1.Image(), before);
}

// CalcIntersection gives at most two points; these drive the point loop with counts it cannot.
TEST(DrawCrossPoints, StopsAtTheThirdPointWithTheIndexError) {
    PictureBox box;
    SetUpLikeTheWindow(box);
    const std::array<PointXY, 2> points{PointXY{150, 250}, PointXY{250, 150}};
    try {
        DrawCrossPoints(MakeScene(100, 50), points, 3, box);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::IndexOutOfRange);
    }
    // Both valid points were drawn in full, and the pen is back at width 1.
    EXPECT_EQ(At(box.Image(), 150, 250), QColor(Qt::black));
    EXPECT_EQ(At(box.Image(), 250, 150), QColor(Qt::black));
    EXPECT_FALSE(InkBounds(box.Image(), LabelBox(230, 160)).isEmpty());
    EXPECT_EQ(box.DrawWidth(), 1);
}

TEST(DrawCrossPoints, RaisesOverflowForTheLowestCount) {
    PictureBox box;
    const std::array<PointXY, 2> points{};
    for (const std::int32_t count : {0, -1, std::numeric_limits<std::int32_t>::min() + 1}) {
        DrawCrossPoints(MakeScene(100, 50), points, count, box);
    }
    try {
        DrawCrossPoints(MakeScene(100, 50), points, std::numeric_limits<std::int32_t>::min(), box);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(InkBounds(box.Image(), QRect(0, 0, 400, 400)), QRect());
}

// Surfaces made at the screen's ratio, as the window makes them. Run once more with
// QT_SCALE_FACTOR=2, this is the 800 x 800 case.
TEST(ScreenRatio, SurfacesHoldRatioTimesThePixelsAndTheSamePicture) {
    const qreal ratio = qGuiApp->devicePixelRatio();
    PictureBox picture2(ratio);
    PictureBox picture1(ratio);
    SetUpLikeTheWindow(picture1);
    SetUpLikeTheWindow(picture2);
    RefreshImage(MakeScene(200, 150), picture2, picture1);
    const QImage& image = picture1.Image();
    const int side = static_cast<int>(400 * ratio);
    EXPECT_EQ(image.size(), QSize(side, side));
    EXPECT_EQ(At(image, 150, 294), QColor(Qt::black));
    EXPECT_TRUE(Near(At(image, 300, 100), ToQColor(kLightBlue)));
    ExpectLabelAt(image, 80, 110, "(100,100)");
}

}  // namespace
}  // namespace circles
