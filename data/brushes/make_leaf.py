#!/usr/bin/env python3
"""Writes leaf.png, the picture of the "image brush": a 64 x 64 leaf with a midrib, turned 40
degrees, transparent around it and kept inside the brush's circle."""
import math
import struct
import zlib

SIZE = 64


def leaf_pixel(x, y):
    # Into the leaf's own frame: centred, turned so the leaf lies along u.
    cx, cy = x + 0.5 - SIZE / 2, y + 0.5 - SIZE / 2
    a = math.radians(40)
    u = cx * math.cos(a) + cy * math.sin(a)
    v = -cx * math.sin(a) + cy * math.cos(a)
    half_length = 26.0
    if abs(u) >= half_length:
        return (0, 0, 0, 0)
    t = u / half_length
    half_width = 11.0 * (1 - t * t) * (1 + 0.25 * t)
    edge = half_width - abs(v)
    if edge <= 0:
        return (0, 0, 0, 0)
    alpha = min(1.0, edge / 1.5)
    shade = 0.75 + 0.25 * (v / (half_width + 1e-6))
    green = (70 + 90 * shade, 130 + 80 * shade, 40 + 30 * shade)
    if abs(v) < 0.9 and t < 0.95:  # the midrib
        green = (200, 220, 120)
    if t < -0.92 and abs(v) < 1.5:  # the stalk
        green, alpha = (110, 90, 40), 1.0
    return tuple(int(max(0, min(255, c))) for c in green) + (int(alpha * 255),)


def write_png(path, width, height, pixels):
    rows = b"".join(b"\0" + bytes(c for p in pixels[y * width:(y + 1) * width] for c in p)
                    for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "leaf.png"), SIZE, SIZE,
              [leaf_pixel(x, y) for y in range(SIZE) for x in range(SIZE)])
