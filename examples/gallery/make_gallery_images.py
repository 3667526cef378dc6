#!/usr/bin/env python3
"""Draws every picture the gallery's skin uses, so that no binary file is kept in the tree.

    make_gallery_images.py OUT_DIR

Each picture is a small function of the pixel position; edges are anti-aliased by measuring how
much of a pixel lies inside a shape (a signed distance, clamped to one pixel of softness).
"""
import math
import os
import struct
import sys
import zlib

ACCENT = (0x2B, 0x6C, 0xC4)
ACCENT_DARK = (0x1F, 0x52, 0x99)
ACCENT_LIGHT = (0x8D, 0xB6, 0xEA)
BORDER = (0x9A, 0xA7, 0xB5)
BORDER_HOT = (0x5B, 0x8F, 0xD6)
TRACK = (0xD9, 0xE0, 0xE8)
WHITE = (0xFF, 0xFF, 0xFF)
CLEAR = (0, 0, 0, 0)


def png(width, height, pixel):
    """PNG bytes (8-bit RGBA, straight alpha) of pixel(x, y) -> (r, g, b, a)."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows += bytes(max(0, min(255, round(c))) for c in pixel(x, y))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def coverage(distance):
    """How much of a pixel a shape covers, from the signed distance of its centre (inside < 0)."""
    return min(max(0.5 - distance, 0.0), 1.0)


def over(top, bottom):
    """Straight-alpha `top` composited over `bottom`."""
    ta, ba = top[3] / 255.0, bottom[3] / 255.0
    a = ta + ba * (1 - ta)
    if a == 0:
        return CLEAR
    return tuple((top[i] * ta + bottom[i] * ba * (1 - ta)) / a for i in range(3)) + (a * 255,)


def rounded_box_distance(px, py, left, top, right, bottom, radius):
    """Signed distance from (px, py) to a rounded rectangle."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(dx, 0), max(dy, 0))
    return outside + min(max(dx, dy), 0) - radius


def box(width, height, fill_top, fill_bottom, border, radius=3.0, inset=(0, 0, 0, 0)):
    """A rounded box with a one-pixel border and a vertical gradient fill; `inset` leaves
    transparent margins (left, top, right, bottom) around it."""
    return png(width, height, box_pixel(width, height, fill_top, fill_bottom, border, radius, inset))


def box_pixel(width, height, fill_top, fill_bottom, border, radius=3.0, inset=(0, 0, 0, 0)):
    l, t, r, b = inset[0], inset[1], width - inset[2], height - inset[3]

    def pixel(x, y):
        px, py = x + 0.5, y + 0.5
        d = rounded_box_distance(px, py, l, t, r, b, radius)
        outer = coverage(d)
        if outer == 0:
            return CLEAR
        f = (py - t) / max(b - t - 1, 1)
        fill = tuple(fill_top[i] + (fill_bottom[i] - fill_top[i]) * f for i in range(3))
        if border is None:
            return fill + (255 * outer,)
        inner = coverage(d + 1.0)
        colour = tuple(border[i] + (fill[i] - border[i]) * inner for i in range(3))
        return colour + (255 * outer,)

    return pixel


def disc(size, radius, fill, ring=None, ring_width=1.2, dot=None, dot_radius=0.0):
    """A round mark: a filled disc with an optional ring and an optional centre dot."""
    c = size / 2

    def pixel(x, y):
        r = math.hypot(x + 0.5 - c, y + 0.5 - c)
        colour = CLEAR
        colour = over(fill + (255 * coverage(r - radius),), colour)
        if ring is not None:
            a = coverage(r - radius) * (1 - coverage(r - radius + ring_width))
            colour = over(ring + (255 * a,), colour)
        if dot is not None:
            colour = over(dot + (255 * coverage(r - dot_radius),), colour)
        return colour

    return png(size, size, pixel)


def segment_distance(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - ax - t * vx, py - ay - t * vy)


