// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mouse selection in model coordinates: the anchor where the button went
// down and the moving end. Normalised it is a half-open range in reading
// order; a column may equal a row's length, selecting up to its end.
#include <cstdint>
#include <utility>

struct CellPosition {
  std::uint64_t row = 0;
  std::uint64_t column = 0;
};

inline bool operator<(const CellPosition& a, const CellPosition& b) {
  return a.row != b.row ? a.row < b.row : a.column < b.column;
}
inline bool operator==(const CellPosition& a, const CellPosition& b) {
  return a.row == b.row && a.column == b.column;
}

struct Selection {
  CellPosition anchor;
  CellPosition end;

  bool Empty() const { return anchor == end; }
  CellPosition Begin() const { return end < anchor ? end : anchor; }
  CellPosition Finish() const { return end < anchor ? anchor : end; }
  bool Contains(std::uint64_t row, std::uint64_t column) const {
    const CellPosition p{row, column};
    return !(p < Begin()) && p < Finish();
  }
  // Follows the model when its oldest `rows` rows are dropped: the cells
  // still there stay selected; an end on a dropped row moves to the start.
  void DropRows(std::uint64_t rows) {
    const auto follow = [rows](const CellPosition& p) {
      return p.row >= rows ? CellPosition{p.row - rows, p.column} : CellPosition{};
    };
    anchor = follow(anchor);
    end = follow(end);
  }
};
