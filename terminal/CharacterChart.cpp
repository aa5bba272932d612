// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/CharacterChart.h"

#include <string>

#include "terminal/PetsciiCodes.h"

namespace {
constexpr std::uint8_t kTitleColour = 7;   // yellow
constexpr std::uint8_t kLabelColour = 14;  // lt blue
constexpr std::uint8_t kGlyphColour = 1;   // white
constexpr int kGridSize = 16;
constexpr int kLabelColumns = 3;  // "0x" label and a gap
constexpr int kCellStride = 2;    // a glyph and a gap
constexpr int kRowStride = 2;
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Writes ASCII text as upper-case-set characters.
void Text(PetsciiScreen& screen, std::uint64_t row, std::uint64_t column, const std::string& text,
          std::uint8_t colour) {
  for (char ch : text) {
    ScreenCell& cell = screen.CellAt(row, column++);
    cell.code = MakeGlyphCode(static_cast<std::uint8_t>(ch), 0, 0);
    cell.colour = colour;
  }
}
}  // namespace

std::uint8_t PetsciiOfScreenCode(std::uint8_t screenCode) {
  const std::uint8_t code = screenCode & 0x7F;
  if (code < 0x20) return static_cast<std::uint8_t>(code + 0x40);
  if (code < 0x40) return code;
  if (code < 0x60) return static_cast<std::uint8_t>(code + 0x20);
  return static_cast<std::uint8_t>(code + 0x40);
}

PetsciiScreen CharacterChart() {
  PetsciiScreen screen;
  std::uint64_t row = 0;
  for (int lowerSet = 0; lowerSet < 2; ++lowerSet) {
    Text(screen, row++, 0, lowerSet ? "LOWER CASE / UPPER CASE SET" : "UPPER CASE / GRAPHICS SET", kTitleColour);
    for (int column = 0; column < kGridSize; ++column)
      Text(screen, row, kLabelColumns + column * kCellStride, std::string(1, kHexDigits[column]), kLabelColour);
    ++row;
    ++row;
    for (int high = 0; high < kGridSize; ++high, row += kRowStride) {
      Text(screen, row, 0, std::string(1, kHexDigits[high]) + "X", kLabelColour);
      for (int low = 0; low < kGridSize; ++low) {
        const int screenCode = high * kGridSize + low;
        ScreenCell& cell = screen.CellAt(row, kLabelColumns + low * kCellStride);
        cell.code = MakeGlyphCode(PetsciiOfScreenCode(static_cast<std::uint8_t>(screenCode)), lowerSet,
                                  screenCode >= 0x80 ? 1 : 0);
        cell.colour = kGlyphColour;
      }
    }
    ++row;
  }
  return screen;
}
