// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything a terminal holds, copied out for comparison: how far it read,
// the screen's state and every row with its flags and cells.
#include <cstdint>
#include <vector>

#include "terminal/PetsciiTerminal.h"

struct ScreenSnapshot {
  struct Row {
    bool separator = false;
    bool continued = false;
    std::vector<std::uint32_t> cells;  // code << 8 | colour
    bool operator==(const Row& other) const {
      return separator == other.separator && continued == other.continued && cells == other.cells;
    }
  };

  explicit ScreenSnapshot(const PetsciiTerminal& terminal) : ScreenSnapshot(terminal.Screen()) {
    processed = terminal.Processed();
  }
  explicit ScreenSnapshot(const PetsciiScreen& screen)
      : rowCount(screen.RowCount()),
        dropped(screen.DroppedRows()),
        processed(0),
        top(screen.Top()),
        cursorRow(screen.CursorRow()),
        cursorColumn(screen.CursorColumn()),
        colour(screen.Colour()),
        reverse(screen.Reverse()),
        lowerCase(screen.LowerCase()),
        background(screen.Background()) {
    const ScreenRows lines = screen.Lines();
    rows.reserve(lines.size());
    for (std::uint64_t r = 0; r < lines.size(); ++r) {
      const ScreenLine line = lines[r];
      Row row;
      row.separator = line.separator;
      row.continued = line.continued;
      row.cells.reserve(line.cells.size());
      for (const ScreenCell& cell : line.cells) row.cells.push_back(std::uint32_t{cell.code} << 8 | cell.colour);
      rows.push_back(std::move(row));
    }
  }

  bool operator==(const ScreenSnapshot& o) const {
    return rowCount == o.rowCount && dropped == o.dropped && processed == o.processed && top == o.top &&
           cursorRow == o.cursorRow && cursorColumn == o.cursorColumn && colour == o.colour &&
           reverse == o.reverse && lowerCase == o.lowerCase && background == o.background && rows == o.rows;
  }
  bool operator!=(const ScreenSnapshot& o) const { return !(*this == o); }

  std::uint64_t rowCount, dropped, processed, top, cursorRow, cursorColumn;
  std::uint8_t colour;
  int reverse, lowerCase;
  std::uint8_t background;
  std::vector<Row> rows;
};
