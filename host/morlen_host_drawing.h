// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing on top of PetsciiWriter: pictures painted from character maps,
// frames, title bars and blocks of text lines.
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "host/morlen_host_petscii_writer.h"

// What one letter of a character map stands for.
struct PictureInk {
  char key;
  std::uint8_t code;  // a printable PETSCII byte
  C64Colour colour;
  bool reverse;
};

// Paints rows (one text per screen row, at most 40 letters) from firstRow
// down; a space leaves the cell alone, every other letter must have an
// ink. Leaves reverse mode off.
void DrawPicture(PetsciiWriter& writer, int firstRow, std::initializer_list<std::string_view> rows,
                 std::initializer_list<PictureInk> inks);

// A single-line frame with these corners.
void DrawFrame(PetsciiWriter& writer, int top, int left, int bottom, int right, C64Colour colour);

// A full-width reverse bar with the text centred, on the given row.
void DrawBar(PetsciiWriter& writer, int row, std::string_view text, C64Colour colour);

// One text per row from firstRow down, each starting at column.
void DrawLines(PetsciiWriter& writer, int firstRow, int column,
               std::initializer_list<std::string_view> lines);
