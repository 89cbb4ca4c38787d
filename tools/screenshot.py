#!/usr/bin/python3
"""Writes a PNG of the program's window as it first appears.

Usage, in an X server of its own (make screenshot runs it so):
    tools/xvfb.sh tools/screenshot.py PROGRAM OUTPUT
"""
import os
import subprocess
import sys
import tempfile
import time

from PIL import ImageGrab


def window_of(pid):
    """Left, top, width and height of the process's window, once it is shown."""
    window = subprocess.check_output(
        ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid)], timeout=20).split()[0]
    shell = subprocess.check_output(["xdotool", "getwindowgeometry", "--shell", window], text=True)
    g = dict(line.split("=") for line in shell.split())
    return tuple(int(g[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def main(program, output):
    with tempfile.TemporaryDirectory() as runtime, \
            subprocess.Popen([program], env=dict(os.environ, XDG_RUNTIME_DIR=runtime)) as run:
        left, top, width, height = window_of(run.pid)
        box = (left, top, left + width, top + height)
        # Qt puts the whole first frame on the screen at once: once two grabs a moment apart
        # agree and show the white drawing area, that is the window as it first appears.
        previous = None
        while True:
            time.sleep(0.2)
            image = ImageGrab.grab(box, xdisplay=os.environ["DISPLAY"]).convert("RGB")
            if image == previous and image.getpixel((200, 200)) == (255, 255, 255):
                break
            previous = image
        image.save(output)
        run.terminate()
    print(f"{output} ({image.width} x {image.height})")


if __name__ == "__main__":
    main(*sys.argv[1:3])