def strokes(width, height, lines, colour, half_width, background=None):
    """Anti-aliased strokes (lists of points) over an optional background picture function."""
    def pixel(x, y):
        px, py = x + 0.5, y + 0.5
        d = min(segment_distance(px, py, *line[i], *line[i + 1])
                for line in lines for i in range(len(line) - 1))
        base = background(x, y) if background else CLEAR
        return over(colour + (255 * coverage(d - half_width),), base)

    return pixel


def check_box(size, fill, border, tick):
    """A square check box; with a tick colour, ticked."""
    def background(x, y):
        d = rounded_box_distance(x + 0.5, y + 0.5, 1, 1, size - 1, size - 1, 2.5)
        inner = coverage(d + 1.0)
        colour = tuple(border[i] + (fill[i] - border[i]) * inner for i in range(3))
        return colour + (255 * coverage(d),)

    if tick is None:
        return png(size, size, background)
    s = size / 16.0
    tick_line = [(4.2 * s, 8.3 * s), (6.9 * s, 11.0 * s), (11.8 * s, 5.2 * s)]
    return png(size, size, strokes(size, size, [tick_line], tick, 0.9 * s, background))


def arrow(width, height, direction, colour, background=None, span=3.5):
    """A chevron pointing "up", "down", "left" or "right", centred."""
    cx, cy = width / 2, height / 2
    h = span / 2
    points = {
        "up": [(cx - span, cy + h), (cx, cy - h), (cx + span, cy + h)],
        "down": [(cx - span, cy - h), (cx, cy + h), (cx + span, cy - h)],
        "left": [(cx + h, cy - span), (cx - h, cy), (cx + h, cy + span)],
        "right": [(cx - h, cy - span), (cx + h, cy), (cx - h, cy + span)],
    }[direction]
    return png(width, height, strokes(width, height, [points], colour, 0.75, background))


def solid(colour):
    return lambda _x, _y: colour


def shadow(width, height, corners, peaks, colour=(16, 16, 16)):
    """The frame of a drop shadow: alpha rises from 0 at each outer edge to that side's peak at
    the corner depth (left, top, right, bottom); the area inside the corners is empty."""
    def pixel(x, y):
        distances = (x, y, width - 1 - x, height - 1 - y)
        if all(d >= c for d, c in zip(distances, corners)):
            return colour + (0,)
        depths = [min(d / (c - 1), 1.0) for d, c in zip(distances, corners)]
        weights = [max(c - d, 0) / c for d, c in zip(distances, corners)]
        peak = sum(p * w for p, w in zip(peaks, weights)) / sum(weights)
        return colour + (round(peak * min(depths) ** 2),)

    return png(width, height, pixel)


def tab(width, height, selected, hot):
    """A tab header: the selected one is the page's white with an accent line on top."""
    def pixel(x, y):
        d = rounded_box_distance(x + 0.5, y + 0.5, 0, 0, width, height + 4, 4)
        a = coverage(d)
        if a == 0:
            return CLEAR
        if selected:
            return (ACCENT if y < 3 else WHITE) + (255 * a,)
        return (0xF4, 0xF7, 0xFB, 255 * a) if hot else CLEAR

    return png(width, height, pixel)


def caption_button(size, glyph, hot_colour):
    """The caption's minimise and close buttons: a white glyph, on a coloured square when hot."""
    background = solid(hot_colour + (255,)) if hot_colour else None
    c = size / 2
    lines = {
        "min": [[(c - 5, c + 0.5), (c + 5, c + 0.5)]],
        "close": [[(c - 4.5, c - 4.5), (c + 4.5, c + 4.5)], [(c - 4.5, c + 4.5), (c + 4.5, c - 4.5)]],
    }[glyph]
    return png(size, size, strokes(size, size, lines, WHITE, 0.6, background))


