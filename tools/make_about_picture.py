#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds resources/about_picture.seq, the PETSCII drawing of the About
dialog: "Night Call", a C64 on a desk calling a board at night, a window
on the sleeping town behind it. The build draws it into PNG data with
morlen-petscii render. Shapes are painted on a grid of quadrant pixels
(two by two per cell); text and line characters are placed per cell on top.
The stream never prints into the last cell, so the screen does not scroll.

    python3 tools/make_about_picture.py [OUT]
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_welcome_screen import (COLUMNS, ROWS, QUADRANTS, Picture, BLACK, WHITE, RED, CYAN, PURPLE,  # noqa: E402
                                 GREEN, BLUE, YELLOW, ORANGE, BROWN, LT_RED, DK_GRAY, MD_GRAY, LT_GREEN,
                                 LT_BLUE, LT_GRAY)

WIDTH, HEIGHT = 2 * COLUMNS, 2 * ROWS  # quadrant pixels
SPACE = 0x20
UPPER_LEFT_TRIANGLE, UPPER_RIGHT_TRIANGLE = 0xA9, 0xDF
BULLET, PLUS, STAR, DOT = 0xD1, 0x2B, 0x2A, 0x2E
HORIZONTAL, VERTICAL, CROSS = 0xC0, 0xDD, 0xDB
CHECKER = 0xA6


class Canvas:
    """Quadrant pixels plus per-cell characters that win over them."""

    def __init__(self):
        self.pixels = [[None] * WIDTH for _ in range(HEIGHT)]
        self.cells = {}

    def rect(self, x0, y0, x1, y1, colour):  # inclusive corners, in pixels
        for y in range(max(y0, 0), min(y1, HEIGHT - 1) + 1):
            for x in range(max(x0, 0), min(x1, WIDTH - 1) + 1):
                self.pixels[y][x] = colour

    def disc(self, cx, cy, r, colour):
        for y in range(HEIGHT):
            for x in range(WIDTH):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.pixels[y][x] = colour

    def char(self, row, column, byte, colour, reverse=False):
        self.cells[(row, column)] = (byte, colour, reverse)

    def text(self, row, column, text, colour):
        for i, ch in enumerate(text):
            self.char(row, column + i, ord(ch), colour)

    def to_picture(self):
        picture = Picture()
        for row in range(ROWS):
            for column in range(COLUMNS):
                if (row, column) in self.cells:
                    byte, colour, reverse = self.cells[(row, column)]
                    if byte != SPACE or reverse:
                        picture.put(row, column, byte, colour, reverse)
                    continue
                quads = [self.pixels[2 * row + dy][2 * column + dx] for dy in (0, 1) for dx in (0, 1)]
                colours = [c for c in quads if c is not None and c != BLACK]
                if not colours:
                    continue
                colour = max(colours, key=colours.count)
                byte, reverse = QUADRANTS[tuple(int(c == colour) for c in quads)]
                picture.put(row, column, byte, colour, reverse)
        assert (ROWS - 1, COLUMNS - 1) not in picture.cells, "the last cell would scroll the screen"
        return picture


MOON = ["...###.",
        "..###..",
        ".###...",
        ".###...",
        ".###...",
        "..###..",
        "...###."]

# Houses of the town: (first column, last column, roof row), and the cells
# whose window is lit.
HOUSES = [(26, 28, 9), (29, 30, 7), (32, 34, 8), (35, 35, 6), (36, 37, 10)]
LIT = [(10, 27), (12, 26), (8, 29), (11, 30), (9, 33), (11, 32), (7, 35), (12, 37)]


def draw_window(c):
    # The window on the right wall: night sky, moon, stars and the town.
    left, top, right, bottom = 25, 1, 38, 13  # cells, frame included
    for y, line in enumerate(MOON):
        for x, bit in enumerate(line):
            if bit == "#":
                c.pixels[4 + y][66 + x] = YELLOW
    for first, last, roof in HOUSES:
        c.rect(2 * first, 2 * roof, 2 * last + 1, 2 * bottom - 1, DK_GRAY)
    c.rect(2 * 35, 2 * 6 - 3, 2 * 35, 2 * 6 - 1, MD_GRAY)  # an aerial on the tallest house
    for row, column in LIT:
        c.rect(2 * column, 2 * row, 2 * column + 1, 2 * row + 1, YELLOW)
    for row, column, byte, colour in ((2, 27, STAR, WHITE), (3, 30, DOT, LT_GRAY), (5, 26, DOT, CYAN),
                                      (4, 29, PLUS, LT_BLUE), (2, 37, DOT, LT_GRAY), (6, 37, STAR, WHITE),
                                      (6, 27, DOT, LT_GRAY), (2, 32, DOT, WHITE), (5, 31, DOT, LT_GRAY)):
        c.char(row, column, byte, colour)
    # The frame.
    c.char(top, left, 0xB0, BROWN)
    c.char(top, right, 0xAE, BROWN)
    c.char(bottom, left, 0xAD, BROWN)
    c.char(bottom, right, 0xBD, BROWN)
    for column in range(left + 1, right):
        c.char(top, column, HORIZONTAL, BROWN)
        c.char(bottom, column, HORIZONTAL, BROWN)
    for row in range(top + 1, bottom):
        c.char(row, left, VERTICAL, BROWN)
        c.char(row, right, VERTICAL, BROWN)


