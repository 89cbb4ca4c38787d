// CalcIntersection with six arbitrary doubles: x1, y1, r1, x2, y2, r2 from the input's first
// 48 bytes, so that not-a-numbers, infinities, huge and subnormal values all come up. Whatever
// they are, it returns 0, 1 or 2 or raises RuntimeError; it leaves both outputs alone on 0 and
// on an error; it gives one point twice on 1; and for finite inputs its points lie on the
// first circle, to the precision of the largest of its centre and radius.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "scene/errors.h"
#include "scene/intersection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double in[6] = {};
    std::memcpy(in, data, std::min(size, sizeof in));
    constexpr circles::PointXY kUntouched{-777.25, 888.5};
    circles::PointXY p[2] = {kUntouched, kUntouched};
    int count = -1;  // stays so when an error is raised
    try {
        count = circles::CalcIntersection(p[0], p[1], {in[0], in[1]}, in[2], {in[3], in[4]}, in[5]);
    } catch (const circles::RuntimeError&) {
    }
    const long double scale = std::max({std::fabs(in[0]), std::fabs(in[1]), std::fabs(in[2])});
    bool holds = count <= 2 && (count > 0 || (p[0] == kUntouched && p[1] == kUntouched)) &&
                 (count != 1 || p[0] == p[1]);
    const bool finite = std::all_of(in, in + 6, [](double v) { return std::isfinite(v); });
    for (int k = 0; finite && k < count; ++k) {
        const long double distance = std::hypot(p[k].X - static_cast<long double>(in[0]),
                                                p[k].Y - static_cast<long double>(in[1]));
        holds = holds && std::fabs(distance - std::fabs(in[2])) <= 1e-13L * scale + 1e-300L;
    }
    if (!holds) {
        std::abort();  // libFuzzer keeps the input that broke a property
    }
    return 0;
}
