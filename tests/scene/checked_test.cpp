// The checked arithmetic must name the same IEEE 754 exception the hardware would, in the
// optimised build too (make test runs this suite from the release preset).
#include "scene/checked.h"

#include <cfloat>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace circles {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Inputs go through a volatile so that the compiler cannot fold the steps at compile time.
double Opaque(double x) {
    volatile double v = x;
    return v;
}

std::optional<ErrorKind> KindRaisedBy(const std::function<void()>& step) {
    try {
        step();
    } catch (const RuntimeError& error) {
        return error.kind();
    }
    return std::nullopt;
}

struct FaultCase {
    const char* name;
    std::function<double()> step;
    ErrorKind kind;
};

TEST(CheckedDouble, RaisesTheExceptionTheStepWouldFlag) {
    const FaultCase cases[] = {
        {"0 / 0", [] { return (CheckedDouble(Opaque(0)) / Opaque(0)).value(); },
         ErrorKind::InvalidOperation},
        {"inf - inf", [] { return (CheckedDouble(Opaque(kInf)) - Opaque(kInf)).value(); },
         ErrorKind::InvalidOperation},
        {"0 * inf", [] { return (CheckedDouble(Opaque(0)) * Opaque(kInf)).value(); },
         ErrorKind::InvalidOperation},
        {"inf / inf", [] { return (CheckedDouble(Opaque(kInf)) / Opaque(-kInf)).value(); },
         ErrorKind::InvalidOperation},
        {"sqrt(-1)", [] { return Sqrt(Opaque(-1)).value(); }, ErrorKind::InvalidOperation},
        {"cos(inf)", [] { return Cos(Opaque(kInf)).value(); }, ErrorKind::InvalidOperation},
        {"sin(-inf)", [] { return Sin(Opaque(-kInf)).value(); }, ErrorKind::InvalidOperation},
        {"1 / 0", [] { return (CheckedDouble(Opaque(1)) / Opaque(0)).value(); },
         ErrorKind::DivisionByZero},
        {"-1 / -0", [] { return (CheckedDouble(Opaque(-1)) / Opaque(-0.0)).value(); },
         ErrorKind::DivisionByZero},
        {"1e308 + 1e308", [] { return (CheckedDouble(Opaque(1e308)) + Opaque(1e308)).value(); },
         ErrorKind::FloatOverflow},
        {"-1e308 - 1e308", [] { return (CheckedDouble(Opaque(-1e308)) - Opaque(1e308)).value(); },
         ErrorKind::FloatOverflow},
        {"1e200 * 1e200", [] { return (CheckedDouble(Opaque(1e200)) * Opaque(-1e200)).value(); },
         ErrorKind::FloatOverflow},
        {"1e300 / 1e-300", [] { return (CheckedDouble(Opaque(1e300)) / Opaque(1e-300)).value(); },
         ErrorKind::FloatOverflow},
        {"square(1e155)", [] { return Square(Opaque(1e155)).value(); }, ErrorKind::FloatOverflow},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KindRaisedBy([&] { (void)c.step(); }), c.kind) << c.name;
    }
}

struct QuietCase {
    const char* name;
    std::function<double()> step;
    double expected;  // NaN means "expect NaN"
};

TEST(CheckedDouble, LetsUnderflowInexactAndPropagationPass) {
    const QuietCase cases[] = {
        {"underflow to zero",
         [] { return (CheckedDouble(Opaque(1e-300)) * Opaque(1e-300)).value(); }, 0.0},
        {"subnormal", [] { return (CheckedDouble(Opaque(DBL_MIN)) / Opaque(4)).value(); },
         DBL_MIN / 4},
        {"inexact 1 / 3", [] { return (CheckedDouble(Opaque(1)) / Opaque(3)).value(); }, 1.0 / 3},
        {"NaN + 1", [] { return (CheckedDouble(Opaque(kNaN)) + Opaque(1)).value(); }, kNaN},
        {"NaN / 0", [] { return (CheckedDouble(Opaque(kNaN)) / Opaque(0)).value(); }, kNaN},
        {"inf + 1", [] { return (CheckedDouble(Opaque(kInf)) + Opaque(1)).value(); }, kInf},
        {"inf / 0", [] { return (CheckedDouble(Opaque(kInf)) / Opaque(0)).value(); }, kInf},
        {"1 / inf", [] { return (CheckedDouble(Opaque(1)) / Opaque(kInf)).value(); }, 0.0},
        {"sqrt(NaN)", [] { return Sqrt(Opaque(kNaN)).value(); }, kNaN},
        {"sqrt(inf)", [] { return Sqrt(Opaque(kInf)).value(); }, kInf},
        {"sqrt(-0)", [] { return Sqrt(Opaque(-0.0)).value(); }, 0.0},
        {"atan(inf)", [] { return Atan(Opaque(kInf)).value(); }, std::numbers::pi / 2},
        {"abs(-inf)", [] { return Abs(Opaque(-kInf)).value(); }, kInf},
        {"square(-3)", [] { return Square(Opaque(-3)).value(); }, 9.0},
    };
    for (const auto& c : cases) {
        double result = 0;
        ASSERT_EQ(KindRaisedBy([&] { result = c.step(); }), std::nullopt) << c.name;
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(result)) << c.name;
        } else {
            EXPECT_EQ(result, c.expected) << c.name;
        }
    }
}

