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
// Outputs start as this, so that a test can tell whether they were written.
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

struct Case {
    Circles circles;
    std::int32_t count;  // -1 when an error is expected
    PointXY p1 = kUntouched;
    PointXY p2 = kUntouched;
    std::optional<ErrorKind> error = std::nullopt;
};

TEST(CalcIntersection, WorkedCases) {
    const Case cases[] = {
        {{{100, 100}, 100, {300, 300}, 50}, 0},  // apart: the start-up scene
        {{{100, 100}, 200, {300, 300}, 150},
         2,
         {150.135998229694, 293.614001770306},
         {293.614001770306, 150.135998229694}},
        {{{100, 100}, 100, {250, 100}, 100}, 2, {175, 166.143782776615}, {175, 33.856217223385}},
        {{{100, 100}, 100, {250, 100}, 50}, 1, {200, 100}, {200, 100}},  // touching outside
        {{{100, 100}, 100, {150, 100}, 50}, 1, {200, 100}, {200, 100}},  // touching inside
        {{{100, 300}, 150, {100, 100}, 150}, 2, {211.803398874989, 200}, {-11.80339887499, 200}},
        {{{100, 100}, 150, {100, 300}, 150}, 2, {-11.803398874989, 200}, {211.80339887499, 200}},
        {{{300, 100}, 150, {100, 100}, 150}, 2, {200, -11.803398874989}, {200, 211.80339887499}},
        {{{100, 100}, 80, {100, 100}, 50}, 0},  // concentric
        {{{0, 0}, 100, {10, 0}, 10}, 0},        // one inside the other
        {{{0, 0}, 0, {50, 0}, 50}, 0},          // a zero radius
        {{{kNaN, 100}, 100, {150, 120}, 80}, 0},
        {{{100, 100}, 100, {150, 120}, kNaN}, 0},
        {{{1e308, 0}, 1, {-1e308, 0}, 1}, -1, kUntouched, kUntouched, ErrorKind::FloatOverflow},
        {{{0, 0}, 1e200, {1e200, 0}, 1e200}, -1, kUntouched, kUntouched, ErrorKind::FloatOverflow},
        // Regression: a right angle at C1 (r2^2 = r1^2 + d^2, a cosine of 0) divided by zero.
        {{{100, 100}, 30, {140, 100}, 50}, 2, {100, 130}, {100, 70}},
        // Regression: the first circle inside the second and touching it gave the second centre.
        {{{100, 100}, 50, {150, 100}, 100}, 1, {50, 100}, {50, 100}},
        // Regression: coincident circles divided 0 by 0 when one was dragged onto the other.
        {{{100, 100}, 80, {100, 100}, 80}, 0},
        // Regression: horizontal offsets up to 0.001 px were taken as a vertical centre line.
        {{{100, 100}, 150, {100.0009765625, 300}, 150},
         2,
         {-11.802910591340444, 200.00054591503356},
         {211.80388715384044, 199.99945408496644}},
        {{{200, 200}, 120, {200.0009765625, 200.001708984375}, 120},
         2,
         {95.811311229818893, 259.53752709300528},
         {304.18966533268111, 140.46418189136972}},
    };
    for (const Case& c : cases) {
        const Circles& s = c.circles;
        SCOPED_TRACE(testing::Message() << "C1 (" << s.c1.X << ", " << s.c1.Y << ") r1 " << s.r1
                                        << ", C2 (" << s.c2.X << ", " << s.c2.Y << ") r2 " << s.r2);
        const Result r = Intersect(s);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.count, c.count);
        EXPECT_NEAR(r.p1.X, c.p1.X, 1e-9);
        EXPECT_NEAR(r.p1.Y, c.p1.Y, 1e-9);
        EXPECT_NEAR(r.p2.X, c.p2.X, 1e-9);
        EXPECT_NEAR(r.p2.Y, c.p2.Y, 1e-9);
        if (c.count == 1) {
            EXPECT_EQ(r.p1, r.p2);
        }
    }
}

// Scenes of three kinds: whole numbers, whose count integer arithmetic tells exactly; the
// single-precision fractions pointer positions arrive as; and circles a hair from touching,
// where rounding can take the cosine past +-1.
TEST(CalcIntersection, AgreesWithExactArithmeticOverRandomScenes) {
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<std::int64_t> whole(-100, 500);
    std::uniform_real_distribution<float> fraction(-100.0f, 500.0f);
    std::uniform_int_distribution<std::int64_t> radius(1, 200);
    std::uniform_real_distribution<double> turn(0.0, 6.283185307179586);
    int crossings = 0;
    for (int i = 0; i < 30000; ++i) {
        const std::int64_t r1 = radius(random), r2 = radius(random);
        const std::int64_t x1 = whole(random), y1 = whole(random);
        std::int64_t x2 = whole(random), y2 = whole(random);
        Circles s{{double(x1), double(y1)}, double(r1), {double(x2), double(y2)}, double(r2)};
        if (i % 3 == 0) {  // second centre within reach of the first, so that many cross
            x2 = x1 + whole(random) % (r1 + r2 + 1);
            y2 = y1 + whole(random) % (r1 + r2 + 1);
            s.c2 = {double(x2), double(y2)};
        } else if (i % 3 == 1) {
            s.c1 = {fraction(random), fraction(random)};
            s.c2 = {fraction(random), fraction(random)};
        } else {
            const double d = (i % 2 ? r1 + r2 : std::abs(r1 - r2)) * (1 + 1e-12 * (i % 7 - 3));
            const double angle = turn(random);
            s.c2 = {s.c1.X + d * std::cos(angle), s.c1.Y + d * std::sin(angle)};
        }
        SCOPED_TRACE(testing::Message() << "scene " << i);
        const Result r = Intersect(s);
        ASSERT_FALSE(r.error.has_value());
        if (i % 3 == 0) {
            const std::int64_t d2 = (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
            const std::int64_t outer = (r1 + r2) * (r1 + r2), inner = (r1 - r2) * (r1 - r2);
            const int exact = d2 == 0 || d2 > outer || d2 < inner ? 0
                              : d2 == outer || d2 == inner        ? 1
                                                                  : 2;
            ASSERT_EQ(r.count, exact);
            crossings += exact == 2;
        }
        if (r.count == 1) {
            EXPECT_EQ(r.p1, r.p2);
        }
        for (const PointXY p : {r.p1, r.p2}) {
            if (r.count > 0) {
                EXPECT_NEAR(std::hypot(p.X - s.c1.X, p.Y - s.c1.Y), s.r1, 1e-9);
                EXPECT_NEAR(std::hypot(p.X - s.c2.X, p.Y - s.c2.Y), s.r2, i % 3 == 2 ? 1e-6 : 1e-9);
            }
        }
        if (r.count == 2) {  // P1 lies to the right of C1 -> C2 on the screen, P2 to its left
            const double side =
                (s.c2.X - s.c1.X) * (r.p1.Y - s.c1.Y) - (s.c2.Y - s.c1.Y) * (r.p1.X - s.c1.X);
            EXPECT_GT(side, 0.0);
        }
    }
    EXPECT_GT(crossings, 1000);
}

}  // namespace
}  // namespace circles
