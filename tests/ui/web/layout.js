// Where the window's controls are on the page, from the window's own layout (ui/layout.json),
// for the page's tests and benchmarks: the window lies in the page's corner in its own
// arrangement, its drawing area inside the picture box's border.
"use strict";

const layout = require("../../../ui/layout.json");

const { size: [WIDTH, HEIGHT], picture, scrollBars } = layout.arrangements.window;
const [AREA_LEFT, AREA_TOP] = picture.map((at) => at + layout.pictureBorder);

module.exports = {
  WIDTH, HEIGHT, BORDER: layout.pictureBorder,
  // The page's point at x, y of the drawing area.
  onPicture: (x, y) => [AREA_LEFT + x, AREA_TOP + y],
  // The page's point x px from the left end of bar 0 (the blue one) or 1, halfway down it.
  onBar: (index, x) => [scrollBars[index][0] + x, scrollBars[index][1] + Math.floor(scrollBars[index][3] / 2)],
  // The width of each bar.
  BAR_WIDTH: scrollBars[0][2],
  // A point of the blue centre's dot at start-up, a ring of radius 3 about (100, 100).
  BLUE_DOT: [103, 100],
};
