"""Draws the icons of the stand-in viewer and its icon library.

Usage: draw_icons.py <output folder>
Writes viewer_01.ico .. viewer_13.ico (icon groups 1..13 of the viewer, in this
order: 0 viewer, 1-5 image documents, 6 camera raw, 7 thumbnails, 8 slide
show, 9 print document, 10 settings, 11 audio, 12 video), each with a 32x32 and a
16x16 image.
"""

import os
import sys

from raster import Canvas, disc, ico_bytes, line, polygon, rect, round_rect

WHITE = (255, 255, 255, 255)
BLACK = (25, 25, 25, 255)


def viewer():
    return [
        (round_rect(0.04, 0.04, 0.96, 0.96, 0.14), (30, 70, 140, 255)),
        (rect(0.14, 0.14, 0.86, 0.86), (140, 200, 240, 255)),
        (disc(0.66, 0.34, 0.11), (250, 210, 60, 255)),
        (polygon([(0.14, 0.86), (0.14, 0.62), (0.4, 0.48), (0.62, 0.64), (0.86, 0.54), (0.86, 0.86)]),
         (90, 120, 60, 255)),
        (polygon([(0.14, 0.86), (0.14, 0.78), (0.5, 0.72), (0.86, 0.8), (0.86, 0.86)]), (150, 80, 140, 255)),
    ]


def document(band):
    page = [(0.18, 0.04), (0.64, 0.04), (0.84, 0.24), (0.84, 0.96), (0.18, 0.96)]
    inner = [(0.22, 0.08), (0.62, 0.08), (0.8, 0.26), (0.8, 0.92), (0.22, 0.92)]
    return [
        (polygon(page), (110, 110, 120, 255)),
        (polygon(inner), WHITE),
        (polygon([(0.62, 0.08), (0.8, 0.26), (0.62, 0.26)]), (200, 200, 210, 255)),
        (rect(0.22, 0.56, 0.8, 0.84), band),
        (rect(0.3, 0.36, 0.72, 0.42), (170, 170, 180, 255)),
    ]


def camera():
    return [
        (rect(0.28, 0.18, 0.56, 0.32), (60, 60, 70, 255)),
        (round_rect(0.06, 0.28, 0.94, 0.86, 0.08), (60, 60, 70, 255)),
        (disc(0.5, 0.57, 0.22), (190, 190, 200, 255)),
        (disc(0.5, 0.57, 0.13), (20, 40, 90, 255)),
        (rect(0.74, 0.34, 0.88, 0.42), (230, 80, 60, 255)),
    ]


def thumbnails():
    return [
        (round_rect(0.02, 0.02, 0.98, 0.98, 0.1), (225, 225, 230, 255)),
        (rect(0.1, 0.1, 0.46, 0.46), (210, 60, 60, 255)),
        (rect(0.54, 0.1, 0.9, 0.46), (50, 170, 80, 255)),
        (rect(0.1, 0.54, 0.46, 0.9), (50, 100, 210, 255)),
        (rect(0.54, 0.54, 0.9, 0.9), (240, 200, 40, 255)),
    ]


def slide_show():
    return [
        (rect(0.04, 0.1, 0.96, 0.74), (40, 40, 40, 255)),
        (rect(0.1, 0.16, 0.9, 0.68), (120, 180, 230, 255)),
        (polygon([(0.1, 0.68), (0.36, 0.4), (0.56, 0.6), (0.7, 0.48), (0.9, 0.68)]), (70, 130, 70, 255)),
        (line((0.5, 0.74), (0.5, 0.9), 0.08), (40, 40, 40, 255)),
        (line((0.28, 0.92), (0.72, 0.92), 0.08), (40, 40, 40, 255)),
    ]


def audio():
    return [
        (disc(0.5, 0.5, 0.47), (245, 160, 30, 255)),
        (disc(0.38, 0.7, 0.13), BLACK),
        (rect(0.45, 0.18, 0.52, 0.7), BLACK),
        (polygon([(0.45, 0.18), (0.76, 0.3), (0.76, 0.44), (0.52, 0.34)]), BLACK),
    ]


def video():
    shapes = [(rect(0.08, 0.04, 0.92, 0.96), BLACK)]
    for i in range(5):
        top = 0.08 + i * 0.18
        shapes.append((rect(0.12, top, 0.22, top + 0.1), WHITE))
        shapes.append((rect(0.78, top, 0.88, top + 0.1), WHITE))
    shapes.append((rect(0.28, 0.12, 0.72, 0.88), (60, 120, 220, 255)))
    shapes.append((polygon([(0.4, 0.34), (0.64, 0.5), (0.4, 0.66)]), WHITE))
    return shapes


VIEWER_ICONS = [
    viewer(),
    document((210, 50, 50, 255)),  # JPEG
    document((40, 160, 80, 255)),  # PNG
    document((240, 140, 30, 255)),  # GIF
    document((20, 150, 160, 255)),  # TIFF
    document((130, 70, 190, 255)),  # BMP
    camera(),
    thumbnails(),
    slide_show(),
    document((150, 20, 30, 255)),  # print formats
    document((120, 120, 120, 255)),  # settings and text
    audio(),
    video(),
]


def icon(shapes):
    images = []
    for size in (32, 16):
        canvas = Canvas(size, size)
        for shape, colour in shapes:
            canvas.paint(shape, colour)
        images.append(canvas)
    return ico_bytes(images)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = [(f"viewer_{i + 1:02d}.ico", shapes) for i, shapes in enumerate(VIEWER_ICONS)]
    for name, shapes in files:
        with open(os.path.join(out, name), "wb") as f:
            f.write(icon(shapes))


if __name__ == "__main__":
    main()
