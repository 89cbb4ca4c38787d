#!/usr/bin/env python3
"""End-to-end tests of the built program in a real X server.

Each test starts the program afresh in a private Xvfb, drives it with real pointer and key
events (xdotool, through the XTEST extension) and reads the picture back from screenshots
(xwd). It ends the program by closing its window and checks that the program printed nothing.

Usage: window_test.py PATH/TO/circle-intersection [unittest options]
"""
from __future__ import annotations

import math
import random
import sys
import time
import unittest
from pathlib import Path

# The shared helpers live in tools/; a test run leaves no bytecode cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from circle_window import (CLIENT_HEIGHT, CLIENT_LEFT, CLIENT_TOP, CLIENT_WIDTH,  # noqa: E402
                           DRAWING_IN_CLIENT, SCROLL_BARS, START_CENTRES, START_RADII, TITLE,
                           Drawing, background_problems, blue_weight, circle_problems,
                           dark_outside_labels, dark_weight, label_box)
from xvfb_session import EXIT_TIMEOUT, XConnection, XvfbSession, poll  # noqa: E402

PROGRAM = ""

# How long a test waits for the picture to show the effect of its input. A redraw takes
# milliseconds; the bound only matters when the effect never comes.
EFFECT_TIMEOUT = 10.0

BLUE, RED = 0, 1

# The long drag: this many pointer moves in one xdotool run, along a path drawn from a fixed
# seed so that a failure can be replayed. Most legs go at the pace of a mouse that reports a
# thousand times a second, which the program keeps up with here, so that its handler sees
# most of the moves one by one (over two thousand of them); the other legs come as fast as
# xdotool sends them, and Qt merges them. The drag takes about three seconds.
FLOOD_MOVES = 3000
FLOOD_SEED = 5
MOUSE_REPORT_INTERVAL = "0.001"  # seconds, as xdotool's sleep takes it


