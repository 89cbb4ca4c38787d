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
    return static_cast<std::uint32_t>(std::clamp(coverage, 0.0, 1.0) * 256.0 + 0.5);
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

// One line of pixels across a stroke: pixel j is start[j * step], for j from 0 to count - 1.
struct Across {
    std::uint32_t* start;
    qsizetype step;
    int count;
};

// Blends every pixel of `line` that [low, high] overlaps, in proportion to the overlap, for
// which keep(j) holds. The span is at most a few pixels long: the first and last pixels take
// their partial overlaps and the ones between are covered fully.
template <typename Keep>
inline void Span(const Across& line, double low, double high, std::uint32_t color, Keep keep) {
    if (!(high > 0.0 && low < line.count)) {
        return;  // wholly outside the image
    }
    low = std::max(low, -1.0);
    high = std::min(high, line.count + 1.0);
    const int first = static_cast<int>(low + 1.0) - 1;  // floor, as low >= -1
    const int last = static_cast<int>(high + 1.0) - 1;
    const auto put = [&](int j, double coverage) {
        if (j >= 0 && j < line.count && keep(j)) {
            Blend(line.start[j * line.step], color, Weight(coverage));
        }
    };
    if (first == last) {
        put(first, high - low);
        return;
    }
    put(first, first + 1.0 - low);
    for (int j = first + 1; j < last; ++j) {
        put(j, 1.0);
    }
    put(last, high - last);
}

inline bool Always(int) {
    return true;
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

    Across Column(int x) const { return {bits + x, stride, height}; }
    Across Row(int y) const { return {bits + y * stride, 1, width}; }
};

}  // namespace

// Each pixel is drawn by exactly one of two passes, so none is blended twice: the column pass
// takes the pixels nearer the top and bottom of the ring (|dy| > |dx| from the centre), where
// the ring runs across columns, and the row pass the rest, where it runs across rows.
void StrokeCircle(QImage& image, double cx, double cy, double radius, double width, QRgb color) {
    const Pixels pixels(image);
    const double half = width / 2.0;
    const double radius2 = radius * radius;
    // Beyond this offset from the centre a pass has no pixels of its own left.
    const double reach = std::min(radius, (radius + half) * std::sqrt(0.5) + 1.0);

    const Range columns = CentresBetween(cx - reach, cx + reach, pixels.width);
    for (int x = columns.first; x <= columns.last; ++x) {
        const double dx = std::fabs(x + 0.5 - cx);
        const double ring = std::sqrt(std::max(0.0, radius2 - dx * dx));
        const auto nearTopOrBottom = [&](int y) { return std::fabs(y + 0.5 - cy) > dx; };
        const Across column = pixels.Column(x);
        if (ring < half) {  // the two crossings overlap: draw them as one
            Span(column, cy - ring - half, cy + ring + half, color, nearTopOrBottom);
        } else {
            Span(column, cy - ring - half, cy - ring + half, color, nearTopOrBottom);
            Span(column, cy + ring - half, cy + ring + half, color, nearTopOrBottom);
        }
    }

    const Range rows = CentresBetween(cy - reach, cy + reach, pixels.height);
    for (int y = rows.first; y <= rows.last; ++y) {
        const double dy = std::fabs(y + 0.5 - cy);
        const double ring = std::sqrt(std::max(0.0, radius2 - dy * dy));
        const auto nearLeftOrRight = [&](int x) { return std::fabs(x + 0.5 - cx) >= dy; };
        const Across row = pixels.Row(y);
        if (ring < half) {
            Span(row, cx - ring - half, cx + ring + half, color, nearLeftOrRight);
        } else {
            Span(row, cx - ring - half, cx - ring + half, color, nearLeftOrRight);
            Span(row, cx + ring - half, cx + ring + half, color, nearLeftOrRight);
        }
    }
}

void StrokeLine(QImage& image, double x1, double y1, double x2, double y2, double width,
                QRgb color) {
    const Pixels pixels(image);
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
    const Range steps = CentresBetween(a1 - half, a2 + half, count);
    for (int i = steps.first; i <= steps.last; ++i) {
        const double a = std::clamp(i + 0.5, a1, a2);
        const double b = b1 + (a - a1) * slope;
        Span(alongX ? pixels.Column(i) : pixels.Row(i), b - half, b + half, color, Always);
    }
}

void FillDisc(QImage& image, double cx, double cy, double radius, QRgb color) {
    const Pixels pixels(image);
    // A pixel is covered in proportion to how far its centre lies inside the edge, full one
    // half pixel in and empty one half pixel out.
    const double reach = radius + 0.5;
    const Range rows = CentresBetween(cy - reach, cy + reach, pixels.height);
    for (int y = rows.first; y <= rows.last; ++y) {
        const double dy = y + 0.5 - cy;
        const double halfChord = std::sqrt(std::max(0.0, reach * reach - dy * dy));
        const Range columns = CentresBetween(cx - halfChord, cx + halfChord, pixels.width);
        const Across row = pixels.Row(y);
        for (int x = columns.first; x <= columns.last; ++x) {
            const double dx = x + 0.5 - cx;
            Blend(row.start[x], color, Weight(reach - std::sqrt(dx * dx + dy * dy)));
        }
    }
}

void FillPixels(QImage& image, int left, int top, int right, int bottom, QRgb color) {
    const Pixels pixels(image);
    left = std::max(left, 0);
    right = std::min(right, pixels.width);
    for (int y = std::max(top, 0); y < std::min(bottom, pixels.height); ++y) {
        std::uint32_t* row = pixels.Row(y).start;
        std::fill(row + std::min(left, right), row + right, color);
    }
}

}  // namespace circles::raster
