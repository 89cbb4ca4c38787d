#pragma once

// Checked arithmetic. Every step on doubles is tested for the IEEE 754 invalid-operation,
// division-by-zero and overflow exceptions, and raises the matching RuntimeError at once;
// underflow and inexact results pass silently.
//
// The tests look at each step's result and operands rather than at the floating-point
// status flags: GCC does not honour FENV_ACCESS, so in an optimised build flag reads may be
// moved across the arithmetic they are meant to guard. A result test cannot be reordered
// away, and for every input it names the same exception the hardware flag would:
//   - a NaN result from operands that are not NaN is an invalid operation
//     (0 / 0, inf - inf, 0 * inf, sqrt(-1), cos(inf));
//   - an infinite result from finite operands is a division by zero when it is a
//     division by zero, and an overflow otherwise;
//   - a NaN or infinite operand passes through quietly, as it does in IEEE 754.

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "scene/errors.h"

namespace circles {

namespace checked_detail {

/// Checks the result of a step with one operand (square root, arctangent, cosine, sine).
inline double Unary(double result, double a) {
    if (std::isnan(result) && !std::isnan(a)) [[unlikely]] {
        Raise(ErrorKind::InvalidOperation);
    }
    return result;
}

/// Checks the result of an addition, subtraction or multiplication.
inline double Binary(double result, double a, double b) {
    if (!std::isfinite(result)) [[unlikely]] {
        if (std::isnan(result) && !std::isnan(a) && !std::isnan(b)) {
            Raise(ErrorKind::InvalidOperation);
        }
        if (std::isinf(result) && std::isfinite(a) && std::isfinite(b)) {
            Raise(ErrorKind::FloatOverflow);
        }
    }
    return result;
}

}  // namespace checked_detail

/// A double whose arithmetic is checked step by step (see the top of this file).
/// Each operator and function rounds its result to a double, so an expression is
/// evaluated and rounded exactly in the order it is written.
///
///     CheckedDouble d = Sqrt(Square(x1 - x2) + Square(y1 - y2));
class CheckedDouble {
public:
    constexpr CheckedDouble() = default;
    constexpr CheckedDouble(double value) : value_(value) {}  // NOLINT: implicit by design

    constexpr double value() const { return value_; }

    friend CheckedDouble operator+(CheckedDouble a, CheckedDouble b) {
        return checked_detail::Binary(a.value_ + b.value_, a.value_, b.value_);
    }
    friend CheckedDouble operator-(CheckedDouble a, CheckedDouble b) {
        return checked_detail::Binary(a.value_ - b.value_, a.value_, b.value_);
    }
    friend CheckedDouble operator*(CheckedDouble a, CheckedDouble b) {
        return checked_detail::Binary(a.value_ * b.value_, a.value_, b.value_);
    }
    friend CheckedDouble operator/(CheckedDouble a, CheckedDouble b) {
        const double result = a.value_ / b.value_;
        if (std::isinf(result) && std::isfinite(a.value_) && b.value_ == 0.0) [[unlikely]] {
            Raise(ErrorKind::DivisionByZero);
        }
        return checked_detail::Binary(result, a.value_, b.value_);
    }

    // Comparisons are not checked: they give no double to test, and with a NaN operand every
    // comparison but != is false, which the callers rely on.
    friend constexpr bool operator==(CheckedDouble a, CheckedDouble b) {
        return a.value_ == b.value_;
    }
    friend constexpr auto operator<=>(CheckedDouble a, CheckedDouble b) {
        return a.value_ <=> b.value_;
    }

private:
    double value_ = 0.0;
};

/// |x|. Never raises: the absolute value only clears the sign bit.
inline CheckedDouble Abs(CheckedDouble x) {
    return std::fabs(x.value());
}

/// x raised to the power 2, the square of x for negative x too.
inline CheckedDouble Square(CheckedDouble x) {
    return x * x;
}

/// The non-negative square root; the square root of a negative number is an invalid operation.
inline CheckedDouble Sqrt(CheckedDouble x) {
    return checked_detail::Unary(std::sqrt(x.value()), x.value());
}

/// The principal arctangent in radians, between -pi/2 and pi/2.
inline CheckedDouble Atan(CheckedDouble x) {
    return checked_detail::Unary(std::atan(x.value()), x.value());
}

inline CheckedDouble Cos(CheckedDouble x) {
    return checked_detail::Unary(std::cos(x.value()), x.value());
}

inline CheckedDouble Sin(CheckedDouble x) {
    return checked_detail::Unary(std::sin(x.value()), x.value());
}

/// Rounds to the nearest 32-bit integer, a tie going to the even neighbour (2.5 -> 2,
/// -0.5 -> 0). A value whose rounding does not fit, or a NaN, raises the overflow error.
inline std::int32_t RoundToInt32(double x) {
    const double rounded = std::nearbyint(x);  // the default rounding mode: nearest, ties to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) [[unlikely]] {
        Raise(ErrorKind::Overflow);
    }
    return static_cast<std::int32_t>(rounded);
}

/// Rounds a double to the nearest single-precision number, as every position and length is
/// handed to a drawing surface. A finite value beyond the single range raises the overflow
/// error (converting it would be undefined behaviour); NaN and infinities pass through.
inline float ToSingle(double x) {
    // Values below FLT_MAX plus half a unit in its last place still round down to FLT_MAX.
    constexpr double kLimit = static_cast<double>(FLT_MAX) + 0x1p103;
    if (std::isfinite(x) && std::fabs(x) >= kLimit) [[unlikely]] {
        Raise(ErrorKind::Overflow);
    }
    return static_cast<float>(x);
}

/// a + b on 32-bit integers; a result out of range raises the overflow error.
inline std::int32_t AddInt32(std::int32_t a, std::int32_t b) {
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) [[unlikely]] {
        Raise(ErrorKind::Overflow);
    }
    return sum;
}

/// a - b on 32-bit integers; a result out of range raises the overflow error.
inline std::int32_t SubtractInt32(std::int32_t a, std::int32_t b) {
    std::int32_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) [[unlikely]] {
        Raise(ErrorKind::Overflow);
    }
    return difference;
}

}  // namespace circles
