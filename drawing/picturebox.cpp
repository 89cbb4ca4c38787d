#include "drawing/picturebox.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <vector>

#include <QFontMetricsF>
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

// The surfaces alive in the process, so that a copy can tell which surface's image it was
// given. Never destroyed: surfaces may outlive static destruction.
struct Surfaces {
    std::mutex mutex;
    std::vector<const PictureBox*> boxes;
};

Surfaces& LiveSurfaces() {
    static auto* const surfaces = new Surfaces;
    return *surfaces;
}

std::atomic<std::uint64_t> nextSurfaceId{1};

// A device coordinate, clamped to a range that holds the whole image and fits an int.
int ClampedDevice(double coordinate) {
    return static_cast<int>(std::clamp(coordinate, -1e6, 1e6));
}

}  // namespace

PictureBox::PictureBox(qreal devicePixelRatio)
    : touched_(DeviceLength(kWidth, devicePixelRatio), DeviceLength(kHeight, devicePixelRatio)),
      previousTouched_(touched_.width(), touched_.height()),
      id_(nextSurfaceId++) {
    const int deviceWidth = touched_.width();
    const int deviceHeight = touched_.height();
    // One format for every surface, the one QPainter draws on natively, so that neither
    // drawing nor copying between surfaces ever converts pixels.
    image_ = QImage(deviceWidth, deviceHeight, QImage::Format_ARGB32_Premultiplied);
    if (image_.isNull()) {
        Raise(ErrorKind::SurfaceFailure);
    }
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(backColor_);
    clearPixel_ = *reinterpret_cast<const std::uint32_t*>(image_.constBits());
    // The painter stays open for the surface's whole life: opening one per operation would
    // cost more than most of the operations themselves.
    if (!painter_.begin(&image_)) {
        Raise(ErrorKind::SurfaceFailure);
    }
    // The painter draws only text and scaled copies; shapes go straight into the image.
    previousTouched_.MarkAll();
    Surfaces& surfaces = LiveSurfaces();
    const std::lock_guard lock(surfaces.mutex);
    surfaces.boxes.push_back(this);
}

PictureBox::~PictureBox() {
    Surfaces& surfaces = LiveSurfaces();
    const std::lock_guard lock(surfaces.mutex);
    std::erase(surfaces.boxes, this);
}

void PictureBox::setFont(const QFont& font) {
    painter_.setFont(font);
    glyphs_.Reset(painter_.font(), image_);
    // Glyphs may overhang their advances by the bearings, and accents may rise above the
    // ascent; a whole line height on every side holds whatever the font draws.
    const QFontMetricsF metrics(painter_.font(), &image_);
    textMargin_ = metrics.height() -
                  std::min({metrics.minLeftBearing(), metrics.minRightBearing(), qreal{0}});
}

void PictureBox::setForeColor(const QColor& color) {
    textPen_ = QPen(color);
}

void PictureBox::setBackColor(const QColor& color) {
    backColor_ = color;
}

void PictureBox::Cls() {
    copiedFrom_ = 0;
    ++generation_;
    const QRgb background = qPremultiply(backColor_.rgba());
    if (background != clearPixel_) {
        image_.fill(backColor_);
        clearPixel_ = *reinterpret_cast<const std::uint32_t*>(image_.constBits());
        previousTouched_.MarkAll();
    } else {
        previousTouched_.Assign(touched_);
        // Only the touched blocks can differ from the background.
        auto* const bits = reinterpret_cast<std::uint32_t*>(image_.bits());
        const qsizetype stride = image_.bytesPerLine() / 4;
        touched_.ForEachRun([&](int y, int left, int right) {
            std::fill(bits + y * stride + left, bits + y * stride + right, clearPixel_);
        });
    }
    touched_.Clear();
}

void PictureBox::Circle(float x, float y, float radius, PackedColor color) {
    copiedFrom_ = 0;
    RequireFinite({x, y, radius});
    if (radius < 0.0f) {
        Raise(ErrorKind::SurfaceFailure);
    }
    const qreal ratio = image_.devicePixelRatio();
    raster::StrokeCircle(image_, touched_, ToDevice(x, ratio), ToDevice(y, ratio), radius * ratio,
                         drawWidth_ * ratio, ToQColor(color).rgb());
}

void PictureBox::Line(float x1, float y1, float x2, float y2, PackedColor color) {
    copiedFrom_ = 0;
    RequireFinite({x1, y1, x2, y2});
    const qreal ratio = image_.devicePixelRatio();
    raster::StrokeLine(image_, touched_, ToDevice(x1, ratio), ToDevice(y1, ratio),
                       ToDevice(x2, ratio), ToDevice(y2, ratio), drawWidth_ * ratio,
                       ToQColor(color).rgb());
}

