#pragma once

#include <cstdint>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include "drawing/colors.h"

namespace circles {

/// A picture box's drawing surface: a 400 x 400 persistent image (logical pixels, origin at
/// the top-left corner, X to the right, Y downwards) with a current text position, a pen
/// width, a font and foreground and background colours. What is drawn stays in the image
/// until the next Cls, whether or not any widget shows it.
///
/// A whole frame copied from another surface shares that surface's pixels until either of
/// the two draws again (copy on write): a copy costs nothing, and the surface that clears
/// next takes fresh pixels rather than copying ones it is about to clear. A surface makes its
/// image, in the background colour, when it is first used, so one that only ever receives
/// copies never paints its own.
///
/// Positions and lengths are single-precision numbers; callers round their doubles with
/// circles::ToSingle. A failing operation raises RuntimeError(ErrorKind::SurfaceFailure).
class PictureBox {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 400;

    /// A white surface of kWidth x kHeight logical pixels. On a high-density screen pass its
    /// device pixel ratio: the image then holds ratio-times as many device pixels each way,
    /// while every coordinate stays in logical pixels. A ratio whose image would be unusable
    /// (not a positive number, or more than 256 MiB) raises the surface error when the image
    /// is first made.
    explicit PictureBox(qreal devicePixelRatio = 1.0);

    /// Follows a screen of another density. The image already there stays, at its own ratio,
    /// until the surface next clears or receives a frame: a window moved to another screen
    /// goes on showing its last picture until a new one is finished.
    void setDevicePixelRatio(qreal devicePixelRatio);
    qreal devicePixelRatio() const { return ratio_; }

    // Settings of the window layout.
    void setFont(const QFont& font);
    void setForeColor(const QColor& color);
    void setBackColor(const QColor& color);

    /// Clears the whole image to the background colour.
    void Cls();
    /// The outline of a full circle, at the current pen width.
    void Circle(float x, float y, float radius, PackedColor color);
    /// A straight segment from (x1, y1) to (x2, y2), at the current pen width.
    void Line(float x1, float y1, float x2, float y2, PackedColor color);
    /// One point: a filled disc as wide as the pen, centred on it.
    void PSet(float x, float y, PackedColor color);

    void SetDrawWidth(std::int16_t width);
    void SetCurrentX(float x);
    void SetCurrentY(float y);

    /// Draws text with its top-left corner at the current position, in the surface's font and
    /// foreground colour.
    void Print(const QString& text);

    /// The persistent image in its current state.
    const QImage& Image() const;

    /// Copies the source rectangle (x2, y2, width2, height2) of picture onto the destination
    /// rectangle (x1, y1, width1, height1) of this surface, pixel for pixel. The window copies
    /// only whole frames, between surfaces of one density, and that is all a surface does:
    /// any other copy raises the surface error.
    void PaintPicture(const QImage& picture, float x1, float y1, std::int16_t width1,
                      std::int16_t height1, std::int16_t x2, std::int16_t y2, std::int16_t width2,
                      std::int16_t height2);

private:
    // The image to draw on: its own pixels, not ones it shares with another surface.
    QImage& Canvas();

    qreal ratio_ = 1.0;
    mutable QImage image_;  // made on first use
    QFont font_;
    QColor foreColor_ = Qt::black;
    QColor backColor_ = Qt::white;
    std::int16_t drawWidth_ = 1;
    float currentX_ = 0.0f;
    float currentY_ = 0.0f;
};

}  // namespace circles
