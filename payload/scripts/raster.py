"""A tiny deterministic rasteriser for the payload's icons and toolbar skins.

Shapes are given in unit coordinates (0..1 across a square cell) and painted
into an RGBA canvas with 4 samples per pixel, so the same script always gives
the same pixels, on any machine, without any imaging library.
"""

import math
import struct
import zlib

SAMPLES = ((0.25, 0.25), (0.75, 0.25), (0.25, 0.75), (0.75, 0.75))


class Shape:
    """A region of the unit square: a bounding box and an inside test."""

    def __init__(self, box, inside):
        self.box = box  # (u0, v0, u1, v1)
        self.inside = inside

    def minus(self, other):
        return Shape(self.box, lambda u, v: self.inside(u, v) and not other.inside(u, v))


def rect(u0, v0, u1, v1):
    return Shape((u0, v0, u1, v1), lambda u, v: u0 <= u < u1 and v0 <= v < v1)


def round_rect(u0, v0, u1, v1, r):
    def inside(u, v):
        if not (u0 <= u < u1 and v0 <= v < v1):
            return False
        cu = min(max(u, u0 + r), u1 - r)
        cv = min(max(v, v0 + r), v1 - r)
        return (u - cu) ** 2 + (v - cv) ** 2 <= r * r

    return Shape((u0, v0, u1, v1), inside)


def disc(cu, cv, r):
    return Shape((cu - r, cv - r, cu + r, cv + r), lambda u, v: (u - cu) ** 2 + (v - cv) ** 2 <= r * r)


def ring(cu, cv, r_out, r_in):
    def inside(u, v):
        d = (u - cu) ** 2 + (v - cv) ** 2
        return r_in * r_in <= d <= r_out * r_out

    return Shape((cu - r_out, cv - r_out, cu + r_out, cv + r_out), inside)


def polygon(points):
    us = [p[0] for p in points]
    vs = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(u, v):  # even-odd rule
        hit = False
        for (a_u, a_v), (b_u, b_v) in edges:
            if (a_v > v) != (b_v > v) and u < a_u + (v - a_v) * (b_u - a_u) / (b_v - a_v):
                hit = not hit
        return hit

    return Shape((min(us), min(vs), max(us), max(vs)), inside)


def line(p, q, width):
    (pu, pv), (qu, qv) = p, q
    du, dv = qu - pu, qv - pv
    length2 = du * du + dv * dv or 1e-9
    half = width / 2

    def inside(u, v):
        t = min(max(((u - pu) * du + (v - pv) * dv) / length2, 0.0), 1.0)
        return (u - pu - t * du) ** 2 + (v - pv - t * dv) ** 2 <= half * half

    box = (min(pu, qu) - half, min(pv, qv) - half, max(pu, qu) + half, max(pv, qv) + half)
    return Shape(box, inside)


def arc(cu, cv, r, width, start_deg, end_deg):
    """A stroke along a circle from start to end angle (degrees, clockwise from east, v downwards)."""
    band = ring(cu, cv, r + width / 2, r - width / 2)
    a0, a1 = math.radians(start_deg), math.radians(end_deg)

    def inside(u, v):
        if not band.inside(u, v):
            return False
        a = math.atan2(v - cv, u - cu) % (2 * math.pi)
        return (a - a0) % (2 * math.pi) <= (a1 - a0) % (2 * math.pi)

    return Shape(band.box, inside)


class Canvas:
    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [list(background) for _ in range(width * height)]

    def paint(self, shape, colour, x0=0, y0=0, size=None):
        """Paints a shape into the square cell of `size` pixels at (x0, y0)."""
        size = size or min(self.width, self.height)
        u0, v0, u1, v1 = shape.box
        left = max(x0 + int(math.floor(u0 * size)), x0, 0)
        top = max(y0 + int(math.floor(v0 * size)), y0, 0)
        right = min(x0 + int(math.ceil(u1 * size)), x0 + size, self.width)
        bottom = min(y0 + int(math.ceil(v1 * size)), y0 + size, self.height)
        for y in range(top, bottom):
            for x in range(left, right):
                hits = sum(
                    1 for su, sv in SAMPLES if shape.inside((x - x0 + su) / size, (y - y0 + sv) / size)
                )
                if hits:
                    self._blend(x, y, colour, hits / len(SAMPLES))

    def _blend(self, x, y, colour, coverage):
        dst = self.pixels[y * self.width + x]
        a_src = coverage * (colour[3] if len(colour) > 3 else 255) / 255
        a_dst = dst[3] / 255
        a_out = a_src + a_dst * (1 - a_src)
        if a_out <= 0:
            return
        for i in range(3):
            dst[i] = round((colour[i] * a_src + dst[i] * a_dst * (1 - a_src)) / a_out)
        dst[3] = round(a_out * 255)

    def rgba_rows(self):
        """Rows top to bottom, each as RGBA bytes."""
        for y in range(self.height):
            row = self.pixels[y * self.width:(y + 1) * self.width]
            yield bytes(c for p in row for c in p)


def png_bytes(canvas):
    """An 8-bit RGBA PNG of the canvas (filter 0 on every row)."""

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\x00" + row for row in canvas.rgba_rows())
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def ico_bytes(canvases):
    """A Windows icon file with one 32-bit image (BGRA and AND mask) per canvas."""
    images = []
    for c in canvases:
        rows = list(c.rgba_rows())[::-1]  # bottom-up
        xor = b"".join(bytes(v for i in range(0, len(r), 4) for v in (r[i + 2], r[i + 1], r[i], r[i + 3]))
                       for r in rows)
        mask_stride = ((c.width + 31) // 32) * 4
        mask = bytearray()
        for r in rows:
            bits = bytearray(mask_stride)
            for x in range(c.width):
                if r[4 * x + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, c.width, 2 * c.height, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append(info + xor + bytes(mask))
    out = struct.pack("<HHH", 0, 1, len(canvases))
    offset = 6 + 16 * len(canvases)
    for c, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)
