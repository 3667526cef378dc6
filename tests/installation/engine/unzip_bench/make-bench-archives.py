#!/usr/bin/env python3
"""Writes the two 200 MB benchmark packages: one large entry, and thousands of small ones.

The content mixes random bytes with repetitive text so it deflates to about half, like an
installer package. A fixed seed makes every run measure the same archives."""
import os
import random
import sys
import zipfile

TOTAL = 200 * 1024 * 1024
SMALL_FILE = 25 * 1024
CHUNK = 64 * 1024


def content(rng, size):
    words = [b"setup", b"client", b"quill", b"package", b"runtime", b"config", b"\r\n"]
    out = bytearray()
    while len(out) < size:
        out += rng.randbytes(CHUNK // 2)
        out += b" ".join(rng.choice(words) for _ in range(CHUNK // 12))[: CHUNK // 2]
    return bytes(out[:size])


def main(folder):
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(20240501)
    large = os.path.join(folder, "large.zip")
    if not os.path.exists(large):
        with zipfile.ZipFile(large + ".part", "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr("Quillmere.msi", content(rng, TOTAL))
        os.replace(large + ".part", large)
    small = os.path.join(folder, "small.zip")
    if not os.path.exists(small):
        pool = content(rng, 4 * 1024 * 1024)
        with zipfile.ZipFile(small + ".part", "w", zipfile.ZIP_DEFLATED) as z:
            for i in range(TOTAL // SMALL_FILE):
                start = (i * 7919) % (len(pool) - SMALL_FILE)
                z.writestr("part%02d/file%05d.dat" % (i % 80, i), pool[start:start + SMALL_FILE])
        os.replace(small + ".part", small)


if __name__ == "__main__":
    main(sys.argv[1])
