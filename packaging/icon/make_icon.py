#!/usr/bin/env python3
"""Draws the program's icon and writes it as files: two circles, blue and red, crossing at two
points marked in black, on a white tile.

    circle-intersection.ico     three images: 32 x 32 in 2 colours (1 bit per pixel),
                                32 x 32 and 16 x 16 in 16 colours (4 bits per pixel)
    circle-intersection-32.png  the 32 x 32 16-colour image, for desktops' icon themes
    circle-intersection-16.png  the 16 x 16 one
    circle-intersection-32.argb the same two as raw pixels (QImage::Format_ARGB32), which the
    circle-intersection-16.argb program makes its window icon from without decoding anything
    circle-intersection-N.png   N = 48, 64, 128, 192, 256 and 512: the same picture drawn
                                smooth, with anti-aliased edges in full colour, for launchers,
                                software centres and the web page's manifest
    circle-intersection-full-N.png
                                N = 180 and 512: the rings and dots alone on a white square,
                                within its middle circle of 80 % of its width, for home screens
                                that cut an icon to a shape of their own: the web page's
                                maskable icon, and Safari's, which iOS rounds itself

Usage: make_icon.py [--check] [DIRECTORY]   (default: this script's directory)
With --check nothing is written; the exit status says whether the files in DIRECTORY are what
this script draws.

Python standard library only: the ICO, BMP, PNG and raw bytes are written here.
"""
from __future__ import annotations

import math
import struct
import sys
import zlib
from pathlib import Path

# The 16 colours of the standard Windows palette, as (red, green, blue).
PALETTE_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, SILVER, RED, BLUE, WHITE = 0, 8, 7, 9, 12, 15
PALETTE_2 = [(0, 0, 0), (255, 255, 255)]

TRANSPARENT = None  # a pixel outside the tile

# Centres, radius, half the ring's thickness and the dots' radius at the sizes drawn in the 16
# colours, in pixels, tuned per size so that the rings stay one pixel wide and the dots stand
# out from them. The larger sizes scale the 32-pixel layout.
LAYOUT = {
    32: ((12.0, 12.0), (20.0, 20.0), 8.3, 0.55, 1.9),
    16: ((6.0, 6.0), (10.0, 10.0), 4.0, 0.5, 1.1),
}
# The sizes drawn smooth, in full colour.
SMOOTH_SIZES = (48, 64, 128, 192, 256, 512)
# The sizes drawn smooth on a full square.
FULL_SIZES = (180, 512)


# ---------------------------------------------------------------------------------------------
# Drawing


def crossing_points(c1, r1, c2, r2):
    """The two points where two circles cross (they are chosen so that they do)."""
    dx, dy = c2[0] - c1[0], c2[1] - c1[1]
    d = math.hypot(dx, dy)
    a = (r1 * r1 - r2 * r2 + d * d) / (2 * d)
    h = math.sqrt(r1 * r1 - a * a)
    mx, my = c1[0] + a * dx / d, c1[1] + a * dy / d
    return [(mx + h * dy / d, my - h * dx / d), (mx - h * dy / d, my + h * dx / d)]


def draw(size: int, two_colours: bool) -> list[list[int | None]]:
    """The icon at `size` pixels, as rows of colour indices (None: transparent).

    A white tile with a grey edge, the blue circle up and to the left, the red one down and to
    the right, and a black dot on each crossing point.
    Coordinates are in pixels with pixel (x, y) centred on (x + 0.5, y + 0.5)."""
    c_blue, c_red, radius, ring, dot = LAYOUT[size]
    points = crossing_points(c_blue, radius, c_red, radius)

    ink, paper, edge = (0, 1, 0) if two_colours else (BLACK, WHITE, GREY)
    blue, red = (ink, ink) if two_colours else (BLUE, RED)
    rows: list[list[int | None]] = []
    for y in range(size):
        row: list[int | None] = []
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            if x == 0 or y == 0 or x == size - 1 or y == size - 1:
                # One pixel of transparent margin, cut diagonally at the corners of the
                # grey edge so that the tile reads as rounded.
                row.append(TRANSPARENT)
                continue
            corner = min(x, size - 1 - x) + min(y, size - 1 - y) <= 2
            if corner:
                row.append(TRANSPARENT)
                continue
            on_edge = x == 1 or y == 1 or x == size - 2 or y == size - 2
            colour = edge if on_edge else paper
            if not on_edge:
                if abs(math.hypot(px - c_blue[0], py - c_blue[1]) - radius) <= ring:
                    colour = blue
                # The red circle is drawn over the blue one.
                if abs(math.hypot(px - c_red[0], py - c_red[1]) - radius) <= ring:
                    colour = red
                if any(math.hypot(px - qx, py - qy) <= dot for qx, qy in points):
                    colour = ink
            row.append(colour)
        rows.append(row)
    return rows


