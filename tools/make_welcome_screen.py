#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds resources/welcome_screen.seq, the picture the terminal shows at
start: a framed logo drawn in quadrant blocks, a colour band and the keys
to get going. The stream starts with the upper-case set and white, holds
no RETURN and no clear-screen (it is drawn with cursor moves only) and is
exactly WELCOME_SIZE bytes long.

    python3 tools/make_welcome_screen.py [OUT]
"""
import sys

COLUMNS, ROWS = 40, 25
WELCOME_SIZE = 1122
COLOUR_CODES = [0x90, 0x05, 0x1C, 0x9F, 0x9C, 0x1E, 0x1F, 0x9E,
                0x81, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B]
BLACK, WHITE, RED, CYAN, PURPLE, GREEN, BLUE, YELLOW = range(8)
ORANGE, BROWN, LT_RED, DK_GRAY, MD_GRAY, LT_GREEN, LT_BLUE, LT_GRAY = range(8, 16)
UPPER_CASE, RVS_ON, RVS_OFF = 0x8E, 0x12, 0x92
CRSR_DOWN, CRSR_RIGHT, CRSR_LEFT = 0x11, 0x1D, 0x9D

# Quadrant blocks by the pixels they set (upper left, upper right, lower
# left, lower right): (PETSCII byte, reversed).
QUADRANTS = {
    (0, 0, 0, 0): (0x20, False), (1, 1, 1, 1): (0x20, True),
    (1, 0, 0, 0): (0xBE, False), (0, 1, 1, 1): (0xBE, True),
    (0, 1, 0, 0): (0xBC, False), (1, 0, 1, 1): (0xBC, True),
    (0, 0, 1, 0): (0xBB, False), (1, 1, 0, 1): (0xBB, True),
    (0, 0, 0, 1): (0xAC, False), (1, 1, 1, 0): (0xAC, True),
    (0, 0, 1, 1): (0xA2, False), (1, 1, 0, 0): (0xA2, True),
    (1, 0, 1, 0): (0xA1, False), (0, 1, 0, 1): (0xA1, True),
    (1, 0, 0, 1): (0xBF, False), (0, 1, 1, 0): (0xBF, True),
}

LOGO = {
    "M": ["##..##", "######", "######", "##..##", "##..##", "##..##", "##..##", "##..##"],
    "O": [".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."],
    "R": ["#####.", "##..##", "##..##", "#####.", "####..", "##.##.", "##..##", "##..##"],
    "L": ["##....", "##....", "##....", "##....", "##....", "##....", "##....", "######"],
    "E": ["######", "##....", "##....", "#####.", "##....", "##....", "##....", "######"],
    "N": ["##..##", "###.##", "######", "######", "##.###", "##..##", "##..##", "##..##"],
}


class Picture:
    def __init__(self):
        self.cells = {}  # (row, column) -> (byte, colour, reversed)

    def put(self, row, column, byte, colour, reverse=False):
        assert 0 <= row < ROWS and 0 <= column < COLUMNS
        self.cells[(row, column)] = (byte, colour, reverse)

    def text(self, row, column, text, colour):
        for i, ch in enumerate(text):
            if ch != " ":
                self.put(row, column + i, ord(ch), colour)

    def centred(self, row, text, colour):
        self.text(row, (COLUMNS - len(text)) // 2, text, colour)

    def encode(self):
        out = bytearray([UPPER_CASE, COLOUR_CODES[WHITE]])
        row = column = 0
        colour, reverse = WHITE, False
        for (r, c) in sorted(self.cells):
            byte, cell_colour, cell_reverse = self.cells[(r, c)]
            # Walk there: down, then sideways, or straight along the row.
            if r > row:
                out += bytes([CRSR_DOWN]) * (r - row)
                row = r
            if c > column:
                out += bytes([CRSR_RIGHT]) * (c - column)
            elif c < column:
                out += bytes([CRSR_LEFT]) * (column - c)
            column = c
            if cell_reverse != reverse:
                out.append(RVS_ON if cell_reverse else RVS_OFF)
                reverse = cell_reverse
            if cell_colour != colour:
                out.append(COLOUR_CODES[cell_colour])
                colour = cell_colour
            out.append(byte)
            column += 1
            if column == COLUMNS:
                assert row < ROWS - 1, "the last cell would scroll the screen"
                row, column = row + 1, 0
        return out


def draw_logo(picture, top, colours):
    pixels = ["", "", "", "", "", "", "", ""]
    for i, letter in enumerate("MORLEN"):
        for y in range(8):
            pixels[y] += ("." * 2 if i else "") + LOGO[letter][y]
    left = (COLUMNS - len(pixels[0]) // 2) // 2
    for cell_row in range(4):
        for cell in range(len(pixels[0]) // 2):
            quad = tuple(int(pixels[2 * cell_row + dy][2 * cell + dx] == "#") for dy in (0, 1) for dx in (0, 1))
            byte, rev = QUADRANTS[quad]
            if quad != (0, 0, 0, 0):
                picture.put(top + cell_row, left + cell, byte, colours[cell_row], rev)


def draw_frame(picture, top, bottom, colour):
    picture.put(top, 0, 0xB0, colour)
    picture.put(top, COLUMNS - 1, 0xAE, colour)
    picture.put(bottom, 0, 0xAD, colour)
    picture.put(bottom, COLUMNS - 1, 0xBD, colour)
    for c in range(1, COLUMNS - 1):
        picture.put(top, c, 0xC0, colour)
        picture.put(bottom, c, 0xC0, colour)
    for r in range(top + 1, bottom):
        picture.put(r, 0, 0xDD, colour)
        picture.put(r, COLUMNS - 1, 0xDD, colour)


def draw_band(picture, row, colours):
    # Lower and upper half blocks in a run of colours, like a glowing bar.
    width = COLUMNS - 2
    for c in range(width):
        colour = colours[c * len(colours) // width]
        picture.put(row, 1 + c, 0xA2, colour)
        picture.put(row + 1, 1 + c, 0xA2, colour, True)


def build():
    p = Picture()
    draw_frame(p, 0, 23, LT_BLUE)
    draw_logo(p, 2, [YELLOW, ORANGE, LT_RED, PURPLE])
    p.centred(7, "A PETSCII TERMINAL FOR C64 BOARDS", WHITE)
    draw_band(p, 9, [BLUE, LT_BLUE, CYAN, LT_GREEN, GREEN, YELLOW, ORANGE, LT_RED, RED, PURPLE])
    p.text(12, 4, "F7", YELLOW)
    p.text(12, 8, "CONNECT TO A BOARD", LT_GRAY)
    p.text(14, 4, "F4", YELLOW)
    p.text(14, 8, "VIEW THE SESSION BUFFER", LT_GRAY)
    p.text(16, 4, "F1", YELLOW)
    p.text(16, 8, "SEND A FILE (XMODEM)", LT_GRAY)
    p.text(18, 4, "F3", YELLOW)
    p.text(18, 8, "RECEIVE A FILE (PUNTER)", LT_GRAY)
    for r in (12, 14, 16, 18):
        p.put(r, 2, 0xD1, LT_GREEN)  # bullet
    p.centred(21, "\xd3 MORLEN V1.0.0 \xd3", MD_GRAY)
    # A few stars around the logo, and the four suits under the version.
    for column, colour, star in ((3, WHITE, "*"), (9, LT_GRAY, "."), (17, CYAN, "."), (27, YELLOW, "*"),
                                 (33, LT_GRAY, "."), (36, WHITE, "."), (5, LT_BLUE, "."), (35, CYAN, "*")):
        p.text(1 if column % 2 else 6, column, star, colour)
    for i, (suit, colour) in enumerate(((0xC1, LT_GRAY), (0xD3, RED), (0xD8, LT_GRAY), (0xDA, RED))):
        p.put(22, 2 + 2 * i, suit, colour)
        p.put(22, COLUMNS - 9 + 2 * i, suit, colour)
    p.text(24, 0, "READY.", LT_BLUE)
    stream = p.encode()
    assert len(stream) <= WELCOME_SIZE, f"{len(stream)} bytes: too long"
    # Pad to the exact size with the colour code already in force.
    stream += bytes([COLOUR_CODES[LT_BLUE]]) * (WELCOME_SIZE - len(stream))
    assert 0x0D not in stream and 0x8D not in stream and 0x93 not in stream
    return bytes(stream)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/welcome_screen.seq"
    data = build()
    with open(out, "wb") as f:
        f.write(data)
    print(f"{out}: {len(data)} bytes")
