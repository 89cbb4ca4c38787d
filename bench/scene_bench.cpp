// Geometry benchmarks, and the frame-copy yardstick that the drawing benchmarks are compared with.
#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/circles.h"
#include "scene/intersection.h"

namespace {

using circles::bench::Circles;

// One 400 x 400 frame of 4-byte pixels copied with memcpy: the cheapest thing a redraw can
// possibly do, and the unit every drawing figure is expressed in.
void BM_FrameCopy(benchmark::State& state) {
    constexpr std::size_t kFrameBytes = std::size_t{400} * 400 * 4;
    std::vector<unsigned char> source(kFrameBytes, 0x5a);
    std::vector<unsigned char> destination(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), kFrameBytes);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrameBytes));
}
BENCHMARK(BM_FrameCopy);

// A fixed mix: apart, inside, touching outside and inside, and crossing in several directions.
constexpr std::array<Circles, 8> kMix{{
    {{100, 100}, 100, {300, 300}, 50},   // 0 points: apart (the start-up scene)
    {{0, 0}, 100, {10, 0}, 10},          // 0 points: one inside the other
    {{100, 100}, 100, {250, 100}, 50},   // 1 point: touching from outside
    {{100, 100}, 100, {150, 100}, 50},   // 1 point: touching from inside
    {{100, 100}, 200, {300, 300}, 150},  // 2 points
    {{100, 100}, 100, {250, 100}, 100},  // 2 points, horizontal centre line
    {{100, 300}, 150, {100, 100}, 150},  // 2 points, vertical centre line
    {{300, 100}, 150, {100, 100}, 150},  // 2 points, second centre to the left
}};

void BM_CalcIntersection(benchmark::State& state) {
    circles::PointXY p1;
    circles::PointXY p2;
    std::size_t next = 0;
    for (auto _ : state) {
        const Circles& scene = kMix[next];
        next = (next + 1) % kMix.size();
        benchmark::DoNotOptimize(
            circles::CalcIntersection(p1, p2, scene.c1, scene.r1, scene.c2, scene.r2));
        benchmark::DoNotOptimize(p1);
        benchmark::DoNotOptimize(p2);
    }
}
BENCHMARK(BM_CalcIntersection);

}  // namespace
