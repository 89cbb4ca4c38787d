#pragma once

namespace circles {

/// Tells Qt how assistive technology is to see the program's own widgets: its window as a
/// window (a plain QWidget would be a "filler"), and a picture box as a graphic whose
/// description it asks of the box when it is read. The window calls it as it is made, before
/// anything can ask; calls after the first do nothing.
void InstallAccessibleInterfaces();

}  // namespace circles
