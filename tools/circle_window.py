"""Where things are in the program's window, and how to read the picture off a screenshot.

Shared by the end-to-end tests, the screenshot tool and the start-up benchmark.

Circles and lines are drawn anti-aliased, so a 1 px ring on whole-pixel coordinates lies half on
each of two pixels. Rather than expecting exact colours at exact pixels, the readers below
weigh every pixel by how strongly it shows a colour family (blue, red or black over white) and
take weighted centroids. Measuring a radius as (ring crossing - centre dot), both found the same
way, cancels whatever half-pixel convention the renderer uses.
"""
from __future__ import annotations

import math
from dataclasses import dataclass
from typing import Callable, Optional

from xvfb_session import Image

TITLE = "円の交点算出サンプル"

# The client area asks for this place and size; with no window manager it gets exactly that.
CLIENT_LEFT, CLIENT_TOP = 91, 102
CLIENT_WIDTH, CLIENT_HEIGHT = 634, 439

# The drawing area of Picture1: its outer edge at (8, 16) in the client area, a 2 px border.
DRAWING_IN_CLIENT = (10, 18)
DRAWING_SIZE = 400

# Scroll bars, in client coordinates: left, top, width, height. Index 0 is blue, 1 red.
SCROLL_BARS = ((424, 120, 201, 17), (424, 176, 201, 17))

START_CENTRES = ((100.0, 100.0), (300.0, 300.0))
START_RADII = (100, 50)

# Pixel weight functions: how strongly a pixel shows a colour drawn over white, 0 to 1.
Weight = Callable[[tuple[int, int, int]], float]

# Anti-aliasing blends each colour with white, which keeps its two weaker channels equal.
_CHANNEL_SLACK = 24


def blue_weight(p: tuple[int, int, int]) -> float:
    """Blue (0,0,255) and light blue (127,127,255) at any coverage; pure blue scores 1."""
    r, g, b = p
    if b < 200 or abs(r - g) > _CHANNEL_SLACK:
        return 0.0
    return max(0.0, (b - max(r, g)) / 255)


def red_weight(p: tuple[int, int, int]) -> float:
    """Red (255,0,0) and light red (255,127,127) at any coverage; pure red scores 1."""
    r, g, b = p
    if r < 200 or abs(g - b) > _CHANNEL_SLACK:
        return 0.0
    return max(0.0, (r - max(g, b)) / 255)


def dark_weight(p: tuple[int, int, int]) -> float:
    """Black and grey (lines, intersection dots, text); black scores 1."""
    if max(p) - min(p) > _CHANNEL_SLACK:
        return 0.0
    return (255 - max(p)) / 255


FAMILY: dict[str, Weight] = {"blue": blue_weight, "red": red_weight, "dark": dark_weight}


