// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/ScreenDump.h"

#include <cstdio>

std::string DumpScreenHeader(const PetsciiScreen& screen) {
  char text[128];
  std::snprintf(text, sizeof text, "rows %llu top %llu cursor %llu %llu",
                static_cast<unsigned long long>(screen.RowCount()),
                static_cast<unsigned long long>(screen.Top()),
                static_cast<unsigned long long>(screen.CursorRow()),
                static_cast<unsigned long long>(screen.CursorColumn()));
  std::string header = text;
  // Named only when it is not the usual black, so that the dumps of
  // streams that never set it read as they always have.
  if (screen.Background() != PetsciiScreen::kDefaultBackground)
    header += " background " + std::to_string(screen.Background());
  return header + "\n";
}

std::string DumpScreenRow(const PetsciiScreen& screen, std::uint64_t row) {
  const ScreenLine& line = screen.Lines()[row];
  std::string out = std::to_string(row);
  out += line.separator ? " S" : " -";
  char cell[16];
  for (const ScreenCell& c : line.cells) {
    std::snprintf(cell, sizeof cell, " %04X:%u", c.code, static_cast<unsigned>(c.colour));
    out += cell;
  }
  out += '\n';
  return out;
}

std::string DumpScreen(const PetsciiScreen& screen, bool summaryOnly) {
  std::string out = DumpScreenHeader(screen);
  if (summaryOnly) return out;
  for (std::uint64_t r = 0; r < screen.RowCount(); ++r) out += DumpScreenRow(screen, r);
  return out;
}
