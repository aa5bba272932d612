#!/usr/bin/env python3
"""Writes the program's 16x16 XPM icons to resources/: the window icon (a
little monitor with a blue C64 screen, a rainbow band and a cursor) and
the canvas's context-menu icons: copy as ASCII (a page with text lines),
copy as PETSCII (a page with colour blocks) and screenshot (a little
screen with a picture)."""
import sys

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


if __name__ == "__main__":
    write(sys.argv[1] if len(sys.argv) > 1 else "resources")
