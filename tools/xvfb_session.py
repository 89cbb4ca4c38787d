"""A private X server for driving the real program: start, drive, screenshot, clean up.

Used by the end-to-end tests, the screenshot tool and the start-up benchmark, so that all three
start Xvfb, run the program and read the screen the same way. Python standard library only.

    with XvfbSession() as x:
        run = x.start_program("build/circle-intersection")
        window = x.wait_for_window(run)
        image = x.screenshot()
        print(image.pixel(200, 200))

Leaving the `with` block ends the program and the server and removes their temporary
directories, also when the block fails.
"""
from __future__ import annotations

import atexit
import ctypes
import ctypes.util
import os
import shutil
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Optional, TypeVar

T = TypeVar("T")

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768

# Bounds for every wait below. They only matter when something is wrong: a healthy start takes a
# small fraction of each, and a slow shared CI machine still fits well inside them.
SERVER_START_TIMEOUT = 15.0
WINDOW_TIMEOUT = 20.0
EXIT_TIMEOUT = 5.0
POLL_INTERVAL = 0.02


class SessionError(RuntimeError):
    """Something in the session did not come up or did not answer in time."""


def poll(what: str, probe: Callable[[], Optional[T]], timeout: float,
         interval: float = POLL_INTERVAL) -> T:
    """Calls `probe` until it returns something other than None, at most `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result is not None:
            return result
        if time.monotonic() > deadline:
            raise SessionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


# ---------------------------------------------------------------------------------------------
# Images


@dataclass
class Image:
    """An RGB picture with 8 bits per channel, rows top to bottom."""

    width: int
    height: int
    data: bytes

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) outside {self.width} x {self.height}")
        i = (y * self.width + x) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def crop(self, left: int, top: int, width: int, height: int) -> "Image":
        rows = []
        for y in range(top, top + height):
            start = (y * self.width + left) * 3
            rows.append(self.data[start:start + width * 3])
        return Image(width, height, b"".join(rows))

    def to_ppm(self) -> bytes:
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data


def parse_ppm(raw: bytes) -> Image:
    """Reads a binary PPM (P6, maximum value 255). Comment lines ('#' to the end of the line)
    may stand between the header fields; xwd's converter writes one."""
    fields: list[bytes] = []
    pos = 0
    while len(fields) < 4:
        while pos < len(raw) and raw[pos:pos + 1].isspace():
            pos += 1
        if raw[pos:pos + 1] == b"#":
            end = raw.find(b"\n", pos)
            if end < 0:
                raise ValueError("PPM header ends inside a comment")
            pos = end + 1
            continue
        start = pos
        while pos < len(raw) and not raw[pos:pos + 1].isspace() and raw[pos:pos + 1] != b"#":
            pos += 1
        if start == pos:
            raise ValueError("PPM header is cut short")
        fields.append(raw[start:pos])
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P6" or maxval != 255:
        raise ValueError(f"not an 8-bit binary PPM: {magic!r}, maximum {maxval}")
    pos += 1  # exactly one whitespace byte separates the header from the pixels
    data = raw[pos:pos + width * height * 3]
    if len(data) != width * height * 3:
        raise ValueError(f"PPM holds {len(data)} bytes of pixels, {width} x {height} needs "
                         f"{width * height * 3}")
    return Image(width, height, data)


# ---------------------------------------------------------------------------------------------
# The program


@dataclass
class ProgramRun:
    """One run of a program inside the session, its output kept in two files."""

    process: subprocess.Popen
    stdout_path: Path
    stderr_path: Path
    started_at: float  # time.monotonic() just before the process was created

    @property
    def pid(self) -> int:
        return self.process.pid

    def output(self) -> tuple[str, str]:
        return (self.stdout_path.read_text(errors="replace"),
                self.stderr_path.read_text(errors="replace"))

    def check_alive(self) -> None:
        code = self.process.poll()
        if code is not None:
            out, err = self.output()
            raise SessionError(f"the program ended early with status {code}\n"
                               f"stdout: {out!r}\nstderr: {err!r}")


# ---------------------------------------------------------------------------------------------
# The server


_live_sessions: list["XvfbSession"] = []


def _stop_live_sessions() -> None:
    for session in list(_live_sessions):
        session.stop()


def _on_termination(signum, frame) -> None:
    # A test runner's timeout or a Ctrl-C in a shell ends the script with a signal: take the
    # server and the programs along instead of leaving them running.
    try:
        _stop_live_sessions()
    finally:
        os._exit(128 + signum)


atexit.register(_stop_live_sessions)
for _signal in (signal.SIGTERM, signal.SIGHUP):
    if signal.getsignal(_signal) == signal.SIG_DFL:
        signal.signal(_signal, _on_termination)


def _die_with_parent() -> None:
    """Runs in the server's process before it starts: the kernel ends the server when this
    script ends, even by SIGKILL. The programs follow, as they lose their display."""
    PR_SET_PDEATHSIG = 1
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)


