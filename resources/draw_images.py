#!/usr/bin/env python3
"""Draws the setup's program icon and its 88 x 31 logo, or the uninstaller's icon.

The setup's pictures show the same small motif, a framed landscape photo
(sky, sun, two hills); the logo adds the product name in a built-in pixel
font. The uninstaller's icon is a red disc with a white cross. Everything is
computed from the code below, so the same script always writes the same bytes.

usage: draw_images.py ICON_FILE LOGO_FILE
       draw_images.py --uninstaller ICON_FILE
"""

import struct
import sys
import zlib

# The motif in unit coordinates (0..1, y downwards). Edges sit on sixteenths
# so that the 16 pixel icon stays sharp.
FRAME = (1 / 16, 2 / 16, 15 / 16, 14 / 16)  # left, top, right, bottom
FRAME_RADIUS = 1.5 / 16
BORDER = 1 / 16
SHADOW_OFFSET = 0.75 / 16
SUN = (0.80, 0.27, 0.10)  # centre x, centre y, radius
BACK_HILL = ((0.30, 0.90), (0.64, 0.50), (1.00, 0.90))
FRONT_HILL = ((0.00, 0.90), (0.35, 0.55), (0.75, 0.90))

COLOURS = {
    "shadow": (0x00, 0x00, 0x00),
    "frame": (0x2B, 0x3A, 0x55),
    "sky_top": (0x4A, 0x9E, 0xEC),
    "sky_bottom": (0xC4, 0xE6, 0xFF),
    "sun": (0xFF, 0xC4, 0x2A),
    "back_hill": (0x7C, 0xB3, 0x62),
    "front_hill": (0x2E, 0x7D, 0x32),
}
SHADOW_ALPHA = 0.30


