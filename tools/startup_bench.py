#!/usr/bin/env python3
"""Start-up time and peak memory of the real program in a real X server.

Usage: startup_bench.py [PROGRAM] [--runs N]   (default: build/circle-intersection, 10 runs)

Each run starts the program in a private Xvfb and reads the screen where the drawing area
will appear every millisecond or two, until the start-up picture is there; the time from just
before the process was created until then is the start-up time. The peak resident memory is
the kernel's VmHWM of the process at that moment, when the window is up and drawn. One run
before the measured ones warms the file cache and is not counted.

Goals on the reference machine: start-up at most 40 ms, peak memory at most 35 MB.
"""
from __future__ import annotations

import argparse
import statistics
import sys
import time
from pathlib import Path

from circle_window import (CLIENT_LEFT, CLIENT_TOP, DRAWING_IN_CLIENT, DRAWING_SIZE, Drawing,
                           start_picture_problems)
from xvfb_session import EXIT_TIMEOUT, WINDOW_TIMEOUT, XConnection, XvfbSession, poll

GOAL_STARTUP_MS = 40.0
GOAL_PEAK_MB = 35.0

# The drawing area on the screen: with no window manager the window lands where it asks.
LEFT = CLIENT_LEFT + DRAWING_IN_CLIENT[0]
TOP = CLIENT_TOP + DRAWING_IN_CLIENT[1]
# A drawing pixel that is white in the start-up picture: a one-pixel read tells cheaply
# whether a window is there at all before the whole area is read and checked.
PROBE = (200, 30)


def peak_memory_mb(pid: int) -> float:
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024  # the kernel reports kB
    raise RuntimeError(f"no VmHWM in /proc/{pid}/status")


def picture_is_up(x: XConnection) -> bool:
    probe = x.grab(LEFT + PROBE[0], TOP + PROBE[1], 1, 1)
    if probe.pixel(0, 0) != (255, 255, 255):
        return False
    area = x.grab(LEFT, TOP, DRAWING_SIZE, DRAWING_SIZE)
    return not start_picture_problems(Drawing(area, 0, 0))


def one_run(session: XvfbSession, x: XConnection, program: str) -> tuple[float, float]:
    """Start-up time in milliseconds and peak memory in MB of one run."""
    # The previous run's window must be gone from the screen before the clock starts.
    poll("the previous window to leave the screen",
         lambda: True if x.grab(LEFT + PROBE[0], TOP + PROBE[1], 1, 1).pixel(0, 0)
         != (255, 255, 255) else None, EXIT_TIMEOUT, interval=0.005)
    run = session.start_program(program)
    deadline = run.started_at + WINDOW_TIMEOUT
    while not picture_is_up(x):
        run.check_alive()
        if time.monotonic() > deadline:
            raise RuntimeError(f"no start-up picture within {WINDOW_TIMEOUT:.0f} s")
        time.sleep(0.001)
    elapsed_ms = (time.monotonic() - run.started_at) * 1000
    peak_mb = peak_memory_mb(run.pid)

    window = session.wait_for_window(run)
    x.request_close(window)
    poll("the program to end", run.process.poll, EXIT_TIMEOUT)
    out, err = run.output()
    if out or err:
        raise RuntimeError(f"the program printed something: {out!r} {err!r}")
    session.stop_program(run)
    return elapsed_ms, peak_mb


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", nargs="?", default="build/circle-intersection")
    parser.add_argument("--runs", type=int, default=10)
    options = parser.parse_args()
    program = str(Path(options.program).resolve())

    times: list[float] = []
    peaks: list[float] = []
    with XvfbSession() as session, XConnection(session.display) as x:
        one_run(session, x, program)  # warm-up
        for _ in range(options.runs):
            elapsed_ms, peak_mb = one_run(session, x, program)
            times.append(elapsed_ms)
            peaks.append(peak_mb)

    def verdict(ok: bool) -> str:
        return "met" if ok else "NOT MET"

    startup = statistics.median(times)
    peak = max(peaks)
    print(f"\nStart-up under Xvfb, {options.runs} runs of {options.program}")
    print(f"  process start to first picture on screen: median {startup:.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f}); "
          f"goal {GOAL_STARTUP_MS:.0f} ms: {verdict(startup <= GOAL_STARTUP_MS)}")
    print("  each run (ms): " + " ".join(f"{t:.0f}" for t in times))
    print(f"  peak resident memory (VmHWM) with the window up: max {peak:.1f} MB "
          f"(median {statistics.median(peaks):.1f}); "
          f"goal {GOAL_PEAK_MB:.0f} MB: {verdict(peak <= GOAL_PEAK_MB)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
