"""The built program in a real X server, as a user meets it: started on its own with a clean
environment, read back from the screen, and closed as a window manager closes it. Its drags and
keys are the window tests' part, and the web page's on a real input path. Runs under xvfb-run;
$CIRCLE_INTERSECTION names the program, $FONTCONFIG_FILE the fonts the reference was made with,
$TEST_OUTPUT where a mismatching picture is written."""
import json
import os
import subprocess
import time
from pathlib import Path

import numpy
import pytest
from PIL import Image, ImageGrab
from Xlib import X, display, protocol

PROGRAM = os.environ.get("CIRCLE_INTERSECTION", "build/circle-intersection")
OUTPUT = Path(os.environ.get("TEST_OUTPUT", "build/tests"))
# The window as it first appears, made with `make screenshot SCREENSHOT=<this file>`.
REFERENCE = Path(__file__).with_name("start-up.png")
# The Windows program under Wine (make test-windows): the window against its own reference.
REFERENCE = Path(os.environ.get("CIRCLE_INTERSECTION_REFERENCE", REFERENCE))
# The window's own place and size, which it has exactly with no window manager, and where its
# drawing area starts in it, inside the picture box's border.
LAYOUT = json.loads((Path(__file__).parents[2] / "ui" / "layout.json").read_text())
(LEFT, TOP), ARRANGEMENT = LAYOUT["place"], LAYOUT["arrangements"]["window"]
WIDTH, HEIGHT = ARRANGEMENT["size"]
AREA_LEFT, AREA_TOP = (at + LAYOUT["pictureBorder"] for at in ARRANGEMENT["picture"])
WINDOW = (LEFT, TOP, LEFT + WIDTH, TOP + HEIGHT)
BLUE = (0, 0, 255)
NO_DISPLAY = "ディスプレイに接続できません。このプログラムには X11 または Wayland のディスプレイが必要です。\n"


def xdotool(*args):
    return subprocess.check_output(["xdotool", *map(str, args)], text=True, timeout=30).strip()


def grab():
    return numpy.asarray(ImageGrab.grab(WINDOW, xdisplay=os.environ["DISPLAY"]).convert("RGB"))


def wait_for(what, holds):
    deadline = time.monotonic() + 10
    while not holds():
        assert time.monotonic() < deadline, f"no {what} after 10 s"
        time.sleep(0.05)


@pytest.fixture(name="start")
def fixture_start(tmp_path):
    """Starts the program as a desktop session would, with nothing of the caller's Qt settings:
    only the display, the fonts, a runtime folder of its own and the sanitizers' options, plus
    what a test adds. What still runs when the test ends is killed."""
    started = []

    def start(**env):
        env = {"XDG_RUNTIME_DIR": str(tmp_path), **{k: os.environ.get(k) for k in (
            "PATH", "DISPLAY", "XAUTHORITY", "FONTCONFIG_FILE", "ASAN_OPTIONS", "LSAN_OPTIONS",
            "UBSAN_OPTIONS")}, **env}
        started.append(subprocess.Popen([PROGRAM], env={k: v for k, v in env.items() if v},
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True))
        return started[-1]
    yield start
    for process in started:
        process.kill()
        process.communicate()


@pytest.fixture(name="window")
def fixture_window(start):
    xdotool("mousemove", 0, 0)
    program = start()
    window = int(xdotool("search", "--sync", "--onlyvisible", "--pid", program.pid))
    # The blue centre's dot, a ring of radius 3 about (100, 100) of the drawing area.
    wait_for("start-up picture", lambda: tuple(grab()[AREA_TOP + 100, AREA_LEFT + 103]) == BLUE)
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
        f"X={LEFT}", f"Y={TOP}", f"WIDTH={WIDTH}", f"HEIGHT={HEIGHT}"]
    reference = numpy.asarray(Image.open(REFERENCE).convert("RGB"))
    deadline = time.monotonic() + 10
    while not numpy.array_equal(actual := grab(), reference) and time.monotonic() < deadline:
        time.sleep(0.05)
    differ = (actual != reference).any(axis=2)
    if differ.any():
        Image.fromarray(actual).save(OUTPUT / "start-up-actual.png")
        Image.fromarray(~differ).save(OUTPUT / "start-up-difference.png")
    assert not differ.any(), f"{differ.sum()} pixels differ: see {OUTPUT}/start-up-*.png"


@pytest.mark.parametrize("env, says, status", [
    ({}, "", 0),  # its window destroyed from outside (xdotool windowclose): it ends
    ({"DISPLAY": None}, NO_DISPLAY, 1), ({"DISPLAY": ":99999"}, NO_DISPLAY, 1),
    ({"DISPLAY": None, "WAYLAND_DISPLAY": "gone", "XDG_RUNTIME_DIR": None}, NO_DISPLAY, 1),
    ({"QT_SCALE_FACTOR": "65"}, "実行時エラー: 描画面の操作に失敗しました。 (以後、同じ種類のエラーは表示しません)\n", 1)])
def test_where_it_cannot_run_or_loses_its_window_it_ends(start, env, says, status):
    program = start(**env)
    if not env:
        xdotool("windowclose", xdotool("search", "--sync", "--onlyvisible", "--pid", program.pid))
    assert program.communicate(timeout=20) + (program.returncode,) == ("", says, status)
