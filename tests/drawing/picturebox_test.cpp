#include "drawing/picturebox.h"

#include <cmath>
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
using probe::Near;

const QColor kWhite(255, 255, 255);

TEST(Colors, PackRedInTheLowByte) {
    EXPECT_EQ(ToQColor(kBlue), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(kLightBlue), QColor(127, 127, 255));
    EXPECT_EQ(ToQColor(kRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(kLightRed), QColor(255, 127, 127));
    EXPECT_EQ(ToQColor(kBlack), QColor(0, 0, 0));
    EXPECT_EQ(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
}

// Every surface test runs at device pixel ratio 1 and 2: the image then holds 400 or 800
// device pixels each way, while the coordinates stay the same.
class Surface : public ::testing::TestWithParam<qreal> {
protected:
    // Prints text at (x, y) in the Japanese face at 9 pt and the given colour.
    void PrintAt(float x, float y, const QString& text, const QColor& color) {
        box.setFont(QFont("IPAPGothic", 9));
        box.setForeColor(color);
        box.SetCurrentX(x);
        box.SetCurrentY(y);
        box.Print(text);
    }

    PictureBox box{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Ratio, Surface, ::testing::Values(1.0, 2.0),
                         [](const auto& info) { return info.param == 1.0 ? "x1" : "x2"; });

TEST_P(Surface, StartsWhiteAtItsDeviceSize) {
    const QImage& image = box.Image();
    const int side = static_cast<int>(400 * GetParam());
    EXPECT_EQ(image.size(), QSize(side, side));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(400, 400));
    EXPECT_EQ(image.pixelColor(0, 0), kWhite);
    EXPECT_EQ(image.pixelColor(side - 1, side - 1), kWhite);
    EXPECT_EQ(box.DrawWidth(), 1);
}

TEST_P(Surface, DrawsAOnePixelRingAroundTheCentre) {
    box.Circle(200, 200, 100, kLightBlue);
    const QImage& image = box.Image();
    const QColor lightBlue = ToQColor(kLightBlue);
    // The four extremes of the ring, where it runs along a pixel row or column.
    EXPECT_TRUE(Near(At(image, 300, 200), lightBlue));
    EXPECT_TRUE(Near(At(image, 100, 200), lightBlue));
    EXPECT_TRUE(Near(At(image, 200, 100), lightBlue));
    EXPECT_TRUE(Near(At(image, 200, 300), lightBlue));
    // One pixel wide: two pixels off the ring it is white, inside and out.
    EXPECT_EQ(At(image, 298, 200), kWhite);
    EXPECT_EQ(At(image, 302, 200), kWhite);
    EXPECT_EQ(At(image, 200, 200), kWhite);
}

TEST_P(Surface, ClipsACircleLargerThanTheSurface) {
    box.Circle(200, 200, 1000, kRed);
    box.Circle(-500, 200, 600, kBlue);  // crosses the area at x = 100
    const QImage& image = box.Image();
    EXPECT_TRUE(Near(At(image, 100, 200), ToQColor(kBlue)));
    EXPECT_EQ(At(image, 200, 200), kWhite);
}

TEST_P(Surface, DrawsALineBetweenItsEnds) {
    box.Line(50, 80, 350, 80, kRed);
    box.Line(20, 20, 120, 120, kBlack);
    const QImage& image = box.Image();
    EXPECT_TRUE(Near(At(image, 50, 80), ToQColor(kRed)));
    EXPECT_TRUE(Near(At(image, 200, 80), ToQColor(kRed)));
    EXPECT_TRUE(Near(At(image, 350, 80), ToQColor(kRed)));
    EXPECT_EQ(At(image, 200, 78), kWhite);
    EXPECT_EQ(At(image, 200, 82), kWhite);
    EXPECT_EQ(At(image, 360, 80), kWhite);  // it ends where it should
    EXPECT_TRUE(probe::InkNear(image, 70, 70));
    EXPECT_FALSE(probe::InkNear(image, 70, 80));
}

TEST_P(Surface, PSetAtWidthFiveIsADiscFivePixelsAcross) {
    box.SetDrawWidth(5);
    box.PSet(200, 100, kBlack);
    const QImage& image = box.Image();
    // Edge pixels are anti-aliased, hence the small tolerance.
    for (int d = -2; d <= 2; ++d) {
        EXPECT_TRUE(Near(At(image, 200 + d, 100), Qt::black, 16)) << d;
        EXPECT_TRUE(Near(At(image, 200, 100 + d), Qt::black, 16)) << d;
    }
    EXPECT_EQ(At(image, 197, 100), kWhite);
    EXPECT_EQ(At(image, 203, 100), kWhite);
    EXPECT_EQ(At(image, 200, 97), kWhite);
    EXPECT_EQ(At(image, 200, 103), kWhite);
    // A disc, not a square: the corners of the 5 x 5 block are at most partly covered.
    EXPECT_NE(At(image, 198, 98), QColor(Qt::black));
}

TEST_P(Surface, PSetAtWidthOneSetsTheNearestPixel) {
    box.PSet(10.4f, 20.6f, kRed);
    const QImage& image = box.Image();
    EXPECT_EQ(At(image, 10, 21), QColor(Qt::red));
    EXPECT_EQ(probe::InkBounds(image, QRect(0, 0, 40, 40)), QRect());
    int coloured = 0;
    for (int y = 15; y < 25; ++y) {
        for (int x = 5; x < 15; ++x) {
            coloured += At(image, x, y) != kWhite;
        }
    }
    EXPECT_EQ(coloured, 1);
}

TEST_P(Surface, PrintsFromTheCurrentPositionInTheForeColour) {
    PrintAt(80, 110, "(100,100)", QColor(0, 0, 0));
    const QRect ink = probe::InkBounds(box.Image(), QRect(60, 90, 120, 50));
    ASSERT_FALSE(ink.isEmpty());
    // The text's top-left corner is at the position: ink starts just right of and below it.
    EXPECT_GE(ink.left(), 80);
    EXPECT_LE(ink.left(), 83);
    EXPECT_GE(ink.top(), 110);
    EXPECT_LE(ink.top(), 114);
    // Nine glyphs at 9 pt: some 40 to 70 pixels wide and under 16 high.
    EXPECT_GT(ink.width(), 40);
    EXPECT_LT(ink.width(), 70);
    EXPECT_LT(ink.height(), 16);
}

TEST_P(Surface, PrintsInTheColourItIsGiven) {
    PrintAt(10, 10, "8888", QColor(0, 160, 0));
    bool green = false;
    for (int y = 10; y < 26; ++y) {
        for (int x = 10; x < 40; ++x) {
            green = green || Near(At(box.Image(), x, y), QColor(0, 160, 0), 60);
        }
    }
    EXPECT_TRUE(green);
}

TEST_P(Surface, ClsClearsToTheBackColour) {
    box.Circle(200, 200, 50, kBlack);
    box.Cls();
    EXPECT_EQ(At(box.Image(), 250, 200), kWhite);
    box.setBackColor(QColor(10, 20, 30));
    box.Cls();
    EXPECT_EQ(At(box.Image(), 0, 0), QColor(10, 20, 30));
    EXPECT_EQ(At(box.Image(), 399, 399), QColor(10, 20, 30));
}

TEST_P(Surface, PaintPictureCopiesAWholeFramePixelForPixel) {
    PictureBox source(GetParam());
    source.Circle(200, 200, 120, kLightRed);
    source.SetDrawWidth(5);
    source.PSet(30, 40, kBlue);
    box.PaintPicture(source.Image(), 0, 0, 400, 400, 0, 0, 400, 400);
    EXPECT_EQ(box.Image(), source.Image());
    // The copy is the target's own: drawing on the source later leaves it alone.
    source.Cls();
    EXPECT_TRUE(Near(At(box.Image(), 320, 200), ToQColor(kLightRed)));
}

TEST_P(Surface, PaintPictureCopiesARectangle) {
    PictureBox source(GetParam());
    source.SetDrawWidth(5);
    source.PSet(10, 10, kRed);
    source.PSet(100, 100, kBlue);
    box.PaintPicture(source.Image(), 50, 60, 20, 20, 0, 0, 20, 20);
    const QImage& image = box.Image();
    EXPECT_EQ(At(image, 60, 70), QColor(Qt::red));
    EXPECT_EQ(At(image, 10, 10), kWhite);
    EXPECT_EQ(At(image, 100, 100), kWhite);
}

TEST_P(Surface, KeepsDrawingAfterItsImageIsCopied) {
    const QImage before = box.Image();
    box.PSet(5, 5, kBlack);
    EXPECT_EQ(At(before, 5, 5), kWhite);
    EXPECT_EQ(At(box.Image(), 5, 5), QColor(Qt::black));
}

TEST(SurfaceErrors, RaiseSurfaceFailureForUnusableValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    PictureBox box;
    const auto expectFailure = [](auto&& operation, const char* what) {
        try {
            operation();
            ADD_FAILURE() << "no error from " << what;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.kind(), ErrorKind::SurfaceFailure) << what;
        }
    };
    expectFailure([&] { box.Circle(nan, 0, 10, kBlack); }, "Circle at NaN");
    expectFailure([&] { box.Circle(0, 0, -1, kBlack); }, "Circle of negative radius");
    expectFailure([&] { box.Line(0, 0, inf, 0, kBlack); }, "Line to infinity");
    expectFailure([&] { box.PSet(0, -inf, kBlack); }, "PSet at infinity");
    expectFailure([&] { box.SetCurrentX(nan); }, "CurrentX NaN");
    expectFailure([&] { box.SetDrawWidth(0); }, "DrawWidth 0");
    expectFailure([&] { box.PaintPicture(QImage(), 0, 0, 400, 400, 0, 0, 400, 400); },
                  "PaintPicture of no picture");
    expectFailure([] { PictureBox bad(0.0); }, "a ratio of 0");
    EXPECT_EQ(box.DrawWidth(), 1);
    EXPECT_EQ(box.Image().pixelColor(0, 0), kWhite);
}

// Far-off coordinates, as a dragged centre can give, are clipped and not refused.
TEST(SurfaceClipping, DrawsFarOutsideTheAreaWithoutHarm) {
    PictureBox box;
    box.setFont(QFont("IPAPGothic", 9));
    box.Circle(3e9f, 0, 100, kBlue);
    box.Circle(-1e30f, 1e30f, 1e30f, kBlue);
    box.Line(-1e20f, 200, 1e20f, 200, kBlack);
    box.SetCurrentX(3e9f);
    box.SetCurrentY(-3e9f);
    box.Print("(3000000000,0)");
    EXPECT_TRUE(probe::InkNear(box.Image(), 200, 200));
}

}  // namespace
}  // namespace circles
