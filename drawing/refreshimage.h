#pragma once

// The drawing of a whole scene: circles, centre labels and the intersection points.

#include "drawing/picturebox.h"
#include "scene/intersection.h"
#include "scene/scene.h"

namespace circles {

/// Draws the whole picture of the scene on the hidden surface Picture2, from a cleared image:
/// for each circle its centre dot, its outline and its centre label, then for each point where
/// the circles cross a line from each centre, a thick dot and its label. Ends by copying
/// Picture2's image onto Picture1 in one operation, so that Picture1 only ever shows finished
/// pictures, and returns the points the picture shows.
///
/// Any fault (a label position or coordinate out of range, a failing surface operation) raises
/// RuntimeError at the step where it is met. What was drawn on Picture2 until then stays there;
/// Picture1 keeps its previous picture.
CrossPoints RefreshImage(const Scene& scene, PictureBox& Picture2, PictureBox& Picture1);

}  // namespace circles
