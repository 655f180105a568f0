#!/usr/bin/env python3
"""Draws the application icon and writes src/window/resources/ostrevane.ico.

Eight images, 16, 20, 24, 32, 40, 48, 64 and 256 pixels square, each an
uncompressed bitmap at 32 bits per pixel with alpha (and the AND mask the
format carries besides). Windows shows 16, 20, 24, 32 and 40 pixels in the
caption, the taskbar and Explorer between 100 % and 250 % scale, and 48, 64
and 256 in Explorer's bigger views: each of them has an image of its own
rather than one scaled from another size.

The artwork is a blue tile holding a list of three rows with check boxes, the
first two ticked, and a small tray in the corner. Up to 32 pixels the list has
two rows, the first ticked, with bigger boxes and thicker lines, no tray, and
edges on whole pixels, so that it stays legible.
"""
import struct
import sys
from pathlib import Path

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
SMALL = 32  # up to this size, the simplified artwork
SUPERSAMPLE = 4

RIM = (25, 70, 140, 255)
WHITE = (255, 255, 255, 255)
TICK = (255, 214, 64, 255)
NAME = (255, 255, 255, 235)


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def near_segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


def shade(u, v):
    """Colour (r, g, b, a) of the artwork at unit coordinates u, v in [0, 1)."""
    if not inside_rounded(u, v, 0.04, 0.04, 0.96, 0.96, 0.16):
        return (0, 0, 0, 0)
    # Tile: a vertical blue gradient with a thin darker rim.
    t = v
    base = (int(40 + 30 * (1 - t)), int(110 + 50 * (1 - t)), int(200 + 40 * (1 - t)), 255)
    if not inside_rounded(u, v, 0.07, 0.07, 0.93, 0.93, 0.13):
        return RIM
    rows = (0.26, 0.48, 0.70)
    for index, row in enumerate(rows):
        # Check box.
        if inside_rounded(u, v, 0.16, row - 0.07, 0.30, row + 0.07, 0.025):
            if not inside_rounded(u, v, 0.18, row - 0.05, 0.28, row + 0.05, 0.015):
                return WHITE
            if index < 2 and (near_segment(u, v, 0.195, row, 0.225, row + 0.035, 0.035)
                              or near_segment(u, v, 0.225, row + 0.035, 0.275, row - 0.04, 0.035)):
                return TICK
            return base
        # The entry's name.
        length = 0.80 if index != 1 else 0.68
        if inside_rounded(u, v, 0.36, row - 0.035, length, row + 0.035, 0.035):
            return NAME
    # A small tray in the lower right corner.
    if inside_rounded(u, v, 0.66, 0.80, 0.84, 0.88, 0.02):
        return (235, 240, 250, 255)
    if inside_rounded(u, v, 0.69, 0.82, 0.81, 0.87, 0.01):
        return RIM
    return base


def small_shade(size):
    """The simplified artwork for `size` pixels: colour at pixel coordinates
    x, y in [0, size). Two rows, the first ticked; the box and the names stand
    on whole pixels, the rim and the box's border are one pixel wide (two from
    32 pixels)."""
    line = 1 if size < 32 else 2
    margin = max(1, round(size * 0.04))
    radius = size * 0.16
    box = round(size * 0.30)  # the box's side, border included
    box_left = round(size * 0.15)
    tops = [round(size * 0.35 - box / 2), round(size * 0.69 - box / 2)]
    bar = max(2, round(size * 0.10))  # the name's height
    name_left = box_left + box + max(1, round(size * 0.06))
    name_rights = [size - margin - 1 - round(size * 0.06), size - margin - 1 - round(size * 0.2)]

    def colour(x, y):
        if not inside_rounded(x, y, margin, margin, size - margin, size - margin, radius):
            return (0, 0, 0, 0)
        if not inside_rounded(x, y, margin + 1, margin + 1, size - margin - 1, size - margin - 1,
                              radius - 1):
            return RIM
        base = tile_colour(y / size)
        for index, top in enumerate(tops):
            if box_left <= x < box_left + box and top <= y < top + box:
                inner = box_left + line <= x < box_left + box - line and top + line <= y < top + box - line
                if not inner:
                    return WHITE
                if index == 0:
                    a = (box_left + 0.22 * box, top + 0.50 * box)
                    b = (box_left + 0.45 * box, top + 0.74 * box)
                    c = (box_left + 0.80 * box, top + 0.22 * box)
                    width = max(1.6, box * 0.2)
                    if near_segment(x, y, *a, *b, width) or near_segment(x, y, *b, *c, width):
                        return TICK
                return base
            middle = top + box / 2
            name_top = round(middle - bar / 2)
            if inside_rounded(x, y, name_left, name_top, name_rights[index], name_top + bar, bar / 2):
                return NAME
        return base

    return colour


def tile_colour(v):
    """The tile: a vertical blue gradient, v from 0 at the top to 1."""
    return (int(40 + 30 * (1 - v)), int(110 + 50 * (1 - v)), int(200 + 40 * (1 - v)), 255)


def render(size):
    if size <= SMALL:
        small = small_shade(size)
        colour_at = lambda u, v: small(u * size, v * size)
    else:
        colour_at = shade
    pixels = []
    n = SUPERSAMPLE
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = colour_at((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3]:
                row.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], int(alpha + 0.5)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def mask_rows(pixels, size):
    stride = ((size + 31) // 32) * 4
    data = b""
    for y in reversed(range(size)):
        bits = bytearray(stride)
        for x in range(size):
            if pixels[y][x][3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def image(size):
    """One image of the file: BITMAPINFOHEADER (twice the height, for the
    mask), colour rows bottom up as B, G, R, A, then the AND mask."""
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = b"".join(bytes(channel for r, g, b, a in pixels[y] for channel in (b, g, r, a))
                    for y in reversed(range(size)))
    return header + body + mask_rows(pixels, size)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent.parent / "src/window/resources/ostrevane.ico"
    blobs = [image(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for size, blob in zip(SIZES, blobs):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    out.write_bytes(directory + b"".join(blobs))
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
