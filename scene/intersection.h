#pragma once

#include <array>
#include <cstdint>

#include "scene/point.h"

namespace circles {

/// What one intersection found: CrossCount points, in CrossPt from index 0.
struct CrossPoints {
    std::array<PointXY, 2> CrossPt{};
    std::int32_t CrossCount = 0;
};

/// Whether the two circles are one and the same: equal centres and equal radii. They share
/// every point, so no finite answer is right and CalcIntersection reports none; what tells the
/// picture in words says that they coincide instead.
bool Coincide(const PointXY& C1, double r1, const PointXY& C2, double r2);

/// Finds the points where the circle (C1, r1) crosses the circle (C2, r2) and returns how
/// many there are: 0, 1 or 2.
///
/// - 0: P1 and P2 are left as they were. Circles that miss each other, lie one inside the
///   other, have a zero radius, or coincide (see Coincide) all give 0.
/// - 1: the circles touch; P1 and P2 hold the same point, exactly.
/// - 2: P1 lies to the right of the directed line C1 -> C2 as seen on the screen
///   (Y grows downwards), P2 to its left.
///
/// Every arithmetic step is checked (scene/checked.h); a fault raises RuntimeError and
/// leaves P1 and P2 untouched. No input that the window can produce faults.
///
///     PointXY p1, p2;
///     CalcIntersection(p1, p2, {100, 100}, 200.0, {300, 300}, 150.0);  // 2, p1 ~ (150.1, 293.6)
std::int32_t CalcIntersection(PointXY& P1, PointXY& P2, const PointXY& C1, const double& r1,
                              const PointXY& C2, const double& r2);

}  // namespace circles
