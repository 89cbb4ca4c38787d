#pragma once

// Anti-aliased circles, lines and discs written straight into a 32-bit image.
//
// Coordinates are device pixels with pixel (i, j) covering [i, i + 1) x [j, j + 1), so its
// centre is (i + 0.5, j + 0.5). Strokes are drawn the way Xiaolin Wu draws lines: along the
// axis a stroke runs on, each pixel column (or row) gets the stroke's exact position, and
// every pixel the stroke's width overlaps across it takes the colour in proportion to the
// overlap. A 1 px stroke through pixel centres thus covers one row or column fully and its
// neighbours not at all. QPainter does the same for a straight line there, but draws a circle
// as Bezier curves and takes the area they cover: the top of its 1 px ring through a pixel
// centre comes out at three-quarter strength.

#include <QImage>
#include <QRgb>

namespace circles::raster {

/// The outline of a circle centred at (cx, cy), its centreline at `radius`, `width` across.
void StrokeCircle(QImage& image, double cx, double cy, double radius, double width, QRgb color);

/// A segment from (x1, y1) to (x2, y2), `width` across, with square ends that reach half the
/// width beyond the end points.
void StrokeLine(QImage& image, double x1, double y1, double x2, double y2, double width,
                QRgb color);

/// A filled disc centred at (cx, cy).
void FillDisc(QImage& image, double cx, double cy, double radius, QRgb color);

}  // namespace circles::raster
