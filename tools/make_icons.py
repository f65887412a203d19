"""Generate the tray icons: runner/icons/normal.ico, killed.ico and paused.ico.

Run from the repo root:  python3 tools/make_icons.py

Each icon holds 16, 20, 24, 32 and 48 pixel images in 32-bit colour with an
alpha channel (and the 1-bit mask older Windows versions draw with), so the
tray shows a sharp face at every display scale from 100 to 300 per cent. The
16 pixel face is drawn by hand; the larger ones are computed from circles and
ellipses and smoothed at their edges. Output is fully deterministic;
rerunning it must not change the committed files.
"""
import os
import struct

SIZES = (16, 20, 24, 32, 48)
SUBSAMPLES = 4  # per pixel and axis, for the smoothed edges

# Pixel codes used while drawing; mapped to colours per icon.
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


def shape_at(dx, dy):
    """The face's part at a point, in doubled coordinates of the 32 pixel
    design (its centre is 0, 0; the disc's radius is 28)."""
    c = INK
    if dx * dx + dy * dy <= 28 * 28:
        c = FACE
    # Eyes: upright ovals.
    for ex in (-11, 11):
        if ((dx - ex) / 2.6) ** 2 + ((dy + 11) / 4.6) ** 2 <= 1:
            c = INK
    # Mouth: lower half of a wide ellipse; teeth along its top, with gaps so
    # that they read as teeth rather than a white bar.
    if dy >= 3 and (dx / 18) ** 2 + ((dy - 2) / 17) ** 2 <= 1:
        c = INK
        inner = (dx / 16) ** 2 + ((dy - 2) / 15) ** 2 <= 1
        if inner and 5 <= dy <= 11 and min(abs(abs(dx) - 5), abs(abs(dx) - 15)) > 1:
            c = TEETH
    return c


def in_tile(dx, dy, radius):
    """Inside the rounded square tile, in the same doubled coordinates."""
    edge = 32 - 2 * radius
    cx = min(max(dx, -edge), edge)
    cy = min(max(dy, -edge), edge)
    return (dx - cx) ** 2 + (dy - cy) ** 2 <= (2 * radius) ** 2


def render_smooth(size, colours):
    """RGBA rows, top first: each pixel the mean of its subsamples."""
    rows = []
    n = SUBSAMPLES
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = inside = 0
            for sy in range(n):
                for sx in range(n):
                    dx = (2 * (x * n + sx) + 1) * 32 / (size * n) - 32
                    dy = (2 * (y * n + sy) + 1) * 32 / (size * n) - 32
                    if in_tile(dx, dy, 5):
                        pr, pg, pb = colours[shape_at(dx, dy)]
                        r, g, b, inside = r + pr, g + pg, b + pb, inside + 1
            if inside == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / inside), round(g / inside), round(b / inside),
                            round(255 * inside / (n * n))))
        rows.append(row)
    return rows


def render_16(colours):
    """The hand-drawn face on a tile with corners of radius 2, unsmoothed."""
    def inside(x, y, radius=2):
        cx = min(max(x, radius), 15 - radius)
        cy = min(max(y, radius), 15 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return [[colours[ch] + (255,) if inside(x, y) else (0, 0, 0, 0)
             for x, ch in enumerate(row)] for y, row in enumerate(FACE_16)]


def pad4(b):
    return b + b"\0" * (-len(b) % 4)


def dib(pixels):
    """BITMAPINFOHEADER + 32-bit BGRA bitmap + 1-bit AND mask, bottom-up."""
    size = len(pixels)
    colour = b""
    mask = b""
    for row in reversed(pixels):
        colour += b"".join(bytes((b, g, r, a)) for r, g, b, a in row)
        bits = 0
        for p in row:
            bits = (bits << 1) | (p[3] == 0)
        mask += pad4(bits.to_bytes((size + 7) // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for pixels in images:
        blob = dib(pixels)
        size = len(pixels)
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outdir = os.path.join(root, "runner", "icons")
    os.makedirs(outdir, exist_ok=True)
    # The tests find the icon in the tray by the exact face colours.
    schemes = {
        "normal.ico": {FACE: (0xFF, 0xFF, 0x00), TEETH: (0xFF, 0xFF, 0xFF), INK: (0, 0, 0)},
        "killed.ico": {FACE: (0xFF, 0x00, 0x00), TEETH: (0x80, 0x00, 0x00), INK: (0, 0, 0)},
        "paused.ico": {FACE: (0x98, 0x98, 0x98), TEETH: (0xDC, 0xDC, 0xDC),
                       INK: (0x40, 0x40, 0x40)},
    }
    for name, colours in schemes.items():
        images = [render_16(colours) if size == 16 else render_smooth(size, colours)
                  for size in SIZES]
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(ico(images))


if __name__ == "__main__":
    main()