def gif_spinner(size=32, frames=8):
    """An animated GIF: a ring of eight dots with a bright dot going round."""
    palette = [(0xFF, 0xFF, 0xFF), (0xD5, 0xE1, 0xF0), (0x8D, 0xB6, 0xEA), ACCENT]

    def frame(step):
        c = size / 2
        pixels = []
        for y in range(size):
            for x in range(size):
                index = 0
                for k in range(8):
                    angle = 2 * math.pi * k / 8
                    dx, dy = c + 11 * math.sin(angle), c - 11 * math.cos(angle)
                    if math.hypot(x + 0.5 - dx, y + 0.5 - dy) < 3.2:
                        age = (step - k) % 8
                        index = 3 if age == 0 else 2 if age <= 2 else 1
                pixels.append(index)
        return pixels

    def lzw(pixels):
        # Minimum code size 2; a clear code before every pixel keeps the codes 3 bits wide,
        # which any decoder reads without a real compressor here.
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

        for p in pixels:
            emit(4)
            emit(p)
        emit(5)
        if nbits:
            out.append(bits & 0xFF)
        blocks = bytearray([2])
        for pos in range(0, len(out), 255):
            part = out[pos:pos + 255]
            blocks.append(len(part))
            blocks += part
        blocks.append(0)
        return bytes(blocks)

    data = bytearray(b"GIF89a") + struct.pack("<HH", size, size) + bytes([0xF1, 0, 0])
    for colour in palette:
        data += bytes(colour)
    data += bytes([0x21, 0xFF, 0x0B]) + b"NETSCAPE2.0" + bytes([3, 1, 0, 0, 0])
    for step in range(frames):
        data += bytes([0x21, 0xF9, 4, 4]) + struct.pack("<H", 10) + bytes([0, 0])
        data += bytes([0x2C]) + struct.pack("<HHHH", 0, 0, size, size) + bytes([0])
        data += lzw(frame(step))
    data += b";"
    return bytes(data)


