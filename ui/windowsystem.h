#pragma once

#include <memory>

#include <QApplication>
#include <QWidget>

namespace circles {

/// The application, connected to the window system. Where none can be reached (no display, a
/// display that is gone, a platform plugin that fails), Qt would print a few English lines and
/// abort with a core dump; instead the program says so in one Japanese line on stderr and ends
/// with status 1. What Qt says while it tries its platforms (one that is missing before one
/// that works, say) is not for the user, and is not printed.
std::unique_ptr<QApplication> ConnectToWindowSystem(int& argc, char** argv);

/// Ends the program, with status 0, when the window system destroys the window at someone
/// else's request (a tool or a crashed window manager) rather than the program closing it:
/// without its only window the program would otherwise live on with nothing to show.
void EndWhenDestroyedFromOutside(QWidget& window);

}  // namespace circles
