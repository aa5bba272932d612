// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_petscii_writer.h"

#include <stdexcept>
#include <string>

#include "terminal/PetsciiCodes.h"

namespace {
constexpr std::uint8_t kShiftedLetterOffset = 0x80;  // 'A' 0x41 -> shifted 0xC1
constexpr int kLastRow = PetsciiWriter::kRows - 1;

bool IsPrintablePunctuation(char c) {
  // The C64 keyboard's characters between space and '@' plus its brackets;
  // backslash, underscore, back quote, braces, bar and tilde have no key.
  return (c >= ' ' && c <= '@') || c == '[' || c == ']';
}
}  // namespace

std::uint8_t PetsciiOfAscii(char c, bool lowerCaseSet) {
  if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(lowerCaseSet ? c + kShiftedLetterOffset : c);
  if (IsPrintablePunctuation(c)) return static_cast<std::uint8_t>(c);
  throw std::logic_error(std::string("no PETSCII character for '") + c + "'");
}

void PetsciiWriter::LineFeed() {
  if (row_ == kLastRow) throw std::logic_error("page scrolls past row 25");
  ++row_;
}

void PetsciiWriter::Advance() {
  if (++column_ == kColumns) {
    column_ = 0;
    LineFeed();
  }
}

void PetsciiWriter::Put(std::uint8_t code) {
  if (!IsPrintable(code)) throw std::logic_error("Glyph given a control code");
  bytes_.push_back(code);
  Advance();
}

PetsciiWriter& PetsciiWriter::Clear() {
  bytes_.push_back(petscii::kClear);
  row_ = column_ = 0;
  return *this;
}

PetsciiWriter& PetsciiWriter::UpperCase() {
  bytes_.push_back(petscii::kUpperCase);
  lowerCase_ = false;
  return *this;
}

PetsciiWriter& PetsciiWriter::LowerCase() {
  bytes_.push_back(petscii::kLowerCase);
  lowerCase_ = true;
  return *this;
}

PetsciiWriter& PetsciiWriter::Colour(C64Colour colour) {
  bytes_.push_back(ColourCodeOfIndex(static_cast<int>(colour)));
  return *this;
}

PetsciiWriter& PetsciiWriter::Reverse(bool on) {
  bytes_.push_back(on ? petscii::kReverseOn : petscii::kReverseOff);
  return *this;
}

PetsciiWriter& PetsciiWriter::Text(std::string_view text) {
  for (char c : text) Put(PetsciiOfAscii(c, lowerCase_));
  return *this;
}

PetsciiWriter& PetsciiWriter::Centred(std::string_view text) {
  if (column_ != 0 || text.size() > static_cast<std::size_t>(kColumns))
    throw std::logic_error("cannot centre here");
  MoveTo(row_, static_cast<int>(kColumns - text.size()) / 2);
  return Text(text);
}

PetsciiWriter& PetsciiWriter::Glyph(std::uint8_t code, int count) {
  for (int i = 0; i < count; ++i) Put(code);
  return *this;
}

PetsciiWriter& PetsciiWriter::Return() {
  // RETURN also ends reverse mode; the writer has nothing to track for that.
  bytes_.push_back(petscii::kReturn);
  column_ = 0;
  LineFeed();
  return *this;
}

PetsciiWriter& PetsciiWriter::MoveTo(int row, int column) {
  if (row < 0 || row > kLastRow || column < 0 || column >= kColumns)
    throw std::logic_error("MoveTo outside the screen");
  if (row == row_ && column == column_) return *this;
  if (row == 0 && column == 0) {
    bytes_.push_back(petscii::kHome);
    row_ = column_ = 0;
    return *this;
  }
  for (; row_ < row; ++row_) bytes_.push_back(petscii::kCursorDown);
  for (; row_ > row; --row_) bytes_.push_back(petscii::kCursorUp);
  for (; column_ < column; ++column_) bytes_.push_back(petscii::kCursorRight);
  for (; column_ > column; --column_) bytes_.push_back(petscii::kCursorLeft);
  return *this;
}
