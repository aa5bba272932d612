#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints every screen code of one character set, normal and reversed, through
morlen-petscii render --scale 1 and compares each cell with the glyph file.

    check_glyph_render.py MORLEN_PETSCII GLYPH_FILE upper|lower

The glyph file is read here on its own: a reversed cell must show the block
given for its code 0x80-0xFF, or else the inversion of the normal glyph.
Prints the count of differing cells and exits 0 only when there are none."""
import subprocess
import sys
import tempfile

WHITE, BLACK = b"\xff\xff\xff", b"\x00\x00\x00"
COLUMNS = 40


def glyphs(path):
    """{screen code 0x00-0xFF: [8 row strings]} as written in the file."""
    result, code, rows = {}, None, []
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            if not line or line.startswith(";"):
                continue
            if code is None:
                code, rows = int(line[2:4], 16), []
                continue
            rows.append(line)
            if len(rows) == 8:
                result[code], code = rows, None
    for c in range(0x80):
        result.setdefault(c | 0x80, ["".join("." if p == "#" else "#" for p in row) for row in result[c]])
    return result


def petscii_of(screen_code):
    """The printable byte that shows a screen code 0x00-0x7F."""
    return screen_code + (0x40 if screen_code < 0x20 else 0 if screen_code < 0x40 else 0x20 if screen_code < 0x60 else 0x40)


def main(argv):
    tool, glyph_file, charset = argv[1:4]
    expected = glyphs(glyph_file)
    # White ink; the first 128 cells normal, the next 128 reversed (no
    # RETURN in between, which would end reverse mode).
    stream = bytes([0x05]) + bytes(petscii_of(c) for c in range(0x80)) + b"\x12" + \
        bytes(petscii_of(c) for c in range(0x80))
    with tempfile.TemporaryDirectory() as tmp:
        seq, png = f"{tmp}/codes.seq", f"{tmp}/codes.png"
        open(seq, "wb").write(stream)
        subprocess.run([tool, "render", "--scale", "1", "--charset", charset, seq, png], check=True)
        size = subprocess.run(["identify", "-format", "%w %h", png], check=True, capture_output=True, text=True).stdout
        width, height = map(int, size.split())
        raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    if (width, height) != (320, 200):
        print(f"picture is {width}x{height}, not 320x200")
        return 1
    differing = 0
    for cell in range(0x100):
        x0, y0 = cell % COLUMNS * 8, cell // COLUMNS * 8
        for y in range(8):
            for x in range(8):
                at = ((y0 + y) * width + x0 + x) * 3
                want = WHITE if expected[cell][y][x] == "#" else BLACK
                if raw[at:at + 3] != want:
                    print(f"screen code 0x{cell:02X}: pixel ({x},{y}) differs")
                    differing += 1
                    break
            else:
                continue
            break
    print(f"{charset}: {differing} of 256 cells differ")
    return 0 if differing == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
