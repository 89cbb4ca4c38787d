#pragma once

#include <memory>

#include <QApplication>
#include <QRect>
#include <QWidget>

namespace circles {

/// The application, connected to the window system. Where none can be reached (no display, a
/// display that is gone, a platform plugin that fails), Qt would print a few English lines and
/// abort with a core dump; instead the program says so in one Japanese line on stderr and ends
/// with status 1. What Qt says while it tries its platforms (one that is missing before one
/// that works, say) is not for the user, and is not printed.
std::unique_ptr<QApplication> ConnectToWindowSystem(int& argc, char** argv);

/// Where a window whose client area asks for `window` opens on a screen whose free area (the
/// screen less its panels and docks) is `free`: at its own place where that fits with room for
/// a window manager's frame around it; elsewhere (a small or strongly scaled screen) in the
/// middle of the free area, moved right and down as far as it takes to keep the frame's top
/// and left edges on it.
///
///     PlaceOnScreen({91, 102, 634, 439}, {0, 0, 640, 480})  // {8, 32, 634, 439}
QRect PlaceOnScreen(QRect window, QRect free);

/// The free area of the screen that holds the middle of `window`, or of the primary screen
/// where none does.
QRect FreeAreaAround(QRect window);

/// Shows the window at its own size. Where the platform is a browser page, which would fill the
/// page with the window and give it a title bar whose close button leaves the page empty, the
/// window is shown without a frame in the page's corner: the page is its frame.
void ShowWindow(QWidget& window);

/// Ends the program, with status 0, when the window system destroys the window at someone
/// else's request (a tool or a crashed window manager) rather than the program closing it:
/// without its only window the program would otherwise live on with nothing to show.
void EndWhenDestroyedFromOutside(QWidget& window);

}  // namespace circles
