#!/usr/bin/env python3
"""Draws the program's icon, a wrench over a folder, as icon.ico: 16x16, 32x32 and 48x48
images of 16 colours each. Run it again after changing the picture: python3 make_icon.py"""
import math
import struct
from pathlib import Path

# The standard 16-colour palette, as (blue, green, red, 0) in the file.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, OLIVE, SILVER, YELLOW = 0, 3, 7, 11


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def folder(x, y):
    """Folder body and its tab, in unit coordinates (y grows downwards)."""
    tab = 0.06 <= x <= 0.42 and 0.18 <= y <= 0.30
    body = 0.06 <= x <= 0.94 and 0.26 <= y <= 0.86
    return tab or body


def wrench(x, y):
    """A wrench lying from lower left to upper right, its open jaw at the top right."""
    hx, hy, radius = 0.68, 0.36, 0.20
    handle = segment_distance(x, y, 0.26, 0.86, hx, hy) <= 0.075
    head = math.hypot(x - hx, y - hy) <= radius
    # The jaw: a slot cut into the head, pointing away from the handle.
    ux, uy = (hx - 0.26), (hy - 0.86)
    length = math.hypot(ux, uy)
    ux, uy = ux / length, uy / length
    along = (x - hx) * ux + (y - hy) * uy
    across = -(x - hx) * uy + (y - hy) * ux
    jaw = along > -0.02 and abs(across) <= 0.075
    return (handle or head) and not jaw


def render(size):
    """Colour indexes, one row per line from the top, and the transparency of each pixel."""
    def sample(shape, col, row):
        return shape((col + 0.5) / size, (row + 0.5) / size)

    def edge(shape, col, row):
        neighbours = [(col + dc, row + dr) for dc, dr in ((1, 0), (-1, 0), (0, 1), (0, -1))]
        return any(not (0 <= c < size and 0 <= r < size) or not sample(shape, c, r)
                   for c, r in neighbours)

    pixels, opaque = [], []
    for row in range(size):
        colours, mask = [], []
        for col in range(size):
            if sample(wrench, col, row):
                colour = BLACK if edge(wrench, col, row) else SILVER
            elif sample(folder, col, row):
                colour = OLIVE if edge(folder, col, row) else YELLOW
            else:
                colour = None
            colours.append(colour if colour is not None else 0)
            mask.append(colour is not None)
        pixels.append(colours)
        opaque.append(mask)
    return pixels, opaque


def image(size):
    pixels, opaque = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(range(size)):  # bitmaps are stored bottom-up
        nibbles = pixels[row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(data + b'\0' * (-len(data) % 4))
        bits = 0
        mask = bytearray()
        for col in range(size):
            bits = (bits << 1) | (0 if opaque[row][col] else 1)
            if col % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b'\0' * (-len(mask) % 4))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def main():
    sizes = [16, 32, 48]
    images = [image(size) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    Path(__file__).with_name('icon.ico').write_bytes(out + b''.join(images))


if __name__ == '__main__':
    main()
