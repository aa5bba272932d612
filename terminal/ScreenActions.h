// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a PETSCII byte stream asks of a screen, as the parser reads it: the
// small interface between the two.
#include <cstddef>
#include <cstdint>

enum class CursorMove {
  kUp,
  kDown,
  kLeft,
  kRight,
  kHome,
  // RETURN: to the start of the next logical line, reverse off.
  kReturn,
};

enum class ScreenSwitch {
  kReverse,
  kLowerCase,  // on: the lower/upper-case set; off: upper case and graphics
};

class ScreenActions {
 public:
  virtual ~ScreenActions() = default;
  // Prints the printable bytes `bytes` starts with (the first one is),
  // one after another at the cursor, up to the first control code or the
  // end of the `count` bytes; returns how many it printed.
  virtual std::size_t Print(const std::uint8_t* bytes, std::size_t count) = 0;
  // Colours are indices 0-15.
  virtual void SetColour(std::uint8_t colour) = 0;
  virtual void SetBackground(std::uint8_t colour) = 0;
  virtual void SetSwitch(ScreenSwitch which, bool on) = 0;
  virtual void MoveCursor(CursorMove move) = 0;
  virtual void Insert() = 0;
  virtual void Delete() = 0;
  virtual void Clear() = 0;
};