@dataclass
class Drawing:
    """Picture1's drawing area inside a screenshot. Coordinates are drawing coordinates:
    pixel (x, y) covers [x, x + 1) x [y, y + 1), so its centre is (x + 0.5, y + 0.5)."""

    image: Image
    left: int  # screen position of drawing pixel (0, 0)
    top: int

    @classmethod
    def of_screen(cls, image: Image, client_left: int = CLIENT_LEFT,
                  client_top: int = CLIENT_TOP) -> "Drawing":
        return cls(image, client_left + DRAWING_IN_CLIENT[0], client_top + DRAWING_IN_CLIENT[1])

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        return self.image.pixel(self.left + x, self.top + y)

    def centroid(self, weight: Weight, x0: int, y0: int, x1: int, y1: int
                 ) -> tuple[float, float, float]:
        """Weighted centre (x, y) and total weight of the pixels in [x0, x1] x [y0, y1],
        clipped to the drawing area."""
        total = sx = sy = 0.0
        for y in range(max(0, y0), min(DRAWING_SIZE - 1, y1) + 1):
            for x in range(max(0, x0), min(DRAWING_SIZE - 1, x1) + 1):
                w = weight(self.pixel(x, y))
                if w:
                    total += w
                    sx += w * (x + 0.5)
                    sy += w * (y + 0.5)
        if total == 0:
            return math.nan, math.nan, 0.0
        return sx / total, sy / total, total

    def weight_in(self, weight: Weight, x0: int, y0: int, x1: int, y1: int) -> float:
        return self.centroid(weight, x0, y0, x1, y1)[2]

    def centre_dot(self, family: str, x: float, y: float, reach: int = 6
                   ) -> Optional[tuple[float, float]]:
        """Where the centre dot (a ring of radius 3) of the given colour lies, looked for
        within `reach` pixels of (x, y); None if no dot is there. The circle around it must
        not pass through the search box.

        The centre comes from a least-squares circle through the dot's pixels rather than
        from their centroid: lines drawn later from the centre cover parts of the ring, and
        a ring with a gap has its centroid shifted away from the gap but still fits a circle
        about the right centre."""
        weight = FAMILY[family]
        samples = []
        x0, y0 = math.floor(x) - reach, math.floor(y) - reach
        for py in range(max(0, y0), min(DRAWING_SIZE, y0 + 2 * reach + 1)):
            for px in range(max(0, x0), min(DRAWING_SIZE, x0 + 2 * reach + 1)):
                w = weight(self.pixel(px, py))
                if w:
                    samples.append((px + 0.5, py + 0.5, w))
        # A full ring of radius 3 weighs about its circumference (19 px of full colour).
        if sum(w for _, _, w in samples) < 8:
            return None
        fit = _fit_circle(samples)
        if fit is None or not 1.5 <= fit[2] <= 5.0:
            return None
        return fit[0], fit[1]

    def ring_crossing(self, family: str, centre: tuple[float, float], radius: float,
                      direction: tuple[int, int], reach: int = 5) -> Optional[float]:
        """Distance from `centre` to where the circle of that colour crosses the axis line
        through `centre` in `direction` (one of (1, 0), (-1, 0), (0, 1), (0, -1)), looked for
        within `reach` pixels of `radius`."""
        dx, dy = direction
        cx, cy = centre
        # The two pixel rows (or columns) whose common edge is nearest to the centre line.
        if dy == 0:
            row = math.floor(cy - 0.5)
            near = cx + dx * radius
            x0, x1 = math.floor(near) - reach, math.floor(near) + reach
            found, _, total = self.centroid(FAMILY[family], x0, row, x1, row + 1)
            along = (found - cx) * dx
        else:
            column = math.floor(cx - 0.5)
            near = cy + dy * radius
            y0, y1 = math.floor(near) - reach, math.floor(near) + reach
            _, found, total = self.centroid(FAMILY[family], column, y0, column + 1, y1)
            along = (found - cy) * dy
        return along if total >= 0.3 else None

    def radius(self, family: str, centre: tuple[float, float], expected: float,
               direction: tuple[int, int] = (1, 0)) -> Optional[float]:
        """The radius of the circle of that colour, measured from its centre dot (found near
        `centre`) to its ring (looked for near `expected`)."""
        dot = self.centre_dot(family, *centre)
        if dot is None:
            return None
        return self.ring_crossing(family, dot, expected, direction)


def _fit_circle(samples: list[tuple[float, float, float]]
                ) -> Optional[tuple[float, float, float]]:
    """Centre x, y and radius of the circle x^2 + y^2 + D x + E y + F = 0 that fits the
    weighted points best in the least-squares sense (Kasa's method); None if they are all on
    one line. Coordinates are taken relative to their mean to keep the sums well scaled."""
    total = sum(w for _, _, w in samples)
    mx = sum(w * x for x, _, w in samples) / total
    my = sum(w * y for _, y, w in samples) / total
    a = [[0.0] * 3 for _ in range(3)]
    b = [0.0] * 3
    for x, y, w in samples:
        row = (x - mx, y - my, 1.0)
        rhs = -((x - mx) ** 2 + (y - my) ** 2)
        for i in range(3):
            b[i] += w * row[i] * rhs
            for j in range(3):
                a[i][j] += w * row[i] * row[j]
    solution = _solve3(a, b)
    if solution is None:
        return None
    d, e, f = solution
    cx, cy = -d / 2, -e / 2
    squared = cx * cx + cy * cy - f
    if squared <= 0:
        return None
    return cx + mx, cy + my, math.sqrt(squared)


