// Whole pictures drawn by RefreshImage, at device pixel ratios 1 and 2, checked by place: each
// shape where it belongs, in its colour, and nothing dark anywhere else.
#include "drawing/refreshimage.h"

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include <QFont>

#include <gtest/gtest.h>

#include "scene/errors.h"
#include "scene/intersection.h"

namespace circles {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

// How strongly a pixel shows colour c laid over white: 1 for c itself, 0 for white or for
// anything that is not a tint of c.
double Coverage(QColor pixel, QColor c) {
    const int p[] = {pixel.red(), pixel.green(), pixel.blue()};
    const int q[] = {c.red(), c.green(), c.blue()};
    double a = 0;
    for (int i = 0; i < 3; ++i) {
        a = q[i] < 255 ? std::max(a, (255.0 - p[i]) / (255 - q[i])) : a;
    }
    for (int i = 0; i < 3; ++i) {
        if (std::abs(p[i] - (255 - a * (255 - q[i]))) > 24) {
            return 0;
        }
    }
    return a;
}

// Logical coordinates on pixel centres, as the surface draws them, to a device pixel.
QColor At(const QImage& image, double x, double y) {
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(std::floor((x + 0.5) * ratio)), int(std::floor((y + 0.5) * ratio)));
}

bool Inside(double x, double y) {
    return x >= 0 && y >= 0 && x < 400 && y < 400;
}

// The strongest tint of c along the ray from the centre at the angle, around the radius.
double RingCoverage(const QImage& image, PointXY centre, double radius, double angle, QColor c) {
    double best = 0;
    for (double t = radius - 1.5; t <= radius + 1.5; t += 0.125) {
        const double x = centre.X + t * std::cos(angle), y = centre.Y + t * std::sin(angle);
        best = Inside(x, y) ? std::max(best, Coverage(At(image, x, y), c)) : 1.0;
    }
    return best;
}

bool DarkNear(const QImage& image, double x, double y) {
    bool dark = false;
    for (double dy = -1; dy <= 1; dy += 0.5) {
        for (double dx = -1; dx <= 1; dx += 0.5) {
            dark = dark || Coverage(At(image, x + dx, y + dy), kBlack) >= 0.5;
        }
    }
    return dark;
}

double DistanceToSegment(PointXY p, PointXY a, PointXY b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double t =
        std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / (dx * dx + dy * dy), 0., 1.);
    return std::hypot(p.X - a.X - t * dx, p.Y - a.Y - t * dy);
}

class Render : public testing::TestWithParam<qreal> {
protected:
    Render() {
        for (PictureBox* box : {&picture2, &picture1}) {
            box->setFont(QFont("IPAPGothic", 9));
            box->setForeColor(kBlack);
        }
    }

    // Checks the picture of the scene on Picture1, which must equal Picture2's.
    void ExpectPictureOf(const Scene& scene) {
        const QImage& image = picture1.Image();
        EXPECT_EQ(image, picture2.Image());
        PointXY cross[2];
        const int count = CalcIntersection(cross[0], cross[1], scene.CenterPt[0], scene.Radius[0],
                                           scene.CenterPt[1], scene.Radius[1]);
        std::vector<PointXY> labelled(scene.CenterPt.begin(), scene.CenterPt.end());
        labelled.insert(labelled.end(), cross, cross + count);
        // Where a line or dot, or a label, may lie; drawn later, they cover the circles.
        const auto nearLine = [&](double x, double y) {
            bool near = false;
            for (int n = 0; n < count; ++n) {
                for (const PointXY c : scene.CenterPt) {
                    near = near || DistanceToSegment({x, y}, c, cross[n]) < 3;
                }
            }
            return near;
        };
        const auto covered = [&](double x, double y) {
            bool near = nearLine(x, y);
            for (const PointXY p : labelled) {
                near = near || QRectF(p.X - 23, p.Y + 7, 80, 22).contains(x, y);
            }
            return near;
        };
        const QColor ringColour[] = {{127, 127, 255}, {255, 127, 127}};
        const QColor dotColour[] = {{0, 0, 255}, {255, 0, 0}};
        for (int i = 0; i < 2; ++i) {
            const PointXY c = scene.CenterPt[i];
            for (const auto& [r, colour] :
                 {std::pair{scene.Radius[i], ringColour[i]}, std::pair{3.0, dotColour[i]}}) {
                for (int k = 0; k < 8; ++k) {  // the eight compass points
                    const double a = k * M_PI / 4;
                    if (!covered(c.X + r * std::cos(a), c.Y + r * std::sin(a))) {
                        EXPECT_GE(RingCoverage(image, c, r, a, colour), 0.5) << i << "," << r << k;
                    }
                }
            }
            const double r = scene.Radius[i];
            if (Inside(c.X + r, c.Y) && !covered(c.X + r, c.Y)) {  // along a column: exact
                EXPECT_EQ(At(image, c.X + r, c.Y), ringColour[i]);
            }
            EXPECT_TRUE(covered(c.X, c.Y) || At(image, c.X, c.Y) == kWhite);
        }
        for (int n = 0; n < count; ++n) {
            const PointXY p = cross[n];
            EXPECT_EQ(At(image, std::round(p.X), std::round(p.Y)), kBlack);  // the thick dot
            for (const PointXY c : scene.CenterPt) {
                for (const double t : {0.25, 0.75}) {
                    EXPECT_TRUE(DarkNear(image, c.X + t * (p.X - c.X), c.Y + t * (p.Y - c.Y)));
                }
            }
        }
        // Each label's ink starts at its corner (X - 20, Y + 10) and runs on for a few characters.
        for (const PointXY p : labelled) {
            QRect ink;
            for (int y = -3; y < 20; ++y) {
                for (int x = -3; x < 60; ++x) {
                    const double px = std::round(p.X) - 20 + x, py = std::round(p.Y) + 10 + y;
                    if (Inside(px, py) && !nearLine(px, py) &&
                        Coverage(At(image, px, py), kBlack) >= 0.5) {
                        ink |= QRect(x, y, 1, 1);
                    }
                }
            }
            EXPECT_TRUE(ink.left() >= 0 && ink.left() <= 3 && ink.top() >= 0 && ink.top() <= 4)
                << "label of (" << p.X << ", " << p.Y << ") inked at " << ink.left() << ", "
                << ink.top();
            EXPECT_GT(ink.width(), 35);
        }
        // Nothing dark but the labels, the lines and the dots.
        for (int y = 0; y < 400; ++y) {
            for (int x = 0; x < 400; ++x) {
                if (!covered(x, y)) {
                    ASSERT_LT(Coverage(At(image, x, y), kBlack), 0.5) << x << "," << y;
                }
            }
        }
    }

