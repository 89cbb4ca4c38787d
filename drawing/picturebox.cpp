#include "drawing/picturebox.h"

#include <cmath>
#include <initializer_list>

#include <QPainter>
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

// The most memory one surface's image may take: 256 MiB, a device pixel ratio of about 20. A
// larger ratio is a mistaken scale factor rather than a screen, and the window has two surfaces.
constexpr double kMaxImageBytes = 256.0 * 1024 * 1024;

// The size of a surface's image in device pixels at the ratio.
QSize DeviceSize(qreal ratio) {
    const double width = std::ceil(PictureBox::kWidth * ratio);
    const double height = std::ceil(PictureBox::kHeight * ratio);
    if (!(std::isfinite(ratio) && ratio > 0.0 && width * height * 4 <= kMaxImageBytes)) {
        Raise(ErrorKind::SurfaceFailure);
    }
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

// The format QPainter draws on natively, so that neither drawing nor copying between surfaces
// ever converts pixels.
constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

}  // namespace

PictureBox::PictureBox(qreal devicePixelRatio) : ratio_(devicePixelRatio) {}

void PictureBox::setDevicePixelRatio(qreal devicePixelRatio) {
    ratio_ = devicePixelRatio;
}

void PictureBox::setFont(const QFont& font) {
    font_ = font;
}

void PictureBox::setForeColor(const QColor& color) {
    foreColor_ = color;
}

void PictureBox::setBackColor(const QColor& color) {
    backColor_ = color;
}

QImage& PictureBox::Canvas() {
    if (image_.devicePixelRatio() != ratio_) {
        image_ = QImage();  // one of another density is not drawn on
    }
    Image();
    image_.detach();
    return image_;
}

void PictureBox::Cls() {
    if (image_.isDetached() && image_.devicePixelRatio() == ratio_) {
        image_.fill(backColor_);
        return;
    }
    // Shared pixels stay with the other surface, and ones of another density are dropped; fresh
    // ones are made in the background colour.
    image_ = QImage();
    Image();
}

void PictureBox::Circle(float x, float y, float radius, PackedColor color) {
    RequireFinite({x, y, radius});
    if (radius < 0.0f) {
        Raise(ErrorKind::SurfaceFailure);
    }
    raster::StrokeCircle(Canvas(), ToDevice(x, ratio_), ToDevice(y, ratio_), radius * ratio_,
                         drawWidth_ * ratio_, ToQColor(color).rgb());
}

void PictureBox::Line(float x1, float y1, float x2, float y2, PackedColor color) {
    RequireFinite({x1, y1, x2, y2});
    raster::StrokeLine(Canvas(), ToDevice(x1, ratio_), ToDevice(y1, ratio_), ToDevice(x2, ratio_),
                       ToDevice(y2, ratio_), drawWidth_ * ratio_, ToQColor(color).rgb());
}

void PictureBox::PSet(float x, float y, PackedColor color) {
    RequireFinite({x, y});
    raster::FillDisc(Canvas(), ToDevice(x, ratio_), ToDevice(y, ratio_), drawWidth_ * ratio_ / 2.0,
                     ToQColor(color).rgb());
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
    QPainter painter(&Canvas());
    painter.setFont(font_);
    painter.setPen(foreColor_);
    painter.drawText(QRectF(currentX_, currentY_, kWidth, kHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

const QImage& PictureBox::Image() const {
    if (image_.isNull()) {
        image_ = QImage(DeviceSize(ratio_), kFormat);
        if (image_.isNull()) {
            Raise(ErrorKind::SurfaceFailure);
        }
        image_.setDevicePixelRatio(ratio_);
        image_.fill(backColor_);
    }
    return image_;
}

void PictureBox::PaintPicture(const QImage& picture, float x1, float y1, std::int16_t width1,
                              std::int16_t height1, std::int16_t x2, std::int16_t y2,
                              std::int16_t width2, std::int16_t height2) {
    const bool wholeFrame = x1 == 0.0f && y1 == 0.0f && x2 == 0 && y2 == 0 && width1 == kWidth &&
                            width2 == kWidth && height1 == kHeight && height2 == kHeight;
    if (!wholeFrame || picture.size() != DeviceSize(ratio_) || picture.format() != kFormat ||
        picture.devicePixelRatio() != ratio_) {
        Raise(ErrorKind::SurfaceFailure);
    }
    image_ = picture;  // shared until either surface draws again
}

}  // namespace circles
