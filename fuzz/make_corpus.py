#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

Seeds are the worked examples and the awkward values (not-a-number, infinities, huge, tiny and
subnormal numbers, negative zero, rounding ties and the 32-bit limits), so that every fuzzing
run starts from the corners rather than having to find them. Inputs that once found a fault
are added to the same folders by hand (named regression-*) and are never regenerated.

Usage: fuzz/make_corpus.py
"""
import hashlib
import math
import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
NAN = math.nan
INF = math.inf

# x1, y1, r1, x2, y2, r2
INTERSECTIONS = [
    (100, 100, 100, 300, 300, 50),      # apart
    (100, 100, 200, 300, 300, 150),     # two points
    (100, 100, 100, 250, 100, 100),     # horizontal centre line
    (100, 100, 100, 250, 100, 50),      # touching from outside
    (100, 100, 100, 150, 100, 50),      # second inside the first, touching
    (100, 100, 50, 150, 100, 100),      # first inside the second, touching
    (100, 300, 150, 100, 100, 150),     # vertical, second centre above
    (100, 100, 150, 100.0009765625, 300, 150),  # nearly vertical
    (300, 100, 150, 100, 100, 150),     # second centre to the left
    (100, 100, 80, 100, 100, 50),       # concentric
    (100, 100, 80, 100, 100, 80),       # coincident
    (100, 100, 30, 140, 100, 50),       # right angle at the first centre
    (0, 0, 0, 50, 0, 50),               # zero radius
    (0, 0, -5, 3, 0, 5),                # negative radius
    (NAN, 100, 100, 150, 120, 80),
    (100, 100, NAN, 150, 120, 80),
    (100, 100, 100, 150, 120, NAN),
    (INF, 100, 100, 150, 120, 80),
    (INF, 100, INF, INF, 120, INF),
    (0, 0, INF, 1, 0, INF),
    (1e308, 0, 1, -1e308, 0, 1),        # the centres' difference overflows
    (0, 0, 1e200, 1e200, 0, 1e200),     # the squared distance overflows
    (0, 0, 1.7976931348623157e308, 1e308, 0, 1e308),
    (0, 0, 1e-200, 1e-200, 0, 1e-200),  # squares underflow
    (0, 0, 5e-324, 5e-324, 0, 5e-324),  # subnormal
    (-0.0, -0.0, 1, 1, -0.0, 1),
    (1e15, 1e15, 3, 1e15 + 4, 1e15, 3),  # far from the origin
]

# locale selector, X, Y
LABELS = [
    (0, 100, 100),
    (1, -12.5, 410),
    (2, 150.5, 99.5),
    (3, 2.5, -0.5),
    (4, 0.25, -0.0),
    (5, 123.456, 0.001),
    (6, 1 / 3, -2 / 3),
    (0, 999999999999999.5, 1e15),
    (1, 0.0001, 0.000099999999999999995),
    (2, 9.999999999999999, 1e-5),
    (3, 2147483647.5, -2147483648.5),
    (4, 2147483646.5, -2147483647.5),
    (5, NAN, INF),
    (6, -INF, 5e-324),
    (0, 1.7976931348623157e308, -2.2250738585072014e-308),
    (1, 16777217.0, 0.1),
]


def write(target: str, payload: bytes) -> None:
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    name = "seed-" + hashlib.sha1(payload).hexdigest()[:16]
    (folder / name).write_bytes(payload)


def main() -> None:
    for values in INTERSECTIONS:
        write("intersection", struct.pack("<6d", *values))
    for selector, x, y in LABELS:
        write("numbertext", struct.pack("<B2d", selector, x, y))


if __name__ == "__main__":
    main()
