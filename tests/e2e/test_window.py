"""The built program in a real X server, as a user meets it: started on its own, driven by
XTEST pointer and key events (xdotool), read back from the screen, and closed as a window
manager closes it. Runs under xvfb-run; $CIRCLE_INTERSECTION names the program."""
import os
import subprocess
import tempfile
import time
from pathlib import Path

import numpy
import pytest
from PIL import Image, ImageGrab
from Xlib import X, display, protocol

PROGRAM = os.environ.get("CIRCLE_INTERSECTION", "build/circle-intersection")
# The window as it first appears, made with `make screenshot SCREENSHOT=<this file>`.
REFERENCE = Path(__file__).with_name("start-up.png")
# The Windows program under Wine (make test-windows): the window against its own reference.
REFERENCE = Path(os.environ.get("CIRCLE_INTERSECTION_REFERENCE", REFERENCE))
WINDOW = (91, 102, 91 + 634, 102 + 439)  # with no window manager, exactly where it asks
BLUE, RED = (0, 0, 255), (255, 0, 0)


def xdotool(*args):
    return subprocess.check_output(["xdotool", *map(str, args)], text=True, timeout=30).strip()


def grab():
    return numpy.asarray(ImageGrab.grab(WINDOW, xdisplay=os.environ["DISPLAY"]).convert("RGB"))


def wait_for(what, holds):
    deadline = time.monotonic() + 10
    while not holds():
        assert time.monotonic() < deadline, f"no {what} after 10 s"
        time.sleep(0.05)


def dot_at(x, y, colour):
    """Whether the centre dot of that colour, a ring of radius 3, is around (x, y) of the
    drawing area, which starts 10 px right of and 18 px below the window's corner."""
    return tuple(grab()[18 + y, 10 + x + 3]) == colour


@pytest.fixture(name="window")
def fixture_window():
    xdotool("mousemove", 0, 0)
    env = dict(os.environ, XDG_RUNTIME_DIR=tempfile.mkdtemp())
    with subprocess.Popen([PROGRAM], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          text=True) as program:
        window = int(xdotool("search", "--sync", "--onlyvisible", "--pid", program.pid))
        wait_for("start-up picture", lambda: dot_at(100, 100, BLUE))
        yield window
        # Closed as a window manager's close button does: the program ends, saying nothing.
        x = display.Display()
        close = protocol.event.ClientMessage(
            window=window, client_type=x.intern_atom("WM_PROTOCOLS"),
            data=(32, [x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        x.create_resource_object("window", window).send_event(close)
        x.flush()
        assert program.communicate(timeout=10) == ("", "") and program.returncode == 0


def test_start_up_window_matches_its_reference(window):
    assert xdotool("getwindowname", window) == "円の交点算出サンプル"
    assert xdotool("getwindowgeometry", "--shell", window).split()[1:5] == [
        "X=91", "Y=102", "WIDTH=634", "HEIGHT=439"]
    reference = numpy.asarray(Image.open(REFERENCE).convert("RGB"))
    actual = Path(tempfile.gettempdir(), "start-up-actual.png")
    Image.fromarray(grab()).save(actual)
    wait_for(f"window equal to {REFERENCE.name} (it was as {actual} shows)",
             lambda: numpy.array_equal(grab(), reference))


def test_drags_and_keys_move_the_centres(window):
    for button, (x, y), colour in ((1, (150, 250), BLUE), (3, (330, 80), RED)):
        xdotool("mousemove", WINDOW[0] + 210, WINDOW[1] + 218, "mousedown", button,
                "mousemove", WINDOW[0] + 10 + x, WINDOW[1] + 18 + y, "mouseup", button)
        wait_for(f"centre dot at {x}, {y}", lambda: dot_at(x, y, colour))
    xdotool("windowfocus", "--sync", window)
    xdotool("key", "--delay", 20, "Right", "Right", "shift+Down", "ctrl+Left", "ctrl+shift+Up")
    wait_for("blue dot moved by keys", lambda: dot_at(152, 260, BLUE))
    wait_for("red dot moved by keys", lambda: dot_at(329, 70, RED))


def test_without_a_display_says_so_in_japanese():
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    run = subprocess.run([PROGRAM], env=env, capture_output=True, text=True, timeout=10)
    assert (run.returncode, run.stdout, run.stderr.count("\n")) == (1, "", 1)
    assert all(word in run.stderr for word in ("ディスプレイ", "X11", "Wayland"))
