#pragma once

#include "scene/point.h"

namespace circles::bench {

/// Two circles, as CalcIntersection takes them: a scene of the geometry benchmarks.
struct Circles {
    PointXY c1;
    double r1;
    PointXY c2;
    double r2;
};

}  // namespace circles::bench
