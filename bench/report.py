#!/usr/bin/env python3
"""Prints every benchmark of a Google Benchmark JSON file as a multiple of BM_FrameCopy.

Usage: report.py build/bench.json
"""
import json
import sys

NANOSECONDS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
# What Google Benchmark writes of every run; anything else a benchmark counted itself.
STANDARD = {"name", "family_index", "per_family_instance_index", "run_name", "run_type",
            "repetitions", "repetition_index", "threads", "iterations", "real_time", "cpu_time",
            "time_unit", "aggregate_name", "aggregate_unit", "bytes_per_second",
            "items_per_second", "label", "error_occurred", "error_message"}


def nanoseconds(run: dict) -> float:
    return run["real_time"] * NANOSECONDS[run["time_unit"]]


def main(path: str) -> int:
    with open(path, encoding="utf-8") as f:
        benchmarks = json.load(f)["benchmarks"]
    # With --benchmark_repetitions the medians stand for each benchmark; otherwise the runs.
    runs = [b for b in benchmarks if b.get("aggregate_name") == "median"]
    for b in runs:
        b["name"] = b["run_name"]
    if not runs:
        runs = [b for b in benchmarks if b.get("run_type", "iteration") == "iteration"]
    by_name = {b["name"]: b for b in runs}
    frame = by_name.get("BM_FrameCopy")
    if frame is None:
        print("BM_FrameCopy is missing: no yardstick to compare with", file=sys.stderr)
        return 1
    unit = nanoseconds(frame)
    print(f"\nBM_FrameCopy = {unit / 1e3:.2f} us (the unit below)")
    for b in runs:
        counters = {k: v for k, v in b.items() if k not in STANDARD}
        extra = "".join(f"  {k}={v:.3g}" for k, v in counters.items())
        print(f"{b['name']:<32} {nanoseconds(b) / unit:8.3f} x BM_FrameCopy{extra}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
