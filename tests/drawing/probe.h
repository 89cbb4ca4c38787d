#pragma once

// Reading rendered pictures back in logical pixels, whatever the image's device pixel ratio.

#include <algorithm>
#include <cstdlib>

#include <QColor>
#include <QImage>
#include <QRect>

namespace circles::probe {

/// The colour of logical pixel (x, y): the top-left device pixel of its block.
inline QColor At(const QImage& image, int x, int y) {
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
}

/// Whether two colours agree within a tolerance on each channel; anti-aliased edges blend.
inline bool Near(const QColor& a, const QColor& b, int tolerance = 40) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

/// Dark grey or black: text ink or a black line, and none of the scene's bright colours.
inline bool IsInk(const QColor& c) {
    return std::max({c.red(), c.green(), c.blue()}) < 128;
}

/// The smallest logical rectangle holding every ink pixel of `area` (empty if there is none).
inline QRect InkBounds(const QImage& image, const QRect& area) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (x >= 0 && y >= 0 && x < 400 && y < 400 && IsInk(At(image, x, y))) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

/// Whether some pixel within `radius` of (x, y) is ink: a thin anti-aliased line spreads over
/// neighbouring pixels, none of them necessarily at full strength.
inline bool InkNear(const QImage& image, int x, int y, int radius = 1) {
    return !InkBounds(image, QRect(x - radius, y - radius, 2 * radius + 1, 2 * radius + 1))
                .isEmpty();
}

}  // namespace circles::probe
