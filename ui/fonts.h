#pragma once

#include <QFont>

namespace circles {

/// The window's typeface: a Japanese proportional gothic.
inline constexpr char kWindowFace[] = "ＭＳ Ｐゴシック";

/// Names the Japanese faces to use where the window's face is missing (everywhere but
/// Windows). Without this, fontconfig answers a Latin-only face such as DejaVu Sans, and the
/// digits on screen would come out in it. Call once, before the first font is resolved.
void InstallFaceSubstitutes();

/// The window's face at the given size in points, normal weight, upright.
QFont WindowFont(int pointSize);

}  // namespace circles
