#include "scene/intersection.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>

#include <gtest/gtest.h>

#include "scene/errors.h"

namespace circles {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTolerance = 1e-9;
// Outputs start as this sentinel so that a test can tell whether they were written.
constexpr PointXY kUntouched{-777.25, 888.5};

struct Circles {
    PointXY c1;
    double r1;
    PointXY c2;
    double r2;
};

struct Result {
    std::int32_t count = -1;
    PointXY p1 = kUntouched;
    PointXY p2 = kUntouched;
    std::optional<ErrorKind> error;
};

Result Intersect(const Circles& s) {
    Result r;
    try {
        r.count = CalcIntersection(r.p1, r.p2, s.c1, s.r1, s.c2, s.r2);
    } catch (const RuntimeError& e) {
        r.error = e.kind();
    }
    return r;
}

double Distance(PointXY a, PointXY b) {
    return std::hypot(a.X - b.X, a.Y - b.Y);
}

// Positive when p lies to the right of the directed line a -> b as seen on the screen, where
// Y grows downwards.
double ScreenSide(PointXY a, PointXY b, PointXY p) {
    return (b.X - a.X) * (p.Y - a.Y) - (b.Y - a.Y) * (p.X - a.X);
}

void ExpectNear(PointXY actual, PointXY expected, const char* what) {
    EXPECT_NEAR(actual.X, expected.X, kTolerance) << what;
    EXPECT_NEAR(actual.Y, expected.Y, kTolerance) << what;
}

void ExpectOnBothCircles(const Circles& s, PointXY p) {
    // Relative to the size of the scene, so that scenes far from the origin are fair.
    const double scale = std::max({1.0, std::fabs(s.c1.X), std::fabs(s.c1.Y), s.r1});
    EXPECT_NEAR(Distance(p, s.c1), s.r1, kTolerance * scale);
    EXPECT_NEAR(Distance(p, s.c2), s.r2, kTolerance * scale);
}

struct KnownCase {
    const char* name;
    Circles circles;
    std::int32_t count;
    PointXY p1;
    PointXY p2;
};

TEST(CalcIntersection, MatchesWorkedExamples) {
    const KnownCase cases[] = {
        {"start-up scene: apart", {{100, 100}, 100, {300, 300}, 50}, 0, kUntouched, kUntouched},
        {"default centres, radii 200 and 150",
         {{100, 100}, 200, {300, 300}, 150},
         2,
         {150.135998229694, 293.614001770306},
         {293.614001770306, 150.135998229694}},
        {"horizontal centre line",
         {{100, 100}, 100, {250, 100}, 100},
         2,
         {175, 166.143782776615},
         {175, 33.856217223385}},
        {"touching from outside", {{100, 100}, 100, {250, 100}, 50}, 1, {200, 100}, {200, 100}},
        {"second inside the first, touching",
         {{100, 100}, 100, {150, 100}, 50},
         1,
         {200, 100},
         {200, 100}},
        {"vertical, second centre above",
         {{100, 300}, 150, {100, 100}, 150},
         2,
         {211.803398874989, 200},
         {-11.803398874990, 200}},
        {"vertical, second centre below",
         {{100, 100}, 150, {100, 300}, 150},
         2,
         {-11.803398874989, 200},
         {211.803398874990, 200}},
        {"second centre to the left",
         {{300, 100}, 150, {100, 100}, 150},
         2,
         {200, -11.803398874989},
         {200, 211.803398874990}},
        {"concentric, different radii",
         {{100, 100}, 80, {100, 100}, 50},
         0,
         kUntouched,
         kUntouched},
        {"one inside the other", {{0, 0}, 100, {10, 0}, 10}, 0, kUntouched, kUntouched},
        {"zero radius on the other circle", {{0, 0}, 0, {50, 0}, 50}, 0, kUntouched, kUntouched},
        // Regression: a right angle at C1 (r2^2 = r1^2 + d^2, so the cosine is 0) once divided
        // by zero and ended the program; the points are a quarter turn either side.
        {"right angle at the first centre",
         {{100, 100}, 30, {140, 100}, 50},
         2,
         {100, 130},
         {100, 70}},
        // Regression: with the first circle inside the second and touching it (cosine -1) the
        // second centre was returned, which is not on the first circle at all.
        {"first inside the second, touching",
         {{100, 100}, 50, {150, 100}, 100},
         1,
         {50, 100},
         {50, 100}},
        // Regression: coincident circles divided 0 by 0 as soon as one was dragged onto an
        // equal one.
        {"coincident circles", {{100, 100}, 80, {100, 100}, 80}, 0, kUntouched, kUntouched},
    };
    for (const auto& c : cases) {
        const Result r = Intersect(c.circles);
        ASSERT_FALSE(r.error.has_value()) << c.name;
        EXPECT_EQ(r.count, c.count) << c.name;
        ExpectNear(r.p1, c.p1, c.name);
        ExpectNear(r.p2, c.p2, c.name);
        if (c.count == 1) {
            EXPECT_EQ(r.p1, r.p2) << c.name;
        }
    }
}

TEST(CalcIntersection, FollowsNearlyVerticalCentreLinesExactly) {
    // Regression: horizontal offsets up to 0.001 px were taken as a vertical centre line,
    // which turned the points about C1 by about dx / d radians: invisible for centres far
    // apart, but tens of pixels off both circles for equal circles a hair apart.
    const Circles cases[] = {
        {{100, 100}, 150, {100.0009765625, 300}, 150},
        {{100, 300}, 150, {99.9990234375, 100}, 150},
        {{200, 200}, 120, {200.0009765625, 200.001708984375}, 120},  // about 30 degrees off
        {{200, 200}, 120, {199.9990234375, 199.999755859375}, 120},  // flatter than steep
        {{200, 200}, 120, {200.0009765625, 200}, 120},               // horizontal and tiny
        {{200, 200}, 50, {200 + 0x1p-1070, 200 + 0x1p-1060}, 50},    // subnormal offsets
    };
    for (const auto& s : cases) {
        const Result r = Intersect(s);
        ASSERT_FALSE(r.error.has_value()) << s.c2.X << "," << s.c2.Y;
        if (r.count == 0) {
            continue;  // the subnormal case: d rounds to 0, so the circles count as coincident
        }
        ASSERT_EQ(r.count, 2) << s.c2.X << "," << s.c2.Y;
        ExpectOnBothCircles(s, r.p1);
        ExpectOnBothCircles(s, r.p2);
        EXPECT_GT(ScreenSide(s.c1, s.c2, r.p1), 0.0);
    }
    // An exactly vertical line keeps the exact angle: both points level with each other.
    const Result vertical = Intersect({{100, 100}, 150, {100, 300}, 150});
    EXPECT_NEAR(vertical.p1.Y, vertical.p2.Y, 1e-12);
}

TEST(CalcIntersection, GivesNothingForANaNAnywhere) {
    const Circles base{{100, 100}, 100, {150, 120}, 80};
    for (int position = 0; position < 6; ++position) {
        Circles s = base;
        double* fields[] = {&s.c1.X, &s.c1.Y, &s.r1, &s.c2.X, &s.c2.Y, &s.r2};
        *fields[position] = kNaN;
        const Result r = Intersect(s);
        EXPECT_FALSE(r.error.has_value()) << position;
        EXPECT_EQ(r.count, 0) << position;
        EXPECT_EQ(r.p1, kUntouched) << position;
        EXPECT_EQ(r.p2, kUntouched) << position;
    }
}

TEST(CalcIntersection, RaisesOverflowForHugeInputsAndLeavesOutputsAlone) {
    const Circles cases[] = {
        {{1e308, 0}, 1, {-1e308, 0}, 1},     // the difference of the centres overflows
        {{0, 0}, 1e200, {1e200, 0}, 1e200},  // the squared distance overflows
    };
    for (const auto& c : cases) {
        const Result r = Intersect(c);
        EXPECT_EQ(r.error, ErrorKind::FloatOverflow);
        EXPECT_EQ(r.p1, kUntouched);
        EXPECT_EQ(r.p2, kUntouched);
    }
}

// The exact count of a scene with whole-number centres and radii, from integer arithmetic.
std::int32_t ExactCount(std::int64_t x1, std::int64_t y1, std::int64_t r1, std::int64_t x2,
                        std::int64_t y2, std::int64_t r2) {
    const std::int64_t d2 = (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
    const std::int64_t outer = (r1 + r2) * (r1 + r2);
    const std::int64_t inner = (r1 - r2) * (r1 - r2);
    if (d2 == 0 || d2 > outer || d2 < inner) {
        return 0;
    }
    return d2 == outer || d2 == inner ? 1 : 2;
}

TEST(CalcIntersection, AgreesWithExactClassificationOfWholeNumberScenes) {
    std::mt19937_64 random(20261206);
    // In the drawing area, and well beyond it in every direction.
    std::uniform_int_distribution<std::int64_t> near(-50, 450);
    std::uniform_int_distribution<std::int64_t> far(-5000, 5000);
    std::uniform_int_distribution<std::int64_t> radius(1, 200);
    int counts[3] = {};
    for (int i = 0; i < 20000; ++i) {
        auto& coordinate = i % 4 == 0 ? far : near;
        const std::int64_t x1 = coordinate(random), y1 = coordinate(random);
        const std::int64_t r1 = radius(random), r2 = radius(random);
        // Every fourth scene puts the second centre close to the first, so that many circles
        // cross or touch rather than miss.
        std::int64_t x2 = coordinate(random), y2 = coordinate(random);
        if (i % 4 == 1) {
            std::uniform_int_distribution<std::int64_t> offset(-400, 400);
            x2 = x1 + offset(random);
            y2 = y1 + offset(random);
        }
        const Circles s{{double(x1), double(y1)}, double(r1), {double(x2), double(y2)}, double(r2)};
        const Result r = Intersect(s);
        ASSERT_FALSE(r.error.has_value())
            << x1 << "," << y1 << " " << r1 << " / " << x2 << "," << y2 << " " << r2;
        const std::int32_t expected = ExactCount(x1, y1, r1, x2, y2, r2);
        ASSERT_EQ(r.count, expected)
            << x1 << "," << y1 << " " << r1 << " / " << x2 << "," << y2 << " " << r2;
        ++counts[expected];
        if (expected > 0) {
            ExpectOnBothCircles(s, r.p1);
            ExpectOnBothCircles(s, r.p2);
        }
        if (expected == 2) {
            EXPECT_GT(ScreenSide(s.c1, s.c2, r.p1), 0.0);
            EXPECT_LT(ScreenSide(s.c1, s.c2, r.p2), 0.0);
        }
    }
    // The mix must have exercised all three outcomes.
    EXPECT_GT(counts[0], 1000);
    EXPECT_GT(counts[2], 1000);
}

TEST(CalcIntersection, PointsLieOnBothCirclesForFractionalCentres) {
    // Centres as the pointer reports them: single-precision fractions.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<float> coordinate(-100.0f, 500.0f);
    std::uniform_int_distribution<int> radius(1, 200);
    int crossings = 0;
    for (int i = 0; i < 20000; ++i) {
        const Circles s{{coordinate(random), coordinate(random)},
                        double(radius(random)),
                        {coordinate(random), coordinate(random)},
                        double(radius(random))};
        const Result r = Intersect(s);
        ASSERT_FALSE(r.error.has_value());
        if (r.count == 2) {
            ++crossings;
            ExpectOnBothCircles(s, r.p1);
            ExpectOnBothCircles(s, r.p2);
            EXPECT_GT(ScreenSide(s.c1, s.c2, r.p1), 0.0);
        }
    }
    EXPECT_GT(crossings, 1000);
}

TEST(CalcIntersection, TouchingCirclesGiveOneExactPointInEveryDirection) {
    // Whole-number offsets with a whole-number length, in all eight octants.
    const int triples[][3] = {{3, 4, 5}, {5, 12, 13}, {8, 15, 17}, {7, 24, 25}, {20, 21, 29}};
    const int signs[][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    for (const auto& t : triples) {
        for (const auto& sign : signs) {
            for (bool swap : {false, true}) {
                for (int scale : {1, 3, 7}) {
                    const double dx = sign[0] * (swap ? t[1] : t[0]) * scale;
                    const double dy = sign[1] * (swap ? t[0] : t[1]) * scale;
                    const double d = t[2] * scale;
                    const PointXY c1{123, 211};
                    const PointXY c2{c1.X + dx, c1.Y + dy};
                    const Circles touching[] = {
                        {c1, 2, c2, d - 2},    // from outside
                        {c1, d + 30, c2, 30},  // second inside the first
                        {c1, 30, c2, d + 30},  // first inside the second
                    };
                    for (const auto& s : touching) {
                        const Result r = Intersect(s);
                        ASSERT_EQ(r.count, 1) << dx << "," << dy << " r1=" << s.r1;
                        EXPECT_EQ(r.p1, r.p2);
                        ExpectOnBothCircles(s, r.p1);
                    }
                }
            }
        }
    }
}

TEST(CalcIntersection, NearlyTouchingCirclesNeverFault) {
    // Circles a hair from touching, where rounding can push the cosine past +-1.
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
    std::uniform_real_distribution<double> jitter(-1e-12, 1e-12);
    for (int i = 0; i < 20000; ++i) {
        const double a = angle(random);
        const double r1 = 1 + i % 200, r2 = 1 + (i * 7) % 200;
        const double d = (i % 2 == 0 ? r1 + r2 : std::fabs(r1 - r2)) * (1 + jitter(random));
        const Circles s{{200, 200}, r1, {200 + d * std::cos(a), 200 + d * std::sin(a)}, r2};
        const Result r = Intersect(s);
        ASSERT_FALSE(r.error.has_value()) << i;
        if (r.count == 1) {
            EXPECT_EQ(r.p1, r.p2);
        }
        if (r.count > 0) {
            EXPECT_NEAR(Distance(r.p1, s.c1), r1, 1e-9);
            EXPECT_NEAR(Distance(r.p1, s.c2), r2, 1e-6);
        }
    }
}

}  // namespace
}  // namespace circles
