// CalcIntersection with six arbitrary doubles: x1, y1, r1, x2, y2, r2 from the input's first
// 48 bytes, so that not-a-numbers, infinities, huge and subnormal values all come up. Whatever
// they are, it returns 0, 1 or 2 or raises RuntimeError; it leaves both outputs alone on 0 and
// on an error; it gives one point twice on 1; and for finite inputs its points are finite and
// lie on the first circle.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scene/errors.h"
#include "scene/intersection.h"

namespace {

void Require(bool holds, const char* what, const double (&in)[6]) {
    if (!holds) {
        std::fprintf(stderr, "%s: C1 (%.17g, %.17g) r1 %.17g, C2 (%.17g, %.17g) r2 %.17g\n", what,
                     in[0], in[1], in[2], in[3], in[4], in[5]);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double in[6] = {};
    std::memcpy(in, data, std::min(size, sizeof in));
    constexpr circles::PointXY kUntouched{-777.25, 888.5};
    circles::PointXY p1 = kUntouched;
    circles::PointXY p2 = kUntouched;
    int count = -1;  // stays so when an error is raised
    try {
        count = circles::CalcIntersection(p1, p2, {in[0], in[1]}, in[2], {in[3], in[4]}, in[5]);
    } catch (const circles::RuntimeError&) {
    }
    Require(count >= -1 && count <= 2, "count out of range", in);
    Require(count > 0 || (p1 == kUntouched && p2 == kUntouched), "outputs written", in);
    Require(count != 1 || p1 == p2, "one point, two places", in);
    if (count > 0 && std::all_of(in, in + 6, [](double v) { return std::isfinite(v); })) {
        // Each rounding of r1 cos(a) + x1 is relative to the largest of its operands.
        const long double scale = std::max({std::fabs(in[0]), std::fabs(in[1]), std::fabs(in[2])});
        for (const circles::PointXY& p : {p1, p2}) {
            const long double distance = std::hypot(p.X - static_cast<long double>(in[0]),
                                                    p.Y - static_cast<long double>(in[1]));
            Require(std::fabs(distance - std::fabs(in[2])) <= 1e-13L * scale + 1e-300L,
                    "a point off the first circle", in);
        }
    }
    return 0;
}