def images():
    grey_top, grey_bottom = (0xFD, 0xFD, 0xFE), (0xE9, 0xED, 0xF2)
    field = WHITE
    yield "caption_min.png", caption_button(28, "min", None)
    yield "caption_min_hot.png", caption_button(28, "min", (0x3A, 0x7B, 0xD5))
    yield "caption_close.png", caption_button(28, "close", None)
    yield "caption_close_hot.png", caption_button(28, "close", (0xE0, 0x4B, 0x43))
    yield "shadow.png", shadow(246, 173, (23, 13, 23, 33), (49, 17, 49, 82))
    yield "tab_hot.png", tab(24, 30, False, True)
    yield "tab_selected.png", tab(24, 30, True, False)
    # Buttons: 9-part images, corner 4.
    yield "button_normal.png", box(24, 28, (0x4A, 0x88, 0xD8), ACCENT, ACCENT_DARK)
    yield "button_hot.png", box(24, 28, (0x62, 0x9C, 0xE6), (0x3A, 0x7B, 0xD5), ACCENT_DARK)
    yield "button_pushed.png", box(24, 28, ACCENT_DARK, (0x25, 0x5E, 0xAE), ACCENT_DARK)
    yield "button_disabled.png", box(24, 28, (0xE4, 0xE8, 0xED), (0xDA, 0xDF, 0xE5), (0xC4, 0xCB, 0xD3))
    # Radio buttons and check boxes, 16 x 16, drawn at the left of their control.
    yield "radio_normal.png", disc(16, 7, field, BORDER)
    yield "radio_hot.png", disc(16, 7, field, BORDER_HOT)
    yield "radio_selected.png", disc(16, 7, field, ACCENT, dot=ACCENT, dot_radius=3.5)
    yield "radio_selected_hot.png", disc(16, 7, field, BORDER_HOT, dot=BORDER_HOT, dot_radius=3.5)
    yield "check_normal.png", check_box(16, field, BORDER, None)
    yield "check_hot.png", check_box(16, field, BORDER_HOT, None)
    yield "check_selected.png", check_box(16, ACCENT, ACCENT, WHITE)
    yield "check_selected_hot.png", check_box(16, BORDER_HOT, BORDER_HOT, WHITE)
    # Progress bar: a rounded track and its fill, corner 5.
    yield "progress_track.png", box(16, 12, TRACK, (0xE4, 0xE9, 0xEF), (0xC9, 0xD2, 0xDC), radius=5)
    yield "progress_fill.png", box(16, 12, (0x5C, 0x9A, 0xE6), ACCENT, ACCENT_DARK, radius=5)
    # Slider: a thin track in a 20-pixel-high strip, the filled part, and a round thumb.
    yield "slider_track.png", box(16, 20, TRACK, TRACK, (0xC9, 0xD2, 0xDC), radius=2.5, inset=(0, 7, 0, 7))
    yield "slider_fill.png", box(16, 20, ACCENT, ACCENT, ACCENT_DARK, radius=2.5, inset=(0, 7, 0, 7))
    yield "slider_thumb.png", disc(18, 8, WHITE, ACCENT, ring_width=2.0)
    yield "slider_thumb_hot.png", disc(18, 8, (0xE8, 0xF1, 0xFC), ACCENT_DARK, ring_width=2.5)
    # Scroll bars: arrow buttons, the thumb (corner 4) and the track; one set per direction.
    yield "scroll_track.png", png(14, 14, solid((0xEE, 0xF1, 0xF5, 255)))
    yield "scroll_thumb.png", box(14, 14, (0xC2, 0xCB, 0xD6), (0xC2, 0xCB, 0xD6), None, radius=4, inset=(3, 3, 3, 3))
    yield "scroll_thumb_hot.png", box(14, 14, (0x9E, 0xAB, 0xBB), (0x9E, 0xAB, 0xBB), None, radius=4, inset=(3, 3, 3, 3))
    track = solid((0xEE, 0xF1, 0xF5, 255))
    hot_track = solid((0xDC, 0xE3, 0xEC, 255))
    for direction in ("up", "down", "left", "right"):
        yield f"scroll_{direction}.png", arrow(14, 14, direction, (0x6B, 0x78, 0x88), track, span=3)
        yield f"scroll_{direction}_hot.png", arrow(14, 14, direction, ACCENT_DARK, hot_track, span=3)
    # Edit and combo fields: corner 4 (the combo keeps its arrow in a fixed right part of 24).
    yield "field_normal.png", box(24, 24, field, field, BORDER)
    yield "field_hot.png", box(24, 24, field, field, BORDER_HOT)
    yield "field_focused.png", box(24, 24, field, field, ACCENT)
    for name, edge in (("normal", BORDER), ("hot", BORDER_HOT)):
        field_box = box_pixel(48, 26, field, field, edge)
        yield f"combo_{name}.png", png(48, 26, strokes(48, 26, [[(30, 11), (34, 15), (38, 11)]],
                                                      (0x55, 0x62, 0x72), 0.75, field_box))
    # Tree folders, list header.
    yield "folder_closed.png", arrow(20, 22, "right", (0x6B, 0x78, 0x88), span=3.5)
    yield "folder_open.png", arrow(20, 22, "down", (0x6B, 0x78, 0x88), span=3.5)
    yield "header_item.png", box(16, 26, grey_top, grey_bottom, None, radius=0.01)
    yield "header_item_hot.png", box(16, 26, (0xF2, 0xF6, 0xFC), (0xDC, 0xE8, 0xF7), None, radius=0.01)
    yield "header_separator.png", png(4, 26, lambda x, y: (0xC9, 0xD2, 0xDC, 255 if x == 3 and 4 <= y < 22 else 0))
    yield "spinner.gif", gif_spinner()


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, data in images():
        path = os.path.join(out_dir, name)
        # Unchanged pictures keep their time stamps, so nothing downstream rebuilds.
        if os.path.exists(path):
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
