#pragma once
// The terminal's memory: every byte received since the last load, and the
// rows of character cells a C64 screen editor would have made of them.
#include <cstdint>
#include <vector>

#include "settings/ByteBuffer.h"

struct ScreenCell {
  // 0: blank, never written. Otherwise a glyph code 0xE000 | set | reverse | PETSCII byte.
  std::uint16_t code = 0;
  std::uint8_t colour = 0;  // colour index 0-15
};
static_assert(sizeof(ScreenCell) == 4, "cells are copied around in bulk");

struct ScreenLine {
  bool separator = false;  // the row a clear-screen leaves between old and new screen
  std::vector<ScreenCell> cells;  // only as many as were touched; not padded to 40
};

class PetsciiScreen {
 public:
  static constexpr std::uint64_t kColumns = 40;
  static constexpr std::uint64_t kRows = 25;
  // INST may push a row past 40 cells; past this bound the pushed cells are
  // dropped so that hostile input cannot grow a row without limit.
  static constexpr std::uint64_t kMaxRowCells = 80;
  static constexpr std::uint8_t kDefaultColour = 14;

  explicit PetsciiScreen(std::uint8_t initialColour = kDefaultColour, bool fixedScreen = false);

  void Reset(std::uint8_t initialColour, bool fixedScreen);
  void LoadBytes(const ByteBuffer& bytes);
  // The character set in force before the first byte (1: lower case, as
  // after Reset; 0: upper case/graphics, as a C64 starts). Call after Reset.
  void SetStartCharset(int lowerCase) { lowerCase_ = lowerCase ? 1 : 0; }
  void AppendByte(std::uint8_t b) { bytes_.push_back(b); }
  // Interprets every byte appended since the previous call.
  void ProcessPending();
  // Switches the character set of the visible screen (the keyboard's toggle).
  void ToggleCharset();
  // The cell, creating rows and blank cells up to it as needed.
  ScreenCell& CellAt(std::uint64_t row, std::uint64_t column);

  const std::vector<ScreenLine>& Lines() const { return lines_; }
  std::uint64_t RowCount() const { return lines_.size(); }
  const ByteBuffer& Bytes() const { return bytes_; }
  bool FixedScreen() const { return fixedScreen_; }
  std::uint64_t Columns() const { return columns_; }
  std::uint64_t Rows() const { return rows_; }
  std::uint64_t Processed() const { return processed_; }
  std::uint64_t Top() const { return top_; }
  std::uint64_t CursorRow() const { return cursorRow_; }
  std::uint64_t CursorColumn() const { return cursorColumn_; }
  std::uint8_t Colour() const { return colour_; }
  int Reverse() const { return reverse_; }
  int LowerCase() const { return lowerCase_; }

 private:
  void Interpret(std::uint8_t b);
  void Print(std::uint8_t b);
  void PrintRun(std::uint64_t end);
  void LineFeed();
  void Advance();
  void CursorLeft();
  void Delete();
  void Insert();
  void Clear();
  void SelectCharset(int lowerCase);
  void TrimFixedScreen();
  void MarkContent(std::uint64_t row);
  void ApplyCharset(ScreenLine& line) const;
  void ApplyPendingCharset(std::uint64_t firstRow);

  ByteBuffer bytes_;
  std::vector<ScreenLine> lines_;
  bool fixedScreen_ = false;
  std::uint64_t columns_ = kColumns;
  std::uint64_t rows_ = kRows;
  std::uint64_t processed_ = 0;
  std::uint64_t top_ = 0;
  std::uint64_t cursorRow_ = 0;
  std::uint64_t cursorColumn_ = 0;
  std::uint8_t colour_ = kDefaultColour;
  int reverse_ = 0;
  int lowerCase_ = 1;

  // A character-set switch is applied lazily: while set, every written cell
  // of the screen rows takes the set bit of lowerCase_. Rows leaving the
  // screen and the whole screen at the end of a batch get it applied, so a
  // stream of switches costs constant time per byte.
  bool charsetPending_ = false;
  // One past the last row that has cells or is a separator (an upper bound:
  // DEL may have emptied rows below it). Spares a clear-screen the scan over
  // a long run of empty rows.
  std::uint64_t contentEnd_ = 0;
};
