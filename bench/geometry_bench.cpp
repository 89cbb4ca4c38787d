// The accuracy of the intersection: how far a reported point can lie from the circles it
// should lie on, over a million random scenes of the kind the window produces.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/circles.h"
#include "scene/errors.h"
#include "scene/intersection.h"

namespace {

using circles::PointXY;
using circles::bench::Circles;

constexpr int kSceneCount = 1'000'000;

/// A million seeded scenes in and around the drawing area. Even scenes have whole-number
/// centres, odd ones the single-precision fractions that pointer positions arrive as; radii
/// are whole numbers from 1 to 200, as the scroll bars give them. Half of the second centres
/// lie anywhere in the range and half within reach of the first circle, so that most scenes
/// cross, touch or nest rather than miss.
std::vector<Circles> MakeScenes() {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> coordinate(-100.0, 500.0);
    std::uniform_real_distribution<double> turn(0.0, 6.283185307179586);
    std::uniform_int_distribution<int> radius(1, 200);
    std::vector<Circles> scenes;
    scenes.reserve(kSceneCount);
    for (int i = 0; i < kSceneCount; ++i) {
        const bool whole = i % 2 == 0;
        const auto position = [whole](double v) {
            return whole ? std::round(v) : static_cast<double>(static_cast<float>(v));
        };
        const double r1 = radius(random);
        const double r2 = radius(random);
        const double x1 = coordinate(random);
        const double y1 = coordinate(random);
        double x2 = coordinate(random);
        double y2 = coordinate(random);
        if (i % 4 >= 2) {
            std::uniform_real_distribution<double> reach(0.0, r1 + r2 + 2.0);
            const double distance = reach(random);
            const double angle = turn(random);
            x2 = x1 + distance * std::cos(angle);
            y2 = y1 + distance * std::sin(angle);
        }
        scenes.push_back({{position(x1), position(y1)}, r1, {position(x2), position(y2)}, r2});
    }
    return scenes;
}

/// How far p lies from the circle (c, r), in extended precision so that the measurement adds
/// nothing visible to the error it measures.
long double DistanceFromCircle(PointXY p, PointXY c, double r) {
    const long double dx = static_cast<long double>(p.X) - c.X;
    const long double dy = static_cast<long double>(p.Y) - c.Y;
    return std::fabs(std::sqrt(dx * dx + dy * dy) - static_cast<long double>(r));
}

/// max_err_px: the largest distance of a reported point from either of its circles, over every
/// scene, nearly vertical centre lines included (the intersection follows their direction
/// exactly, so the error is the rounding of the evaluation alone). points: how many points
/// were measured; faults: scenes that raised an error (none should).
void BM_MaxError(benchmark::State& state) {
    const std::vector<Circles> scenes = MakeScenes();
    long double max_error = 0.0L;
    std::int64_t points = 0;
    std::int64_t faults = 0;
    for (auto _ : state) {
        max_error = 0.0L;
        points = 0;
        faults = 0;
        for (const Circles& s : scenes) {
            PointXY p[2];
            std::int32_t count = 0;
            try {
                count = circles::CalcIntersection(p[0], p[1], s.c1, s.r1, s.c2, s.r2);
            } catch (const circles::RuntimeError&) {
                ++faults;
                continue;
            }
            for (std::int32_t k = 0; k < count; ++k) {
                const long double error = std::max(DistanceFromCircle(p[k], s.c1, s.r1),
                                                   DistanceFromCircle(p[k], s.c2, s.r2));
                max_error = std::max(max_error, error);
            }
            points += count;
        }
        benchmark::DoNotOptimize(max_error);
    }
    state.counters["max_err_px"] = static_cast<double>(max_error);
    state.counters["points"] = static_cast<double>(points);
    state.counters["faults"] = static_cast<double>(faults);
}
BENCHMARK(BM_MaxError)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
