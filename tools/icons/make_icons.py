#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the Canasta program icon: a fan of three cards (a dark red back, the
ace of hearts and the ace of spades), like the icon the table window shows.

The picture is a list of filled paths (lines and cubic curves, even-odd fill)
in a 256 x 256 box. The same paths are written as the scalable SVG icon and
rasterised here, with anti-aliasing, into the PNG icons of the hicolor sizes.
Python standard library only; the output is the same on every run.

    tools/icons/make_icons.py            writes data/icons/hicolor/...
    tools/icons/make_icons.py --out DIR  writes DIR/hicolor/...
    tools/icons/make_icons.py --check    exits 1 when data/icons is not what
                                         this script makes (PNG pixels may
                                         differ by one step of rounding)
"""
import argparse
import math
import os
import struct
import sys
import tempfile
import zlib

APP_ID = "io.github.canasta.Canasta"
SIZES = (16, 32, 48, 64, 128, 256)
BOX = 256.0

# ---------------------------------------------------------------- geometry
# A path is a list of subpaths; a subpath is a start point and a list of
# segments ("L", (x, y)) or ("C", (x1, y1), (x2, y2), (x, y)).


class Path:
    def __init__(self):
        self.subpaths = []

    def move(self, p):
        self.subpaths.append([p, []])
        return self

    def line(self, p):
        self.subpaths[-1][1].append(("L", p))
        return self

    def curve(self, c1, c2, p):
        self.subpaths[-1][1].append(("C", c1, c2, p))
        return self

    def extend(self, other):
        self.subpaths.extend(other.subpaths)
        return self

    def mapped(self, f):
        out = Path()
        for start, segs in self.subpaths:
            out.move(f(start))
            for s in segs:
                if s[0] == "L":
                    out.line(f(s[1]))
                else:
                    out.curve(f(s[1]), f(s[2]), f(s[3]))
        return out


KAPPA = 0.5522847498


def rounded_rect(x0, y0, x1, y1, r):
    k = r * KAPPA
    p = Path().move((x0 + r, y0))
    p.line((x1 - r, y0)).curve((x1 - r + k, y0), (x1, y0 + r - k), (x1, y0 + r))
    p.line((x1, y1 - r)).curve((x1, y1 - r + k), (x1 - r + k, y1), (x1 - r, y1))
    p.line((x0 + r, y1)).curve((x0 + r - k, y1), (x0, y1 - r + k), (x0, y1 - r))
    p.line((x0, y0 + r)).curve((x0, y0 + r - k), (x0 + r - k, y0), (x0 + r, y0))
    return p


def ring(x0, y0, x1, y1, r, width):
    """An outline of a rounded rectangle, width units wide, inside its edge."""
    return rounded_rect(x0, y0, x1, y1, r).extend(
        rounded_rect(x0 + width, y0 + width, x1 - width, y1 - width, max(r - width, 0.5)))


def heart(cx, cy, s):
    """A heart s units wide, centred on (cx, cy)."""
    def t(p):
        return (cx + p[0] * s / 2, cy + p[1] * s / 2)
    p = Path().move(t((0, 1)))
    p.curve(t((-0.15, 0.8)), t((-1, 0.25)), t((-1, -0.3)))
    p.curve(t((-1, -0.8)), t((-0.45, -1.0)), t((0, -0.55)))
    p.curve(t((0.45, -1.0)), t((1, -0.8)), t((1, -0.3)))
    p.curve(t((1, 0.25)), t((0.15, 0.8)), t((0, 1)))
    return p


def spade(cx, cy, s):
    """A spade s units wide, centred on (cx, cy)."""
    def t(p):
        return (cx + p[0] * s / 2, cy + p[1] * s / 2)
    p = Path().move(t((0, -1)))
    p.curve(t((0.15, -0.8)), t((1, -0.25)), t((1, 0.3)))
    p.curve(t((1, 0.8)), t((0.45, 0.95)), t((0.08, 0.55)))
    p.curve(t((0.1, 0.8)), t((0.2, 0.95)), t((0.34, 1.08)))
    p.line(t((-0.34, 1.08)))
    p.curve(t((-0.2, 0.95)), t((-0.1, 0.8)), t((-0.08, 0.55)))
    p.curve(t((-0.45, 0.95)), t((-1, 0.8)), t((-1, 0.3)))
    p.curve(t((-1, -0.25)), t((-0.15, -0.8)), t((0, -1)))
    return p


def letter_a(x, y, h):
    """A bold capital A, h units high, its top left corner at (x, y)."""
    def t(p):
        return (x + p[0] * h, y + p[1] * h)
    outer = [(0.0, 1.0), (0.31, 0.0), (0.49, 0.0), (0.80, 1.0), (0.61, 1.0), (0.54, 0.76),
             (0.26, 0.76), (0.19, 1.0)]
    hole = [(0.31, 0.61), (0.49, 0.61), (0.40, 0.29)]
    p = Path()
    for poly in (outer, hole):
        p.move(t(poly[0]))
        for q in poly[1:]:
            p.line(t(q))
    return p


def diamond(cx, cy, w, h):
    return Path().move((cx, cy - h / 2)).line((cx + w / 2, cy)).line((cx, cy + h / 2)).line((cx - w / 2, cy))


# ---------------------------------------------------------------- the picture

CARD_W, CARD_H = 124.0, 180.0
PIVOT = (128.0, 226.0)   # the cards turn about this point below the fan
LIFT = 16.0              # the cards' lower edge lies this far above the pivot
RADIUS = 11.0


def shapes(detail):
    """(path, (r, g, b), alpha) in drawing order. detail 2 is the full
    picture; 1 (32 pixels) drops the corner indices, the shadows and the
    back's ornaments; 0 (16 pixels) shows just the back and the ace of
    spades, with thick outlines."""
    outline = (9.0, 6.0, 3.0)[detail]
    out = []
    if detail == 0:
        # Two larger cards, so that something can still be seen.
        card_w, card_h, pivot, lift = 140.0, 206.0, (128.0, 228.0), 14.0
        cards = (("back", -15.0), ("spade", 13.0))
    else:
        card_w, card_h, pivot, lift = CARD_W, CARD_H, PIVOT, LIFT
        cards = (("back", -18.0), ("heart", 0.0), ("spade", 18.0))
    x0, x1 = -card_w / 2, card_w / 2
    y0, y1 = -lift - card_h, -lift
    for kind, angle in cards:
        a = math.radians(angle)
        ca, sa = math.cos(a), math.sin(a)

        def place(p, ca=ca, sa=sa):
            return (pivot[0] + p[0] * ca - p[1] * sa, pivot[1] + p[0] * sa + p[1] * ca)

        def shadow(p, ca=ca, sa=sa):
            q = place(p, ca, sa)
            return (q[0] + 3.0, q[1] + 4.0)

        body = rounded_rect(x0, y0, x1, y1, RADIUS)
        if detail == 2:
            out.append((body.mapped(shadow), (0, 0, 0), 0.22))
        if kind == "back":
            out.append((body.mapped(place), (0x80, 0x00, 0x00), 1.0))
            if detail == 2:
                out.append((ring(x0 + 10, y0 + 10, x1 - 10, y1 - 10, 6, 3).mapped(place), (0xE8, 0xC4, 0xB4), 1.0))
                out.append((diamond(0, (y0 + y1) / 2, 54, 84).mapped(place), (0xB0, 0x30, 0x30), 1.0))
                out.append((diamond(0, (y0 + y1) / 2, 26, 40).mapped(place), (0xE8, 0xC4, 0xB4), 1.0))
            else:
                out.append((diamond(0, (y0 + y1) / 2, 60, 92).mapped(place), (0xC0, 0x40, 0x40), 1.0))
        else:
            out.append((body.mapped(place), (0xFF, 0xFF, 0xFF), 1.0))
            colour = (0xC8, 0x10, 0x1E) if kind == "heart" else (0x10, 0x10, 0x10)
            mid_y = (y0 + y1) / 2 + 6
            if kind == "heart":
                pip = heart(0, mid_y, 70 if detail == 2 else 92)
            else:
                pip = spade(0, mid_y, (112, 92, 66)[detail])
            out.append((pip.mapped(place), colour, 1.0))
            if detail == 2:
                out.append((letter_a(x0 + 9, y0 + 9, 30).mapped(place), colour, 1.0))
                small = heart(x0 + 21, y0 + 52, 18) if kind == "heart" else spade(x0 + 21, y0 + 52, 17)
                out.append((small.mapped(place), colour, 1.0))
        out.append((ring(x0, y0, x1, y1, RADIUS, outline).mapped(place), (0x30, 0x30, 0x30), 1.0))
    return out


# ---------------------------------------------------------------- SVG

def fmt(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def svg_path(path):
    parts = []
    for start, segs in path.subpaths:
        parts.append("M%s %s" % (fmt(start[0]), fmt(start[1])))
        for s in segs:
            if s[0] == "L":
                parts.append("L%s %s" % (fmt(s[1][0]), fmt(s[1][1])))
            else:
                parts.append("C%s %s %s %s %s %s" % tuple(fmt(v) for q in s[1:] for v in q))
        parts.append("Z")
    return " ".join(parts)


def make_svg():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
             '  <title>Canasta</title>']
    for path, rgb, alpha in shapes(2):
        opacity = "" if alpha >= 1.0 else ' fill-opacity="%s"' % fmt(alpha)
        lines.append('  <path fill="#%02x%02x%02x"%s fill-rule="evenodd" d="%s"/>' % (rgb + (opacity, svg_path(path))))
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


# ---------------------------------------------------------------- raster

def flatten(path, scale):
    """Closed polygons in pixels; curves cut into straight pieces."""
    polys = []
    for start, segs in path.subpaths:
        pts = [(start[0] * scale, start[1] * scale)]
        cur = start
        for s in segs:
            if s[0] == "L":
                cur = s[1]
                pts.append((cur[0] * scale, cur[1] * scale))
            else:
                p0, p1, p2, p3 = cur, s[1], s[2], s[3]
                n = 16
                for i in range(1, n + 1):
                    t = i / n
                    u = 1 - t
                    x = u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0]
                    y = u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]
                    pts.append((x * scale, y * scale))
                cur = p3
        polys.append(pts)
    return polys


def rasterise(size):
    scale = size / BOX
    samples = 16 if size <= 32 else (8 if size <= 64 else 4)
    img = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]  # premultiplied
    for path, rgb, alpha in shapes(2 if size >= 48 else (1 if size >= 32 else 0)):
        edges = []
        for poly in flatten(path, scale):
            for i in range(len(poly)):
                (xa, ya), (xb, yb) = poly[i], poly[(i + 1) % len(poly)]
                if ya != yb:
                    edges.append((xa, ya, xb, yb))
        if not edges:
            continue
        ymin = max(0, int(math.floor(min(min(e[1], e[3]) for e in edges))))
        ymax = min(size - 1, int(math.ceil(max(max(e[1], e[3]) for e in edges))))
        colour = [c / 255.0 for c in rgb]
        for py in range(ymin, ymax + 1):
            cover = [0.0] * size
            for j in range(samples):
                y = py + (j + 0.5) / samples
                xs = []
                for xa, ya, xb, yb in edges:
                    if (ya <= y < yb) or (yb <= y < ya):
                        xs.append(xa + (y - ya) * (xb - xa) / (yb - ya))
                xs.sort()
                for k in range(0, len(xs) - 1, 2):
                    a = max(0.0, xs[k])
                    b = min(float(size), xs[k + 1])
                    if b <= a:
                        continue
                    ia, ib = int(a), int(b)
                    w = 1.0 / samples
                    if ia == ib:
                        cover[ia] += (b - a) * w
                        continue
                    cover[ia] += (ia + 1 - a) * w
                    for i in range(ia + 1, ib):
                        cover[i] += w
                    if ib < size:
                        cover[ib] += (b - ib) * w
            row = py * size
            for px in range(size):
                c = cover[px]
                if c <= 0.0:
                    continue
                sa = min(c, 1.0) * alpha
                d = img[row + px]
                keep = 1.0 - sa
                d[0] = colour[0] * sa + d[0] * keep
                d[1] = colour[1] * sa + d[1] * keep
                d[2] = colour[2] * sa + d[2] * keep
                d[3] = sa + d[3] * keep
    rgba = bytearray()
    for r, g, b, a in img:
        if a <= 0.0:
            rgba += b"\0\0\0\0"
            continue
        rgba += bytes((min(255, int(r / a * 255 + 0.5)), min(255, int(g / a * 255 + 0.5)),
                       min(255, int(b / a * 255 + 0.5)), min(255, int(a * 255 + 0.5))))
    return bytes(rgba)


def png_bytes(size, rgba):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = bytearray()
    stride = size * 4
    for y in range(size):
        raw.append(0)
        raw += rgba[y * stride:(y + 1) * stride]
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def png_pixels(data):
    """The RGBA pixels of a PNG written by png_bytes (8-bit RGBA, no filters)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    pos, idat, size = 8, b"", None
    while pos < len(data):
        (n,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if (w, depth, ctype, interlace) != (h, 8, 6, 0):
                return None
            size = w
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    raw = zlib.decompress(idat)
    stride = size * 4
    out = bytearray()
    for y in range(size):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        if line[0] != 0:
            return None
        out += line[1:]
    return size, bytes(out)


# ---------------------------------------------------------------- files

def icon_files():
    files = {"hicolor/scalable/apps/%s.svg" % APP_ID: make_svg().encode("utf-8")}
    for size in SIZES:
        files["hicolor/%dx%d/apps/%s.png" % (size, size, APP_ID)] = png_bytes(size, rasterise(size))
    return files


def write(root, files):
    for rel, data in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def check(root, files):
    problems = []
    for rel, data in files.items():
        path = os.path.join(root, rel)
        try:
            with open(path, "rb") as f:
                have = f.read()
        except OSError:
            problems.append("%s is missing" % rel)
            continue
        if have == data:
            continue
        if rel.endswith(".png"):
            a, b = png_pixels(have), png_pixels(data)
            if a and b and a[0] == b[0] and all(abs(x - y) <= 1 for x, y in zip(a[1], b[1])):
                continue
        problems.append("%s differs from what the generator makes" % rel)
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_root = os.path.normpath(os.path.join(here, "..", "..", "data", "icons"))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=default_root, help="folder that receives hicolor/ (default data/icons)")
    parser.add_argument("--check", action="store_true", help="compare instead of writing")
    args = parser.parse_args()
    files = icon_files()
    if args.check:
        problems = check(args.out, files)
        for p in problems:
            print("make_icons: " + p, file=sys.stderr)
        if problems:
            print("make_icons: run tools/icons/make_icons.py to bring data/icons up to date", file=sys.stderr)
        return 1 if problems else 0
    write(args.out, files)
    return 0


if __name__ == "__main__":
    sys.exit(main())
