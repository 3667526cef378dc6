#!/usr/bin/env python3
"""Writes the installer's skin archive: the skin documents of installation/skins and the ten
images they use, which are drawn here instead of being kept as binary files. Each image also
comes drawn at one and a half and twice its size ("name@1.5x.png", "name@2x.png") for screens
of 144 and 192 DPI: drawn at that size, so edges stay sharp where a resampled picture would blur.

    make-skin-archive.py SKINS_DIR OUT_ZIP

The archive is reproducible: fixed entry order and timestamps, so an unchanged input gives
the same bytes and the same resource in the exe.
"""
import struct
import sys
import zipfile
import zlib

SKIN_FILES = ["installation.xml", "msgbox.xml", "uninstall_tip.xml", "proxy_login.xml"]
FIXED_TIME = (2024, 1, 1, 0, 0, 0)


def png(width, height, pixel):
    """PNG bytes (8-bit RGBA, straight alpha) of pixel(x, y) -> (r, g, b, a)."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    rows = []
    for y in range(height):
        rows.append(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def argb(value):
    return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF, (value >> 24) & 0xFF


def vertical_gradient(width, height, top, bottom):
    """Opaque rows running from the top colour in the first row to the bottom one in the last."""
    a, b = argb(top), argb(bottom)

    def pixel(_x, y):
        t = y / (height - 1)
        return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(4))

    return png(width, height, pixel)


def cross(size, margin, rgb, half_width=0.9):
    """A diagonal cross of two anti-aliased strokes on a transparent ground."""
    lo, hi = margin, size - margin

    def coverage(px, py):
        best = 0.0
        for flip in (False, True):
            # Distance from the pixel centre to the stroke from (lo, lo) to (hi, hi), or its mirror.
            x = size - px if flip else px
            t = min(max((x + py) / 2.0, lo), hi)
            d = ((x - t) ** 2 + (py - t) ** 2) ** 0.5
            best = max(best, min(max(half_width + 0.5 - d, 0.0), 1.0))
        return best

    def pixel(x, y):
        return rgb + (round(255 * coverage(x + 0.5, y + 0.5)),)

    return png(size, size, pixel)


def shadow(width, height, corners, peaks, colour=(16, 16, 16)):
    """The frame of a drop shadow: alpha rises from 0 at each outer edge to that side's peak at
    the corner depth (left, top, right, bottom), and the area inside the corners is empty.
    In the corners the peaks of the two sides blend by how deep the pixel lies in each."""
    def pixel(x, y):
        distances = (x, y, width - 1 - x, height - 1 - y)
        if all(d >= c for d, c in zip(distances, corners)):
            return colour + (0,)
        depths = [min(d / (c - 1), 1.0) for d, c in zip(distances, corners)]
        weights = [max(c - d, 0) / c for d, c in zip(distances, corners)]
        peak = sum(p * w for p, w in zip(peaks, weights)) / sum(weights)
        # A squared ramp keeps the outer part faint, as a blurred edge would.
        return colour + (round(peak * min(depths) ** 2),)

    return png(width, height, pixel)


# The variants beside each image: the suffix before ".png" and how much larger they are drawn.
VARIANTS = [("", 1), ("@1.5x", 1.5), ("@2x", 2)]


def px(length, scale):
    """A length in pixels at a scale, rounded half up as the framework scales skin lengths."""
    return int(length * scale + 0.5)


def images_at(scale):
    def gradient(width, height, top, bottom):
        return vertical_gradient(px(width, scale), px(height, scale), top, bottom)

    def glyph(size, margin, rgb):
        return cross(px(size, scale), margin * scale, rgb, 0.9 * scale)

    # The skins name the shadow's corners (23, 13, 23, 33); the framework finds them in a
    # variant at the same scale, rounded the same way.
    corners = tuple(px(c, scale) for c in (23, 13, 23, 33))
    return [
        ("common/button/btn_blue_normal", gradient(16, 31, 0xFF90CAF6, 0xFF1A87D8)),
        ("common/button/btn_blue_pushed", gradient(16, 31, 0xFF73A2C5, 0xFF156CAD)),
        ("common/button/btn_gray_normal", gradient(16, 31, 0xFFF8F8F8, 0xFFDCDCDC)),
        ("common/button/btn_gray_pushed", gradient(16, 31, 0xFFC6C6C6, 0xFFB0B0B0)),
        ("common/close/btn_close_normal", glyph(12, 2.5, (255, 255, 255))),
        ("common/close/btn_close_pushed", glyph(12, 2.5, (0xCC, 0xCC, 0xCC))),
        ("common/window/shadow", shadow(px(246, scale), px(173, scale), corners, (49, 17, 49, 82))),
        ("installation/bkimage", gradient(55, 80, 0xFF3498E3, 0xFF1A87D9)),
        ("installation/btn_close_normal", glyph(16, 3.5, (255, 255, 255))),
        ("installation/btn_close_pushed", glyph(16, 3.5, (0xCC, 0xCC, 0xCC))),
    ]


def images():
    return [(f"{name}{suffix}.png", data)
            for suffix, scale in VARIANTS for name, data in images_at(scale)]


def main(skins_dir, out_path):
    entries = []
    for name in SKIN_FILES:
        with open(f"{skins_dir}/{name}", "rb") as f:
            entries.append((name, f.read()))
    entries += images()
    with zipfile.ZipFile(out_path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
