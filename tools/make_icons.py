#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the program's 16x16 XPM icons to resources/: the window icon (a
little monitor with a blue C64 screen, a rainbow band and a cursor) and
the canvas's context-menu icons: copy as ASCII (a page with text lines),
copy as PETSCII (a page with colour blocks) and screenshot (a little
screen with a picture).

With --hicolor DIR NAME it draws the window icon for desktops instead: PNGs
in the icon theme's sizes, each icon pixel an exact square of screen
pixels, and an SVG of the same squares, as DIR/SIZExSIZE/apps/NAME.png and
DIR/scalable/apps/NAME.svg."""
import struct
import sys
import zlib

ICONS = {
    "morlen_icon": [
    "................",
    ".mmmmmmmmmmmmmm.",
    ".mLLLLLLLLLLLLm.",
    ".mLBBBBBBBBBBLm.",
    ".mLBwwBBBBBBBLm.",
    ".mLBBBBBBBBBBLm.",
    ".mLyyoorrppccLm.",
    ".mLBBBBBBBBBBLm.",
    ".mLBwBwBwBBBBLm.",
    ".mLBBBBBBBBBBLm.",
    ".mLBllBBBBBBBLm.",
    ".mLLLLLLLLLLLLm.",
    ".mmmmmmmmmmmmmm.",
    "......dddd......",
    "....dddddddd....",
    "................",
    ],
    "copy_ascii": [
        "................",
        "..##########....",
        "..#........##...",
        "..#.kkkkk...##..",
        "..#..........#..",
        "..#.kkkkkkk..#..",
        "..#..........#..",
        "..#.kkkkkk...#..",
        "..#..........#..",
        "..#.kkkkkkkk.#..",
        "..#..........#..",
        "..#.kkkk.....#..",
        "..#..........#..",
        "..############..",
        "................",
        "................",
    ],
    "copy_petscii": [
        "................",
        "..##########....",
        "..#........##...",
        "..#.yyrrpp..##..",
        "..#..........#..",
        "..#.ccggbb...#..",
        "..#..........#..",
        "..#.yy.rr.pp.#..",
        "..#..........#..",
        "..#.bbbbcccc.#..",
        "..#..........#..",
        "..#.gg.yy....#..",
        "..#..........#..",
        "..############..",
        "................",
        "................",
    ],
    "screenshot": [
        "................",
        ".ddddddddddddd..",
        ".dLLLLLLLLLLLd..",
        ".dLBBBBBBBBBLd..",
        ".dLByyBBBBBBLd..",
        ".dLBBBBrrBBBLd..",
        ".dLBBBrrrrBBLd..",
        ".dLBBrrrrrrBLd..",
        ".dLBggggggggLd..",
        ".dLLLLLLLLLLLd..",
        ".ddddddddddddd..",
        "......ddd.......",
        "....ddddddd.....",
        "................",
        "................",
        "................",
    ],
}
COLOURS = {
    ".": "None", "#": "#4B4A4B", "k": "#000000", "y": "#EAEA76", "r": "#C46B71",
    "p": "#8E3E97", "c": "#78CCC6", "g": "#56AC4B", "b": "#313594", "d": "#4B4A4B",
    "L": "#6A6BB1", "B": "#313594",
    "w": "#FFFFFF", "o": "#8E5029", "l": "#BB99FF", "m": "#7C7C7C",
}


def write(directory):
    for name, rows in ICONS.items():
        used = sorted({ch for row in rows for ch in row})
        lines = [f'"16 16 {len(used)} 1",'] + [f'"{ch} c {COLOURS[ch]}",' for ch in used]
        lines += [f'"{row}",' for row in rows]
        lines[-1] = lines[-1].rstrip(",")
        with open(f"{directory}/{name}.xpm", "w") as f:
            f.write(f"/* XPM */\nstatic const char* {name}_xpm[] = {{\n" + "\n".join(lines) + "\n};\n")


# All multiples of the 16-pixel drawing, so every size scales it exactly.
HICOLOR_SIZES = (16, 32, 48, 64, 128, 256)


def rgba(ch):
    colour = COLOURS[ch]
    if colour == "None":
        return (0, 0, 0, 0)
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5)) + (255,)


def png(rows, size):
    factor = size // len(rows)
    raw = bytearray()
    for row in rows:
        line = b"\0" + b"".join(bytes(rgba(ch)) * factor for ch in row)
        raw += line * factor

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def svg(rows):
    # One rectangle per run of equal pixels in a row; crisp edges keep the
    # squares sharp at any size.
    rects = []
    for y, row in enumerate(rows):
        x = 0
        while x < len(row):
            end = x
            while end < len(row) and row[end] == row[x]:
                end += 1
            if COLOURS[row[x]] != "None":
                rects.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" fill="{COLOURS[row[x]]}"/>')
            x = end
    n = len(rows)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{n}" height="{n}" viewBox="0 0 {n} {n}" '
            'shape-rendering="crispEdges">\n' + "\n".join(rects) + "\n</svg>\n")


def write_hicolor(directory, name):
    import os
    rows = ICONS["morlen_icon"]
    for size in HICOLOR_SIZES:
        os.makedirs(f"{directory}/{size}x{size}/apps", exist_ok=True)
        with open(f"{directory}/{size}x{size}/apps/{name}.png", "wb") as f:
            f.write(png(rows, size))
    os.makedirs(f"{directory}/scalable/apps", exist_ok=True)
    with open(f"{directory}/scalable/apps/{name}.svg", "w") as f:
        f.write(svg(rows))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--hicolor":
        write_hicolor(sys.argv[2], sys.argv[3])
    else:
        write(sys.argv[1] if len(sys.argv) > 1 else "resources")
