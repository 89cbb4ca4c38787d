#pragma once

#include <array>
#include <cstdint>

#include "scene/point.h"

namespace circles {

/// The whole model: the centres and radii of the blue circle (index 0) and the red circle
/// (index 1). The index is the same everywhere: centre, radius, scroll bar, label, mouse button.
/// A new scene holds zeros; the window sets the radii and the default centres before it
/// first draws.
struct Scene {
    /// Centres in pixels of the drawing area. No range is enforced: a centre may lie outside
    /// the visible area, and the two may coincide.
    std::array<PointXY, 2> CenterPt{};
    /// Radii in pixels; always whole numbers, read from the scroll bars.
    std::array<double, 2> Radius{};

    static constexpr PointXY kDefaultCenter0{100.0, 100.0};
    static constexpr PointXY kDefaultCenter1{300.0, 300.0};

    /// Takes both radii from the two scroll-bar values.
    void SetRadii(std::int16_t value0, std::int16_t value1);

    /// Moves the centre of circle `index` (0 or 1) to a reported pointer position, widened
    /// exactly to double. Any other index raises the index error.
    void SetCenter(std::int16_t index, float X, float Y);

    /// Puts the centres at (100, 100) and (300, 300), where every start begins.
    void SetDefaultCenters();
};

}  // namespace circles
