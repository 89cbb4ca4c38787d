#pragma once

#include <QSize>

#include "ui/form1.h"
#include "ui/layout.h"

namespace circles {

/// How a web page shows the window on a screen of a given size in CSS pixels: the arrangement,
/// and the zoom at which the page shows it.
struct PageFit {
    const layout::Arrangement* arrangement;
    double zoom;
};

/// The window in its own arrangement at its own size where it fits on the screen; elsewhere in
/// the arrangement made for the screen's shape (upright where it is taller than wide, sideways
/// elsewhere), zoomed to the largest size at which all of it shows.
///
///     FitToScreen({390, 844})  // {&layout::kUpright, 390.0 / 420}
PageFit FitToScreen(QSize screen);

/// On a web page, arranges the window and zooms the page as FitToScreen says for the screen it
/// is shown on, and again whenever the screen turns; the page's zoom is the browser's own, so Qt
/// draws the window at the zoomed density and maps the pointer through it. Elsewhere it does
/// nothing: a desktop window keeps its own arrangement.
void FitWindowToPage(Form1& form);

}  // namespace circles
