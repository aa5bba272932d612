#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Golden screen cases for the interpreter (tests/golden/*.cases), made with
a C64's own screen editor: a program that reads a PETSCII stream from a
file and prints the C64's final screen (25 lines of 40 "SC:C" cells, screen
code and colour in hex, then "cursor ROW COLUMN", "set upper|lower" and
"continued ROW...", the column counting on past 39 on a continued row).

  screen_cases.py refresh EDITOR FILE...
      recomputes the screen of every case in FILE from its stream
  screen_cases.py random EDITOR COUNT SEED FILE
      writes COUNT random board-like streams to FILE, with their screens

A case file holds, per case: "case NAME", "stream ..." (hex bytes and
"text", either with *N to repeat it), then the screen as the terminal's
own dump of a fixed screen, followed by the set and the continued rows.
A glyph is written with the first PETSCII byte that prints its screen
code; a space that is not reversed is a blank, whose colour never shows.
"""
import random
import subprocess
import sys
import tempfile

SPACE = 0x20


def parse_stream(text):
    out = bytearray()
    i = 0
    while i < len(text):
        if text[i] == ' ':
            i += 1
            continue
        if text[i] == '"':
            close = text.index('"', i + 1)
            unit = text[i + 1:close].encode('latin-1')
            i = close + 1
        else:
            unit = bytes([int(text[i:i + 2], 16)])
            i += 2
        times = 1
        if i < len(text) and text[i] == '*':
            j = i + 1
            while j < len(text) and text[j].isdigit():
                j += 1
            times = int(text[i + 1:j])
            i = j
        out += unit * times
    return bytes(out)


def format_stream(data):
    """Runs of plain ASCII as text, repeated bytes as XX*N, the rest in hex."""
    tokens = []
    i = 0
    plain = lambda b: 0x20 <= b < 0x7F and b != ord('"')
    while i < len(data):
        j = i
        while j < len(data) and data[j] == data[i]:
            j += 1
        if j - i >= 4:
            tokens.append(('"%c"*%d' if plain(data[i]) else '%02x*%d') % (data[i], j - i))
            i = j
            continue
        j = i
        while j < len(data) and plain(data[j]) and (j + 3 >= len(data) or len(set(data[j:j + 4])) > 1):
            j += 1
        if j - i >= 3:
            tokens.append('"%s"' % data[i:j].decode('latin-1'))
            i = j
            continue
        j = i
        while j < len(data) and data[j] == data[i]:
            j += 1
        tokens.append('%02x*%d' % (data[i], j - i) if j - i >= 3 else ' '.join(['%02x' % data[i]] * (j - i)))
        i = j
    return ' '.join(tokens)


def petscii_of_screen_code(code):
    if code < 0x20:
        return code + 0x40
    if code < 0x40:
        return code
    if code < 0x60:
        return code + 0x20
    return code + 0x40


def screen_of(editor, data):
    with tempfile.NamedTemporaryFile(suffix='.seq') as f:
        f.write(data)
        f.flush()
        lines = subprocess.run([editor, f.name], capture_output=True, text=True, check=True).stdout.splitlines()
    cells = [[tuple(int(x, 16) for x in cell.split(':')) for cell in line.split()] for line in lines[:25]]
    row, pntr = (int(x) for x in lines[25].split()[1:3])
    lower = lines[26].split()[1] == 'lower'
    continued = lines[27].split()[1:]
    out = ['rows 25 top 0 cursor %d %d' % (row, pntr % 40)]
    for r, line in enumerate(cells):
        shown = []
        for code, colour in line:
            if code == SPACE:
                shown.append('0000:0')
                continue
            glyph = 0xE000 | (0x100 if lower else 0) | (0x200 if code & 0x80 else 0)
            shown.append('%04X:%d' % (glyph | petscii_of_screen_code(code & 0x7F), colour))
        while shown and shown[-1] == '0000:0':
            shown.pop()
        out.append(' '.join(['%d -' % r] + shown))
    out.append('set ' + ('lower' if lower else 'upper'))
    out.append(' '.join(['continued'] + continued))
    return out


def refresh(editor, path):
    out = []
    stream = None

    def screen_below():
        nonlocal stream
        if stream is not None:
            out.extend(screen_of(editor, parse_stream(stream)))
            stream = None

    for line in open(path).read().splitlines():
        if line.startswith('stream '):
            stream = line[len('stream '):]
            out.append(line)
        elif line.startswith('case ') or line.startswith('#') or not line:
            screen_below()
            if line.startswith('case ') and out and out[-1] and not out[-1].startswith('#'):
                out.append('')
            out.append(line)
    screen_below()
    open(path, 'w').write('\n'.join(out) + '\n')


WORDS = [b'MESSAGE ', b'BASE ', b'FILES ', b'(Q)UIT ', b'SYSOP ', b'READY. ', b'\xc3\xcf\xcd\xcd\xc1\xce\xc4: ']
COLOURS = [0x05, 0x1C, 0x9E, 0x9A, 0x99, 0x9B, 0x81, 0x90, 0x1F]
MOVES = [0x11, 0x91, 0x1D, 0x9D, 0x13]


def board_stream(rng, length):
    """Menus and messages with the cursor, INST and DEL thrown in: every
    rule of the screen editor, and none of the terminal's own codes."""
    out = bytearray([0x93, rng.choice(COLOURS)])
    while len(out) < length:
        kind = rng.randrange(12)
        if kind < 4:
            out += rng.choice(WORDS) * rng.randint(1, 6)
        elif kind == 4:
            out += bytes([0x12] + [rng.choice([0x20, 0xA0]) + rng.randrange(32) for _ in range(rng.randint(1, 8))] +
                         [0x92])
        elif kind == 5:
            out += bytes(rng.choice([0x20, 0x40, 0x60, 0xA0, 0xC0, 0xE0]) + rng.randrange(32)
                         for _ in range(rng.randint(1, 45)))
        elif kind == 6:
            out += bytes([rng.choice([0x0D, 0x8D])]) * (rng.randint(1, 4) if rng.randrange(3) else rng.randint(8, 30))
        elif kind == 7:
            out += bytes([rng.choice(MOVES)]) * (rng.randint(1, 12) if rng.randrange(3) else rng.randint(12, 30))
        elif kind == 8:
            out += bytes([rng.choice([0x14, 0x94])]) * rng.randint(1, 45)
        elif kind == 9:
            out.append(rng.choice(COLOURS))
        elif kind == 10:
            out.append(rng.choice([0x0E, 0x8E, 0x12, 0x92, 0x0A]))
        elif rng.randrange(4) == 0:
            out.append(0x93)
    return bytes(out[:length])


def make_random(editor, count, seed, path):
    rng = random.Random(seed)
    lines = ['# Random board-like streams (tools/screen_cases.py random ... %d %d).' % (count, seed)]
    for n in range(count):
        lines += ['case random-%03d' % n, 'stream ' + format_stream(board_stream(rng, rng.randint(40, 160)))]
    open(path, 'w').write('\n'.join(lines) + '\n')
    refresh(editor, path)


def main(args):
    if len(args) >= 3 and args[0] == 'refresh':
        for path in args[2:]:
            refresh(args[1], path)
    elif len(args) == 5 and args[0] == 'random':
        make_random(args[1], int(args[2]), int(args[3]), args[4])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv[1:])
