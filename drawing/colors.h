#pragma once

// The colours of the scene and the one conversion from a packed colour to a QColor.

#include <cstdint>

#include <QColor>

namespace circles {

/// A colour packed into a number with red in the low byte, green in the middle byte and blue
/// in the high byte: 0xFF0000 is blue, 0x0000FF is red.
using PackedColor = std::uint32_t;

inline constexpr PackedColor kBlue = 0xFF0000;       ///< centre dot of circle 0
inline constexpr PackedColor kLightBlue = 0xFF7F7F;  ///< circle 0
inline constexpr PackedColor kRed = 0x0000FF;        ///< centre dot of circle 1
inline constexpr PackedColor kLightRed = 0x7F7FFF;   ///< circle 1
inline constexpr PackedColor kBlack = 0x000000;      ///< lines and intersection dots

/// The opaque QColor of a packed colour; bits above the low 24 are ignored.
///
///     ToQColor(kBlue) == QColor(0, 0, 255)
inline QColor ToQColor(PackedColor color) {
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

}  // namespace circles