TEST(CheckedDouble, RoundsEveryStepToDouble) {
    // (1e16 + 1) - 1e16 is 0 in double arithmetic; a wider intermediate would give 1.
    EXPECT_EQ((CheckedDouble(Opaque(1e16)) + Opaque(1) - Opaque(1e16)).value(), 0.0);
}

TEST(RoundToInt32, RoundsHalfToEven) {
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {-1.5, -2},
        {150.5, 150},
        {99.5, 100},
        {293.614, 294},
        {-11.803, -12},
        {0.49999999999999994, 0},
        {2147483647.4, 2147483647},
        {-2147483648.5, INT32_MIN},
        {-2147483647.6, INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundToInt32(Opaque(c.in)), c.out) << c.in;
    }
}

TEST(RoundToInt32, RaisesOverflowOutsideTheRangeAndForNaN) {
    for (double in : {2147483647.5, -2147483648.6, 1e10, -1e300, kInf, -kInf, kNaN}) {
        EXPECT_EQ(KindRaisedBy([&] { RoundToInt32(Opaque(in)); }), ErrorKind::Overflow) << in;
    }
}

TEST(Int32Steps, RaiseOverflowOnlyOutsideTheRange) {
    EXPECT_EQ(AddInt32(INT32_MAX - 1, 1), INT32_MAX);
    EXPECT_EQ(SubtractInt32(0, 1), -1);
    EXPECT_EQ(SubtractInt32(INT32_MIN + 1, 1), INT32_MIN);
    EXPECT_EQ(KindRaisedBy([] { AddInt32(INT32_MAX, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindRaisedBy([] { SubtractInt32(INT32_MIN, 1); }), ErrorKind::Overflow);
}

TEST(ToSingle, RoundsToNearestSingleAndRaisesBeyondItsRange) {
    EXPECT_EQ(ToSingle(0.1), 0.1f);
    EXPECT_EQ(ToSingle(-12.5), -12.5f);
    EXPECT_EQ(ToSingle(static_cast<double>(FLT_MAX) + 0x1p102), FLT_MAX);
    EXPECT_TRUE(std::isnan(ToSingle(kNaN)));
    EXPECT_EQ(ToSingle(-kInf), -std::numeric_limits<float>::infinity());
    for (double in : {static_cast<double>(FLT_MAX) + 0x1p103, 1e39, -1e300}) {
        EXPECT_EQ(KindRaisedBy([&] { ToSingle(in); }), ErrorKind::Overflow) << in;
    }
}

TEST(RuntimeError, CarriesItsKindAndAJapaneseMessage) {
    for (ErrorKind kind :
         {ErrorKind::InvalidOperation, ErrorKind::DivisionByZero, ErrorKind::FloatOverflow,
          ErrorKind::Overflow, ErrorKind::IndexOutOfRange, ErrorKind::SurfaceFailure}) {
        try {
            Raise(kind);
            FAIL() << "Raise returned";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.kind(), kind);
            const std::string message = error.what();
            EXPECT_EQ(message, std::string(ErrorMessage(kind)));
            // Japanese text in UTF-8 has bytes above 0x7f; an English message would have none.
            EXPECT_NE(message.find_first_of("\xe3\xe4\xe5\xe6\xe7\xe8\xe9"), std::string::npos)
                << message;
        }
    }
    EXPECT_TRUE(IsArithmetic(ErrorKind::DivisionByZero));
    EXPECT_FALSE(IsArithmetic(ErrorKind::Overflow));
}

}  // namespace
}  // namespace circles
