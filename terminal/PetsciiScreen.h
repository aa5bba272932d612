// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screen a C64's screen editor keeps, and the rows that scrolled off
// it: rows of character cells, the logical lines they form, the cursor and
// the pen. It carries out what the parser reads from a byte stream.
//
// The screen is the 25 rows from Top(); the rows before it are scrollback.
// In fixed-screen mode the scrollback goes at the end of every batch.
#include <cstdint>

#include "terminal/RowStore.h"
#include "terminal/ScreenActions.h"
#include "terminal/ScreenLine.h"

class PetsciiScreen final : public ScreenActions {
 public:
  static constexpr std::uint64_t kColumns = 40;
  static constexpr std::uint64_t kRows = 25;
  static constexpr std::uint64_t kMaxRowCells = RowStore::kMaxCells;
  // The most rows kept. Past it the oldest scrollback rows are dropped, so
  // that no host can take all of the user's memory.
  static constexpr std::uint64_t kMaxKeptRows = 1000000;
  static constexpr std::uint8_t kDefaultColour = 14;
  static constexpr std::uint8_t kDefaultBackground = 0;  // black

  explicit PetsciiScreen(std::uint8_t initialColour = kDefaultColour, bool fixedScreen = false);

  // An empty screen. Colours are taken by their low four bits.
  void Reset(std::uint8_t initialColour, bool fixedScreen, std::uint8_t background = kDefaultBackground);
  // The character set in force before the first byte (1: lower case, as
  // after Reset; 0: upper case/graphics, as a C64 starts). Call after Reset.
  void SetStartCharset(int lowerCase) { lowerCase_ = startLowerCase_ = lowerCase ? 1 : 0; }
  // The end of a batch of actions: a fixed screen lets its scrollback go,
  // and a switch of the character set reaches every cell of the screen.
  void EndBatch();
  // Switches the character set of the visible screen (the keyboard's toggle).
  void ToggleCharset();
  // A new connection's screen: the screen is cleared (in history mode the
  // old one stays as scrollback) and text starts in `colour`, reverse off,
  // on `background`, in the character set the screen started in.
  void StartAfresh(std::uint8_t colour, std::uint8_t background);
  // The cell, creating rows and blank cells up to it as needed: for
  // pictures built cell by cell. A column at or past kMaxRowCells throws
  // std::out_of_range.
  ScreenCell& CellAt(std::uint64_t row, std::uint64_t column);

  ScreenRows Lines() const { return ScreenRows(lines_); }
  std::uint64_t RowCount() const { return lines_.Size(); }
  // How many of the oldest rows were dropped to stay within kMaxKeptRows
  // since the last Reset; a row numbered n before a batch is numbered n
  // minus the batch's increase of this count after it.
  std::uint64_t DroppedRows() const { return droppedRows_; }
  bool FixedScreen() const { return fixedScreen_; }
  std::uint64_t Columns() const { return kColumns; }
  std::uint64_t Rows() const { return kRows; }
  std::uint64_t Top() const { return top_; }
  std::uint64_t CursorRow() const { return cursorRow_; }
  std::uint64_t CursorColumn() const { return cursorColumn_; }
  std::uint8_t Colour() const { return colour_; }
  int Reverse() const { return reverse_; }
  int LowerCase() const { return lowerCase_; }
  // The colour index of the whole screen's background.
  std::uint8_t Background() const { return background_; }

  std::size_t Print(const std::uint8_t* bytes, std::size_t count) override;
  void SetColour(std::uint8_t colour) override;
  void SetBackground(std::uint8_t colour) override;
  void SetSwitch(ScreenSwitch which, bool on) override;
  void MoveCursor(CursorMove move) override;
  void Insert() override;
  void Delete() override;
  void Clear() override;

 private:
  // The one or two rows of the logical line the cursor is on, seen as one
  // run of cells.
  class LogicalLine;

  bool Continued(std::uint64_t row) const { return row < lines_.Size() && lines_.Continued(row); }
  void SetContinued(std::uint64_t row, bool continued);
  std::uint64_t LineStart(std::uint64_t row) const { return Continued(row) ? row - 1 : row; }
  void Scroll();
  void CursorDown();
  void NextLine();
  void WrapAfterPrint();
  void ExtendLine(std::uint64_t start);
  void BlankCell(std::uint64_t row, std::uint64_t column);
  void SelectCharset(int lowerCase);
  void TrimFixedScreen();
  void MarkContent(std::uint64_t row);
  RowStore::OpenCells OpenRow(std::uint64_t row);
  void LeaveScreen(std::uint64_t row);
  void DropOldestRows();
  void ApplyCharset(std::uint64_t row);
  void ApplyPendingCharset(std::uint64_t firstRow);
  void ForgetPrintRow() { printRow_ = kNoRow; }

  bool fixedScreen_ = false;
  std::uint64_t top_ = 0;
  std::uint64_t cursorRow_ = 0;
  std::uint64_t cursorColumn_ = 0;
  std::uint8_t colour_ = kDefaultColour;
  int reverse_ = 0;
  int lowerCase_ = 1;
  int startLowerCase_ = 1;
  std::uint8_t background_ = kDefaultBackground;

  // A character-set switch is applied lazily: while set, every written cell
  // of the screen rows takes the set bit of lowerCase_. Rows leaving the
  // screen and the whole screen at the end of a batch get it applied, so a
  // stream of switches costs constant time per byte.
  bool charsetPending_ = false;
  // One past the last row that has cells, is a separator or continues a
  // line (an upper bound: DEL may have emptied rows below it). Spares a
  // clear-screen the scan over a long run of empty rows.
  std::uint64_t contentEnd_ = 0;
  std::uint64_t droppedRows_ = 0;
  // No row lies below the screen: rows are made on demand up to its last.
  RowStore lines_;
  // The row printed on last, held open: a run of text costs no look-up of
  // its row. Forgotten whenever rows are moved, packed, dropped or their
  // lengths set by anything but printing.
  static constexpr std::uint64_t kNoRow = ~std::uint64_t{0};
  std::uint64_t printRow_ = kNoRow;
  ScreenCell* printCells_ = nullptr;
  std::uint64_t printLength_ = 0;
};
