#!/usr/bin/env python3
"""Draws the application icon and writes src/win32/resources/ostrevane.ico.

Four images, all uncompressed bitmaps: 32 x 32 at 24 bits per pixel (with a
transparency mask), and 48 x 48, 128 x 128 and 256 x 256 at 32 bits per pixel
with alpha. The artwork is a blue tile holding a list of three rows with check
boxes, the first two ticked, and a small tray in the corner.
"""
import struct
import sys
from pathlib import Path

SUPERSAMPLE = 4


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
        return (25, 70, 140, 255)
    rows = (0.26, 0.48, 0.70)
    for index, row in enumerate(rows):
        # Check box.
        if inside_rounded(u, v, 0.16, row - 0.07, 0.30, row + 0.07, 0.025):
            if not inside_rounded(u, v, 0.18, row - 0.05, 0.28, row + 0.05, 0.015):
                return (255, 255, 255, 255)
            if index < 2 and (near_segment(u, v, 0.195, row, 0.225, row + 0.035, 0.035)
                              or near_segment(u, v, 0.225, row + 0.035, 0.275, row - 0.04, 0.035)):
                return (255, 214, 64, 255)
            return base
        # The entry's name.
        length = 0.80 if index != 1 else 0.68
        if inside_rounded(u, v, 0.36, row - 0.035, length, row + 0.035, 0.035):
            return (255, 255, 255, 235)
    # A small tray in the lower right corner.
    if inside_rounded(u, v, 0.66, 0.80, 0.84, 0.88, 0.02):
        return (235, 240, 250, 255)
    if inside_rounded(u, v, 0.69, 0.82, 0.81, 0.87, 0.01):
        return (25, 70, 140, 255)
    return base


def render(size):
    pixels = []
    n = SUPERSAMPLE
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = shade((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size)
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


def image(size, bits):
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    body = b""
    for y in reversed(range(size)):
        row = bytearray()
        for r, g, b, a in pixels[y]:
            if bits == 32:
                row += bytes((b, g, r, a))
            else:
                row += bytes((b, g, r)) if a >= 128 else b"\0\0\0"
        while len(row) % 4:
            row.append(0)
        body += bytes(row)
    return header + body + mask_rows(pixels, size)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent.parent / "src/win32/resources/ostrevane.ico"
    images = [(32, 24), (48, 32), (128, 32), (256, 32)]
    blobs = [image(size, bits) for size, bits in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), blob in zip(images, blobs):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    out.write_bytes(directory + b"".join(blobs))
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