def _display_in_use(number: int) -> bool:
    return (os.path.exists(f"/tmp/.X{number}-lock")
            or os.path.exists(f"/tmp/.X11-unix/X{number}"))


def _lock_owner(number: int) -> Optional[int]:
    """The process id that an X server wrote into the display's lock file, if there is one."""
    try:
        return int(Path(f"/tmp/.X{number}-lock").read_text().strip())
    except (OSError, ValueError):
        return None


class XvfbSession:
    """An Xvfb server on a free display, with the environment a desktop session would give
    the programs started in it: that display, and a fresh private runtime directory."""

    def __init__(self, first_display: int = 90, attempts: int = 60):
        self._first_display = first_display
        self._attempts = attempts
        self._server: Optional[subprocess.Popen] = None
        self._runs: list[ProgramRun] = []
        self._tempdir: Optional[Path] = None
        self.display = ""
        self.env: dict[str, str] = {}

    # -- life cycle ---------------------------------------------------------------------------

    def __enter__(self) -> "XvfbSession":
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc_info) -> None:
        self.stop()

    def start(self) -> None:
        _live_sessions.append(self)
        self._tempdir = Path(tempfile.mkdtemp(prefix="circles-xvfb-"))
        runtime_dir = self._tempdir / "runtime"
        runtime_dir.mkdir(mode=0o700)
        os.chmod(runtime_dir, 0o700)  # mkdir's mode is masked by the umask

        # Two sessions may look at the same free number at once: the loser's server ends at
        # once because the lock is taken, and it moves on to the next number.
        number = self._first_display
        for _ in range(self._attempts):
            while _display_in_use(number):
                number += 1
            if self._try_server(number, runtime_dir):
                return
            number += 1
        last_log = (self._tempdir / f"xvfb-{number - 1}.log").read_text(errors="replace")
        raise SessionError(f"no X server started from :{self._first_display} in "
                           f"{self._attempts} attempts; the last one said:\n{last_log}")

    def _try_server(self, number: int, runtime_dir: Path) -> bool:
        display = f":{number}"
        log = open(self._tempdir / f"xvfb-{number}.log", "wb")
        # -noreset: without it the server resets when its last client leaves, and a program
        # connecting at that moment fails to start.
        server = subprocess.Popen(
            ["Xvfb", display, "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24",
             "-noreset", "-nolisten", "tcp"],
            stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True,
            preexec_fn=_die_with_parent)
        log.close()

        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "XDG_RUNTIME_DIR",
                            "XDG_SESSION_TYPE", "QT_QPA_PLATFORM", "SESSION_MANAGER")}
        env["DISPLAY"] = display
        env["XDG_RUNTIME_DIR"] = str(runtime_dir)
        # The same UTF-8 locale for every run, whatever the caller's: a desktop session has
        # one, and the number texts on screen do not change with the caller's settings.
        env["LC_ALL"] = "C.UTF-8"

        deadline = time.monotonic() + SERVER_START_TIMEOUT
        while time.monotonic() < deadline:
            if server.poll() is not None:
                return False  # display taken, or the server cannot start at all
            # Another session may have started its server on the same number a moment
            # earlier: then that server answers on the display, and ours is about to give up.
            # The lock file names the server that owns the display.
            owner = _lock_owner(number)
            if owner is not None and owner != server.pid:
                _terminate(server)
                return False
            if owner is None:
                time.sleep(POLL_INTERVAL)
                continue
            answer = subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                                    capture_output=True, text=True)
            if answer.returncode == 0 and answer.stdout.split() == [str(SCREEN_WIDTH),
                                                                  str(SCREEN_HEIGHT)]:
                self._server, self.display, self.env = server, display, env
                return True
            time.sleep(POLL_INTERVAL)
        _terminate(server)
        log_text = (self._tempdir / f"xvfb-{number}.log").read_text(errors="replace")
        raise SessionError(f"Xvfb on {display} did not answer within "
                           f"{SERVER_START_TIMEOUT:.0f} s:\n{log_text}")

    def stop(self) -> None:
        for run in self._runs:
            _terminate(run.process)
        self._runs.clear()
        if self._server is not None:
            _terminate(self._server)
            self._server = None
        if self._tempdir is not None:
            shutil.rmtree(self._tempdir, ignore_errors=True)
            self._tempdir = None
        if self in _live_sessions:
            _live_sessions.remove(self)

    # -- programs -----------------------------------------------------------------------------

    def start_program(self, path: str, *args: str) -> ProgramRun:
        index = len(self._runs)
        stdout_path = self._tempdir / f"program-{index}.out"
        stderr_path = self._tempdir / f"program-{index}.err"
        with open(stdout_path, "wb") as out, open(stderr_path, "wb") as err:
            started_at = time.monotonic()
            process = subprocess.Popen([path, *args], env=self.env, stdin=subprocess.DEVNULL,
                                       stdout=out, stderr=err, start_new_session=True)
        run = ProgramRun(process, stdout_path, stderr_path, started_at)
        self._runs.append(run)
        return run

    def stop_program(self, run: ProgramRun) -> int:
        """Ends the program as closing its session would (SIGTERM) and returns its status."""
        code = _terminate(run.process)
        if run in self._runs:
            self._runs.remove(run)
        return code

    def wait_for_window(self, run: ProgramRun, timeout: float = WINDOW_TIMEOUT) -> str:
        """The id of the program's one visible top-level window, once it is mapped."""
        def probe() -> Optional[str]:
            run.check_alive()
            found = self.xdotool_output("search", "--onlyvisible", "--pid", str(run.pid),
                                        check=False).split()
            return found[0] if len(found) == 1 else None
        return poll("the program's window", probe, timeout)

    # -- X requests ---------------------------------------------------------------------------

    def xdotool(self, *args: str) -> None:
        self.xdotool_output(*args)

    def xdotool_output(self, *args: str, check: bool = True) -> str:
        answer = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                                text=True, timeout=30)
        if check and answer.returncode != 0:
            raise SessionError(f"xdotool {' '.join(args)} failed ({answer.returncode}): "
                               f"{answer.stderr.strip()}")
        return answer.stdout

    def window_geometry(self, window: str) -> tuple[int, int, int, int]:
        """Left, top, width and height of the window's client area on the screen."""
        values = {}
        for line in self.xdotool_output("getwindowgeometry", "--shell", window).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.lstrip("-").isdigit() else value
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def screenshot(self) -> Image:
        """The whole screen, as xwd reads it and ImageMagick converts it to PPM."""
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True,
                             check=True, timeout=30)
        ppm = subprocess.run(["convert", "xwd:-", "-depth", "8", "ppm:-"], input=xwd.stdout,
                             capture_output=True, check=True, timeout=30)
        return parse_ppm(ppm.stdout)