def inside_rounded_rect(x, y, rect, radius):
    left, top, right, bottom = rect
    if not (left <= x < right and top <= y < bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def inside_triangle(x, y, triangle):
    (x1, y1), (x2, y2), (x3, y3) = triangle

    def side(ax, ay, bx, by):
        return (bx - ax) * (y - ay) - (by - ay) * (x - ax)

    d1, d2, d3 = side(x1, y1, x2, y2), side(x2, y2, x3, y3), side(x3, y3, x1, y1)
    return (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0)


def material(x, y):
    """What the motif shows at (x, y): (name, sky height 0..1) or None."""
    if inside_rounded_rect(x, y, FRAME, FRAME_RADIUS):
        left, top, right, bottom = FRAME
        if not (left + BORDER <= x < right - BORDER and top + BORDER <= y < bottom - BORDER):
            return ("frame", 0)
        # The picture: hills in front of the sun in front of the sky.
        u = (x - (left + BORDER)) / (right - left - 2 * BORDER)
        v = (y - (top + BORDER)) / (bottom - top - 2 * BORDER)
        if inside_triangle(u, v, FRONT_HILL) or v >= 0.90:
            return ("front_hill", 0)
        if inside_triangle(u, v, BACK_HILL):
            return ("back_hill", 0)
        sx, sy, sr = SUN
        if (u - sx) ** 2 + (v - sy) ** 2 <= sr**2:
            return ("sun", 0)
        return ("sky", v)
    shadow = tuple(edge + SHADOW_OFFSET for edge in FRAME)
    if inside_rounded_rect(x, y, shadow, FRAME_RADIUS):
        return ("shadow", 0)
    return None


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def sample_rgba(x, y):
    """Premultiplied colour and alpha of the motif at (x, y)."""
    found = material(x, y)
    if found is None:
        return (0.0, 0.0, 0.0, 0.0)
    name, v = found
    if name == "sky":
        rgb = mix(COLOURS["sky_top"], COLOURS["sky_bottom"], min(max(v / 0.9, 0.0), 1.0))
    else:
        rgb = COLOURS[name]
    alpha = SHADOW_ALPHA if name == "shadow" else 1.0
    return (rgb[0] * alpha, rgb[1] * alpha, rgb[2] * alpha, alpha)


# The uninstaller's icon: a cross of two bars on a disc.
UNINSTALL_DISC = (0.5, 0.5, 0.46)  # centre x, centre y, radius
UNINSTALL_BAR_HALF_WIDTH = 0.06
UNINSTALL_BAR_ENDS = (0.32, 0.68)
UNINSTALL_COLOURS = {"disc": (200, 40, 40), "cross": (255, 255, 255)}


def uninstall_sample_rgba(x, y):
    """Premultiplied colour and alpha of the uninstaller's icon at (x, y)."""
    cx, cy, r = UNINSTALL_DISC
    if (x - cx) ** 2 + (y - cy) ** 2 > r**2:
        return (0.0, 0.0, 0.0, 0.0)
    low, high = UNINSTALL_BAR_ENDS
    on_bar = low <= x <= high and low <= y <= high and (
        abs(x - y) <= UNINSTALL_BAR_HALF_WIDTH * 2**0.5 or abs(x + y - 1) <= UNINSTALL_BAR_HALF_WIDTH * 2**0.5)
    rgb = UNINSTALL_COLOURS["cross" if on_bar else "disc"]
    return (rgb[0], rgb[1], rgb[2], 1.0)


def render_icon_image(size, grid=4, sample=sample_rgba):
    """size x size pixels, rows top first, each pixel (r, g, b, a) 0..255."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(grid):
                for sx in range(grid):
                    s = sample((px + (sx + 0.5) / grid) / size, (py + (sy + 0.5) / grid) / size)
                    for i in range(4):
                        total[i] += s[i]
            n = grid * grid
            alpha = total[3] / n
            if alpha <= 0:
                row.append((0, 0, 0, 0))
                continue
            row.append(tuple(round(total[i] / n / alpha) for i in range(3)) + (round(alpha * 255),))
        pixels.append(row)
    return pixels


def dib_icon_entry(pixels):
    """An icon image as a 32-bit DIB with its AND mask (bottom row first)."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + colour + mask


def png_icon_entry(pixels):
    """An icon image as a PNG, the same pixels in a fraction of a DIB's bytes."""
    size = len(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    )


def icon_file(sizes, sample=sample_rgba, png_from=256):
    """An icon file with an image per size; the sizes from png_from on are
    stored as PNG, the smaller ones as DIBs."""
    entries = []
    for size in sizes:
        pixels = render_icon_image(size, grid=4 if size <= 48 else 2, sample=sample)
        entries.append((size, png_icon_entry(pixels) if size >= png_from else dib_icon_entry(pixels)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        side = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    return bytes(out)


# The logo: 16 colours of our own; index 0 is the background.
LOGO_WIDTH, LOGO_HEIGHT = 88, 31
LOGO_PALETTE = [
    (0xFF, 0xFF, 0xFF),  # 0 background
    COLOURS["frame"],  # 1
    COLOURS["sky_top"],  # 2
    (0x86, 0xC2, 0xF6),  # 3 sky, middle
    COLOURS["sky_bottom"],  # 4
    COLOURS["sun"],  # 5
    COLOURS["back_hill"],  # 6
    COLOURS["front_hill"],  # 7
    (0xB3, 0xB3, 0xB3),  # 8 frame shadow on white
    (0x1F, 0x3A, 0x68),  # 9 product name
    (0x5A, 0x62, 0x70),  # 10 second line
    (0x80, 0x80, 0x80),  # 11..15 unused greys
    (0x40, 0x40, 0x40),
    (0xC0, 0xC0, 0xC0),
    (0xE0, 0xE0, 0xE0),
    (0x00, 0x00, 0x00),
]
LOGO_INDEX = {"frame": 1, "sun": 5, "back_hill": 6, "front_hill": 7, "shadow": 8}
NAME_INDEX, TAGLINE_INDEX = 9, 10

# Glyphs: rows top first, "#" is ink. 7 rows; lower case sits on rows 2..6.
FONT_5X7 = {
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "i": ["#", ".", "#", "#", "#", "#", "#"],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "l": ["#", "#", "#", "#", "#", "#", "#"],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": ["....", "....", "#.##", "##..", "#...", "#...", "#..."],
}
FONT_3X5 = {
    "6": ["###", "#..", "###", "#.#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "-": ["...", "...", "###", "...", "..."],
    "B": ["##.", "#.#", "##.", "#.#", "##."],
    "I": ["#", "#", "#", "#", "#"],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    " ": ["..", "..", "..", "..", ".."],
    "S": [".##", "#..", ".#.", "..#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
}


def text_width(text, font):
    return sum(len(font[c][0]) for c in text) + len(text) - 1


def draw_text(canvas, text, font, left, top, index):
    x = left
    for c in text:
        glyph = font[c]
        for dy, line in enumerate(glyph):
            for dx, cell in enumerate(line):
                if cell == "#":
                    canvas[top + dy][x + dx] = index
        x += len(glyph[0]) + 1


def render_logo():
    canvas = [[0] * LOGO_WIDTH for _ in range(LOGO_HEIGHT)]
    name, tagline = "Pixelmoor", "64-BIT SETUP"
    motif_size = LOGO_HEIGHT
    frame_width = round((FRAME[2] - FRAME[0]) * motif_size)
    gap = 5
    content = frame_width + gap + text_width(name, FONT_5X7)
    motif_left = (LOGO_WIDTH - content) // 2 - round(FRAME[0] * motif_size)
    for py in range(LOGO_HEIGHT):
        for px in range(motif_size):
            found = material((px + 0.5) / motif_size, (py + 0.5) / motif_size)
            if found is None:
                continue
            kind, v = found
            if kind == "sky":
                index = 2 if v < 0.3 else 3 if v < 0.6 else 4
            else:
                index = LOGO_INDEX[kind]
            canvas[py][motif_left + px] = index
    text_left = motif_left + round(FRAME[0] * motif_size) + frame_width + gap
    draw_text(canvas, name, FONT_5X7, text_left, 8, NAME_INDEX)
    draw_text(canvas, tagline, FONT_3X5, text_left, 19, TAGLINE_INDEX)
    return canvas


def bmp_4bpp(canvas, palette):
    height, width = len(canvas), len(canvas[0])
    stride = ((width * 4 + 31) // 32) * 4
    rows = bytearray()
    for row in reversed(canvas):
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows += line
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(rows), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return file_header + info + colours + bytes(rows)


def main(argv):
    if len(argv) == 3 and argv[1] == "--uninstaller":
        with open(argv[2], "wb") as f:
            f.write(icon_file([16, 32], uninstall_sample_rgba))
        return
    if len(argv) != 3:
        sys.exit(__doc__)
    icon_path, logo_path = argv[1], argv[2]
    with open(icon_path, "wb") as f:
        # Every size as PNG, which every loader since Windows Vista reads
        # (as DIBs the four small sizes would weigh 15 KB more).
        f.write(icon_file([16, 24, 32, 48, 256], png_from=0))
    with open(logo_path, "wb") as f:
        f.write(bmp_4bpp(render_logo(), LOGO_PALETTE))


if __name__ == "__main__":
    main(sys.argv)
