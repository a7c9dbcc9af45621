#!/usr/bin/env python3
"""Generate Kestrova's bitmap and icon resources into res/.

    python3 tools/gen_resources.py

Only the standard library is used and the output is byte-for-byte
deterministic, so a regenerated file only shows up in a diff when the art
changed.  The pictures live here as pixel strings: edit them, rerun, and look
at res/preview.png.
"""

import pathlib
import struct
import zlib

RES = pathlib.Path(__file__).resolve().parent.parent / "res"

# The 16 VGA colours in the order Windows expects them in a 4-bpp palette.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One letter per VGA entry, same order: blacK maroon green olive navy purple
# teal silver darkgrey red lime yellow blue Magenta cyan white.
LEGEND = "KmgonptsdrlybMcw"
C = {ch: i for i, ch in enumerate(LEGEND)}


def parse(art, blank):
    """Turn pixel strings into rows of palette indices; '.' becomes `blank`."""
    width = len(art[0])
    assert all(len(row) == width for row in art), "ragged pixel art"
    return [[blank if ch == "." else C[ch] for ch in row] for row in art]


# --------------------------------------------------------------------------
# File writers

def write_bmp(path, rows):
    """4-bpp BI_RGB bitmap with the VGA palette; rows are given top-down."""
    height, width = len(rows), len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # BMP stores the bottom row first
        packed = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            packed.append(hi << 4 | lo)
        pixels += packed.ljust(stride, b"\0")
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0,
                       len(pixels), 0, 0, 16, 16)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    path.write_bytes(head + info + palette + pixels)


