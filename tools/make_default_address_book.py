#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the four PETSCII board pictures of the built-in address book and
writes resources/default_address_book.json: a JSON array of entry objects in
the program's one-line entry layout, a line break before and after each
separating comma.

Run from anywhere: python3 tools/make_default_address_book.py
The program embeds the JSON file; rerun this only to change the pictures.
"""
import base64
import pathlib

COLUMNS = 40
ROWS = 25

COLOUR_CODES = {
    "black": 0x90, "white": 0x05, "red": 0x1C, "cyan": 0x9F,
    "purple": 0x9C, "green": 0x1E, "blue": 0x1F, "yellow": 0x9E,
    "orange": 0x81, "brown": 0x95, "lt_red": 0x96, "dk_gray": 0x97,
    "md_gray": 0x98, "lt_green": 0x99, "lt_blue": 0x9A, "lt_gray": 0x9B,
}
UPPER_CASE_SET = 0x8E
RVS_ON = 0x12
RVS_OFF = 0x92
RETURN = 0x0D
SPACE = 0x20

# Graphics characters of the upper-case set used below.
H_LINE = 0x60        # horizontal line
V_LINE = 0x7D        # vertical line
ARC_DOWN_RIGHT = 0x75
ARC_DOWN_LEFT = 0x69
ARC_UP_RIGHT = 0x6A
ARC_UP_LEFT = 0x6B
DIAG_UP = 0x6E       # rising diagonal
DIAG_DOWN = 0x6D     # falling diagonal
BALL = 0x71
RING = 0x77
CROSS = 0x7B
TRI_UPPER_RIGHT = 0x7F
HALF_LEFT = 0xA1
HALF_LOWER = 0xA2
BAR_TOP = 0xA3
BAR_BOTTOM = 0xA4
CHECKER = 0xA6
TRI_UPPER_LEFT = 0xA9
QUAD_LOWER_RIGHT = 0xAC
CORNER_BOTTOM_LEFT = 0xAD
CORNER_TOP_RIGHT = 0xAE
QUARTER_LOWER = 0xAF
CORNER_TOP_LEFT = 0xB0
EIGHTHS_LOWER = 0xB9
QUAD_LOWER_LEFT = 0xBB
QUAD_UPPER_RIGHT = 0xBC
CORNER_BOTTOM_RIGHT = 0xBD
QUAD_UPPER_LEFT = 0xBE


class Screen:
    """A 40 x 25 grid of (byte, colour, reverse) cells; None is untouched."""

    def __init__(self):
        self.cells = [[None] * COLUMNS for _ in range(ROWS)]

    def put(self, row, col, byte, colour, reverse=False):
        assert 0 <= row < ROWS and 0 <= col < COLUMNS, (row, col)
        assert 0x20 <= byte <= 0x7F or 0xA0 <= byte <= 0xFF, hex(byte)
        self.cells[row][col] = (byte, colour, reverse)

    def text(self, row, col, text, colour, reverse=False):
        for i, ch in enumerate(text):
            code = ord(ch)
            # Upper-case set: letters, digits and punctuation keep their codes.
            assert 0x20 <= code <= 0x5D and code != 0x5C, ch
            self.put(row, col + i, code, colour, reverse)

    def centred(self, row, text, colour, reverse=False):
        self.text(row, (COLUMNS - len(text)) // 2, text, colour, reverse)

    def fill(self, row, col, width, height, byte, colour, reverse=False):
        for r in range(row, row + height):
            for c in range(col, col + width):
                self.put(r, c, byte, colour, reverse)

    def pattern(self, row, col, width, codes, colour, reverse=False):
        for i in range(width):
            self.put(row, col + i, codes[i % len(codes)], colour, reverse)

    def encode(self):
        """The byte stream that redraws the grid: charset, reverse and colour
        first, a code only when the state changes, RETURN after every row
        shorter than 40 cells (a full row wraps by itself)."""
        out = [UPPER_CASE_SET, RVS_OFF]
        colour = None
        reverse = False
        last_row = max(r for r in range(ROWS) if any(self.cells[r]))
        for r in range(last_row + 1):
            row = self.cells[r]
            used = [c for c in range(COLUMNS) if row[c] is not None]
            length = used[-1] + 1 if used else 0
            for c in range(length):
                # An untouched cell inside a row is a plain space of any colour.
                byte, cell_colour, cell_reverse = row[c] or (SPACE, colour, False)
                if cell_reverse != reverse:
                    out.append(RVS_ON if cell_reverse else RVS_OFF)
                    reverse = cell_reverse
                if cell_colour is None:
                    cell_colour = "white"
                if cell_colour != colour:
                    out.append(COLOUR_CODES[cell_colour])
                    colour = cell_colour
                out.append(byte)
            if length != COLUMNS:
                out.append(RETURN)
                reverse = False  # RETURN ends reverse mode
        return bytes(out)


def roof(s, row, left, width, colour):
    """A pitched roof: the reverse triangles make the slopes."""
    s.put(row, left, TRI_UPPER_LEFT, colour, True)
    s.fill(row, left + 1, width - 2, 1, SPACE, colour, True)
    s.put(row, left + width - 1, TRI_UPPER_RIGHT, colour, True)


def harbour_light():
    s = Screen()
    s.fill(0, 0, COLUMNS, 1, SPACE, "blue", True)
    s.centred(0, " HARBOUR LIGHT BBS ", "yellow", True)
    s.pattern(1, 0, COLUMNS, [BAR_TOP], "lt_blue")
    # The lighthouse, striped, on its rock.
    roof(s, 3, 29, 4, "red")
    s.fill(4, 29, 4, 1, SPACE, "yellow", True)
    s.pattern(4, 18, 10, [H_LINE, SPACE], "yellow")
    s.pattern(4, 34, 6, [SPACE, H_LINE], "yellow")
    s.pattern(5, 28, 6, [CROSS], "lt_gray")
    for top, left, width, colour in ((6, 30, 2, "white"), (8, 29, 4, "red"),
                                     (10, 29, 4, "white"), (12, 28, 6, "red")):
        s.fill(top, left, width, 2, SPACE, colour, True)
    s.fill(14, 27, 8, 1, SPACE, "white", True)
    s.fill(14, 30, 2, 1, HALF_LOWER, "brown")
    s.fill(15, 24, 14, 1, CHECKER, "dk_gray")
    s.put(15, 23, QUAD_LOWER_RIGHT, "dk_gray")
    s.put(15, 38, QUAD_LOWER_LEFT, "dk_gray")
    # Text beside the tower.
    s.text(6, 2, "EST. 1987", "cyan")
    s.text(8, 2, "24 HOURS * 7 DAYS", "lt_green")
    s.text(10, 2, "C64 & PETSCII ONLY", "white")
    s.text(12, 2, "PORT 6510", "lt_gray")
    # The sea.
    s.pattern(16, 0, COLUMNS, [EIGHTHS_LOWER, QUARTER_LOWER, BAR_BOTTOM, QUARTER_LOWER], "lt_blue")
    s.pattern(17, 0, COLUMNS, [DIAG_UP, DIAG_DOWN], "blue")
    s.pattern(18, 0, COLUMNS, [DIAG_DOWN, DIAG_UP], "lt_blue")
    s.fill(19, 0, COLUMNS, 1, CHECKER, "blue", True)
    s.centred(21, "PRESS RETURN TO COME ASHORE", "yellow")
    return s


def copper_kettle():
    s = Screen()
    # Steam rising from the spout.
    for row, col in ((1, 27), (2, 26), (3, 27), (4, 26)):
        s.put(row, col, DIAG_UP if row % 2 else DIAG_DOWN, "white")
        s.put(row, col + 2, DIAG_DOWN if row % 2 else DIAG_UP, "lt_gray")
    # Lid with its knob, body widening to the base.
    s.put(3, 17, BALL, "brown")
    s.fill(4, 15, 5, 1, HALF_LOWER, "brown")
    roof(s, 5, 13, 9, "orange")
    for row, left, width in ((6, 12, 11), (7, 11, 13), (8, 11, 13), (9, 11, 13), (10, 12, 11)):
        s.fill(row, left, width, 1, SPACE, "orange", True)
    s.text(8, 14, " BREW ", "brown", True)
    s.fill(11, 13, 9, 1, BAR_TOP, "orange")
    # Spout and handle.
    for row, col in ((8, 24), (7, 25), (6, 26), (5, 27)):
        s.put(row, col, DIAG_UP, "orange")
    s.put(4, 12, ARC_DOWN_RIGHT, "brown")
    s.fill(4, 13, 1, 1, H_LINE, "brown")
    s.put(5, 10, ARC_DOWN_RIGHT, "brown")
    s.put(5, 11, ARC_UP_LEFT, "brown")
    for row in (6, 7, 8):
        s.put(row, 9, V_LINE, "brown")
    s.put(9, 9, ARC_UP_RIGHT, "brown")
    s.put(9, 10, H_LINE, "brown")
    # The stove below.
    s.pattern(12, 8, 19, [CHECKER, SPACE], "red")
    s.fill(13, 6, 23, 1, SPACE, "dk_gray", True)
    s.fill(14, 6, 23, 1, BAR_TOP, "dk_gray")
    # A cup and saucer beside the stove.
    s.pattern(7, 32, 3, [DIAG_DOWN, DIAG_UP], "lt_gray")
    s.fill(9, 31, 5, 2, SPACE, "white", True)
    s.put(9, 36, ARC_DOWN_LEFT, "white")
    s.put(10, 36, ARC_UP_LEFT, "white")
    s.put(11, 31, QUAD_UPPER_RIGHT, "white")
    s.fill(11, 32, 3, 1, BAR_TOP, "white")
    s.put(11, 35, QUAD_UPPER_LEFT, "white")
    s.fill(12, 30, 7, 1, HALF_LOWER, "lt_gray")
    # A checked tablecloth.
    for col in range(COLUMNS):
        s.put(15, col, SPACE, "red" if col % 2 else "white", True)
    s.fill(16, 0, COLUMNS, 1, SPACE, "orange", True)
    s.centred(16, " THE COPPER KETTLE ", "white", True)
    s.centred(18, "TEA, TALK AND OLD FILES", "lt_red")
    s.centred(20, "MESSAGES - DOWNLOADS - ONE LINE", "yellow")
    s.pattern(22, 0, COLUMNS, [HALF_LOWER], "brown")
    s.centred(23, "EST. 1991", "md_gray")
    return s


def nightjar_station():
    s = Screen()
    stars = [(0, 3, BALL), (0, 21, RING), (1, 11, 0x2E), (1, 35, CROSS), (2, 6, CROSS),
             (2, 17, 0x2E), (3, 24, BALL), (3, 1, 0x2E), (4, 13, RING), (5, 37, 0x2E),
             (5, 8, 0x2A), (6, 19, CROSS), (6, 2, RING), (7, 26, 0x2E), (8, 10, BALL),
             (8, 36, CROSS), (9, 4, 0x2E), (9, 22, 0x2A), (10, 15, RING), (11, 33, 0x2E),
             (0, 14, 0x2E), (1, 24, CROSS), (3, 36, RING), (4, 31, 0x2E), (7, 5, CROSS),
             (9, 29, BALL), (10, 38, 0x2E), (11, 8, CROSS), (11, 25, RING), (4, 20, 0x2E)]
    palette = ["white", "lt_gray", "yellow", "lt_blue", "cyan"]
    for i, (row, col, byte) in enumerate(stars):
        s.put(row, col, byte, palette[i % len(palette)])
    # A crescent moon made of reverse spaces and quadrants.
    s.put(1, 29, QUAD_LOWER_RIGHT, "yellow")
    s.fill(1, 30, 2, 1, HALF_LOWER, "yellow")
    s.put(2, 28, HALF_LEFT, "yellow", True)
    s.fill(2, 29, 2, 1, SPACE, "yellow", True)
    s.fill(3, 28, 2, 2, SPACE, "yellow", True)
    s.put(5, 28, HALF_LEFT, "yellow", True)
    s.fill(5, 29, 2, 1, SPACE, "yellow", True)
    s.put(6, 29, QUAD_UPPER_RIGHT, "yellow")
    s.fill(6, 30, 2, 1, BAR_TOP, "yellow")
    # The station's mast on a hill, trees along the horizon.
    s.put(7, 18, BALL, "lt_red")
    for row in range(8, 13):
        s.put(row, 18, V_LINE, "md_gray")
    s.put(10, 17, DIAG_UP, "md_gray")
    s.put(10, 19, DIAG_DOWN, "md_gray")
    s.fill(13, 14, 9, 1, SPACE, "green", True)
    roof(s, 12, 14, 9, "green")
    for col in range(0, COLUMNS, 4):
        if not 12 <= col <= 22:
            roof(s, 13, col, 2, "green")
    s.fill(14, 0, COLUMNS, 1, SPACE, "green", True)
    s.fill(15, 0, COLUMNS, 1, CHECKER, "dk_gray")
    s.fill(17, 0, COLUMNS, 1, SPACE, "purple", True)
    s.centred(17, " NIGHTJAR STATION ", "white", True)
    s.centred(19, "ART GALLERY & SEQ ARCHIVE", "lt_blue")
    s.centred(21, "OPEN FROM DUSK TILL DAWN", "dk_gray")
    s.centred(22, "NEW ART EVERY FULL MOON", "md_gray")
    s.fill(24, 0, COLUMNS - 1, 1, HALF_LOWER, "purple")
    return s


def tidewater_exchange():
    s = Screen()
    for row in (0, 1):
        for col in range(COLUMNS):
            s.put(row, col, SPACE, "blue" if (col // 2 + row) % 2 else "lt_blue", True)
    s.fill(3, 4, 32, 1, SPACE, "green", True)
    s.centred(3, " TIDEWATER EXCHANGE ", "white", True)
    # The main menu in a box.
    top, left, width, height = 5, 7, 26, 8
    s.put(top, left, CORNER_TOP_LEFT, "lt_gray")
    s.fill(top, left + 1, width - 2, 1, H_LINE, "lt_gray")
    s.put(top, left + width - 1, CORNER_TOP_RIGHT, "lt_gray")
    for row in range(top + 1, top + height - 1):
        s.put(row, left, V_LINE, "lt_gray")
        s.put(row, left + width - 1, V_LINE, "lt_gray")
    s.put(top + height - 1, left, CORNER_BOTTOM_LEFT, "lt_gray")
    s.fill(top + height - 1, left + 1, width - 2, 1, H_LINE, "lt_gray")
    s.put(top + height - 1, left + width - 1, CORNER_BOTTOM_RIGHT, "lt_gray")
    items = [("M", "MESSAGE BASES"), ("F", "FILE LIBRARY"), ("G", "DOOR GAMES"),
             ("C", "CHAT WITH SYSOP"), ("Q", "LEAVE PORT")]
    for i, (key, label) in enumerate(items):
        s.text(top + 1 + i, left + 2, "[" + key + "]", "yellow")
        s.text(top + 1 + i, left + 6, label, "cyan" if i % 2 else "lt_green")
    # A pier with its posts, gulls over the water.
    s.fill(15, 12, 16, 1, SPACE, "brown", True)
    for col in range(13, 28, 3):
        s.put(16, col, V_LINE, "brown")
    for col in (4, 30, 35):
        s.put(15, col, ARC_UP_LEFT, "white")
        s.put(15, col + 1, ARC_UP_RIGHT, "white")
    s.pattern(17, 0, COLUMNS, [DIAG_UP, DIAG_DOWN], "lt_blue")
    s.pattern(18, 0, COLUMNS, [QUARTER_LOWER, BAR_BOTTOM], "blue")
    s.fill(19, 0, COLUMNS, 1, SPACE, "blue", True)
    s.text(19, 2, "CALLERS WELCOME * RATIO FREE", "white", True)
    s.centred(21, "PORT 64128 * TWO NODES", "lt_gray")
    s.centred(22, "NEWS: TIDE TABLES FOR 1994 UPLOADED", "orange")
    for col in range(COLUMNS - 1):
        s.put(24, col, SPACE, "blue" if (col // 2) % 2 else "lt_blue", True)
    return s


BOARDS = [
    ("Harbour Light BBS",
     "A small harbour-side board with message bases about ships, sailing and "
     "the C64. Run on a real 64 since the tapes came out.",
     "harbourlight.example", 6510, harbour_light),
    ("The Copper Kettle",
     "Tea, talk and a long list of old demo files. Friendly regulars, one "
     "line, and the kettle is always on.",
     "copperkettle.example", 64128, copper_kettle),
    ("Nightjar Station",
     "A PETSCII art gallery with a SEQ archive for replay. New pictures are "
     "hung every full moon.",
     "nightjar.example", 64128, nightjar_station),
    ("Tidewater Exchange",
     "Message bases, door games and a well-kept file library. Two nodes, no "
     "ratios, and a sysop who answers chat requests.",
     "tidewater.example", 64128, tidewater_exchange),
]

MIN_BASE64 = 1000
MAX_BASE64 = 2500


def entry_text(name, description, address, port, screenshot):
    # None of these boards is known to sit behind a telnet server: raw TCP.
    # Plain ASCII without quotation marks or backslashes needs no escaping.
    for text in (name, description, address):
        assert text.isascii() and '"' not in text and "\\" not in text, text
    return ('{"addressBookEntry":"1","name":"%s","description":"%s","address":"%s",'
            '"port":%d,"telnet":false,"background":0,"foreground":15,"echo":false,"columns":40,"lineSpeed":0,'
            '"screenshot":"%s"}' % (name, description, address, port, screenshot))


def main():
    entries = []
    for name, description, address, port, draw in BOARDS:
        screenshot = base64.b64encode(draw().encode()).decode("ascii")
        assert MIN_BASE64 <= len(screenshot) <= MAX_BASE64, (name, len(screenshot))
        entries.append(entry_text(name, description, address, port, screenshot))
        print("%-20s %4d base64 characters" % (name, len(screenshot)))
    target = pathlib.Path(__file__).resolve().parent.parent / "resources" / "default_address_book.json"
    target.write_text("[" + "\n,\n".join(entries) + "]\n", encoding="ascii")
    print("wrote", target)


if __name__ == "__main__":
    main()
