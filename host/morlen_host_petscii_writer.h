// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds PETSCII screens from readable calls: text in ASCII, colours by
// name, cursor moves to a row and column. It follows the cursor the way the
// C64 screen editor does, so a page can be laid out by position, and it
// refuses (throws std::logic_error) a page that would scroll the screen or
// a character the C64 has no key for: page mistakes show up at start-up,
// not as a garbled screen.
#include <cstdint>
#include <string_view>

#include "settings/ByteBuffer.h"

enum class C64Colour : std::uint8_t {
  Black, White, Red, Cyan, Purple, Green, Blue, Yellow,
  Orange, Brown, LightRed, DarkGrey, MidGrey, LightGreen, LightBlue, LightGrey,
};

class PetsciiWriter {
 public:
  static constexpr int kColumns = 40;
  static constexpr int kRows = 25;

  // Starts with the lower-case set, as the terminal does.
  PetsciiWriter() = default;

  PetsciiWriter& Clear();
  PetsciiWriter& UpperCase();  // upper case and graphics
  PetsciiWriter& LowerCase();  // lower and upper case
  PetsciiWriter& Colour(C64Colour colour);
  PetsciiWriter& Reverse(bool on);
  // ASCII letters, digits and the C64's punctuation; letters come out in
  // the case written when the lower-case set is on.
  PetsciiWriter& Text(std::string_view text);
  // Text centred on the cursor's row (the cursor must be in column 0).
  PetsciiWriter& Centred(std::string_view text);
  // Any printable byte, count times (graphics characters).
  PetsciiWriter& Glyph(std::uint8_t code, int count = 1);
  PetsciiWriter& Return();
  // Moves with cursor keys from where the cursor is.
  PetsciiWriter& MoveTo(int row, int column);

  bool LowerCaseSet() const { return lowerCase_; }
  int Row() const { return row_; }
  int Column() const { return column_; }
  const ByteBuffer& Bytes() const { return bytes_; }

 private:
  void Put(std::uint8_t code);
  void Advance();
  void LineFeed();

  ByteBuffer bytes_;
  int row_ = 0;
  int column_ = 0;
  bool lowerCase_ = true;
};

// The PETSCII code of an ASCII character in the given set; throws
// std::logic_error for one the C64 cannot show.
std::uint8_t PetsciiOfAscii(char c, bool lowerCaseSet);
