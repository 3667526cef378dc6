#!/usr/bin/env python3
"""Writes the PNG that the renderer tests load as a module resource: 3 x 2 pixels, RGBA,
top row red, green, blue (opaque), bottom row white at alpha 128, black, transparent."""
import struct
import sys
import zlib

PIXELS = [
    [(255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255)],
    [(255, 255, 255, 128), (0, 0, 0, 255), (0, 0, 0, 0)],
]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main(path):
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in PIXELS)
    header = struct.pack(">IIBBBBB", len(PIXELS[0]), len(PIXELS), 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main(sys.argv[1])
