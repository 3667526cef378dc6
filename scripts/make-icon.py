#!/usr/bin/env python3
"""Writes the application icon (16x16 and 32x32, 32-bit with alpha) to the given path.

The icon is drawn here rather than kept as a binary file in the repository: a rounded
teal tile carrying a white quill-like ring.
"""
import struct
import sys


def pixel(size, x, y):
    cx = cy = (size - 1) / 2.0
    r_tile = size / 2.0 - 0.5
    # Rounded square tile.
    corner = size * 0.22
    dx = max(abs(x - cx) - (r_tile - corner), 0.0)
    dy = max(abs(y - cy) - (r_tile - corner), 0.0)
    if (dx * dx + dy * dy) ** 0.5 > corner:
        return (0, 0, 0, 0)
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    ring_outer, ring_inner = size * 0.34, size * 0.20
    tail = x > cx and y > cy and abs((x - cx) - (y - cy)) < size * 0.08 and d < size * 0.46
    if ring_inner <= d <= ring_outer or tail:
        return (255, 255, 255, 255)
    return (0x1f, 0x8a, 0x8f, 255)  # r, g, b, a


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up rows
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    and_mask = bytes(mask_stride * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
