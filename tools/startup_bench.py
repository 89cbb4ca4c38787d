#!/usr/bin/python3
"""Start-up time and peak memory of the program, side by side with a bare Qt window.

Usage, in an X server of its own (make bench runs it so):
    tools/xvfb.sh tools/startup_bench.py PROGRAM BARE [--runs N]

The two programs start by turns, which of them first alternating. Each run times the start of
the process until its window's first complete frame is on the screen, and reads the process's
peak resident memory (VmHWM) then. A first run of each, not counted, warms the file cache and
records where its window lies and what its complete frame looks like; with no window manager,
each lands where it asks.

Goals: the program's first picture at most 3 ms after the bare window's, its peak memory
within 1 MB of the bare window's.
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time

from Xlib import X, display

from screenshot import window_of


def grab(screen, left, top, width, height):
    return screen.root.get_image(left, top, width, height, X.ZPixmap, 0xFFFFFFFF).data


def peak_memory_mb(pid):
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        return next(int(line.split()[1]) / 1024 for line in status if line.startswith("VmHWM:"))


def one_run(program, screen, seen=None):
    """Milliseconds to the first complete frame and peak MB; with nothing seen before, waits a
    second and returns where the window lies and what it shows then as its complete frame."""
    runtime = tempfile.TemporaryDirectory()
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime.name)
    window, frame = seen or (None, b"")
    probe = frame[:4]  # the window's first pixel, its background, never the screen's before
    while window and grab(screen, *window[:2], 1, 1) == probe:  # the last window must be gone
        time.sleep(0.001)
    started = time.monotonic()
    run = subprocess.Popen([program], env=env)
    try:
        if seen is None:
            time.sleep(1.0)
            window = window_of(run.pid)
            return None, None, (window, grab(screen, *window))
        while not (grab(screen, *window[:2], 1, 1) == probe and grab(screen, *window) == frame):
            if time.monotonic() - started > 20:
                raise RuntimeError(f"{program}: no complete window within 20 s")
            time.sleep(0.0005)
        return (time.monotonic() - started) * 1000, peak_memory_mb(run.pid), seen
    finally:
        run.terminate()
        run.wait()
        runtime.cleanup()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("bare")
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    screen = display.Display().screen()
    frames = {p: one_run(p, screen)[2] for p in (args.program, args.bare)}
    times = {p: [] for p in frames}
    memory = {p: [] for p in frames}
    for i in range(args.runs):
        # Which of the two goes first alternates, so that neither always follows the other.
        for p in list(frames)[:: 1 if i % 2 == 0 else -1]:
            ms, mb, _ = one_run(p, screen, frames[p])
            times[p].append(ms)
            memory[p].append(mb)
    print(f"\nStart-up under Xvfb, {args.runs} runs of each, interleaved (a first run of each "
          "not counted):")
    for p in frames:
        print(f"  {p}: first complete window after {statistics.median(times[p]):.1f} ms "
              f"(median; {min(times[p]):.1f} to {max(times[p]):.1f}), "
              f"peak memory {statistics.median(memory[p]):.1f} MB")
    # Each run of the program is compared with the bare window's run right after it, which
    # shares the machine's mood of the moment: the median of those differences.
    late = statistics.median(a - b for a, b in zip(times[args.program], times[args.bare]))
    more = statistics.median(a - b for a, b in zip(memory[args.program], memory[args.bare]))
    print(f"  difference, run by run: {late:+.1f} ms (goal at most +3), {more:+.2f} MB "
          "(goal at most +1)")


if __name__ == "__main__":
    main()
