#include "scene/scene.h"

#include <cmath>
#include <initializer_list>
#include <optional>

#include <gtest/gtest.h>

#include "scene/errors.h"

namespace circles {
namespace {

TEST(Scene, StartsEmptyAndTakesTheStartUpValues) {
    Scene scene;
    EXPECT_EQ(scene.CenterPt[0], (PointXY{0, 0}));
    EXPECT_EQ(scene.Radius[1], 0.0);

    scene.SetRadii(100, 50);
    scene.SetDefaultCenters();
    EXPECT_EQ(scene.CenterPt[0], (PointXY{100, 100}));
    EXPECT_EQ(scene.CenterPt[1], (PointXY{300, 300}));
    EXPECT_EQ(scene.Radius[0], 100.0);
    EXPECT_EQ(scene.Radius[1], 50.0);
    // The start-up circles are too far apart to cross.
    const double distance = std::hypot(200.0, 200.0);
    EXPECT_GT(distance, scene.Radius[0] + scene.Radius[1]);
}

TEST(Scene, StoresPointerPositionsAsTheyCome) {
    Scene scene;
    scene.SetDefaultCenters();
    scene.SetCenter(1, -12.5f, 410.0f);
    EXPECT_EQ(scene.CenterPt[1], (PointXY{-12.5, 410}));
    EXPECT_EQ(scene.CenterPt[0], Scene::kDefaultCenter0);

    // A single is widened exactly: 0.1f is not 0.1.
    scene.SetCenter(0, 0.1f, 399.9f);
    EXPECT_EQ(scene.CenterPt[0].X, static_cast<double>(0.1f));
    EXPECT_EQ(scene.CenterPt[0].Y, static_cast<double>(399.9f));

    // One centre onto the other is accepted.
    scene.SetCenter(0, -12.5f, 410.0f);
    EXPECT_EQ(scene.CenterPt[0], scene.CenterPt[1]);
}

TEST(Scene, RaisesTheIndexErrorForAThirdCircle) {
    Scene scene;
    for (const std::int16_t index : std::initializer_list<std::int16_t>{-1, 2, 32767}) {
        std::optional<ErrorKind> kind;
        try {
            scene.SetCenter(index, 1, 1);
        } catch (const RuntimeError& e) {
            kind = e.kind();
        }
        EXPECT_EQ(kind, ErrorKind::IndexOutOfRange) << index;
    }
}

}  // namespace
}  // namespace circles
