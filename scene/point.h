#pragma once

namespace circles {

/// A point of the drawing plane in pixels: X to the right, Y downwards.
struct PointXY {
    double X = 0.0;
    double Y = 0.0;

    friend constexpr bool operator==(const PointXY&, const PointXY&) = default;
};

}  // namespace circles
