#pragma once

// The picture in words, for those who cannot see it.

#include <QString>

#include "scene/intersection.h"
#include "scene/scene.h"

namespace circles {

/// What assistive technology reads out for the picture of the scene whose intersection gave
/// crossing: each circle's centre and radius, then whether and where the circles cross, touch
/// or coincide, with the coordinates the picture labels them with, and last how to move the
/// centres without a mouse: by keys, and by touch. A coordinate too large for its label raises the
/// overflow error, as drawing it does.
///
///     DescribePicture(scene, RefreshImage(scene, Picture2, Picture1))
QString DescribePicture(const Scene& scene, const CrossPoints& crossing);

}  // namespace circles
