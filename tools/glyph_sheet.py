#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Renders the glyph files as an enlarged PNG sheet for eyeballing.

  tools/glyph_sheet.py OUT.png [--scale N] [--text "Sample"]...

The sheet shows both sets as 16x8 grids (upper set above, lower set below),
labelled with hex digits drawn in the glyphs themselves. The --text lines are
rendered below, once per set, so letters can be judged in words and graphics
as they tile. Characters are looked up by the glyphs' labels, so lower case
letters show as capitals in the upper set; unknown ones show as '?'.
"""
import argparse
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GLYPH_DIR = os.path.join(ROOT, "resources", "glyphs")
BACKGROUND = (0x35, 0x28, 0x79)  # dark blue paper
INK = (0x9A, 0x8A, 0xE0)  # light blue ink
GRID = (0x20, 0x18, 0x50)
PITCH = 10  # cell pitch on the sheet: the glyph plus a frame


def load(name):
    """Returns {screen code: (label, [8 row strings])}."""
    glyphs, code, label, rows = {}, None, None, []
    with open(os.path.join(GLYPH_DIR, name + ".txt"), encoding="utf-8") as f:
        for line in f.read().splitlines():
            if not line or line.startswith(";"):
                continue
            if line.startswith("0x"):
                head, _, label = line.partition(" ")
                code, rows = int(head, 16), []
                continue
            rows.append(line)
            if len(rows) == 8:
                glyphs[code] = (label, rows)
    return glyphs


def char_map(glyphs):
    """Character -> screen code, from the labels' first field."""
    result = {}
    for code, (label, _) in sorted(glyphs.items()):
        result.setdefault(label.split(" ")[0], code)
    result[" "] = 0x20
    return result


class Canvas:
    def __init__(self, width, height, scale):
        self.w, self.h, self.scale = width, height, scale
        self.px = [[BACKGROUND] * (width * scale) for _ in range(height * scale)]

    def glyph(self, x, y, rows, colour=INK):
        """Draws a glyph with its top left at pixel (x, y) in unscaled units."""
        s = self.scale
        for r, row in enumerate(rows):
            for c, ch in enumerate(row):
                if ch == "#":
                    for dy in range(s):
                        line = self.px[(y + r) * s + dy]
                        for dx in range(s):
                            line[(x + c) * s + dx] = colour

    def grid_lines(self, x, y, cols, lines):
        s = self.scale
        for i in range(cols + 1):
            for py in range(y * s, (y + lines * PITCH) * s):
                for dx in range(s):
                    self.px[py][(x + i * PITCH) * s + dx - s // 2] = GRID
        for j in range(lines + 1):
            for dy in range(s):
                row = self.px[(y + j * PITCH) * s + dy - s // 2]
                for px in range(x * s, (x + cols * PITCH) * s):
                    row[px] = GRID

    def write_png(self, path):
        raw = b"".join(b"\0" + bytes(v for p in line for v in p) for line in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.w * self.scale, self.h * self.scale, 8, 2, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                    chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--scale", type=int, default=4)
    parser.add_argument("--text", action="append", default=[])
    args = parser.parse_args()

    sets = [load("upper"), load("lower")]
    maps = [char_map(s) for s in sets]
    hexdigit = [sets[0][0x30 + i][1] if i < 10 else sets[1][i - 9][1] for i in range(16)]
    grid_h = (8 + 2) * PITCH
    width = max(16 * PITCH + 3 * 8, max([0] + [len(t) for t in args.text]) * 8 + 16)
    height = 2 * grid_h + 2 * (len(args.text) + 1) * 8
    canvas = Canvas(width, height, args.scale)

    for n, glyphs in enumerate(sets):
        left, top = 2 * 8, n * grid_h + 12
        for i in range(16):
            canvas.glyph(left + i * PITCH + 1, top - 10, hexdigit[i])
        for j in range(8):
            canvas.glyph(left - 12, top + j * PITCH + 1, hexdigit[j])
        canvas.grid_lines(left, top, 16, 8)
        for code, (_, rows) in glyphs.items():
            if code >= 0x80:  # a reversed glyph of its own: not on the sheet
                continue
            canvas.glyph(left + (code % 16) * PITCH + 1, top + (code // 16) * PITCH + 1, rows)

    # Text lines touch, as on screen, so graphics can be judged as they tile.
    y = 2 * grid_h
    for n, glyphs in enumerate(sets):
        for text in args.text:
            for i, ch in enumerate(text):
                code = maps[n].get(ch, maps[n].get(ch.upper(), 0x3F))
                canvas.glyph(8 + i * 8, y, glyphs[code][1])
            y += 8
        y += 8
    canvas.write_png(args.out)


if __name__ == "__main__":
    main()
