// The checked arithmetic must name the exception the hardware would, in the optimised build
// too: make test runs this from the release preset, with inputs the compiler cannot fold.
#include "scene/checked.h"

#include <functional>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace circles {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Opaque(double x) {
    volatile double v = x;
    return v;
}

TEST(CheckedArithmetic, RaisesWhatTheStepWouldFlagAndNothingElse) {
    const struct {
        const char* name;
        std::function<void()> step;
        std::optional<ErrorKind> kind;
    } cases[] = {
        {"0 / 0", [] { (void)(CheckedDouble(Opaque(0)) / Opaque(0)); },
         ErrorKind::InvalidOperation},
        {"sqrt(-1)", [] { (void)Sqrt(Opaque(-1)); }, ErrorKind::InvalidOperation},
        {"cos(inf)", [] { (void)Cos(Opaque(kInf)); }, ErrorKind::InvalidOperation},
        {"1 / 0", [] { (void)(CheckedDouble(Opaque(1)) / Opaque(0)); }, ErrorKind::DivisionByZero},
        {"1e308 + 1e308", [] { (void)(CheckedDouble(Opaque(1e308)) + 1e308); },
         ErrorKind::FloatOverflow},
        {"square(1e155)", [] { (void)Square(Opaque(1e155)); }, ErrorKind::FloatOverflow},
        {"underflow", [] { (void)(CheckedDouble(Opaque(1e-300)) * 1e-300); }, std::nullopt},
        {"NaN / 0", [] { (void)(CheckedDouble(Opaque(kNaN)) / Opaque(0)); }, std::nullopt},
        {"inf + 1", [] { (void)(CheckedDouble(Opaque(kInf)) + 1); }, std::nullopt},
        {"round 2147483647.4", [] { EXPECT_EQ(RoundToInt32(Opaque(2147483647.4)), INT32_MAX); },
         std::nullopt},
        {"round 2147483647.5", [] { RoundToInt32(Opaque(2147483647.5)); }, ErrorKind::Overflow},
        {"round NaN", [] { RoundToInt32(Opaque(kNaN)); }, ErrorKind::Overflow},
        {"single 1e39", [] { ToSingle(Opaque(1e39)); }, ErrorKind::Overflow},
        {"INT32_MAX + 1", [] { AddInt32(INT32_MAX, 1); }, ErrorKind::Overflow},
        {"INT32_MIN - 1", [] { SubtractInt32(INT32_MIN, 1); }, ErrorKind::Overflow},
    };
    for (const auto& c : cases) {
        std::optional<ErrorKind> raised;
        try {
            c.step();
        } catch (const RuntimeError& error) {
            raised = error.kind();
            EXPECT_EQ(std::string(error.what()), ErrorMessage(error.kind()));
        }
        EXPECT_EQ(raised, c.kind) << c.name;
    }
}

}  // namespace
}  // namespace circles
