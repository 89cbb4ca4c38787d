#pragma once

// Where the window and its controls lie, in pixels. The end-to-end tests and the web page read
// the window's place and size from kClientArea here.

#include <array>

#include <QPoint>
#include <QRect>

namespace circles::layout {

/// The window's client area: its own place on the screen, and its fixed size.
inline constexpr QRect kClientArea{91, 102, 634, 439};

// The controls, in pixels of the client area: the picture box's outer corner, then the labels
// and the scroll bars, index 0 for the blue circle and 1 for the red one.
inline constexpr QPoint kPicture1Place{8, 16};
inline constexpr std::array<QRect, 2> kLabelPlaces{{{424, 96, 193, 17}, {424, 152, 193, 17}}};
inline constexpr std::array<QRect, 2> kScrollBarPlaces{{{424, 120, 201, 17}, {424, 176, 201, 17}}};

}  // namespace circles::layout
