#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Finds a rendered screen inside a window screenshot and compares them
pixel by pixel.

    compare_canvas.py WINDOW.png RENDER.png [--ignore-cell COL ROW SCALE]...
    compare_canvas.py WINDOW.png RENDER.png --leading-cells SCALE

Prints the offset and the count of differing pixels; exits 0 only when the
render was found and every compared pixel matches. With --leading-cells:
the offset and how many cells, in reading order from the top left, match
before the first that differs (a screen being drawn); exits 0 when found."""
import subprocess
import sys


def load(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True, capture_output=True, text=True).stdout
    width, height = map(int, size.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return width, height, raw


def main(argv):
    window_path, render_path = argv[1], argv[2]
    ignored = []
    leading_scale = None
    i = 3
    while i < len(argv):
        if argv[i] == "--ignore-cell":
            column, row, scale = map(int, argv[i + 1:i + 4])
            cell = 8 * scale
            ignored.append((column * cell, row * cell, cell))
            i += 4
        elif argv[i] == "--leading-cells":
            leading_scale = int(argv[i + 1])
            i += 2
        else:
            raise SystemExit(f"unknown argument {argv[i]}")
    ww, wh, window = load(window_path)
    rw, rh, render = load(render_path)

    def row(buf, width, y, x=0, n=None):
        start = (y * width + x) * 3
        return buf[start:start + 3 * (n if n is not None else width)]

    # The first render row that is not all one colour anchors the search.
    anchor = next((y for y in range(rh) if len(set(row(render, rw, y)[k:k + 3] for k in range(0, rw * 3, 3))) > 1), 0)
    wanted = row(render, rw, anchor)
    found = None
    for oy in range(0, wh - rh + 1):
        line = row(window, ww, oy + anchor)
        x = line.find(wanted)
        while x != -1:
            if x % 3 == 0:
                found = (x // 3, oy)
                break
            x = line.find(wanted, x + 1)
        if found:
            break
    if not found:
        print("render not found in the window")
        return 1
    ox, oy = found
    if leading_scale is not None:
        cell = 8 * leading_scale
        leading = 0
        for cy in range(0, rh - cell + 1, cell):
            for cx in range(0, rw - cell + 1, cell):
                if any(row(window, ww, oy + cy + y, ox + cx, cell) != row(render, rw, cy + y, cx, cell)
                       for y in range(cell)):
                    print(f"offset {ox} {oy} leading {leading}")
                    return 0
                leading += 1
        print(f"offset {ox} {oy} leading {leading}")
        return 0
    differing = 0
    for y in range(rh):
        a, b = row(window, ww, oy + y, ox, rw), row(render, rw, y)
        if a == b:
            continue
        for x in range(rw):
            if any(cx <= x < cx + n and cy <= y < cy + n for cx, cy, n in ignored):
                continue
            if a[3 * x:3 * x + 3] != b[3 * x:3 * x + 3]:
                differing += 1
    print(f"offset {ox} {oy} differing {differing}")
    return 0 if differing == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
