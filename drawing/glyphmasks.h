#pragma once

// Label text drawn from cached glyph coverage masks instead of through QPainter's text
// pipeline, for the few characters that coordinate labels are made of.

#include <array>
#include <cstdint>
#include <vector>

#include <QFont>
#include <QImage>
#include <QRgb>
#include <QString>

#include "drawing/touchedblocks.h"

namespace circles {

/// Coverage masks of the characters of number labels ("0" to "9", "(", ")", ",", ".", "-",
/// "+", "E") in one font, rendered once by QPainter at each of the horizontal sub-pixel
/// positions that QPainter's own glyph cache uses, and blended the way it blends them.
/// A label drawn from them matches the same text drawn by QPainter: the same glyphs at the
/// same advances, the baseline on the same device row.
class GlyphMasks {
public:
    /// Forgets every mask; the next texts are drawn in `font` on `device`, which must outlive
    /// this object (it gives the resolution the font is measured at).
    void Reset(const QFont& font, const QImage& device);

    /// Draws `text` with its top-left corner at the logical position (x, y), in `color`
    /// (opaque), and marks what it covers in `touched`. Returns false, and draws nothing,
    /// when a character is not one of the label characters or the font kerns two of them.
    bool Draw(QImage& image, TouchedBlocks& touched, const QString& text, double x, double y,
              QRgb color);

private:
    static constexpr int kPhases = 4;  // sub-pixel positions per pixel
    static constexpr char16_t kCharacters[] = u"0123456789()+,-.E";
    static constexpr int kCount = static_cast<int>(std::size(kCharacters)) - 1;

    struct Mask {
        int left = 0;  // from the pen's device column
        int top = 0;   // from the baseline's device row
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> coverage;  // row by row, 0 to 255
    };
    struct Glyph {
        bool ready = false;
        double advance = 0.0;  // logical pixels
        std::array<Mask, kPhases> masks;
    };
    enum class Pair : std::uint8_t { kUnknown, kPlain, kKerned };

    static int IndexOf(QChar c);
    Glyph& Prepare(int index);
    bool Plain(int first, int second);

    QFont font_;
    const QImage* device_ = nullptr;  // the surface's image, for its resolution
    qreal ratio_ = 1.0;
    double ascent_ = 0.0;
    std::array<Glyph, kCount> glyphs_{};
    std::array<Pair, std::size_t{kCount} * kCount> pairs_{};
};

}  // namespace circles