def draw_monitor(c):
    left, top, right, bottom = 2, 2, 21, 16  # cells of the casing
    c.rect(2 * left, 2 * top, 2 * right + 1, 2 * bottom + 1, LT_GRAY)
    c.rect(2 * left + 1, 2 * bottom, 2 * right, 2 * bottom + 1, MD_GRAY)  # the chin
    for row in range(top + 1, bottom - 1):  # the black screen
        for column in range(left + 1, right):
            c.char(row, column, SPACE, BLACK)
    c.char(bottom, right - 2, BULLET, GREEN)  # power lamp
    c.rect(2 * 9, 2 * (bottom + 1), 2 * 14 + 1, 2 * (bottom + 1) + 1, MD_GRAY)  # the stand
    lines = [
        (top + 1, "ATDT 555-0164", LT_GREEN),
        (top + 2, "CONNECT 2400", LT_GREEN),
        (top + 4, "WELCOME TO", CYAN),
        (top + 5, "THE MIDNIGHT", YELLOW),
        (top + 6, "BOARD!", YELLOW),
        (top + 8, "NAME?", LT_BLUE),
    ]
    for row, text, colour in lines:
        c.text(row, left + 2, text, colour)
    c.char(top + 8, left + 8, SPACE, LT_BLUE, True)  # the cursor
    for i, colour in enumerate((RED, ORANGE, YELLOW, LT_GREEN, CYAN, LT_BLUE, PURPLE)):
        c.char(top + 10, left + 2 + 2 * i, 0xA2, colour)  # a colour bar
        c.char(top + 10, left + 3 + 2 * i, 0xA2, colour)


KEY = 0xBA  # reversed: a square key with a gap to its right and below
SPACE_BAR = 0xA4  # reversed: a bar with a gap below


def draw_desk(c):
    c.rect(0, 2 * 18 + 1, WIDTH - 1, 2 * 18 + 1, ORANGE)  # the desk's edge
    # The computer: a light case with a recess of dark keys.
    c.rect(2 * 2, 2 * 19, 2 * 21 + 1, 2 * 23, LT_GRAY)
    for row in (20, 21):
        for column in range(3, 17):
            c.char(row, column, KEY, BROWN, True)
    for row in (20, 21):  # the function keys, apart at the right
        c.char(row, 19, KEY, MD_GRAY, True)
    for column in range(7, 14):
        c.char(22, column, SPACE_BAR, BROWN, True)
    # The modem with its lamps and its cable to the wall.
    c.rect(2 * 26, 2 * 16, 2 * 36 + 1, 2 * 17 + 1, MD_GRAY)
    for i, colour in enumerate((RED, GREEN, GREEN, YELLOW, LT_RED)):
        c.char(17, 28 + 2 * i, BULLET, colour)
    c.char(17, 37, 0xAE, LT_GRAY)
    for row in range(18, 23):
        c.char(row, 37, VERTICAL, LT_GRAY)
    c.char(23, 37, 0xAD, LT_GRAY)
    c.char(23, 38, 0xBD, LT_GRAY)
    # A mug of coffee.
    c.rect(46, 40, 48, 45, WHITE)
    c.rect(50, 41, 50, 43, WHITE)
    c.rect(49, 41, 49, 41, WHITE)
    c.rect(49, 43, 49, 43, WHITE)


def build():
    c = Canvas()
    draw_window(c)
    draw_monitor(c)
    draw_desk(c)
    stream = c.to_picture().encode()
    assert 0x0D not in stream and 0x8D not in stream and 0x93 not in stream
    return bytes(stream)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/about_picture.seq"
    data = build()
    with open(out, "wb") as f:
        f.write(data)
    print(f"{out}: {len(data)} bytes")