def _solve3(a: list[list[float]], b: list[float]) -> Optional[list[float]]:
    """Solves the 3 x 3 system a v = b by Cramer's rule; None if it is singular."""
    def det(m: list[list[float]]) -> float:
        return (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]))
    whole = det(a)
    if abs(whole) < 1e-9:
        return None
    result = []
    for column in range(3):
        m = [row[:] for row in a]
        for i in range(3):
            m[i][column] = b[i]
        result.append(det(m) / whole)
    return result


# ---------------------------------------------------------------------------------------------
# Whole-picture checks


def label_box(x: float, y: float) -> tuple[int, int, int, int]:
    """A box generously around the coordinate label of a point at (x, y): the label's
    top-left corner is at (x - 20, y + 10), one line of 9 pt text."""
    return math.floor(x) - 22, math.floor(y) + 8, math.floor(x) + 75, math.floor(y) + 30


def circle_problems(d: Drawing, family: str, centre: tuple[float, float], radius: float,
                    tolerance: float = 0.5) -> list[str]:
    """Why the drawing does not show a circle of this colour, centre and radius (empty when it
    does). The ring is measured to the right of the centre, or to the left where that side
    leaves the drawing area."""
    dot = d.centre_dot(family, *centre)
    if dot is None:
        return [f"no {family} centre dot near {centre}"]
    problems = []
    if abs(dot[0] - centre[0]) > 1.0 or abs(dot[1] - centre[1]) > 1.0:
        problems.append(f"{family} centre dot at ({dot[0]:.2f}, {dot[1]:.2f}), "
                        f"expected {centre}")
    direction = (1, 0) if centre[0] + radius < DRAWING_SIZE - 6 else (-1, 0)
    found = d.ring_crossing(family, dot, radius, direction)
    if found is None:
        problems.append(f"no {family} ring near radius {radius} of {centre}")
    elif abs(found - radius) > tolerance:
        problems.append(f"{family} circle has radius {found:.2f}, expected {radius}")
    return problems


def background_problems(d: Drawing) -> list[str]:
    """Why the start-up picture's background is not white at a few places that nothing
    covers (nor the window's grey, nor the black of an empty screen)."""
    return [f"drawing pixel ({x}, {y}) is {d.pixel(x, y)}, not white"
            for x, y in ((200, 30), (30, 380), (380, 30), (250, 200))
            if d.pixel(x, y) != (255, 255, 255)]


def start_picture_problems(d: Drawing) -> list[str]:
    """Why the drawing is not (yet) the start-up picture; empty when it is."""
    problems = []
    for family, centre, radius in (("blue", START_CENTRES[0], START_RADII[0]),
                                   ("red", START_CENTRES[1], START_RADII[1])):
        problems += circle_problems(d, family, centre, radius)
    return problems + background_problems(d)


def dark_outside_labels(d: Drawing, labelled: list[tuple[float, float]],
                        threshold: float = 0.15) -> list[tuple[int, int]]:
    """Grey or black pixels (lines, dots, text, a stray border) of the drawing outside the
    label boxes of the given points; none when the picture has no intersection."""
    boxes = [label_box(x, y) for x, y in labelled]
    found = []
    for y in range(DRAWING_SIZE):
        for x in range(DRAWING_SIZE):
            if dark_weight(d.pixel(x, y)) >= threshold and not any(
                    x0 <= x <= x1 and y0 <= y <= y1 for x0, y0, x1, y1 in boxes):
                found.append((x, y))
    return found
