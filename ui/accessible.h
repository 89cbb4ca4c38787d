#pragma once

namespace circles {

/// Tells Qt how assistive technology is to see the program's own widgets: the window as a
/// window (a plain QWidget would be a "filler"), and a picture box as a graphic whose
/// description it asks of the box when it is read. Called once, before the window is made.
void InstallAccessibleInterfaces();

}  // namespace circles
