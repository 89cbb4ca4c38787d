#pragma once

#include <QFont>

namespace circles {

/// The window's typeface: a Japanese proportional gothic.
inline constexpr char kWindowFace[] = "ＭＳ Ｐゴシック";

/// The window's face at the given size in points, normal weight, upright. Where the face is
/// missing (everywhere but Japanese Windows), the first call names the Japanese faces to use
/// instead: without them fontconfig or Windows answers a Latin-only face such as DejaVu Sans
/// or Segoe UI, and the digits on screen would come out in it.
QFont WindowFont(int pointSize);

}  // namespace circles
