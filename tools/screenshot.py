#!/usr/bin/python3
"""Writes a PNG of the program's window as it first appears.

Usage, in an X server of its own (make screenshot runs it so):
    xvfb-run -a -s '-screen 0 1024x768x24 -noreset' tools/screenshot.py PROGRAM OUTPUT
"""
import os
import subprocess
import sys
import tempfile
import time

from PIL import ImageGrab


def main(program, output):
    with tempfile.TemporaryDirectory() as runtime, \
            subprocess.Popen([program], env=dict(os.environ, XDG_RUNTIME_DIR=runtime)) as run:
        window = subprocess.check_output(
            ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(run.pid)], timeout=20)
        shell = subprocess.check_output(["xdotool", "getwindowgeometry", "--shell", window],
                                        text=True)
        g = dict(line.split("=") for line in shell.split())
        box = (int(g["X"]), int(g["Y"]), int(g["X"]) + int(g["WIDTH"]),
               int(g["Y"]) + int(g["HEIGHT"]))
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
