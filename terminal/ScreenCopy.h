// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The canvas's three encoders: the selection as ASCII text or as PETSCII
// bytes, and a screenshot, a PETSCII stream that redraws the rows in view
// when fed back through the interpreter.
#include <string>

#include "settings/ByteBuffer.h"
#include "terminal/PetsciiScreen.h"
#include "terminal/Selection.h"

// Copies cover what the screen shows of a row: its first 40 cells, up to
// the last one written.

// ASCII text of the selection; a row whose cells are exhausted ends in LF.
// A blank cell (never written) is a space.
std::string AsciiCopy(const PetsciiScreen& screen, const Selection& selection);

// PETSCII bytes of the selection that redraw it, fed to an empty screen:
// a row whose cells are exhausted ends in CR, unless it was copied whole
// and filled 40 cells (it has wrapped), or it is the 25th and last row (a
// RETURN would scroll the first away). A blank cell is a cursor-right, so
// it stays blank when fed back.
ByteBuffer PetsciiCopy(const PetsciiScreen& screen, const Selection& selection);

// The screen's background (CTRL-B and its colour code), then the rows
// firstRow .. firstRow + 24 (those that exist), whole, as the PETSCII copy
// writes them.
ByteBuffer Screenshot(const PetsciiScreen& screen, std::uint64_t firstRow);

// Clipboard text of PETSCII bytes: one character per byte, U+0000-U+00FF,
// so the bytes survive any locale and can be recovered exactly.
std::wstring PetsciiClipboardText(const ByteBuffer& bytes);
