#!/usr/bin/env python3
"""Draws the link builder window's icon, tervane.ico: a folder with two chain
links, as a 32x32 and a 16x16 image in the 16 standard colours. The shapes are
described in unit coordinates and sampled at each pixel's centre, so both sizes
come from the same drawing. Run it again after changing the drawing:

    python3 make_icon.py tervane.ico
"""
import math
import struct
import sys

PALETTE = [  # the 16 standard colours, as (red, green, blue)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
OLIVE, NAVY, YELLOW, BLUE, WHITE = 3, 4, 11, 12, 15


def in_rect(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def segment_distance(x, y, x1, y1, x2, y2):
    dx, dy = x2 - x1, y2 - y1
    t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (x1 + t * dx), y - (y1 + t * dy))


def folder(x, y):
    return in_rect(x, y, 0.06, 0.14, 0.42, 0.30) or in_rect(x, y, 0.06, 0.24, 0.86, 0.76)


def link(x, y, segment, size):
    # A chain link: a ring around a short segment, at least one pixel wide.
    half = max(0.05, 0.75 / size)
    return abs(segment_distance(x, y, *segment) - 0.11) <= half


LINKS = [((0.36, 0.82, 0.56, 0.62), BLUE), ((0.60, 0.66, 0.80, 0.46), NAVY)]


def colour_at(px, py, size):
    """The palette index of a pixel, or None where the icon is transparent."""
    x, y = (px + 0.5) / size, (py + 0.5) / size
    colour = None
    if folder(x, y):
        step = 1.0 / size
        edge = not all(folder(x + dx, y + dy)
                       for dx, dy in ((step, 0), (-step, 0), (0, step), (0, -step)))
        colour = OLIVE if edge else YELLOW
    for segment, ring in LINKS:
        if link(x, y, segment, size):
            colour = ring
    return colour


def image(size):
    rows = [[colour_at(px, py, size) for px in range(size)] for py in range(size)]
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour_row = (size // 2 + 3) // 4 * 4
    mask_row = (size // 8 + 3) // 4 * 4
    xor, mask = b'', b''
    for row in reversed(rows):  # bottom-up
        nibbles = [0 if c is None else c for c in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += packed.ljust(colour_row, b'\0')
        bits = bytearray(mask_row)
        for i, c in enumerate(row):
            if c is None:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bytes(bits)
    return header + palette + xor + mask


def main():
    sizes = [32, 16]
    images = [image(size) for size in sizes]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, body in zip(sizes, images):
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(body), offset)
        offset += len(body)
    with open(sys.argv[1], 'wb') as out:
        out.write(data + b''.join(images))


if __name__ == '__main__':
    main()
