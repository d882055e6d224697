"""Draws the viewer's four toolbar skins: horizontal strips of 20 square buttons.

Usage: draw_toolbars.py <output folder>
Writes gnome-colors-human_48.png, gnome-colors-wise_32.png, Basalt_16.png and
Quillon_24.png; the number in the name is the button size in pixels (the
strip's height). The buttons, left to right: open, save, previous, next, zoom
in, zoom out, rotate left, rotate right, print, delete, information, full
screen, slide show, thumbnails, copy, crop, first, last, settings, exit.
"""

import os
import sys

from raster import Canvas, arc, disc, line, png_bytes, polygon, rect, ring, round_rect

BUTTONS = 20

# name: (button size, plate colour or None, ink, accent)
SKINS = {
    "gnome-colors-human_48.png": (48, None, (110, 70, 30, 255), (240, 140, 30, 255)),
    "gnome-colors-wise_32.png": (32, None, (50, 90, 50, 255), (120, 180, 60, 255)),
    "Basalt_16.png": (16, (70, 70, 75, 255), (235, 235, 235, 255), (160, 160, 170, 255)),
    "Quillon_24.png": (24, (235, 240, 250, 255), (30, 50, 110, 255), (70, 130, 220, 255)),
}


def magnifier(ink, accent, plus):
    shapes = [(disc(0.42, 0.42, 0.26), accent), (ring(0.42, 0.42, 0.3, 0.22), ink),
              (line((0.62, 0.62), (0.86, 0.86), 0.12), ink), (line((0.3, 0.42), (0.54, 0.42), 0.07), ink)]
    if plus:
        shapes.append((line((0.42, 0.3), (0.42, 0.54), 0.07), ink))
    return shapes


def rotate(ink, accent, left):
    if left:
        return [(arc(0.5, 0.55, 0.28, 0.1, 200, 60), ink),
                (polygon([(0.1, 0.42), (0.34, 0.42), (0.22, 0.62)]), accent)]
    return [(arc(0.5, 0.55, 0.28, 0.1, 120, 340), ink),
            (polygon([(0.66, 0.42), (0.9, 0.42), (0.78, 0.62)]), accent)]


def glyphs(ink, accent):
    arrow_left = polygon([(0.14, 0.5), (0.5, 0.16), (0.5, 0.36), (0.86, 0.36), (0.86, 0.64), (0.5, 0.64),
                          (0.5, 0.84)])
    arrow_right = polygon([(0.86, 0.5), (0.5, 0.16), (0.5, 0.36), (0.14, 0.36), (0.14, 0.64), (0.5, 0.64),
                           (0.5, 0.84)])
    corners = []
    for (cu, cv, du, dv) in ((0.12, 0.12, 1, 1), (0.88, 0.12, -1, 1), (0.12, 0.88, 1, -1), (0.88, 0.88, -1, -1)):
        corners.append((line((cu, cv), (cu + 0.26 * du, cv), 0.08), ink))
        corners.append((line((cu, cv), (cu, cv + 0.26 * dv), 0.08), ink))
    gear = [(line((0.5 + 0.36 * dx, 0.5 + 0.36 * dy), (0.5 - 0.36 * dx, 0.5 - 0.36 * dy), 0.12), ink)
            for dx, dy in ((1, 0), (0, 1), (0.7071, 0.7071), (0.7071, -0.7071))]
    return [
        [(polygon([(0.08, 0.2), (0.4, 0.2), (0.46, 0.3), (0.8, 0.3), (0.8, 0.82), (0.08, 0.82)]), ink),
         (polygon([(0.22, 0.42), (0.94, 0.42), (0.8, 0.82), (0.08, 0.82)]), accent)],  # open
        [(round_rect(0.12, 0.12, 0.88, 0.88, 0.06), ink), (rect(0.28, 0.12, 0.72, 0.4), accent),
         (rect(0.24, 0.56, 0.76, 0.88), (250, 250, 250, 255))],  # save
        [(arrow_left, accent)],  # previous
        [(arrow_right, accent)],  # next
        magnifier(ink, accent, True),  # zoom in
        magnifier(ink, accent, False),  # zoom out
        rotate(ink, accent, True),  # rotate left
        rotate(ink, accent, False),  # rotate right
        [(rect(0.28, 0.1, 0.72, 0.36), (250, 250, 250, 255)), (round_rect(0.08, 0.34, 0.92, 0.72, 0.06), ink),
         (rect(0.28, 0.6, 0.72, 0.9), (250, 250, 250, 255)), (disc(0.78, 0.44, 0.04), accent)],  # print
        [(line((0.2, 0.2), (0.8, 0.8), 0.16), (200, 40, 40, 255)),
         (line((0.8, 0.2), (0.2, 0.8), 0.16), (200, 40, 40, 255))],  # delete
        [(disc(0.5, 0.5, 0.42), accent), (disc(0.5, 0.3, 0.07), (250, 250, 250, 255)),
         (rect(0.44, 0.42, 0.56, 0.76), (250, 250, 250, 255))],  # information
        corners + [(rect(0.32, 0.32, 0.68, 0.68), accent)],  # full screen
        [(polygon([(0.24, 0.14), (0.84, 0.5), (0.24, 0.86)]), accent)],  # slide show
        [(rect(0.1, 0.1, 0.46, 0.46), ink), (rect(0.54, 0.1, 0.9, 0.46), accent),
         (rect(0.1, 0.54, 0.46, 0.9), accent), (rect(0.54, 0.54, 0.9, 0.9), ink)],  # thumbnails
        [(rect(0.1, 0.1, 0.6, 0.7), ink), (rect(0.36, 0.3, 0.9, 0.9), accent)],  # copy
        [(line((0.3, 0.08), (0.3, 0.7), 0.1), ink), (line((0.3, 0.7), (0.92, 0.7), 0.1), ink),
         (line((0.08, 0.3), (0.7, 0.3), 0.1), accent), (line((0.7, 0.3), (0.7, 0.92), 0.1), accent)],  # crop
        [(rect(0.14, 0.18, 0.26, 0.82), ink), (polygon([(0.84, 0.18), (0.3, 0.5), (0.84, 0.82)]), accent)],  # first
        [(rect(0.74, 0.18, 0.86, 0.82), ink), (polygon([(0.16, 0.18), (0.7, 0.5), (0.16, 0.82)]), accent)],  # last
        gear + [(disc(0.5, 0.5, 0.26), ink), (disc(0.5, 0.5, 0.11), accent)],  # settings
        [(arc(0.5, 0.54, 0.32, 0.12, 300, 240), ink), (line((0.5, 0.1), (0.5, 0.5), 0.12), accent)],  # exit
    ]


def strip(size, plate, ink, accent):
    canvas = Canvas(size * BUTTONS, size)
    for i, shapes in enumerate(glyphs(ink, accent)):
        if plate:
            canvas.paint(round_rect(0.02, 0.02, 0.98, 0.98, 0.16), plate, i * size, 0, size)
        for shape, colour in shapes:
            canvas.paint(shape, colour, i * size, 0, size)
    return canvas


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (size, plate, ink, accent) in SKINS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(png_bytes(strip(size, plate, ink, accent)))


if __name__ == "__main__":
    main()