# ---------------------------------------------------------------------------------------------
# A direct connection through libX11, for what the command-line tools cannot do or do too slowly


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


_CLIENT_MESSAGE = 33
_Z_PIXMAP = 2
_LSB_FIRST = 0
_X_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class XConnection:
    """A libX11 connection to the session's display (through ctypes). It reads screen areas in
    about a millisecond, where xwd and ImageMagick take tens of milliseconds, and it closes a
    window the way a window manager's close button does."""

    def __init__(self, display: str):
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        self._x = x = ctypes.CDLL(name)
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XGetImage.restype = ctypes.POINTER(_XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                 ctypes.POINTER(_XEvent)]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        # A window that is gone by the time a request reaches it is no reason to end this
        # process, which is what libX11's default error handler does.
        self._ignore_errors = _X_ERROR_HANDLER(lambda display, event: 0)
        x.XSetErrorHandler(self._ignore_errors)
        self._display = x.XOpenDisplay(display.encode())
        if not self._display:
            raise SessionError(f"cannot open X display {display}")
        self._root = x.XDefaultRootWindow(self._display)

    def close(self) -> None:
        if self._display:
            self._x.XCloseDisplay(self._display)
            self._display = None

    def __enter__(self) -> "XConnection":
        return self

    def __exit__(self, *exc_info) -> None:
        self.close()

    def grab(self, left: int, top: int, width: int, height: int) -> Image:
        """The screen's pixels in the given rectangle."""
        pointer = self._x.XGetImage(self._display, self._root, left, top, width, height,
                                    0xFFFFFFFF, _Z_PIXMAP)
        if not pointer:
            raise SessionError(f"XGetImage of {width} x {height} at ({left}, {top}) failed")
        try:
            ximage = pointer.contents
            if ximage.bits_per_pixel != 32 or ximage.byte_order != _LSB_FIRST \
                    or ximage.red_mask != 0xFF0000 or ximage.blue_mask != 0xFF:
                raise SessionError("the screen is not 32-bit BGRX, as Xvfb's 24-bit depth is")
            stride = ximage.bytes_per_line
            raw = ctypes.string_at(ximage.data, stride * height)
        finally:
            self._x.XDestroyImage(pointer)
        if stride != width * 4:
            raw = b"".join(raw[y * stride:y * stride + width * 4] for y in range(height))
        rgb = bytearray(width * height * 3)
        rgb[0::3] = raw[2::4]
        rgb[1::3] = raw[1::4]
        rgb[2::3] = raw[0::4]
        return Image(width, height, bytes(rgb))

    def request_close(self, window: str) -> None:
        """Asks the window to close through WM_DELETE_WINDOW, as a window manager does when
        the user clicks the close button."""
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = int(window)
        event.xclient.message_type = self._x.XInternAtom(self._display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = self._x.XInternAtom(self._display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        self._x.XSendEvent(self._display, int(window), 0, 0, ctypes.byref(event))
        self._x.XSync(self._display, 0)


def _terminate(process: subprocess.Popen) -> int:
    """Ends a process started in its own session, with its children: SIGTERM first, SIGKILL
    if it has not gone within EXIT_TIMEOUT."""
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            process.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
    return process.returncode
