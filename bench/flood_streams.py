#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a PETSCII stream for the flood benchmarks.

usage: flood_streams.py KIND MIB OUT
  ordinary  menus and messages: colour codes, words, reversed graphics,
            RETURNs, now and then a clear (like bench/interpreter_bench)
  returns   RETURNs, one full stop after every 65535 of them (the model
            makes rows on demand: the full stop makes every row before it)
  hostile   ordinary-looking output that stresses the screen: INST and DEL
            runs, clears, character-set switches, colours, RETURN runs,
            cursor moves
"""
import random
import sys

CLR, RVS_ON, RVS_OFF, RETURN = 0x93, 0x12, 0x92, 0x0D
INST, DEL, LOWER, UPPER = 0x94, 0x14, 0x0E, 0x8E
UP, DOWN, LEFT, RIGHT, HOME = 0x91, 0x11, 0x9D, 0x1D, 0x13
COLOURS = [0x05, 0x1C, 0x9E, 0x9A, 0x99, 0x9B, 0x81]
WORDS = [w.encode() for w in ["MESSAGE ", "BASE ", "FILES ", "(Q)UIT ", "SYSOP ", "NEW ", "C64 ", "READY. "]]


def ordinary_line(rng, line):
    out = bytearray()
    if line % 200 == 0:
        out.append(CLR)
    out.append(rng.choice(COLOURS))
    column = 0
    while column < 34:
        if rng.randrange(5) == 0:
            out.append(RVS_ON)
            out.extend(0xA0 + rng.randrange(32) for _ in range(4))
            out.append(RVS_OFF)
            column += 4
        else:
            word = rng.choice(WORDS)
            out.extend(word)
            column += len(word)
    out.append(RETURN)
    return bytes(out)


def hostile_piece(rng, line):
    kind = rng.randrange(10)
    if kind < 4:
        return ordinary_line(rng, line)
    if kind == 4:
        return bytes([RETURN]) * rng.randrange(1, 400)
    if kind == 5:
        return bytes([rng.choice([INST, DEL])]) * rng.randrange(1, 120)
    if kind == 6:
        return bytes([CLR]) * rng.randrange(1, 4)
    if kind == 7:
        return bytes([LOWER, UPPER]) * rng.randrange(1, 20)
    if kind == 8:
        return bytes(rng.choice([UP, DOWN, LEFT, RIGHT, HOME]) for _ in range(rng.randrange(1, 60)))
    return bytes(rng.choice(COLOURS) for _ in range(rng.randrange(1, 30)))


def generate(kind, size):
    if kind == "returns":
        run = bytes([RETURN]) * 65535 + b"."
        return (run * (size // len(run) + 1))[:size]
    piece = {"ordinary": ordinary_line, "hostile": hostile_piece}[kind]
    rng = random.Random(64)
    # A pool of pieces drawn in random order keeps large streams quick to make.
    pool = [piece(rng, line) for line in range(1, 20001)]
    out = bytearray()
    index = 0
    while len(out) < size:
        out.extend(pool[rng.randrange(len(pool))] if kind == "hostile" else pool[index % len(pool)])
        index += 1
    return bytes(out[:size])


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("ordinary", "returns", "hostile"):
        sys.exit(__doc__)
    size = int(float(sys.argv[2]) * (1 << 20))
    with open(sys.argv[3], "wb") as f:
        f.write(generate(sys.argv[1], size))


if __name__ == "__main__":
    main()
