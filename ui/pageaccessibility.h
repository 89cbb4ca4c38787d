#pragma once

#include <QWidget>

#include "ui/eventhost.h"

namespace circles {

/// Where the window is drawn on a web page, which a screen reader cannot read, mirrors what Qt's
/// accessible interfaces say of the window's focusable controls into invisible elements of the
/// page, each over the control it stands for: the picture as an image named as on the desktop
/// and described in the words of its description, each scroll bar as a slider with its name,
/// range and value. The elements follow the controls both ways: the program's changes reach
/// them, and the focus, keys and values a screen reader gives them reach the program as the
/// controls' own would. Once the picture has changed and rested, its new description is
/// announced, politely, once. Errors on the way are reported to host.
///
/// Elsewhere it does nothing: the desktop's own bridge reads the same interfaces.
void MirrorAccessibleTreeToPage(QWidget& window, EventHost& host);

}  // namespace circles
