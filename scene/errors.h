#pragma once

#include <stdexcept>
#include <string_view>

namespace circles {

/// The kinds of run-time error the program can meet.
enum class ErrorKind {
    InvalidOperation,  ///< IEEE 754 invalid operation, such as 0 / 0 or the square root of -1
    DivisionByZero,    ///< IEEE 754 division of a finite non-zero number by zero
    FloatOverflow,     ///< IEEE 754 overflow: a finite calculation whose result is too large
    Overflow,          ///< a value too large for its type, or an integer step out of range
    IndexOutOfRange,   ///< an array index outside the array's bounds
    SurfaceFailure,    ///< a drawing-surface operation that could not be carried out
};

/// The one exception type of the program. `what()` is a Japanese message that names the kind.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorKind kind);

    ErrorKind kind() const noexcept { return kind_; }

private:
    ErrorKind kind_;
};

/// The Japanese message for an error kind, for example "オーバーフローしました。".
std::string_view ErrorMessage(ErrorKind kind);

/// The funnel every fault passes through: throws RuntimeError(kind).
/// Kept out of line so that the checks on the hot path stay small.
[[noreturn]] void Raise(ErrorKind kind);

}  // namespace circles