def draw_smooth(size: int, full: bool = False) -> list[list[tuple[int, int, int, int]]]:
    """The icon at `size` pixels, anti-aliased, as rows of (red, green, blue, alpha).

    The same picture as the 32-pixel one, its layout scaled from 32 units to `size`: a white
    tile with rounded corners and a grey edge, the two rings and the two dots. Each shape
    covers a pixel by how far the pixel's centre lies inside its outline (a pixel straddling
    the outline half-covered), and the shapes are laid over one another in the order the
    small images draw them.

    `full`: the rings and dots only, on white to the square's edges, scaled down about the
    middle so that the ring farthest from it stays within 40 % of `size` of it."""
    c_blue, c_red, radius, ring, dot = LAYOUT[32]
    reach = math.hypot(16 - c_blue[0], 16 - c_blue[1]) + radius + ring  # in units, from the middle
    unit = 0.4 * size / reach if full else size / 32
    ring, dot = ring * unit, dot * unit  # in pixels
    # Where unit 0 lies: the picture's middle, unit 16, on the square's.
    shift = size / 2 - 16 * unit
    c_blue, c_red = ((x + shift / unit, y + shift / unit) for x, y in (c_blue, c_red))
    points = crossing_points(c_blue, radius, c_red, radius)
    # The tile spans units 1 to 31 and its edge is 0.75 unit wide, at least a pixel.
    half_tile, corner, edge = 15 * unit, 2.5 * unit, max(1.0, 0.75 * unit)
    centre = 16 * unit

    def cover(inside: float) -> float:
        """How much of a pixel lies inside an outline that its centre is `inside` pixels
        within (negative: outside)."""
        return min(1.0, max(0.0, inside + 0.5))

    def over(under, colour, alpha):
        return tuple(u + (c - u) * alpha for u, c in zip(under, colour))

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            # The distance of the pixel's centre outside the tile's rounded outline.
            qx = abs(px - centre) - (half_tile - corner)
            qy = abs(py - centre) - (half_tile - corner)
            outside = (math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0)
                       - corner)
            tile = 1.0 if full else cover(-outside)
            if tile == 0.0:
                row.append((0, 0, 0, 0))
                continue
            colour = PALETTE_16[WHITE] if full else over(PALETTE_16[GREY], PALETTE_16[WHITE],
                                                         cover(-outside - edge))
            for c, index in ((c_blue, BLUE), (c_red, RED)):
                off_ring = abs(math.hypot(px - c[0] * unit, py - c[1] * unit) - radius * unit)
                colour = over(colour, PALETTE_16[index], cover(ring - off_ring))
            for point in points:
                colour = over(colour, PALETTE_16[BLACK],
                              cover(dot - math.hypot(px - point[0] * unit, py - point[1] * unit)))
            row.append((*(round(v) for v in colour), round(255 * tile)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------
# Files


def bmp_in_ico(rows: list[list[int | None]], bits: int, palette: list[tuple[int, int, int]]
               ) -> bytes:
    """One icon image as an ICO file holds it: a BITMAPINFOHEADER whose height counts both
    masks, the palette, the colour (XOR) bitmap and the transparency (AND) mask, each bottom
    row first, each row padded to 4 bytes."""
    size = len(rows)

    def packed(values: list[int], depth: int) -> bytes:
        per_byte = 8 // depth
        out = bytearray()
        for i in range(0, len(values), per_byte):
            byte = 0
            for j, v in enumerate(values[i:i + per_byte]):
                byte |= v << (8 - depth * (j + 1))
            out.append(byte)
        out.extend(b"\0" * (-len(out) % 4))
        return bytes(out)

    colour = b"".join(packed([0 if v is None else v for v in row], bits)
                      for row in reversed(rows))
    mask = b"".join(packed([1 if v is None else 0 for v in row], 1) for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + colour + mask


def ico(images: list[tuple[list[list[int | None]], int, list[tuple[int, int, int]]]]) -> bytes:
    bodies = [bmp_in_ico(rows, bits, palette) for rows, bits, palette in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for (rows, bits, palette), body in zip(images, bodies):
        size = len(rows)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, len(palette) % 256, 0, 1,
                               bits, len(body), offset)
        offset += len(body)
    return directory + entries + b"".join(bodies)


def rgba(rows: list[list[int | None]], palette: list[tuple[int, int, int]]
         ) -> list[list[tuple[int, int, int, int]]]:
    """The image of colour indices as (red, green, blue, alpha) pixels."""
    return [[(0, 0, 0, 0) if v is None else (*palette[v], 255) for v in row] for row in rows]


def png(rows: list[list[tuple[int, int, int, int]]]) -> bytes:
    """An 8-bit RGBA PNG of the image."""
    def chunk(kind: bytes, data: bytes) -> bytes:
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for pixel in row:
            raw.extend(pixel)
    size = len(rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def argb(rows: list[list[tuple[int, int, int, int]]]) -> bytes:
    """The pixels as QImage::Format_ARGB32 holds them: one little-endian 0xAARRGGBB a pixel."""
    return b"".join(struct.pack("<I", a << 24 | r << 16 | g << 8 | b)
                    for row in rows for r, g, b, a in row)


def files() -> dict[str, bytes]:
    large, mono, small = draw(32, False), draw(32, True), draw(16, False)
    return {
        "circle-intersection.ico": ico([(mono, 1, PALETTE_2), (large, 4, PALETTE_16),
                                        (small, 4, PALETTE_16)]),
        "circle-intersection-32.png": png(rgba(large, PALETTE_16)),
        "circle-intersection-16.png": png(rgba(small, PALETTE_16)),
        "circle-intersection-32.argb": argb(rgba(large, PALETTE_16)),
        "circle-intersection-16.argb": argb(rgba(small, PALETTE_16)),
    } | {f"circle-intersection-{size}.png": png(draw_smooth(size)) for size in SMOOTH_SIZES} | {
        f"circle-intersection-full-{size}.png": png(draw_smooth(size, True)) for size in FULL_SIZES}


def main(args: list[str]) -> int:
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    directory = Path(args[0]) if args else Path(__file__).resolve().parent
    stale = []
    for name, data in files().items():
        path = directory / name
        if check:
            if not path.is_file() or path.read_bytes() != data:
                stale.append(name)
        else:
            path.write_bytes(data)
    if stale:
        print(f"not what {Path(__file__).name} draws: {', '.join(stale)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
