// Drawing benchmarks: the whole RefreshImage of a scene, the copy onto Picture1 included.
#include <cstdint>

#include <QFont>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include "drawing/picturebox.h"
#include "drawing/refreshimage.h"
#include "scene/scene.h"

namespace {

// Arg 0: the start-up scene (radii 100 and 50, no intersection point).
// Arg 2: the default centres with radii 200 and 150 (two points).
void BM_RefreshImage(benchmark::State& state) {
    circles::Scene scene;
    scene.SetDefaultCenters();
    scene.Radius = state.range(0) == 0 ? std::array{100.0, 50.0} : std::array{200.0, 150.0};
    circles::PictureBox picture2(qGuiApp->devicePixelRatio());
    circles::PictureBox picture1(qGuiApp->devicePixelRatio());
    for (circles::PictureBox* box : {&picture2, &picture1}) {
        box->setFont(QFont("IPAPGothic", 9));
        box->setForeColor(Qt::black);
    }
    for (auto _ : state) {
        circles::RefreshImage(scene, picture2, picture1);
        benchmark::DoNotOptimize(picture1.Image().constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RefreshImage)->Arg(0)->Arg(2);

}  // namespace
