#pragma once

// Where the window and its controls lie, in pixels. The end-to-end tests and the web page read
// the window's place and size from kClientArea here.

#include <array>

#include <QPoint>
#include <QRect>
#include <QSize>

namespace circles::layout {

/// The window's client area: its own place on the screen, and its fixed size.
inline constexpr QRect kClientArea{91, 102, 634, 439};

/// Where the controls lie in one arrangement of the window, in pixels of its client area: the
/// picture box's outer corner, then the labels and the scroll bars, index 0 for the blue circle
/// and 1 for the red one; and how wide the bars' arrows are, 0 for the style's own width.
struct Arrangement {
    QSize window;
    QPoint picture;
    std::array<QRect, 2> labels;
    std::array<QRect, 2> scrollBars;
    int arrowWidth;
};

/// The window's own arrangement, wherever it fits: the picture on the left, and to its right
/// each label above its bar.
inline constexpr Arrangement kWindow{kClientArea.size(),
                                     {8, 16},
                                     {{{424, 96, 193, 17}, {424, 152, 193, 17}}},
                                     {{{424, 120, 201, 17}, {424, 176, 201, 17}}},
                                     0};

// On a web page too small for the window, shown zoomed to fit (a phone), the bars are tall
// enough for a finger, with arrows as wide as the bars are tall: 48 px, some 44 CSS px at the
// zoom of a phone.

/// On a small page held sideways: the window's places, the bars taller and further apart.
inline constexpr Arrangement kSideways{kClientArea.size(),
                                       {8, 16},
                                       {{{424, 96, 193, 17}, {424, 180, 193, 17}}},
                                       {{{424, 120, 201, 48}, {424, 204, 201, 48}}},
                                       48};

/// On a small page held upright: the picture across the page, below it each label above its
/// bar, both as wide as the picture.
inline constexpr Arrangement kUpright{{420, 592},
                                      {8, 8},
                                      {{{8, 424, 404, 17}, {8, 508, 404, 17}}},
                                      {{{8, 448, 404, 48}, {8, 532, 404, 48}}},
                                      48};

}  // namespace circles::layout
