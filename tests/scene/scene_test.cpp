// The geometry, in the optimised build that make test runs: the checked arithmetic must hold
// there too.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "scene/errors.h"
#include "scene/intersection.h"

namespace circles {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr PointXY kUntouched{-777.25, 888.5};  // to see whether an output was written

// Intersects the circles and checks what holds for any result: no error; on 0 points the
// outputs untouched; on 1 the point twice; the points on both circles; P1 to the right of the
// line C1 -> C2 as seen on the screen, where Y grows downwards. Returns the count.
std::int32_t Intersect(PointXY c1, double r1, PointXY c2, double r2, PointXY (&p)[2]) {
    std::int32_t count = -1;
    p[0] = p[1] = kUntouched;
    EXPECT_NO_THROW(count = CalcIntersection(p[0], p[1], c1, r1, c2, r2));
    EXPECT_TRUE(count > 0 || (p[0] == kUntouched && p[1] == kUntouched));
    EXPECT_TRUE(count != 1 || p[0] == p[1]);
    for (int k = 0; k < count; ++k) {
        EXPECT_NEAR(std::hypot(p[k].X - c1.X, p[k].Y - c1.Y), r1, 1e-9);
        EXPECT_NEAR(std::hypot(p[k].X - c2.X, p[k].Y - c2.Y), r2, 1e-6);
    }
    const double side = (c2.X - c1.X) * (p[0].Y - c1.Y) - (c2.Y - c1.Y) * (p[0].X - c1.X);
    EXPECT_TRUE(count < 2 || side > 0);
    return count;
}

TEST(CalcIntersection, WorkedCases) {
    const std::tuple<PointXY, double, PointXY, double, std::int32_t, PointXY> cases[] = {
        {{100, 100}, 100, {250, 100}, 50, 1, {200, 100}},  // touching from outside
        {{100, 100}, 100, {150, 100}, 50, 1, {200, 100}},  // touching from inside
        {{100, 300}, 150, {100, 100}, 150, 2, {211.803398874989, 200}},
        {{100, 100}, 80, {kNaN, 100}, 50, 0, kUntouched},
        {{100, 100}, kInf, {100, 100}, 50, 0, kUntouched},
        {{0, 0}, 0, {50, 0}, 50, 0, kUntouched},  // a zero radius
        // Mended: a right angle at C1 (r2^2 = r1^2 + d^2) divided by zero.
        {{100, 100}, 30, {140, 100}, 50, 2, {100, 130}},
        // Mended: the first circle inside the second, touching, gave the second centre.
        {{100, 100}, 50, {150, 100}, 100, 1, {50, 100}},
        // Mended: coincident circles divided 0 by 0, and so did centres a subnormal apart.
        {{100, 100}, 80, {100, 100}, 80, 0, kUntouched},
        {{0, 0}, 80, {1e-200, 0}, 80, 0, kUntouched},
        // Mended: horizontal offsets up to 0.001 px were taken for a vertical centre line.
        {{100, 100}, 150, {100.0009765625, 300}, 150, 2, {-11.80291059134, 200.00054591503}},
    };
    for (const auto& [c1, r1, c2, r2, count, p1] : cases) {
        PointXY p[2];
        EXPECT_EQ(Intersect(c1, r1, c2, r2, p), count) << c2.X << ", " << c2.Y;
        EXPECT_NEAR(p[0].X, p1.X, 1e-9) << c2.X << ", " << c2.Y;
        EXPECT_NEAR(p[0].Y, p1.Y, 1e-9) << c2.X << ", " << c2.Y;
    }
    PointXY p[2] = {kUntouched, kUntouched};  // huge inputs overflow, leaving P1 and P2 alone
    EXPECT_THROW(CalcIntersection(p[0], p[1], {0, 0}, 1e200, {1e200, 0}, 1e200), RuntimeError);
    EXPECT_TRUE(p[0] == kUntouched && p[1] == kUntouched);
}

// Whole-number scenes, whose count integer arithmetic tells exactly, and circles a hair from
// touching, where rounding can take the cosine past +-1.
TEST(CalcIntersection, AgreesWithExactArithmeticOverRandomScenes) {
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<std::int64_t> whole(-100, 500), radius(1, 200);
    int crossings = 0;
    for (int i = 0; i < 30000; ++i) {
        SCOPED_TRACE(i);
        const std::int64_t r1 = radius(random), r2 = radius(random), x1 = whole(random),
                           y1 = whole(random), x2 = x1 + whole(random) % (r1 + r2 + 1),
                           y2 = y1 + whole(random) % (r1 + r2 + 1);
        PointXY c1{double(x1), double(y1)}, c2{double(x2), double(y2)}, p[2];
        if (i % 3 == 2) {
            const auto sum = static_cast<double>(i % 2 ? r1 + r2 : std::abs(r1 - r2));
            const double d = sum * (1 + 1e-12 * (i % 7 - 3));
            c2 = {c1.X + d * std::cos(i), c1.Y + d * std::sin(i)};
        }
        const std::int32_t count = Intersect(c1, double(r1), c2, double(r2), p);
        const std::int64_t d2 = (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
        const std::int64_t outer = (r1 + r2) * (r1 + r2), inner = (r1 - r2) * (r1 - r2);
        const int exact = d2 == 0 || d2 > outer || d2 < inner ? 0
                          : d2 == outer || d2 == inner        ? 1
                                                              : 2;
        ASSERT_TRUE(i % 3 == 2 || count == exact);
        crossings += count == 2;
    }
    EXPECT_GT(crossings, 5000);
}

}  // namespace
}  // namespace circles
