#include "drawing/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace circles::raster {

namespace {

// Mixes an opaque colour into a pixel with weight `a` out of 256, both 0xAARRGGBB, two
// channels at a time.
inline void Blend(std::uint32_t& pixel, std::uint32_t color, std::uint32_t a) {
    if (a >= 256) {
        pixel = color;
        return;
    }
    const std::uint32_t keep = 256 - a;
    const std::uint32_t redBlue =
        (((color & 0x00ff00ffu) * a + (pixel & 0x00ff00ffu) * keep) >> 8) & 0x00ff00ffu;
    const std::uint32_t alphaGreen =
        (((color >> 8) & 0x00ff00ffu) * a + ((pixel >> 8) & 0x00ff00ffu) * keep) & 0xff00ff00u;
    pixel = redBlue | alphaGreen;
}

// A coverage between 0 and 1 as a weight out of 256.
inline std::uint32_t Weight(double coverage) {
    // The clamped value is never negative, where adding a half and truncating rounds to the
    // nearest integer without the library call of lround, in the innermost loop of every shape.
    const double weight = std::clamp(coverage, 0.0, 1.0) * 256.0;
    return static_cast<std::uint32_t>(weight + 0.5);  // NOLINT(bugprone-incorrect-roundings)
}

// The pixel indexes 0 to count - 1 whose centres lie in [low, high]; first > last when none
// does. Clamping before converting keeps far-off values in the range of int.
struct Range {
    int first;
    int last;
};

inline Range CentresBetween(double low, double high, int count) {
    const double first = std::ceil(std::clamp(low - 0.5, -1.0, static_cast<double>(count)));
    const double last = std::floor(std::clamp(high - 0.5, -1.0, static_cast<double>(count)));
    return {std::max(0, static_cast<int>(first)), std::min(count - 1, static_cast<int>(last))};
}

// Calls put(j, weight) for every pixel j of 0 to count - 1 that [low, high] overlaps, with
// the overlap as its weight. The span is at most a few pixels long: the first and last
// pixels take their partial overlaps and the ones between are covered fully.
template <typename Put>
inline void Span(int count, double low, double high, Put put) {
    if (!(high > 0.0 && low < count)) {
        return;  // wholly outside the line
    }
    low = std::max(low, -1.0);
    high = std::min(high, count + 1.0);
    const int first = static_cast<int>(low + 1.0) - 1;  // floor, as low >= -1
    const int last = static_cast<int>(high + 1.0) - 1;
    if (first == last) {
        if (first >= 0 && first < count) {
            put(first, Weight(high - low));
        }
        return;
    }
    if (first >= 0) {
        put(first, Weight(first + 1.0 - low));
    }
    const int end = std::min(last, count);
    for (int j = std::max(first + 1, 0); j < end; ++j) {
        put(j, 256u);
    }
    if (last < count) {
        put(last, Weight(high - last));
    }
}

struct Pixels {
    std::uint32_t* bits;
    qsizetype stride;  // in pixels
    int width;
    int height;

    explicit Pixels(QImage& image)
        : bits(reinterpret_cast<std::uint32_t*>(image.bits())),
          stride(image.bytesPerLine() / 4),
          width(image.width()),
          height(image.height()) {}

    // Blends pixel (x, y), which must lie in the image.
    void Put(int x, int y, std::uint32_t color, std::uint32_t weight) {
        Blend(bits[y * stride + x], color, weight);
    }
};

}  // namespace

