#!/usr/bin/env python3
"""Writes the gallery's sample animation: a 32 x 32 square cycling through four colours."""
import struct
import sys

COLOURS = [(0x33, 0x99, 0xCC), (0x66, 0xBB, 0x66), (0xEE, 0xAA, 0x33), (0xCC, 0x44, 0x44)]
SIZE = 32


def pixel_data(count):
    # Minimum code size 2; a clear code before every pixel keeps codes 3 bits wide.
    bits = nbits = 0
    out = bytearray()

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += 3
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    for _ in range(count):
        emit(4)
        emit(0)
    emit(5)
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray([2])
    for pos in range(0, len(out), 255):
        chunk = out[pos:pos + 255]
        blocks.append(len(chunk))
        blocks += chunk
    blocks.append(0)
    return bytes(blocks)


def main(path):
    data = bytearray(b"GIF89a") + struct.pack("<HH", SIZE, SIZE) + bytes([0, 0, 0])
    data += bytes([0x21, 0xFF, 0x0B]) + b"NETSCAPE2.0" + bytes([3, 1, 0, 0, 0])
    pixels = pixel_data(SIZE * SIZE)
    for colour in COLOURS:
        data += bytes([0x21, 0xF9, 4, 4]) + struct.pack("<H", 25) + bytes([0, 0])
        data += bytes([0x2C]) + struct.pack("<HHHH", 0, 0, SIZE, SIZE) + bytes([0x81])
        data += bytes(colour) + bytes(9) + pixels
    data += b";"
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
