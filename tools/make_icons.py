#!/usr/bin/env python3
"""Generate the tray icons: runner/icons/normal.ico and runner/icons/killed.ico.

Run from the repo root:  python3 tools/make_icons.py

Each icon holds a 32x32 and a 16x16 image in classic 16-colour (4 bpp) form,
so they render the same on every Windows version and colour depth. Output is
fully deterministic; rerunning it must not change the committed files.
"""
import os
import struct

# Standard Windows/VGA 16-colour palette, as (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_RED, RED, YELLOW, WHITE = 0, 1, 9, 11, 15
CLEAR = None  # transparent pixel (outside the rounded tile)

# Pixel codes used while drawing; mapped to palette indices per icon.
FACE, TEETH, INK = "Y", "W", "."

# The 16x16 is drawn by hand: a scaled-down disc turns to mush at this size.
FACE_16 = [
    "................",
    ".....YYYYYY.....",
    "...YYYYYYYYYY...",
    "..YYYYYYYYYYYY..",
    ".YYYYYYYYYYYYYY.",
    ".YYYY.YYYY.YYYY.",
    ".YYYY.YYYY.YYYY.",
    ".YYYYYYYYYYYYYY.",
    ".YY..........YY.",
    ".YY.WWWWWWWW.YY.",
    ".YYY.WWWWWW.YYY.",
    ".YYYY......YYYY.",
    "..YYYY....YYYY..",
    "...YYYYYYYYYY...",
    ".....YYYYYY.....",
    "................",
]


def face_32():
    """Grinning face for 32x32, from integer distance tests."""
    rows = []
    for y in range(32):
        row = ""
        for x in range(32):
            # Doubled coordinates keep the centre (15.5, 15.5) integral.
            dx, dy = 2 * x - 31, 2 * y - 31
            c = INK
            if dx * dx + dy * dy <= 28 * 28:
                c = FACE
            # Eyes: 3x5 upright ovals (a box with its corners clipped).
            for ex in (-11, 11):
                ax, ay = abs(dx - ex), abs(dy + 11)
                if ax <= 2 and ay <= 4 and (ax, ay) != (2, 4):
                    c = INK
            # Mouth: lower half of a wide ellipse; teeth along its top, with
            # one-pixel gaps so they read as teeth rather than a white bar.
            if dy >= 3 and dx * dx * 18 * 18 + (dy - 2) ** 2 * 17 * 17 <= (17 * 18) ** 2:
                c = INK
                inner = dx * dx * 16 * 16 + (dy - 2) ** 2 * 15 * 15 <= (15 * 16) ** 2
                if inner and 5 <= dy <= 11 and abs(dx) not in (5, 15):
                    c = TEETH
            row += c
        rows.append(row)
    return rows


def rounded_tile(size, radius):
    """Mask of the opaque rounded-square background (True = opaque)."""
    def inside(x, y):
        cx = min(max(x, radius), size - 1 - radius)
        cy = min(max(y, radius), size - 1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return [[inside(x, y) for x in range(size)] for y in range(size)]


def render(rows, colours, radius):
    size = len(rows)
    tile = rounded_tile(size, radius)
    return [[colours[ch] if tile[y][x] else CLEAR for x, ch in enumerate(row)]
            for y, row in enumerate(rows)]


def pad4(b):
    return b + b"\0" * (-len(b) % 4)


def dib(pixels):
    """BITMAPINFOHEADER + palette + 4-bpp XOR bitmap + 1-bpp AND mask."""
    size = len(pixels)
    xor = b""
    mask = b""
    for row in reversed(pixels):  # DIBs are stored bottom-up
        idx = [BLACK if p is CLEAR else p for p in row]
        xor += pad4(bytes((idx[i] << 4) | idx[i + 1] for i in range(0, size, 2)))
        bits = 0
        for p in row:
            bits = (bits << 1) | (p is CLEAR)
        mask += pad4(bits.to_bytes(size // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return header + palette + xor + mask


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for pixels in images:
        blob = dib(pixels)
        size = len(pixels)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outdir = os.path.join(root, "runner", "icons")
    os.makedirs(outdir, exist_ok=True)
    schemes = {
        "normal.ico": {FACE: YELLOW, TEETH: WHITE, INK: BLACK},
        "killed.ico": {FACE: RED, TEETH: DARK_RED, INK: BLACK},
    }
    big = face_32()
    for name, colours in schemes.items():
        data = ico([render(big, colours, 5), render(FACE_16, colours, 2)])
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