    PictureBox picture2{GetParam()};
    PictureBox picture1{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Ratio, Render, testing::Values(1.0, 2.0));

Scene MakeScene(PointXY c0, double r0, PointXY c1, double r1) {
    Scene scene;
    scene.CenterPt = {c0, c1};
    scene.Radius = {r0, r1};
    return scene;
}

TEST_P(Render, DrawsEachShapeInPlace) {
    const Scene scenes[] = {
        // Radii whose rings cross the diagonals through the middle of a pixel, at either ratio.
        MakeScene({100, 100}, 72, {300, 300}, 27),    // no crossing
        MakeScene({100, 100}, 171, {300, 300}, 130),  // two points
        MakeScene({100, 200}, 72, {302, 200}, 130),   // touching at (172, 200)
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(testing::Message() << "radii " << scene.Radius[0] << ", " << scene.Radius[1]);
        RefreshImage(scene, picture2, picture1);
        ExpectPictureOf(scene);
    }
}

// Picture1 holds exactly a fresh render after any sequence of pictures, whatever was on it.
TEST_P(Render, Picture1AlwaysHoldsTheWholeLatestPicture) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-60, 460);
    std::uniform_int_distribution<int> radius(1, 200);
    for (int step = 0; step < 30; ++step) {
        const Scene scene =
            MakeScene({coordinate(random), std::round(coordinate(random))}, radius(random),
                      {coordinate(random), coordinate(random)}, radius(random));
        if (step % 3 == 0) {
            picture1.setBackColor(QColor(200, 200, 200));
            picture1.Cls();
        }
        RefreshImage(scene, picture2, picture1);
        PictureBox fresh2(GetParam()), fresh1(GetParam());
        fresh2.setFont(QFont("IPAPGothic", 9));
        fresh2.setForeColor(kBlack);
        RefreshImage(scene, fresh2, fresh1);
        ASSERT_EQ(picture1.Image(), fresh1.Image()) << "step " << step;
    }
}

TEST_P(Render, AFailingCallLeavesPicture1AsItWas) {
    RefreshImage(MakeScene({100, 100}, 100, {300, 300}, 50), picture2, picture1);
    const QImage before = picture1.Image().copy();
    // The circles cross at x = 3e9 + 50, whose label does not fit a 32-bit integer.
    try {
        RefreshImage(MakeScene({3e9, 0}, 100, {3e9 + 100, 0}, 100), picture2, picture1);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(picture1.Image(), before);
}

// CalcIntersection gives at most two points; a larger count stops at the third.
TEST(DrawCrossPoints, RaisesTheIndexErrorAtTheThirdPoint) {
    PictureBox box;
    try {
        DrawCrossPoints(MakeScene({0, 0}, 1, {0, 0}, 1), {PointXY{10, 10}, PointXY{20, 20}}, 3,
                        box);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::IndexOutOfRange);
    }
    EXPECT_EQ(At(box.Image(), 20, 20), kBlack);  // both valid points were drawn
}

}  // namespace
}  // namespace circles