// Each pixel is drawn by exactly one of two passes, so none is blended twice: the column pass
// takes the pixels nearer the top and bottom of the ring (|dy| > |dx| from the centre), where
// the ring runs across columns, and the row pass the rest, where it runs across rows. There is
// one square root per column and per row.
void StrokeCircle(QImage& image, double cx, double cy, double radius, double width, QRgb color) {
    Pixels pixels(image);
    const double half = width / 2.0;
    if (cx + radius + half < 0.0 || cx - radius - half > pixels.width || cy + radius + half < 0.0 ||
        cy - radius - half > pixels.height) {
        return;  // wholly outside the image
    }
    // Beyond this offset from the centre a pass has no pixels of its own left.
    const double reach = std::min(radius, (radius + half) * std::sqrt(0.5) + 1.0);
    const double radius2 = radius * radius;
    const Range columns = CentresBetween(cx - reach, cx + reach, pixels.width);
    for (int x = columns.first; x <= columns.last; ++x) {
        const double dx = std::fabs(x + 0.5 - cx);
        const double ring = std::sqrt(std::max(0.0, radius2 - dx * dx));
        const auto put = [&](int y, std::uint32_t weight) {
            if (std::fabs(y + 0.5 - cy) > dx) {  // near the top or bottom
                pixels.Put(x, y, color, weight);
            }
        };
        if (ring < half) {  // the two crossings overlap: draw them as one
            Span(pixels.height, cy - ring - half, cy + ring + half, put);
        } else {
            Span(pixels.height, cy - ring - half, cy - ring + half, put);
            Span(pixels.height, cy + ring - half, cy + ring + half, put);
        }
    }

    const Range rows = CentresBetween(cy - reach, cy + reach, pixels.height);
    for (int y = rows.first; y <= rows.last; ++y) {
        const double dy = std::fabs(y + 0.5 - cy);
        const double ring = std::sqrt(std::max(0.0, radius2 - dy * dy));
        const auto put = [&](int x, std::uint32_t weight) {
            if (std::fabs(x + 0.5 - cx) >= dy) {  // near the left or right
                pixels.Put(x, y, color, weight);
            }
        };
        if (ring < half) {
            Span(pixels.width, cx - ring - half, cx + ring + half, put);
        } else {
            Span(pixels.width, cx - ring - half, cx - ring + half, put);
            Span(pixels.width, cx + ring - half, cx + ring + half, put);
        }
    }
}

void StrokeLine(QImage& image, double x1, double y1, double x2, double y2, double width,
                QRgb color) {
    Pixels pixels(image);
    const double half = width / 2.0;
    const bool alongX = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    // Run along the longer axis, from the smaller end: a = major axis, b = minor axis.
    double a1 = alongX ? x1 : y1, b1 = alongX ? y1 : x1;
    double a2 = alongX ? x2 : y2, b2 = alongX ? y2 : x2;
    if (a2 < a1) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const double slope = a2 > a1 ? (b2 - b1) / (a2 - a1) : 0.0;
    const int count = alongX ? pixels.width : pixels.height;
    const int across = alongX ? pixels.height : pixels.width;
    const Range steps = CentresBetween(a1 - half, a2 + half, count);
    for (int i = steps.first; i <= steps.last; ++i) {
        const double a = std::clamp(i + 0.5, a1, a2);
        const double b = b1 + (a - a1) * slope;
        if (alongX) {
            Span(across, b - half, b + half,
                 [&](int j, std::uint32_t weight) { pixels.Put(i, j, color, weight); });
        } else {
            Span(across, b - half, b + half,
                 [&](int j, std::uint32_t weight) { pixels.Put(j, i, color, weight); });
        }
    }
}

void FillDisc(QImage& image, double cx, double cy, double radius, QRgb color) {
    Pixels pixels(image);
    // A pixel is covered in proportion to how far its centre lies inside the edge, full one
    // half pixel in and empty one half pixel out.
    const double reach = radius + 0.5;
    const Range rows = CentresBetween(cy - reach, cy + reach, pixels.height);
    for (int y = rows.first; y <= rows.last; ++y) {
        const double dy = y + 0.5 - cy;
        const double halfChord = std::sqrt(std::max(0.0, reach * reach - dy * dy));
        const Range columns = CentresBetween(cx - halfChord, cx + halfChord, pixels.width);
        if (columns.first > columns.last) {
            continue;
        }
        std::uint32_t* row = pixels.bits + y * pixels.stride;
        for (int x = columns.first; x <= columns.last; ++x) {
            const double dx = x + 0.5 - cx;
            Blend(row[x], color, Weight(reach - std::sqrt(dx * dx + dy * dy)));
        }
    }
}

}  // namespace circles::raster
