// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A character cell and the read-only view of one row that the screen
// model hands to its readers (canvas, copies, screenshots, dumps).
#include <cstddef>
#include <cstdint>
#include <stdexcept>

struct ScreenCell {
  // 0: blank, never written. Otherwise a glyph code 0xE000 | set | reverse | PETSCII byte.
  std::uint16_t code = 0;
  std::uint8_t colour = 0;  // colour index 0-15
};
static_assert(sizeof(ScreenCell) == 4, "cells are copied around in bulk");

// The cells of one row, contiguous. Valid until the screen model changes.
class CellSpan {
 public:
  CellSpan() = default;
  CellSpan(const ScreenCell* data, std::size_t size) : data_(data), size_(size) {}

  const ScreenCell* begin() const { return data_; }
  const ScreenCell* end() const { return data_ + size_; }
  const ScreenCell* data() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const ScreenCell& operator[](std::size_t i) const { return data_[i]; }
  const ScreenCell& at(std::size_t i) const {
    if (i >= size_) throw std::out_of_range("no such cell in the row");
    return data_[i];
  }

 private:
  const ScreenCell* data_ = nullptr;
  std::size_t size_ = 0;
};

// One row: only as many cells as were touched, at most 40 (not padded).
// A separator row is the one a clear-screen leaves between the old and the
// new screen. A continued row holds the second half of the logical line
// that starts on the row above it (text that ran past the last column).
struct ScreenLine {
  bool separator = false;
  bool continued = false;
  CellSpan cells;
};