def write_ico(path, rows, palette):
    """Single-image 8-bpp icon; a row entry of None is transparent."""
    height, width = len(rows), len(rows[0])
    assert len(palette) == 256
    xor_stride = ((width * 8 + 31) // 32) * 4
    and_stride = ((width + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):
        xor += bytes(0 if p is None else p for p in row).ljust(xor_stride, b"\0")
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    # Icons store XOR and AND images stacked, hence the doubled height.
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    image = info + pal + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 8,
                        len(image), 6 + 16)
    path.write_bytes(icondir + entry + image)


def write_png(path, rgb_rows):
    """Plain 8-bit RGB PNG, used only for the preview sheet."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    height, width = len(rgb_rows), len(rgb_rows[0])
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rgb_rows)
    path.write_bytes(b"\x89PNG\r\n\x1a\n"
                     + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                     + chunk(b"IDAT", zlib.compress(raw, 9))
                     + chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# Toolbar button glyphs: 18x18, olive is transparent.

BBOK = [
    "..................",
    "..................",
    "..................",
    "...............ll.",
    "..............lggn",
    ".............lggn.",
    "............lggn..",
    "...........lggn...",
    "..........lggn....",
    "..l......lggn.....",
    ".lgl....lggn......",
    ".ngll..lggn.......",
    "..nggllggn........",
    "...ngggggn........",
    "....ngggn.........",
    ".....ngn..........",
    "......n...........",
    "..................",
]

BBCLOSE = [
    "..................",
    "........KKKKKK....",
    "........KlllgK....",
    "........KKKKKK....",
    "..................",
    "..p...nnnnnnnnnn..",
    "..pM..nwcccccccn..",
    "..pMM.nwcccccccn..",
    "..pMMMnwcccccccn..",
    "..pMMMnwcccccccn..",
    "..pMMMnwcccccccn..",
    "..pMpMnwcccccccn..",
    "..pMMMnwcccccccn..",
    "..pMMMnwwccccccn..",
    "..pMMMnwwwcccccn..",
    "..pMMpnwwwwccccn..",
    ".KKKKKKKKKKKKKKKK.",
    "..dddddddddddddd..",
]


# Lit areas (the bright fills) drop out of the disabled glyph; keeping them
# would melt a picture like the doorway into one grey slab.
DISABLED_DROPS = {C[ch] for ch in "wcys"}


def engraved(rows, blank):
    """Disabled look: the shape in grey over a white copy nudged down-right."""
    height, width = len(rows), len(rows[0])
    out = [[blank] * width for _ in range(height)]
    shape = [(x, y) for y in range(height) for x in range(width)
             if rows[y][x] != blank and rows[y][x] not in DISABLED_DROPS]
    for x, y in shape:
        if x + 1 < width and y + 1 < height:
            out[y + 1][x + 1] = C["w"]
    for x, y in shape:
        out[y][x] = C["d"]
    return out


def button_strip(art):
    """Normal glyph on the left, disabled glyph on the right."""
    olive = C["o"]
    normal = parse(art, olive)
    assert len(normal) == 18 and len(normal[0]) == 18
    return [a + b for a, b in zip(normal, engraved(normal, olive))]


# --------------------------------------------------------------------------
# Drive glyphs: 16x11, blue is transparent.  Every drive shares the raised
# box; only the 12x5 mark on its silver face differs.

DRIVE_MARKS = {
    "floppy": [
        "...KKKK...K.",
        "............",
        ".KKKKKKKKKK.",
        "............",
        "...KKKK.....",
    ],
    "hard": [
        "..KKKKKKKKK.",
        "............",
        "..KKKKKKKKK.",
        "............",
        ".rr.........",
    ],
    "network": [
        ".KKKKKKKKKK.",
        ".....KK.....",
        ".....KK.....",
        ".....KK.....",
        "....KKKK....",
    ],
    "cdrom": [
        ".KKKKKKKKK..",
        "............",
        "...KKKK.....",
        "..KK..KK..K.",
        "...KKKK.....",
    ],
    "ram": [
        ".K.K.K.K.K..",
        ".KKKKKKKKK..",
        ".KKKKKKKKK..",
        ".KKKKKKKKK..",
        ".K.K.K.K.K..",
    ],
}


def drive_glyph(mark):
    """Raised black-outlined box with `mark` drawn on its silver face."""
    rows = [[C["b"]] * 16 for _ in range(11)]
    for y in range(1, 10):
        for x in range(16):
            if y in (1, 9) or x in (0, 15):
                c = C["K"]
            elif y == 8 or x == 14:  # shadow wins the two mixed corners
                c = C["d"]
            elif y == 2 or x == 1:
                c = C["w"]
            else:
                c = C["s"]
            rows[y][x] = c
    face = parse(mark, C["s"])
    assert len(face) == 5 and len(face[0]) == 12
    for dy, line in enumerate(face):
        rows[3 + dy][2:14] = line
    return rows


# --------------------------------------------------------------------------
# Application icon: 32x32, 8 bpp.  The first 16 entries stay VGA so the
# legend letters still work; a few extra greys give the drives some depth.

ICON_PALETTE = VGA + [(224, 224, 224), (160, 160, 160), (96, 96, 96), (64, 64, 64)]
PALE, MID, DIM, DEEP = 16, 17, 18, 19
ICON_PALETTE += [(0, 0, 0)] * (256 - len(ICON_PALETTE))


def rect(x0, y0, x1, y1):
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def paint(canvas, pixels, colour):
    for x, y in pixels:
        canvas[y][x] = colour


def edge(pixels):
    """Pixels of a shape that touch the outside, i.e. its outline."""
    return {(x, y) for x, y in pixels
            if any(n not in pixels for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


def main_icon():
    canvas = [[None] * 32 for _ in range(32)]

    # Floppy, drawn first so the drive box overlaps it.
    disk = {(x, y) for x, y in rect(1, 1, 21, 21) if (21 - x) + (y - 1) >= 3}  # clipped corner
    paint(canvas, disk, C["d"])
    paint(canvas, {(x, y) for x, y in disk if x == 2 or y == 2}, MID)
    paint(canvas, rect(6, 1, 16, 8), C["s"])           # metal shutter
    paint(canvas, rect(6, 8, 16, 8) | rect(6, 1, 6, 8), DIM)
    paint(canvas, rect(12, 3, 14, 6), DEEP)              # head window
    paint(canvas, rect(4, 12, 18, 21), PALE)             # label
    paint(canvas, edge(disk), C["K"])

    # Hard-disk box seen from slightly above and to the right.
    front = rect(8, 18, 26, 29)
    top = {(x, 18 - j) for j in (1, 2, 3) for x in range(8 + j, 27 + j)}
    side = {(26 + j, y) for j in (1, 2, 3) for y in range(18 - j, 30 - j)}
    paint(canvas, top, PALE)
    paint(canvas, side, C["d"])
    paint(canvas, front, C["s"])
    paint(canvas, edge(front | top | side) | edge(front), C["K"])
    for y in (22, 25):
        paint(canvas, rect(13, y, 23, y), DEEP)
        paint(canvas, rect(13, y + 1, 23, y + 1), C["w"])
    paint(canvas, rect(10, 26, 11, 27), C["r"])          # activity light
    return canvas


# --------------------------------------------------------------------------
# Preview sheet: every image at 8x over a checker (transparent areas) plus
# a 1:1 copy on a button-face swatch, to judge how it reads at real size.

SCALE = 8
SHEET_BG = (64, 64, 72)
CHECK = ((255, 200, 230), (230, 165, 205))  # no palette colour is pink
SILVER_UI = (192, 192, 192)


def to_rgb(rows, palette, transparent):
    return [[None if p == transparent else palette[p] for p in row] for row in rows]


def tile(img):
    h, w = len(img), len(img[0])
    def big_px(x, y):
        px = img[y // SCALE][x // SCALE]
        return CHECK[(x // 4 + y // 4) % 2] if px is None else px
    big = [[big_px(x, y) for x in range(w * SCALE)] for y in range(h * SCALE)]
    pad = 8
    small = [[SILVER_UI] * (w + 2 * pad) for _ in range(h + 2 * pad)]
    for y in range(h):
        for x in range(w):
            if img[y][x] is not None:
                small[y + pad][x + pad] = img[y][x]
    gap = 8
    rows = []
    for y in range(max(len(big), len(small))):
        left = big[y] if y < len(big) else [SHEET_BG] * len(big[0])
        right = small[y] if y < len(small) else [SHEET_BG] * len(small[0])
        rows.append(left + [SHEET_BG] * gap + right)
    return rows


def sheet(lines, margin=16):
    """Lay tiles out in rows; `lines` is a list of lists of tiles."""
    width = max(sum(len(t[0]) + margin for t in line) + margin for line in lines)
    out = [[SHEET_BG] * width for _ in range(margin)]
    for line in lines:
        height = max(len(t) for t in line)
        for y in range(height):
            row = [SHEET_BG] * margin
            for t in line:
                row += (t[y] if y < len(t) else [SHEET_BG] * len(t[0])) + [SHEET_BG] * margin
            out.append(row + [SHEET_BG] * (width - len(row)))
        out += [[SHEET_BG] * width for _ in range(margin)]
    return out


def main():
    RES.mkdir(exist_ok=True)
    buttons = {name: button_strip(art) for name, art in (("bbok", BBOK), ("bbclose", BBCLOSE))}
    drives = {name: drive_glyph(mark) for name, mark in DRIVE_MARKS.items()}
    for name, rows in list(buttons.items()) + list(drives.items()):
        write_bmp(RES / f"{name}.bmp", rows)
    icon = main_icon()
    write_ico(RES / "mainicon.ico", icon, ICON_PALETTE)

    # Transparency is keyed off the bottom-left pixel, so it must be background.
    assert all(r[-1][0] == C["o"] for r in buttons.values())
    assert all(r[-1][0] == C["b"] and r[0] == r[-1] == [C["b"]] * 16 for r in drives.values())

    lines = [
        [tile(to_rgb(r, VGA, C["o"])) for r in buttons.values()],
        [tile(to_rgb(r, VGA, C["b"])) for r in drives.values()],
        [tile(to_rgb(icon, ICON_PALETTE, None))],
    ]
    write_png(RES / "preview.png", sheet(lines))


if __name__ == "__main__":
    main()
