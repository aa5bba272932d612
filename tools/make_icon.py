#!/usr/bin/env python3
"""Writes resources/morlen_icon.xpm: the 16x16 window icon, a little
monitor with a blue C64 screen, a rainbow band and a cursor."""
import sys

ROWS = [
    "................",
    ".gggggggggggggg.",
    ".gLLLLLLLLLLLLg.",
    ".gLBBBBBBBBBBLg.",
    ".gLBwwBBBBBBBLg.",
    ".gLBBBBBBBBBBLg.",
    ".gLyyoorrppccLg.",
    ".gLBBBBBBBBBBLg.",
    ".gLBwBwBwBBBBLg.",
    ".gLBBBBBBBBBBLg.",
    ".gLBllBBBBBBBLg.",
    ".gLLLLLLLLLLLLg.",
    ".gggggggggggggg.",
    "......dddd......",
    "....dddddddd....",
    "................",
]
COLOURS = {
    ".": "None", "g": "#7C7C7C", "L": "#6A6BB1", "B": "#313594", "w": "#FFFFFF",
    "y": "#EAEA76", "o": "#8E5029", "r": "#C46B71", "p": "#8E3E97", "c": "#78CCC6",
    "l": "#BB99FF", "d": "#4B4A4B",
}

def main(out):
    used = sorted({ch for row in ROWS for ch in row})
    lines = [f'"16 16 {len(used)} 1",'] + [f'"{ch} c {COLOURS[ch]}",' for ch in used]
    lines += [f'"{row}",' for row in ROWS]
    lines[-1] = lines[-1].rstrip(",")
    with open(out, "w") as f:
        f.write("/* XPM */\nstatic const char* morlen_icon_xpm[] = {\n" + "\n".join(lines) + "\n};\n")

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/morlen_icon.xpm")
