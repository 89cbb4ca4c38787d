#!/usr/bin/env python3
"""Writes a PNG of the program's window (its client area) as it first appears.

Usage: screenshot.py [PROGRAM [OUTPUT]]
       (defaults: build/circle-intersection and build/screenshot.png)

The program runs in a private Xvfb, so no display is needed; the tool waits until the window
shows the start-up picture, takes the picture, and ends the program and the server.
"""
from __future__ import annotations

import subprocess
import sys
import time
from pathlib import Path

from circle_window import Drawing, start_picture_problems
from xvfb_session import WINDOW_TIMEOUT, XvfbSession

PICTURE_TIMEOUT = 10.0


def main(args: list[str]) -> int:
    program = Path(args[0] if len(args) > 0 else "build/circle-intersection")
    output = Path(args[1] if len(args) > 1 else "build/screenshot.png")
    if not program.is_file():
        print(f"{program} does not exist: build it first ('make build')", file=sys.stderr)
        return 1

    with XvfbSession() as x:
        run = x.start_program(str(program.resolve()))
        window = x.wait_for_window(run, WINDOW_TIMEOUT)
        left, top, width, height = x.window_geometry(window)
        deadline = time.monotonic() + PICTURE_TIMEOUT
        while True:
            screen = x.screenshot()
            problems = start_picture_problems(Drawing.of_screen(screen, left, top))
            if not problems:
                break
            if time.monotonic() > deadline:
                print("the start-up picture did not appear:\n  " + "\n  ".join(problems),
                      file=sys.stderr)
                return 1
            time.sleep(0.05)
        output.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", "ppm:-", "png:" + str(output)],
                       input=screen.crop(left, top, width, height).to_ppm(), check=True)
    print(f"{output} ({width} x {height})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
