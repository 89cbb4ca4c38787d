// Fuzzes CalcIntersection with six arbitrary doubles (the input's first 48 bytes, in the order
// x1, y1, r1, x2, y2, r2; shorter inputs are padded with zero bytes), so that not-a-numbers,
// infinities, huge, tiny and subnormal values and negative zero all come up. Whatever the
// input, the call must keep its contract:
//   - it returns 0, 1 or 2, or raises circles::RuntimeError and nothing else;
//   - on 0 and on an error both outputs keep their previous bits;
//   - on 1 both outputs hold the same point, on 2 two different points;
//   - for finite inputs every reported point is finite and lies on the first circle, within
//     a tolerance relative to the magnitudes of the inputs.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "scene/errors.h"
#include "scene/intersection.h"

namespace {

using circles::PointXY;

struct Input {
    double x1 = 0, y1 = 0, r1 = 0, x2 = 0, y2 = 0, r2 = 0;
};

// What the outputs hold before the call: unlikely to be produced by the calculation, and
// compared bit for bit, so that an output written with the same value still shows.
constexpr PointXY kUntouched{-777.25, 888.5};

[[noreturn]] void Fail(const Input& in, const char* what) {
    std::fprintf(stderr,
                 "property broken: %s\n  C1=(%.17g, %.17g) r1=%.17g  C2=(%.17g, %.17g) r2=%.17g\n",
                 what, in.x1, in.y1, in.r1, in.x2, in.y2, in.r2);
    std::abort();
}

bool SameBits(const PointXY& a, const PointXY& b) {
    return std::bit_cast<std::uint64_t>(a.X) == std::bit_cast<std::uint64_t>(b.X) &&
           std::bit_cast<std::uint64_t>(a.Y) == std::bit_cast<std::uint64_t>(b.Y);
}

bool AllFinite(const Input& in) {
    return std::isfinite(in.x1) && std::isfinite(in.y1) && std::isfinite(in.r1) &&
           std::isfinite(in.x2) && std::isfinite(in.y2) && std::isfinite(in.r2);
}

/// Checks that p lies on the circle about (x1, y1) with radius |r1|. The reported point is
/// r1 * cos(a) + x1 (and the same with sin): each of its roundings is relative to the larger of
/// |r1| and the centre's coordinates, and so is the tolerance. The measurement runs in long
/// double, whose wider exponent keeps huge coordinates from overflowing.
void ExpectOnFirstCircle(const Input& in, const PointXY& p) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) {
        Fail(in, "a reported point is not finite");
    }
    const long double dx = static_cast<long double>(p.X) - in.x1;
    const long double dy = static_cast<long double>(p.Y) - in.y1;
    const long double distance = std::sqrt(dx * dx + dy * dy);
    const long double scale = std::max({std::fabs(in.r1), std::fabs(in.x1), std::fabs(in.y1)});
    // A few units in the last place of the largest operand, and a floor for results in the
    // subnormal range, where rounding is absolute rather than relative.
    const long double tolerance = 1e-13L * scale + 1e-300L;
    if (std::fabs(distance - std::fabs(static_cast<long double>(in.r1))) > tolerance) {
        Fail(in, "a reported point is not on the first circle");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in;
    std::memcpy(&in, data, std::min(size, sizeof in));

    PointXY p1 = kUntouched;
    PointXY p2 = kUntouched;
    std::int32_t count = -1;
    try {
        count = circles::CalcIntersection(p1, p2, {in.x1, in.y1}, in.r1, {in.x2, in.y2}, in.r2);
    } catch (const circles::RuntimeError&) {
        if (!SameBits(p1, kUntouched) || !SameBits(p2, kUntouched)) {
            Fail(in, "an error left an output written");
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unexpected exception: %s\n", e.what());
        Fail(in, "an exception other than circles::RuntimeError escaped");
    } catch (...) {
        Fail(in, "an exception other than circles::RuntimeError escaped");
    }

    switch (count) {
        case 0:
            if (!SameBits(p1, kUntouched) || !SameBits(p2, kUntouched)) {
                Fail(in, "count 0 with an output written");
            }
            return 0;
        case 1:
            if (!(p1.X == p2.X && p1.Y == p2.Y)) {
                Fail(in, "count 1 with two different points");
            }
            break;
        case 2:
            if (p1.X == p2.X && p1.Y == p2.Y) {
                Fail(in, "count 2 with the same point twice");
            }
            break;
        default:
            Fail(in, "count outside 0..2");
    }
    if (AllFinite(in)) {
        ExpectOnFirstCircle(in, p1);
        ExpectOnFirstCircle(in, p2);
    }
    return 0;
}
