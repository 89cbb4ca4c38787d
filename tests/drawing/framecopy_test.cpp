// Clearing and whole-frame copies visit only the blocks that were drawn on. These tests follow
// long sequences of pictures and check every one against a surface that never skipped a pixel.
#include <random>

#include <QFont>

#include <gtest/gtest.h>

#include "drawing/colors.h"
#include "drawing/picturebox.h"
#include "drawing/refreshimage.h"
#include "probe.h"

namespace circles {
namespace {

void SetUpLikeTheWindow(PictureBox& box) {
    box.setFont(QFont("IPAPGothic", 9));
    box.setForeColor(Qt::black);
}

// The picture of the scene as drawn from a new pair of surfaces.
QImage FreshPicture(const Scene& scene, qreal ratio) {
    PictureBox picture2(ratio);
    PictureBox picture1(ratio);
    SetUpLikeTheWindow(picture2);
    SetUpLikeTheWindow(picture1);
    RefreshImage(scene, picture2, picture1);
    return picture1.Image().copy();
}

// Scenes of the kind a drag gives: centres anywhere in and around the area, whole or
// fractional, radii 1 to 200, crossing or not.
Scene RandomScene(std::mt19937& random) {
    std::uniform_real_distribution<float> coordinate(-60.0f, 460.0f);
    std::uniform_int_distribution<int> radius(1, 200);
    std::bernoulli_distribution whole(0.7);
    const auto position = [&] {
        const float v = coordinate(random);
        return whole(random) ? std::round(v) : v;
    };
    Scene scene;
    scene.CenterPt = {PointXY{position(), position()}, PointXY{position(), position()}};
    scene.Radius = {static_cast<double>(radius(random)), static_cast<double>(radius(random))};
    return scene;
}

class FrameCopy : public ::testing::TestWithParam<qreal> {
protected:
    FrameCopy() {
        SetUpLikeTheWindow(picture2);
        SetUpLikeTheWindow(picture1);
    }
    void ExpectFresh(const Scene& scene, int step) {
        ASSERT_EQ(picture1.Image(), FreshPicture(scene, GetParam())) << "picture " << step;
        ASSERT_EQ(picture2.Image(), picture1.Image()) << "picture " << step;
    }
    PictureBox picture2{GetParam()};
    PictureBox picture1{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Ratio, FrameCopy, ::testing::Values(1.0, 2.0),
                         [](const auto& info) { return info.param == 1.0 ? "x1" : "x2"; });

TEST_P(FrameCopy, EveryPictureOfARandomDragIsComplete) {
    std::mt19937 random(20240611);
    for (int step = 0; step < 150; ++step) {
        const Scene scene = RandomScene(random);
        RefreshImage(scene, picture2, picture1);
        ExpectFresh(scene, step);
    }
}

// Between pictures, each of these changes a surface in a way the next copy must not miss.
TEST_P(FrameCopy, PicturesStayCompleteWhateverHappensBetweenThem) {
    const qreal ratio = GetParam();
    PictureBox other(ratio);
    SetUpLikeTheWindow(other);
    other.Circle(200, 200, 150, kBlack);
    struct Disturbance {
        const char* what;
        void (*apply)(PictureBox& picture2, PictureBox& picture1, PictureBox& other);
    };
    const Disturbance disturbances[] = {
        {"nothing", [](PictureBox&, PictureBox&, PictureBox&) {}},
        {"a line on Picture1",
         [](PictureBox&, PictureBox& p1, PictureBox&) { p1.Line(0, 0, 399, 399, kRed); }},
        {"a label on Picture1",
         [](PictureBox&, PictureBox& p1, PictureBox&) {
             p1.SetCurrentX(5);
             p1.SetCurrentY(380);
             p1.Print("(1,2)");
         }},
        {"another frame onto Picture1",
         [](PictureBox&, PictureBox& p1, PictureBox& o) {
             p1.PaintPicture(o.Image(), 0, 0, 400, 400, 0, 0, 400, 400);
         }},
        {"a rectangle onto Picture1",
         [](PictureBox&, PictureBox& p1, PictureBox& o) {
             p1.PaintPicture(o.Image(), 30, 40, 100, 100, 0, 0, 100, 100);
         }},
        {"a blank frame onto Picture2",
         [](PictureBox& p2, PictureBox&, PictureBox&) {
             PictureBox blank(p2.Image().devicePixelRatio());
             p2.PaintPicture(blank.Image(), 0, 0, 400, 400, 0, 0, 400, 400);
         }},
        {"another frame onto Picture2",
         [](PictureBox& p2, PictureBox&, PictureBox& o) {
             p2.PaintPicture(o.Image(), 0, 0, 400, 400, 0, 0, 400, 400);
         }},
        {"Picture2 cleared and drawn on",
         [](PictureBox& p2, PictureBox&, PictureBox&) {
             p2.Cls();
             p2.Circle(10, 390, 30, kBlue);
         }},
        {"Picture2 drawn on after the copy",
         [](PictureBox& p2, PictureBox&, PictureBox&) { p2.Line(399, 0, 0, 399, kBlack); }},
        {"Picture2 cleared to grey and back",
         [](PictureBox& p2, PictureBox&, PictureBox&) {
             p2.setBackColor(QColor(200, 200, 200));
             p2.Cls();
             p2.setBackColor(Qt::white);
         }},
        {"Picture1 cleared to grey",
         [](PictureBox&, PictureBox& p1, PictureBox&) {
             p1.setBackColor(QColor(200, 200, 200));
             p1.Cls();
             p1.setBackColor(Qt::white);
         }},
    };
    std::mt19937 random(7);
    int step = 0;
    for (int round = 0; round < 3; ++round) {
        for (const Disturbance& disturbance : disturbances) {
            SCOPED_TRACE(disturbance.what);
            RefreshImage(RandomScene(random), picture2, picture1);
            disturbance.apply(picture2, picture1, other);
            const Scene scene = RandomScene(random);
            RefreshImage(scene, picture2, picture1);
            ExpectFresh(scene, step++);
        }
    }
}

// The second picture copied from one surface to two others: each must get all of it.
TEST_P(FrameCopy, TwoSurfacesReceivingOneSourceBothStayComplete) {
    PictureBox third(GetParam());
    std::mt19937 random(99);
    for (int step = 0; step < 20; ++step) {
        const Scene scene = RandomScene(random);
        RefreshImage(scene, picture2, picture1);
        if (step % 3 != 0) {
            third.PaintPicture(picture2.Image(), 0, 0, 400, 400, 0, 0, 400, 400);
            ASSERT_EQ(third.Image(), picture1.Image()) << step;
        }
        ExpectFresh(scene, step);
    }
}

// Cls only visits what was drawn; whatever was drawn, the whole image is background after it.
TEST_P(FrameCopy, ClsLeavesNothingOfAnyOperation) {
    const qreal ratio = GetParam();
    PictureBox box(ratio);
    SetUpLikeTheWindow(box);
    PictureBox source(ratio);
    source.Circle(200, 200, 199, kRed);
    for (int i = 0; i < 2; ++i) {
        box.Circle(-30, 200, 250, kBlue);
        box.Circle(200.25f, 199.75f, 3, kRed);
        box.Line(-100, 50, 500, 60, kBlack);
        box.SetDrawWidth(5);
        box.PSet(399, 0, kBlack);
        box.SetDrawWidth(1);
        box.PSet(0, 399, kBlack);
        box.SetCurrentX(390);
        box.SetCurrentY(-5);
        box.Print("(123,-4.5E+20)");
        box.SetCurrentX(100);
        box.SetCurrentY(300);
        box.Print(QString::fromUtf8("交点 NaN"));  // not label characters: drawn by QPainter
        box.PaintPicture(source.Image(), 250, 250, 150, 150, 0, 0, 150, 150);
        box.Cls();
        EXPECT_EQ(box.Image(), PictureBox(ratio).Image()) << "round " << i;
        box.PaintPicture(source.Image(), 0, 0, 400, 400, 0, 0, 400, 400);
        box.Cls();
        EXPECT_EQ(box.Image(), PictureBox(ratio).Image()) << "after a frame, round " << i;
    }
}

}  // namespace
}  // namespace circles