void PictureBox::PSet(float x, float y, PackedColor color) {
    copiedFrom_ = 0;
    RequireFinite({x, y});
    const qreal ratio = image_.devicePixelRatio();
    if (drawWidth_ > 1) {
        raster::FillDisc(image_, touched_, ToDevice(x, ratio), ToDevice(y, ratio),
                         drawWidth_ * ratio / 2.0, ToQColor(color).rgb());
        return;
    }
    // The one pixel whose centre is nearest to the point, if it lies on the surface.
    const double column = std::floor(x + kPixelCentre);
    const double row = std::floor(y + kPixelCentre);
    if (column < 0.0 || column >= kWidth || row < 0.0 || row >= kHeight) {
        return;
    }
    raster::FillPixels(image_, touched_, static_cast<int>(std::round(column * ratio)),
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

std::int16_t PictureBox::DrawWidth() const {
    return drawWidth_;
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
    copiedFrom_ = 0;
    if (glyphs_.Draw(image_, touched_, text, currentX_, currentY_, textPen_.color().rgba())) {
        return;
    }
    // Any other text (a character outside the labels' alphabet, a translucent colour) is
    // rare enough to be laid out on the spot.
    QStaticText layout(text);
    layout.setTextFormat(Qt::PlainText);
    painter_.setPen(textPen_);
    painter_.drawStaticText(QPointF(currentX_, currentY_), layout);
    MarkText(layout);
}

// Marks the text's layout box at the current position, widened by the font's margin.
void PictureBox::MarkText(const QStaticText& layout) {
    const QSizeF size = layout.size();
    MarkLogicalRect(QRectF(currentX_ - textMargin_, currentY_ - textMargin_,
                           size.width() + 2 * textMargin_, size.height() + 2 * textMargin_));
}

// Marks the device pixels a logical rectangle reaches, and one more on every side for
// anti-aliasing and rounding.
void PictureBox::MarkLogicalRect(const QRectF& rect) {
    const qreal ratio = image_.devicePixelRatio();
    const QRectF area = rect.normalized();
    touched_.MarkRect(ClampedDevice(std::floor(area.left() * ratio)) - 1,
                      ClampedDevice(std::floor(area.top() * ratio)) - 1,
                      ClampedDevice(std::ceil(area.right() * ratio)) + 1,
                      ClampedDevice(std::ceil(area.bottom() * ratio)) + 1);
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
    const bool wholeFrame = x1 == 0.0f && y1 == 0.0f && x2 == 0 && y2 == 0 && width1 == kWidth &&
                            width2 == kWidth && height1 == kHeight && height2 == kHeight;
    if (wholeFrame && picture.format() == image_.format() && picture.size() == image_.size() &&
        picture.devicePixelRatio() == image_.devicePixelRatio()) {
        if (picture.constBits() != image_.constBits()) {
            CopyFrame(picture);
        }
        return;
    }
    copiedFrom_ = 0;
    // The source rectangle is in the picture's logical pixels; drawImage takes its device pixels.
    const qreal ratio = picture.devicePixelRatio();
    painter_.save();
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.drawImage(QRectF(x1, y1, width1, height1), picture,
                       QRectF(x2 * ratio, y2 * ratio, width2 * ratio, height2 * ratio));
    painter_.restore();
    MarkLogicalRect(QRectF(x1, y1, width1, height1));
}

const PictureBox* PictureBox::Owner(const QImage& picture) {
    Surfaces& surfaces = LiveSurfaces();
    const std::lock_guard lock(surfaces.mutex);
    for (const PictureBox* box : surfaces.boxes) {
        if (&box->image_ == &picture) {
            return box;
        }
    }
    return nullptr;
}

// Copies a whole frame of this surface's size and format. bits() does not detach here: an
// image with an open painter is never shared (copies of it are deep).
void PictureBox::CopyFrame(const QImage& picture) {
    auto* const to = reinterpret_cast<std::uint32_t*>(image_.bits());
    const auto* const from = reinterpret_cast<const std::uint32_t*>(picture.constBits());
    const qsizetype stride = image_.bytesPerLine() / 4;
    const PictureBox* const source = Owner(picture);
    // This image still holds the source's frame of copiedGeneration_, unchanged. Since then
    // the source has changed only inside its touched blocks, and, if it has been cleared once
    // since, inside the blocks it had touched before: outside those, the old frame and the
    // new one both hold the same background.
    const bool sameFrame = source != nullptr && copiedFrom_ == source->id_;
    if (sameFrame && source->generation_ == copiedGeneration_) {
        source->touched_.ForEachRun([&](int y, int left, int right) {
            std::copy(from + y * stride + left, from + y * stride + right, to + y * stride + left);
        });
    } else if (sameFrame && source->generation_ == copiedGeneration_ + 1) {
        TouchedBlocks::ForEachRunOfEither(
            source->touched_, source->previousTouched_, [&](int y, int left, int right) {
                std::copy(from + y * stride + left, from + y * stride + right,
                          to + y * stride + left);
            });
    } else {
        std::memcpy(to, from, static_cast<std::size_t>(image_.sizeInBytes()));
    }
    // Outside the source's touched blocks this image now holds the source's background.
    if (source != nullptr && source->clearPixel_ == clearPixel_) {
        touched_.Assign(source->touched_);
    } else {
        touched_.MarkAll();
    }
    copiedFrom_ = source != nullptr ? source->id_ : 0;
    copiedGeneration_ = source != nullptr ? source->generation_ : 0;
    // Frames copied from this surface before cannot be brought up to date block by block.
    generation_ += 2;
}

}  // namespace circles
