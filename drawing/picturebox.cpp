#include "drawing/picturebox.h"

#include <cmath>
#include <initializer_list>

#include <QPointF>
#include <QRectF>

#include "drawing/raster.h"
#include "scene/errors.h"

namespace circles {

namespace {

// A position or length that is not a finite number has no place on the surface.
void RequireFinite(std::initializer_list<float> values) {
    for (const float value : values) {
        if (!std::isfinite(value)) [[unlikely]] {
            Raise(ErrorKind::SurfaceFailure);
        }
    }
}

// Shapes are drawn with whole coordinates on pixel centres: the point (100, 100) is the middle
// of pixel (100, 100), so a 1 px ring or line through it covers that pixel fully instead of
// two neighbours at half strength, and a dot 5 px across spans exactly five pixels.
constexpr qreal kPixelCentre = 0.5;

// A logical coordinate as a device coordinate of the image.
double ToDevice(float coordinate, qreal ratio) {
    return (coordinate + kPixelCentre) * ratio;
}

// The number of device pixels across a logical length at the ratio.
int DeviceLength(int logical, qreal ratio) {
    if (!(std::isfinite(ratio) && ratio > 0.0 && ratio <= 64.0)) {
        Raise(ErrorKind::SurfaceFailure);
    }
    return static_cast<int>(std::ceil(logical * ratio));
}

}  // namespace

PictureBox::PictureBox(qreal devicePixelRatio)
    // The format QPainter draws on natively, so that neither drawing nor copying between
    // surfaces ever converts pixels.
    : image_(DeviceLength(kWidth, devicePixelRatio), DeviceLength(kHeight, devicePixelRatio),
             QImage::Format_ARGB32_Premultiplied) {
    if (image_.isNull()) {
        Raise(ErrorKind::SurfaceFailure);
    }
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(backColor_);
    if (!painter_.begin(&image_)) {
        Raise(ErrorKind::SurfaceFailure);
    }
    painter_.setPen(Qt::black);
}

void PictureBox::setFont(const QFont& font) {
    painter_.setFont(font);
}

void PictureBox::setForeColor(const QColor& color) {
    painter_.setPen(color);
}

void PictureBox::setBackColor(const QColor& color) {
    backColor_ = color;
}

void PictureBox::Cls() {
    image_.fill(backColor_);
}

void PictureBox::Circle(float x, float y, float radius, PackedColor color) {
    RequireFinite({x, y, radius});
    if (radius < 0.0f) {
        Raise(ErrorKind::SurfaceFailure);
    }
    const qreal ratio = image_.devicePixelRatio();
    raster::StrokeCircle(image_, ToDevice(x, ratio), ToDevice(y, ratio), radius * ratio,
                         drawWidth_ * ratio, ToQColor(color).rgb());
}

void PictureBox::Line(float x1, float y1, float x2, float y2, PackedColor color) {
    RequireFinite({x1, y1, x2, y2});
    const qreal ratio = image_.devicePixelRatio();
    raster::StrokeLine(image_, ToDevice(x1, ratio), ToDevice(y1, ratio), ToDevice(x2, ratio),
                       ToDevice(y2, ratio), drawWidth_ * ratio, ToQColor(color).rgb());
}

void PictureBox::PSet(float x, float y, PackedColor color) {
    RequireFinite({x, y});
    const qreal ratio = image_.devicePixelRatio();
    if (drawWidth_ > 1) {
        raster::FillDisc(image_, ToDevice(x, ratio), ToDevice(y, ratio), drawWidth_ * ratio / 2.0,
                         ToQColor(color).rgb());
        return;
    }
    // The one pixel whose centre is nearest to the point, if it lies on the surface.
    const double column = std::floor(x + kPixelCentre);
    const double row = std::floor(y + kPixelCentre);
    if (column < 0.0 || column >= kWidth || row < 0.0 || row >= kHeight) {
        return;
    }
    raster::FillPixels(image_, static_cast<int>(std::round(column * ratio)),
                       static_cast<int>(std::round(row * ratio)),
                       static_cast<int>(std::round((column + 1.0) * ratio)),
                       static_cast<int>(std::round((row + 1.0) * ratio)), ToQColor(color).rgb());
}

void PictureBox::SetDrawWidth(std::int16_t width) {
    if (width < 1) {
        Raise(ErrorKind::SurfaceFailure);
    }
    drawWidth_ = width;
}

void PictureBox::SetCurrentX(float x) {
    RequireFinite({x});
    currentX_ = x;
}

void PictureBox::SetCurrentY(float y) {
    RequireFinite({y});
    currentY_ = y;
}

// The text position is left where it was: every caller sets both coordinates before it prints.
void PictureBox::Print(const QString& text) {
    painter_.drawText(QRectF(currentX_, currentY_, kWidth, kHeight),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

const QImage& PictureBox::Image() const {
    return image_;
}

void PictureBox::PaintPicture(const QImage& picture, float x1, float y1, std::int16_t width1,
                              std::int16_t height1, std::int16_t x2, std::int16_t y2,
                              std::int16_t width2, std::int16_t height2) {
    RequireFinite({x1, y1});
    if (picture.isNull()) {
        Raise(ErrorKind::SurfaceFailure);
    }
    // The source rectangle is in the picture's logical pixels; drawImage takes its device pixels.
    const qreal ratio = picture.devicePixelRatio();
    // A copy replaces the pixels rather than blending with them.
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.drawImage(QRectF(x1, y1, width1, height1), picture,
                       QRectF(x2 * ratio, y2 * ratio, width2 * ratio, height2 * ratio));
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

}  // namespace circles