class WindowTest(unittest.TestCase):
    session: XvfbSession

    @classmethod
    def setUpClass(cls) -> None:
        cls.session = XvfbSession()
        cls.session.start()

    @classmethod
    def tearDownClass(cls) -> None:
        cls.session.stop()

    def setUp(self) -> None:
        self.run_ = self.session.start_program(PROGRAM)
        self.addCleanup(self.session.stop_program, self.run_)
        self.window = self.session.wait_for_window(self.run_)
        # The centres and radii the picture is expected to show; tests update them as they
        # drive the window, and every check compares the whole state.
        self.centres = list(START_CENTRES)
        self.radii = list(START_RADII)
        self.no_crossings = True
        self.wait_for_state("the start-up picture")

    def tearDown(self) -> None:
        # Closing the window, as a window manager's close button does, ends the program.
        with XConnection(self.session.display) as x:
            x.request_close(self.window)
        code = poll("the program to end after its window was closed",
                    self.run_.process.poll, EXIT_TIMEOUT)
        self.assertEqual(code, 0, "exit status after closing the window")
        out, err = self.run_.output()
        self.assertEqual(out, "", "the program wrote on stdout")
        self.assertEqual(err, "", "the program wrote on stderr")

    # -- reading the screen ---------------------------------------------------------------------

    def drawing(self) -> Drawing:
        return Drawing.of_screen(self.session.screenshot())

    def state_problems(self, d: Drawing) -> list[str]:
        problems = []
        for index, family in ((BLUE, "blue"), (RED, "red")):
            problems += circle_problems(d, family, self.centres[index], self.radii[index])
        if self.no_crossings and not problems:
            # Without intersection points the only dark pixels are the two centre labels.
            stray = dark_outside_labels(d, self.centres)
            if stray:
                problems.append(f"{len(stray)} dark pixels outside the centre labels, "
                                f"the first at {stray[0]}")
        return problems

    def wait_for(self, what: str, problems_of, timeout: float = EFFECT_TIMEOUT) -> Drawing:
        """Polls screenshots until `problems_of(drawing)` finds nothing wrong; fails with the
        last problems found, and keeps that screenshot, when the time is up. Every check of a
        picture goes through here: a screenshot taken while the window is being repainted
        may show part of the old picture."""
        deadline = time.monotonic() + timeout
        while True:
            d = self.drawing()
            self.session.xdotool("getwindowname", self.window)  # the window must still exist
            problems = problems_of(d)
            if not problems:
                return d
            if time.monotonic() > deadline:
                kept = Path.cwd() / f"e2e-{self.id().rsplit('.', 1)[-1]}.ppm"
                kept.write_bytes(d.image.to_ppm())
                self.fail(f"{what}: still wrong after {timeout:.0f} s (screenshot kept in "
                          f"{kept}):\n  " + "\n  ".join(problems))

    def wait_for_state(self, what: str) -> Drawing:
        return self.wait_for(what, self.state_problems)

    # -- driving the window -------------------------------------------------------------------

    def screen_of_client(self, x: int, y: int) -> tuple[int, int]:
        return CLIENT_LEFT + x, CLIENT_TOP + y

    def drag(self, buttons: list[int], start: tuple[int, int], end: tuple[int, int]) -> None:
        """Presses `buttons` (X numbers: 1 left, 2 middle, 3 right) at screen point `start`,
        moves to `end` in a few steps, and releases them there."""
        steps = 6
        moves: list[str] = []
        for i in range(1, steps + 1):
            x = round(start[0] + (end[0] - start[0]) * i / steps)
            y = round(start[1] + (end[1] - start[1]) * i / steps)
            moves += ["mousemove", str(x), str(y)]
        args = ["mousemove", str(start[0]), str(start[1])]
        for b in buttons:
            args += ["mousedown", str(b)]
        args += moves
        for b in buttons:
            args += ["mouseup", str(b)]
        self.session.xdotool(*args)

    def drag_in_drawing(self, buttons: list[int], start: tuple[float, float],
                        end: tuple[float, float]) -> None:
        self.drag(buttons, self.drawing_point(*start), self.drawing_point(*end))

    def drawing_point(self, x: float, y: float) -> tuple[int, int]:
        return (CLIENT_LEFT + DRAWING_IN_CLIENT[0] + round(x),
                CLIENT_TOP + DRAWING_IN_CLIENT[1] + round(y))

    def long_drag(self, button: int, path: list[tuple[int, int]], paced: list[bool]) -> None:
        """Presses `button` at the first point of `path` (drawing coordinates), moves the
        pointer through all the others in one xdotool run and releases the button at the
        last. A move marked in `paced` is followed by one mouse report interval."""
        first = self.drawing_point(*path[0])
        args = ["mousemove", str(first[0]), str(first[1]), "mousedown", str(button)]
        for point, pause in zip(path[1:], paced[1:]):
            x, y = self.drawing_point(*point)
            args += ["mousemove", str(x), str(y)]
            if pause:
                args += ["sleep", MOUSE_REPORT_INTERVAL]
        args += ["mouseup", str(button)]
        self.session.xdotool(*args)

    def click_scroll_bar(self, index: int, where: str) -> None:
        """One left click on a part of a scroll bar: 'left arrow', 'right arrow', or the
        trough 'left trough' / 'right trough' (clear of the thumb for values near the start
        values)."""
        left, top, width, height = SCROLL_BARS[index]
        offset = {"left arrow": 5, "left trough": 30,
                  "right trough": width - 30, "right arrow": width - 6}[where]
        x, y = self.screen_of_client(left + offset, top + height // 2)
        self.session.xdotool("mousemove", str(x), str(y), "click", "1")

    def keys(self, *names: str) -> None:
        self.session.xdotool("key", "--delay", "20", *names)

    def focus_window(self) -> None:
        # With no window manager, X keyboard focus follows the pointer until a client takes
        # it; give it to the window as a window manager would on activation.
        self.session.xdotool("windowfocus", "--sync", self.window)

    # -- tests ----------------------------------------------------------------------------------

    def test_start_up_window(self) -> None:
        self.assertEqual(self.session.xdotool_output("getwindowname", self.window).strip("\n"),
                         TITLE)
        self.assertEqual(self.session.window_geometry(self.window),
                         (CLIENT_LEFT, CLIENT_TOP, CLIENT_WIDTH, CLIENT_HEIGHT))
        # The circles, and white where nothing is drawn; the two centre labels, and nothing
        # else grey or black: no line, no intersection dot, no trace of the hidden drawing
        # area's border.
        def problems(d: Drawing) -> list[str]:
            found = self.state_problems(d) + background_problems(d)
            found += [f"no label text near {centre}" for centre in START_CENTRES
                      if d.weight_in(dark_weight, *label_box(*centre)) < 10]
            return found
        self.wait_for("the start-up picture", problems)

    def test_left_and_right_drags_move_their_centres(self) -> None:
        cases = [
            # (what, X buttons, from, to, index of the circle that follows)
            ("left drag", [1], (200, 200), (150, 250), BLUE),
            ("right drag", [3], (200, 200), (330, 80), RED),
            ("left drag ending left of the drawing area", [1], (150, 250), (-30, 150), BLUE),
            ("left drag back inside", [1], (10, 10), (120, 110), BLUE),
        ]
        for what, buttons, start, end, index in cases:
            self.drag_in_drawing(buttons, start, end)
            self.centres[index] = (float(end[0]), float(end[1]))
            if end[0] < 0:
                # The centre dot is off the picture; the ring's right-hand crossing shows
                # that the position was taken as it came.
                self.wait_for(what, lambda d: self.ring_at_x(d, end[1], end[0] + 100))
            else:
                self.wait_for_state(what)
            # The right button opens no menu: still one window of the program.
            found = self.session.xdotool_output("search", "--onlyvisible", "--pid",
                                                str(self.run_.pid)).split()
            self.assertEqual(found, [self.window], f"windows after the {what}")

    def ring_at_x(self, d: Drawing, row: float, expected_x: float) -> list[str]:
        y = math.floor(row - 0.5)
        cx, _, total = d.centroid(blue_weight, math.floor(expected_x) - 5, y,
                                  math.floor(expected_x) + 5, y + 1)
        if total < 0.3:
            return [f"no blue ring near x={expected_x} on row {row}"]
        if abs(cx - expected_x) > 0.5:
            return [f"blue ring crosses row {row} at x={cx:.2f}, expected {expected_x}"]
        if d.centre_dot("blue", *START_CENTRES[BLUE]) is not None:
            return ["the blue centre dot is still at its start place"]
        return []

    def test_other_pointer_moves_change_nothing(self) -> None:
        bare_window = self.screen_of_client(520, 350)
        inputs = [
            ("no button", [], self.drawing_point(150, 150), self.drawing_point(250, 250)),
            ("left and right together", [1, 3], self.drawing_point(150, 150),
             self.drawing_point(250, 200)),
            ("middle button", [2], self.drawing_point(150, 150), self.drawing_point(200, 260)),
            ("left drag from the bare window into the drawing", [1], bare_window,
             self.drawing_point(200, 200)),
            ("left drag from a label into the drawing", [1], self.screen_of_client(440, 104),
             self.drawing_point(260, 220)),
        ]
        for what, buttons, start, end in inputs:
            self.drag(buttons, start, end)
            # Input is handled in order: once a later click shows, the moves before it are
            # done, and the centres must still be where they were.
            self.click_scroll_bar(RED, "right arrow")
            self.radii[RED] += 1
            self.wait_for_state(f"{what}, then a click on a scroll-bar arrow")

    def test_scroll_bar_arrows_and_trough(self) -> None:
        steps = [
            (BLUE, "right arrow", +1), (BLUE, "left arrow", -1), (BLUE, "left arrow", -1),
            (BLUE, "right trough", +5), (BLUE, "left trough", -5),
            (RED, "right arrow", +1), (RED, "right trough", +5), (RED, "left arrow", -1),
            (RED, "left trough", -5),
        ]
        for index, where, change in steps:
            self.click_scroll_bar(index, where)
            self.radii[index] += change
            self.wait_for_state(f"radii {self.radii} after a click on the {where} of "
                                f"scroll bar {index}")

    def test_tab_order_and_arrow_keys(self) -> None:
        self.focus_window()
        # Focus starts on the picture, which ignores arrow keys; Tab then walks the scroll
        # bars and comes back to the picture.
        steps = [
            (["Right", "Tab", "Right"], [101, 50]),  # picture, then the blue bar
            (["Tab", "Right"], [101, 51]),           # the red bar
            (["Tab", "Right", "Tab", "Left"], [100, 51]),  # picture again, then the blue bar
            (["Tab", "Left", "Left"], [100, 49]),    # the red bar, lowered
        ]
        for keys, radii in steps:
            self.keys(*keys)
            self.radii = radii
            self.wait_for_state(f"radii {radii} after the keys {keys}")

    def test_intersection_points_of_the_largest_circles(self) -> None:
        self.focus_window()
        # Right raises a bar by one and stops at 200: 105 presses take 100 to 200.
        self.keys("Tab")
        self.session.xdotool("key", "--repeat", "105", "--delay", "2", "Right")
        self.keys("Tab")
        self.session.xdotool("key", "--repeat", "100", "--delay", "2", "Right")
        self.radii = [200, 150]
        self.no_crossings = False
        # Circles of radii 200 and 150 around (100, 100) and (300, 300) cross here.
        a, b = 150.1387818866, 293.6112181134
        self.wait_for("radii 200 and 150 with their intersection points",
                      lambda d: self.state_problems(d) + crossing_problems(d, [(a, b), (b, a)]))

    def test_long_left_drag_leaves_the_blue_centre_where_the_pointer_stops(self) -> None:
        # Where the renderer puts a centre dot relative to its point, read off the start-up
        # picture; every centre after the drag must sit at its point plus exactly this.
        start = self.drawing()
        dot_offset = []
        for index, family in ((BLUE, "blue"), (RED, "red")):
            dot = start.centre_dot(family, *START_CENTRES[index])
            self.assertIsNotNone(dot, f"the {family} centre dot of the start-up picture")
            dot_offset.append((dot[0] - START_CENTRES[index][0],
                               dot[1] - START_CENTRES[index][1]))

        def exact_centre_problems(d: Drawing) -> list[str]:
            problems = []
            for index, family in ((BLUE, "blue"), (RED, "red")):
                x, y = self.centres[index]
                dot = d.centre_dot(family, x, y)
                if dot is None:
                    continue  # state_problems says so
                # A dot reads within a few hundredths of a pixel of its place; one pixel off is
                # a lost move.
                off = (dot[0] - x, dot[1] - y)
                if max(abs(off[0] - dot_offset[index][0]),
                       abs(off[1] - dot_offset[index][1])) > 0.2:
                    problems.append(f"{family} centre dot at ({dot[0]:.2f}, {dot[1]:.2f}) is "
                                    f"not exactly at ({x}, {y})")
            return problems

        end = (137, 96)
        path, paced = flood_path(random.Random(FLOOD_SEED), FLOOD_MOVES, (200, 200), end)
        self.long_drag(1, path, paced)
        self.centres[BLUE] = (float(end[0]), float(end[1]))
        self.wait_for(f"a left drag of {len(path) - 1} moves ending at {end}",
                      lambda d: self.state_problems(d) + exact_centre_problems(d))

        # The program still answers input: a right drag and a scroll-bar click show.
        self.drag_in_drawing([3], (300, 300), (331, 334))
        self.centres[RED] = (331.0, 334.0)
        self.wait_for("a right drag after the long left drag",
                      lambda d: self.state_problems(d) + exact_centre_problems(d))
        self.click_scroll_bar(BLUE, "right arrow")
        self.radii[BLUE] += 1
        self.wait_for_state("a click on a scroll-bar arrow after the long left drag")


def flood_path(rng: random.Random, moves: int, start: tuple[int, int], end: tuple[int, int],
               approach: int = 8, keep_away: int = 12
               ) -> tuple[list[tuple[int, int]], list[bool]]:
    """`start` and then `moves` pointer positions in drawing coordinates, no two in a row the
    same: legs between random places in and around the drawing area, in steps from one pixel
    to big jumps, each leg either at a mouse's pace or in a burst (the second list: whether a
    position is followed by a pause). Only the last `approach` moves come near `end`, one
    pixel at a time and alternately across and down, so that a move lost anywhere near the
    end leaves the centre off by at least a pixel."""
    path = [start]
    paced = [False]

    def add(p: tuple[int, int], pause: bool) -> None:
        if p != path[-1] and max(abs(p[0] - end[0]), abs(p[1] - end[1])) >= keep_away:
            path.append(p)
            paced.append(pause)

    while len(path) < 1 + moves - approach:
        # Mostly inside the 400 px drawing area, now and then past its edges (and the
        # window's), where the drag goes on.
        target = (rng.randint(-80, 480), rng.randint(-80, 480))
        stride = rng.choice((1, 1, 2, 3, 5, 8, 13, 40, 150))
        pause = rng.random() < 0.75
        x0, y0 = path[-1]
        steps = max(1, math.ceil(math.dist((x0, y0), target) / stride))
        for i in range(1, steps + 1):
            if len(path) == 1 + moves - approach:
                break
            add((round(x0 + (target[0] - x0) * i / steps),
                 round(y0 + (target[1] - y0) * i / steps)), pause)
    # The approach: from up and to the right of end, left and down by turns, a pixel a move.
    x, y = end[0] + approach // 2, end[1] - (approach - approach // 2)
    for i in range(approach):
        if i % 2 == 0:
            x -= 1
        else:
            y += 1
        path.append((x, y))
        paced.append(True)
    assert path[-1] == end and len(path) == len(paced) == 1 + moves
    return path, paced


def crossing_problems(d: Drawing, points: list[tuple[float, float]]) -> list[str]:
    """Why the drawing does not show these intersection points with their lines and labels."""
    problems = []
    for px, py in points:
        # A black dot 5 px across covers the 3 x 3 pixels around the point.
        light = [(x, y) for y in range(math.floor(py) - 1, math.floor(py) + 2)
                 for x in range(math.floor(px) - 1, math.floor(px) + 2)
                 if dark_weight(d.pixel(x, y)) < 0.6]
        if light:
            problems.append(f"the dot at ({px:.2f}, {py:.2f}) is not black at {light}")
        # Black lines from both centres: dark pixels half way along each.
        for cx, cy in START_CENTRES:
            mx, my = (cx + px) / 2, (cy + py) / 2
            darkest = max(dark_weight(d.pixel(x, y))
                          for y in range(math.floor(my) - 1, math.floor(my) + 2)
                          for x in range(math.floor(mx) - 1, math.floor(mx) + 2))
            if darkest < 0.3:
                problems.append(f"no line from ({cx}, {cy}) to ({px:.2f}, {py:.2f})")
        if d.weight_in(dark_weight, *label_box(px, py)) < 10:
            problems.append(f"no label near ({px:.2f}, {py:.2f})")
    return problems


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    PROGRAM = str(Path(sys.argv[1]).resolve())
    unittest.main(argv=[sys.argv[0], "-v", *sys.argv[2:]])
