// Label texts, and whole pictures drawn by RefreshImage.
#include <limits>
#include <tuple>

#include <QFont>

#include <gtest/gtest.h>

#include "drawing/description.h"
#include "drawing/numbertext.h"
#include "drawing/refreshimage.h"
#include "scene/errors.h"
#include "ui/fonts.h"

namespace circles {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumberText, WritesCoordinatesInTheLocalesSeparator) {
    const std::pair<double, const char*> numbers[] = {
        {-12.5, "-12.5"},
        {-0.0, "0"},
        {2.0 / 3.0, "0.666666666666667"},  // rounded to 15 digits, not cut
        {9.9999999999999982, "10"},        // the rounding carries
        {999999999999999.9, "1E+15"},
        {-2.5e-7, "-2.5E-07"},
        {kNaN, "NaN"},
    };
    for (const auto& [value, text] : numbers) {
        EXPECT_EQ(GeneralNumberText(value, QLocale::Japanese), text);
        EXPECT_EQ(GeneralNumberText(value, QLocale::German), QString(text).replace('.', ','));
    }
    const std::pair<PointXY, const char*> points[] = {
        {{150.5, 99.5}, "(150,100)"},
        {{2.5, -0.5}, "(2,0)"},
        {{-1.5, 2147483647.4}, "(-2,2147483647)"},
        {{2147483647.5, 0}, nullptr},  // does not fit 32 bits
        {{0, kNaN}, nullptr},
    };
    for (const auto& [p, text] : points) {
        try {
            EXPECT_EQ(IntersectionLabel(p), text);
        } catch (const RuntimeError& error) {
            EXPECT_TRUE(text == nullptr && error.kind() == ErrorKind::Overflow) << text;
        }
    }
}

// What a screen reader hears of each kind of picture: where the circles meet as the picture
// labels it, then how to move the centres by keys and by touch.
TEST(DescribePicture, SaysWhereTheCirclesMeetAsThePictureShowsIt) {
    const std::pair<Scene, const char*> scenes[] = {
        {{{{{100, 100}, {300, 300}}}, {100, 50}},
         "青い円は中心 (100,100)、半径 100。赤い円は中心 (300,300)、半径 50。2 つの円は交わりま"
         "せん。矢印キーで"},
        {{{{{100, 100}, {300, 100}}}, {100, 100}}, "2 つの円は (200,100) で接しています。"},
        {{{{{100, 100}, {250, 100}}}, {100, 100}}, "交点は (175,166) と (175,34) です。"},
        {{{{{250.5, 100}, {250.5, 100}}}, {100, 100}}, "2 つの円は重なっています。"},
    };
    for (const auto& [scene, words] : scenes) {
        PictureBox picture2, picture1;
        const QString text = DescribePicture(scene, RefreshImage(scene, picture2, picture1));
        EXPECT_TRUE(text.contains(QString::fromUtf8(words)) && text.contains("長押し"))
            << text.toStdString();
    }
}

// Whole pictures at device pixel ratios 1 and 2 against references that were looked at
// before they were committed; CIRCLES_REMAKE_REFERENCES=1 makes them anew.
class Render : public testing::TestWithParam<qreal> {
protected:
    void Draw(PointXY c0, double r0, PointXY c1, double r1) {
        scene = {{c0, c1}, {r0, r1}};
        // Light hinting, as Debian's fontconfig sets it; Qt's own FreeType (Windows's offscreen
        // platform, the browser's) hints fully unless asked.
        QFont font = WindowFont(9);
        font.setHintingPreference(QFont::PreferVerticalHinting);
        picture2.setFont(font);
        RefreshImage(scene, picture2, picture1);
    }

    Scene scene;
    PictureBox picture2{GetParam()}, picture1{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Ratio, Render, testing::Values(1.0, 2.0));

TEST_P(Render, DrawsScenesAsTheirReferences) {
    const std::tuple<const char*, PointXY, double, PointXY, double> scenes[] = {
        {"apart", {100, 100}, 100, {300, 300}, 50},
        {"crossing", {100, 100}, 171, {300, 300}, 130},
        {"touching", {100, 200}, 72, {302, 200}, 130},
        {"fractional", {-12.5, 410}, 199, {230.25f, 187.75f}, 3},
    };
    for (const auto& [name, c0, r0, c1, r1] : scenes) {
        picture1.setBackColor(Qt::gray);  // whatever Picture1 held, it holds the new picture
        picture1.Cls();
        Draw(c0, r0, c1, r1);
        const QString file = QString("%1/%2-x%3.png").arg(CIRCLES_REFERENCES, name).arg(GetParam());
        const QImage& actual = picture1.Image();
        if (qEnvironmentVariableIsSet("CIRCLES_REMAKE_REFERENCES")) {
            actual.save(file);
        }
        // A mismatch leaves the picture in the build folder.
        const QImage reference = QImage(file).convertToFormat(actual.format());
        const QString output = QString("%1/%2-x%3.png").arg(CIRCLES_OUTPUT, name).arg(GetParam());
        if (reference != actual) {
            actual.save(output);
        }
        EXPECT_TRUE(reference == actual) << name << ": see " << output.toStdString();
    }
}

// Picture1 changes only by a finished picture: a failing redraw leaves the last one there, also
// when the window has just moved to a screen of another density.
TEST_P(Render, AFailingCallLeavesPicture1AsItWas) {
    Draw({100, 100}, 100, {300, 300}, 50);
    const QImage before = picture1.Image().copy();
    for (const qreal ratio : {GetParam(), 3 - GetParam()}) {
        picture2.setDevicePixelRatio(ratio);
        picture1.setDevicePixelRatio(ratio);
        // The circles cross at x = 3e9 + 50, whose label does not fit a 32-bit integer.
        EXPECT_THROW(Draw({3e9, 0}, 100, {3e9 + 100, 0}, 100), RuntimeError);
        EXPECT_EQ(picture1.Image(), before);
    }
}

}  // namespace
}  // namespace circles
