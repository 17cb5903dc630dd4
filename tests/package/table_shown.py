#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that a screenshot of the program shows its table with cards dealt.

    table_shown.py shot.png min-width min-height

The PNG is decoded here (8-bit RGB or RGBA, not interlaced, as Qt writes
it), so the check needs nothing but Python. The table is the default felt
colour, RGB (0, 128, 0), over at least a third of the picture, and the dealt
cards put white card faces on it.
"""
import struct
import sys
import zlib

FELT = (0, 128, 0)
WHITE = (255, 255, 255)


def decode(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f"{path}: depth {depth}, colour type {colour}, interlace {interlace} not handled")
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = prev[i]
            corner = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(line)
        prev = line
    return width, height, bpp, rows


def main():
    path, min_width, min_height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    width, height, bpp, rows = decode(path)
    counts = {FELT: 0, WHITE: 0}
    for line in rows:
        for x in range(0, len(line), bpp):
            rgb = tuple(line[x:x + 3])
            if rgb in counts:
                counts[rgb] += 1
    total = width * height
    felt, white = counts[FELT] / total, counts[WHITE] / total
    print(f"{path}: {width}x{height}, felt {felt:.0%}, card white {white:.1%}")
    ok = width >= min_width and height >= min_height and felt >= 1 / 3 and white >= 0.01
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
