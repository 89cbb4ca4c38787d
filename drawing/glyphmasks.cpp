#include "drawing/glyphmasks.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPointF>

namespace circles {

namespace {

// Mixes x with weight a and y with weight b, a + b = 255, rounding each channel to nearest:
// the blend with which QPainter puts a glyph's coverage onto a 32-bit image.
inline std::uint32_t Interpolate255(std::uint32_t x, std::uint32_t a, std::uint32_t y,
                                    std::uint32_t b) {
    std::uint32_t t = (x & 0xff00ffu) * a + (y & 0xff00ffu) * b;
    t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
    x = ((x >> 8) & 0xff00ffu) * a + ((y >> 8) & 0xff00ffu) * b;
    x = (x + ((x >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
    return x | t;
}

// Positions this far outside the image draw nothing and would not fit an int.
constexpr double kFarAway = 1e6;

}  // namespace

void GlyphMasks::Reset(const QFont& font, const QImage& device) {
    font_ = font;
    device_ = &device;
    ratio_ = device.devicePixelRatio();
    const QFontMetricsF metrics(font_, &device);
    ascent_ = metrics.ascent();
    glyphs_ = {};
    pairs_ = {};
}

int GlyphMasks::IndexOf(QChar c) {
    for (int i = 0; i < kCount; ++i) {
        if (c.unicode() == kCharacters[i]) {
            return i;
        }
    }
    return -1;
}

// Renders the character's masks on first use. Each mask is the character drawn by QPainter
// in opaque black on a transparent image, the pen at a whole device column plus the phase's
// fraction and the baseline on a whole device row; the alpha left in each pixel is the
// glyph's coverage there.
GlyphMasks::Glyph& GlyphMasks::Prepare(int index) {
    Glyph& glyph = glyphs_[static_cast<std::size_t>(index)];
    if (glyph.ready) {
        return glyph;
    }
    const QString character{QChar(kCharacters[index])};
    const QFontMetricsF metrics(font_, device_);
    glyph.advance = metrics.horizontalAdvance(character);
    const int em = static_cast<int>(std::ceil(metrics.height() * ratio_)) + 2;
    const int originX = em;
    const int baseline = 2 * em;
    QImage scratch(4 * em, 4 * em, QImage::Format_ARGB32_Premultiplied);
    scratch.setDevicePixelRatio(ratio_);
    for (int phase = 0; phase < kPhases; ++phase) {
        scratch.fill(Qt::transparent);
        {
            QPainter painter(&scratch);
            painter.setFont(font_);
            painter.setPen(QColor(0, 0, 0));
            painter.drawText(QPointF((originX + static_cast<double>(phase) / kPhases) / ratio_,
                                     baseline / ratio_),
                             character);
        }
        int left = scratch.width(), top = scratch.height(), right = -1, bottom = -1;
        for (int y = 0; y < scratch.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
            for (int x = 0; x < scratch.width(); ++x) {
                if (qAlpha(row[x]) != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        Mask& mask = glyph.masks[static_cast<std::size_t>(phase)];
        if (right < 0) {  // no ink, as for a blank
            mask = Mask{};
            continue;
        }
        mask.left = left - originX;
        mask.top = top - baseline;
        mask.width = right - left + 1;
        mask.height = bottom - top + 1;
        mask.coverage.resize(static_cast<std::size_t>(mask.width) *
                             static_cast<std::size_t>(mask.height));
        for (int y = 0; y < mask.height; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(top + y));
            for (int x = 0; x < mask.width; ++x) {
                mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                              static_cast<std::size_t>(x)] =
                    static_cast<std::uint8_t>(qAlpha(row[left + x]));
            }
        }
    }
    glyph.ready = true;
    return glyph;
}

// Whether the font sets the two characters side by side at their own advances, with no
// kerning between them; asked of the font once per pair.
bool GlyphMasks::Plain(int first, int second) {
    Pair& pair =
        pairs_[static_cast<std::size_t>(first) * kCount + static_cast<std::size_t>(second)];
    if (pair == Pair::kUnknown) {
        const QFontMetricsF metrics(font_, device_);
        const QString both = QString(QChar(kCharacters[first])) + QChar(kCharacters[second]);
        const double apart = Prepare(first).advance + Prepare(second).advance;
        pair = metrics.horizontalAdvance(both) == apart ? Pair::kPlain : Pair::kKerned;
    }
    return pair == Pair::kPlain;
}

bool GlyphMasks::Draw(QImage& image, TouchedBlocks& touched, const QString& text, double x,
                      double y, QRgb color) {
    if (device_ == nullptr || qAlpha(color) != 255) {
        return false;
    }
    int previous = -1;
    for (const QChar c : text) {
        const int index = IndexOf(c);
        if (index < 0 || (previous >= 0 && !Plain(previous, index))) {
            return false;
        }
        Prepare(index);
        previous = index;
    }

    // The baseline lies one ascent below the top, on the nearest device row; each glyph
    // starts at the whole device column left of its pen position, with the mask of the
    // quarter pixel the position falls in.
    const double baseline = std::round((y + ascent_) * ratio_);
    if (!(std::fabs(baseline) < kFarAway)) {
        return true;  // nothing of it is on the image
    }
    auto* const bits = reinterpret_cast<std::uint32_t*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    // QPainter holds positions in 1/64 pixel: the text's origin is snapped, the advances
    // (whole 64ths already) are added to it.
    const double origin = std::round(x * ratio_ * 64.0) / 64.0;
    double advanced = 0.0;
    for (const QChar c : text) {
        const Glyph& glyph = glyphs_[static_cast<std::size_t>(IndexOf(c))];
        const double position = origin + advanced * ratio_;
        advanced += glyph.advance;
        if (!(std::fabs(position) < kFarAway)) {
            continue;
        }
        const double column = std::floor(position);
        const auto phase = std::min(static_cast<int>((position - column) * kPhases), kPhases - 1);
        const Mask& mask = glyph.masks[static_cast<std::size_t>(phase)];
        const int left = static_cast<int>(column) + mask.left;
        const int top = static_cast<int>(baseline) + mask.top;
        const int x0 = std::max(left, 0);
        const int x1 = std::min(left + mask.width, image.width());
        const int y0 = std::max(top, 0);
        const int y1 = std::min(top + mask.height, image.height());
        for (int row = y0; row < y1; ++row) {
            const std::uint8_t* coverage =
                mask.coverage.data() + static_cast<qsizetype>(row - top) * mask.width;
            std::uint32_t* pixels = bits + row * stride;
            for (int col = x0; col < x1; ++col) {
                const std::uint32_t a = coverage[col - left];
                if (a == 255) {
                    pixels[col] = color;
                } else if (a != 0) {
                    pixels[col] = Interpolate255(color, a, pixels[col], 255 - a);
                }
            }
            if (x0 < x1) {
                touched.Mark(row, x0, x1 - 1);
            }
        }
    }
    return true;
}

}  // namespace circles
