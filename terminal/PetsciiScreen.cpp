// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/PetsciiScreen.h"

#include "terminal/PetsciiCodes.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr std::uint64_t kColumns = PetsciiScreen::kColumns;
constexpr std::uint64_t kLastColumn = kColumns - 1;
constexpr std::uint64_t kLastScreenRow = PetsciiScreen::kRows - 1;
// The top row goes no further, so that the screen's rows stay within the ceiling.
constexpr std::uint64_t kMaxTop = PetsciiScreen::kMaxKeptRows - PetsciiScreen::kRows;
// Rows beyond the ceiling are dropped a page at a time, not one per line feed.
constexpr std::uint64_t kDropStep = 4096;

std::uint64_t LessOrZero(std::uint64_t value, std::uint64_t minus) { return value > minus ? value - minus : 0; }

std::uint8_t ColourIndex(std::uint8_t colour) { return static_cast<std::uint8_t>(colour % kColourCount); }

// A row holds its cells up to the last written one.
std::uint64_t WrittenLength(const ScreenCell* cells, std::uint64_t length) {
  while (length > 0 && cells[length - 1].code == 0) --length;
  return length;
}

// What INST takes for room at the end of a line: a blank or a plain space.
bool IsSpace(const ScreenCell& cell) {
  return cell.code == 0 || (cell.code & (kGlyphReverse | 0xFF)) == 0x20;
}
}  // namespace

// The one or two rows of a logical line opened for writing, seen as one run
// of 40 or 80 cells; Store() gives each row its written length.
class PetsciiScreen::LogicalLine {
 public:
  LogicalLine(PetsciiScreen& screen, std::uint64_t start)
      : screen_(screen), start_(start), rows_(screen.Continued(start + 1) ? 2 : 1) {
    screen.ForgetPrintRow();
    for (std::uint64_t r = 0; r < rows_; ++r) {
      const RowStore::OpenCells open = screen.OpenRow(start + r);
      std::fill(open.cells + open.length, open.cells + kColumns, ScreenCell{});
      cells_[r] = open.cells;
    }
  }
  // The cells after the one at (row, column) move one place back, over it;
  // the line's last cell becomes blank.
  void Remove(std::uint64_t row, std::uint64_t column) {
    const std::uint64_t r = row - start_;
    ScreenCell* cells = cells_[r];
    std::copy(cells + column + 1, cells + kColumns, cells + column);
    if (r + 1 < rows_) {
      cells[kLastColumn] = cells_[r + 1][0];
      std::copy(cells_[r + 1] + 1, cells_[r + 1] + kColumns, cells_[r + 1]);
      cells = cells_[r + 1];
    }
    cells[kLastColumn] = ScreenCell{};
  }
  // A blank at (row, column); the cells from there on move one place on,
  // and the line's last cell is lost.
  void InsertBlank(std::uint64_t row, std::uint64_t column) {
    const std::uint64_t r = row - start_;
    if (r + 1 < rows_) {
      std::copy_backward(cells_[r + 1], cells_[r + 1] + kLastColumn, cells_[r + 1] + kColumns);
      cells_[r + 1][0] = cells_[r][kLastColumn];
    }
    std::copy_backward(cells_[r] + column, cells_[r] + kLastColumn, cells_[r] + kColumns);
    cells_[r][column] = ScreenCell{};
  }
  void Store() {
    for (std::uint64_t r = 0; r < rows_; ++r) {
      const std::uint64_t length = WrittenLength(cells_[r], kColumns);
      screen_.lines_.SetLength(start_ + r, length);
      if (length > 0) screen_.MarkContent(start_ + r);
    }
  }

 private:
  PetsciiScreen& screen_;
  std::uint64_t start_;
  std::uint64_t rows_;
  ScreenCell* cells_[2] = {};
};

PetsciiScreen::PetsciiScreen(std::uint8_t initialColour, bool fixedScreen) { Reset(initialColour, fixedScreen); }

void PetsciiScreen::Reset(std::uint8_t initialColour, bool fixedScreen, std::uint8_t background) {
  ForgetPrintRow();
  lines_.Clear();
  top_ = 0;
  cursorRow_ = 0;
  cursorColumn_ = 0;
  reverse_ = 0;
  lowerCase_ = startLowerCase_ = 1;
  colour_ = ColourIndex(initialColour);
  background_ = ColourIndex(background);
  fixedScreen_ = fixedScreen;
  charsetPending_ = false;
  contentEnd_ = 0;
  droppedRows_ = 0;
}

RowStore::OpenCells PetsciiScreen::OpenRow(std::uint64_t row) {
  if (lines_.Size() <= row) lines_.Grow(row + 1);
  return lines_.Open(row);
}

ScreenCell& PetsciiScreen::CellAt(std::uint64_t row, std::uint64_t column) {
  if (column >= kMaxRowCells) throw std::out_of_range("a row holds at most 40 cells");
  ForgetPrintRow();
  RowStore::OpenCells open = OpenRow(row);
  if (open.length <= column) {
    std::fill(open.cells + open.length, open.cells + column + 1, ScreenCell{});
    lines_.SetLength(row, column + 1);
    MarkContent(row);
  }
  return open.cells[column];
}

void PetsciiScreen::MarkContent(std::uint64_t row) { contentEnd_ = std::max(contentEnd_, row + 1); }

void PetsciiScreen::SetContinued(std::uint64_t row, bool continued) {
  if (lines_.Size() <= row) {
    if (!continued) return;
    lines_.Grow(row + 1);
  }
  lines_.SetContinued(row, continued);
  if (continued) MarkContent(row);
}

void PetsciiScreen::EndBatch() {
  if (fixedScreen_) TrimFixedScreen();
  if (charsetPending_) {
    ApplyPendingCharset(fixedScreen_ ? 0 : top_);
    charsetPending_ = false;
  }
}

void PetsciiScreen::SetColour(std::uint8_t colour) { colour_ = ColourIndex(colour); }

void PetsciiScreen::SetBackground(std::uint8_t colour) { background_ = ColourIndex(colour); }

void PetsciiScreen::SetSwitch(ScreenSwitch which, bool on) {
  if (which == ScreenSwitch::kReverse)
    reverse_ = on ? 1 : 0;
  else
    SelectCharset(on ? 1 : 0);
}

std::size_t PetsciiScreen::Print(const std::uint8_t* bytes, std::size_t count) {
  // A run is written a row at a time, finding its end as it goes; colour
  // and style stay fixed for it.
  const std::uint16_t style = MakeGlyphCode(0, lowerCase_, reverse_);
  const std::uint8_t colour = colour_;
  std::size_t done = 0;
  for (;;) {
    if (printRow_ != cursorRow_) {
      const RowStore::OpenCells open = OpenRow(cursorRow_);
      printRow_ = cursorRow_;
      printCells_ = open.cells;
      printLength_ = open.length;
    }
    const std::uint64_t column = cursorColumn_;
    const std::uint64_t room = std::min<std::uint64_t>(count - done, kColumns - column);
    if (column > printLength_) std::fill(printCells_ + printLength_, printCells_ + column, ScreenCell{});
    ScreenCell* const cells = printCells_ + column;
    const std::uint8_t* const run = bytes + done;
    std::uint64_t n = 0;
    do {
      cells[n] = ScreenCell{static_cast<std::uint16_t>(style | run[n]), colour};
      ++n;
    } while (n < room && IsPrintable(run[n]));
    if (column + n > printLength_) {
      printLength_ = column + n;
      lines_.SetLength(cursorRow_, printLength_);
      MarkContent(cursorRow_);
    }
    done += n;
    if (column + n < kColumns) {
      cursorColumn_ = column + n;
      return done;
    }
    WrapAfterPrint();
    if (top_ > kMaxTop) DropOldestRows();
    if (done == count || !IsPrintable(bytes[done])) return done;
  }
}

void PetsciiScreen::WrapAfterPrint() {
  // The last column was written: the line goes on to the next row, unless
  // it fills two rows already.
  cursorColumn_ = 0;
  if (Continued(cursorRow_)) {
    NextLine();
    return;
  }
  if (Continued(cursorRow_ + 1)) {
    ++cursorRow_;
    return;
  }
  // The next row joins the line as it is, text and all; the row after it,
  // if it continued that row, starts a line of its own.
  if (cursorRow_ - top_ == kLastScreenRow) Scroll();
  SetContinued(cursorRow_ + 1, true);
  SetContinued(cursorRow_ + 2, false);
  ++cursorRow_;
}

inline void PetsciiScreen::Scroll() {
  // The screen moves up by its first logical line, one row or two.
  const bool twoRows = Continued(top_ + 1);
  if (top_ < lines_.Size()) LeaveScreen(top_);
  ++top_;
  if (!twoRows) return;
  if (top_ < lines_.Size()) LeaveScreen(top_);
  ++top_;
}

inline void PetsciiScreen::CursorDown() {
  if (cursorRow_ - top_ == kLastScreenRow) Scroll();
  ++cursorRow_;
}

inline void PetsciiScreen::NextLine() {
  // The first row below the cursor's logical line: the row after the next
  // when the cursor is on the first of two.
  std::uint64_t row = cursorRow_ + 1;
  if (row - top_ == kRows) Scroll();
  if (Continued(row)) {
    ++row;
    if (row - top_ == kRows) Scroll();
  }
  cursorRow_ = row;
  cursorColumn_ = 0;
}

void PetsciiScreen::MoveCursor(CursorMove move) {
  switch (move) {
    case CursorMove::kUp:
      if (cursorRow_ > top_) --cursorRow_;
      break;
    case CursorMove::kDown: CursorDown(); break;
    case CursorMove::kLeft:
      if (cursorColumn_ > 0) {
        --cursorColumn_;
      } else if (cursorRow_ > top_) {
        --cursorRow_;
        cursorColumn_ = kLastColumn;
      }
      break;
    case CursorMove::kRight:
      if (cursorColumn_ < kLastColumn) {
        ++cursorColumn_;
      } else {
        CursorDown();
        cursorColumn_ = 0;
      }
      break;
    case CursorMove::kHome:
      cursorRow_ = top_;
      cursorColumn_ = 0;
      break;
    case CursorMove::kReturn:
      reverse_ = 0;
      NextLine();
      break;
  }
  if (top_ > kMaxTop) DropOldestRows();
}

void PetsciiScreen::LeaveScreen(std::uint64_t row) {
  ForgetPrintRow();
  // A row leaving the screen keeps the set it shows now.
  if (charsetPending_ && !fixedScreen_) ApplyCharset(row);
  lines_.Pack(row);
}

void PetsciiScreen::DropOldestRows() {
  ForgetPrintRow();
  const std::uint64_t drop = top_ - kMaxTop + kDropStep;
  lines_.DropFront(drop);
  top_ -= drop;
  cursorRow_ -= drop;
  contentEnd_ = LessOrZero(contentEnd_, drop);
  droppedRows_ += drop;
}

void PetsciiScreen::BlankCell(std::uint64_t row, std::uint64_t column) {
  ForgetPrintRow();
  if (row >= lines_.Size()) return;
  const RowStore::OpenCells open = lines_.Open(row);
  if (open.length <= column) return;
  open.cells[column] = ScreenCell{};
  lines_.SetLength(row, WrittenLength(open.cells, open.length));
}

void PetsciiScreen::Delete() {
  if (cursorColumn_ == 0 && !Continued(cursorRow_)) {
    // At the start of a logical line: the cursor goes back to the last
    // cell of the line above, which is blanked; nothing moves.
    if (cursorRow_ == top_) return;
    --cursorRow_;
    cursorColumn_ = kLastColumn;
    BlankCell(cursorRow_, kLastColumn);
    return;
  }
  if (cursorColumn_ > 0) {
    --cursorColumn_;
  } else {
    --cursorRow_;
    cursorColumn_ = kLastColumn;
  }
  // The rest of the logical line moves one cell left, across the rows.
  LogicalLine line(*this, LineStart(cursorRow_));
  line.Remove(cursorRow_, cursorColumn_);
  line.Store();
}

void PetsciiScreen::Insert() {
  const std::uint64_t start = LineStart(cursorRow_);
  const bool twoRows = Continued(start + 1);
  const std::uint64_t lastRow = twoRows ? start + 1 : start;
  const ScreenLine last = lastRow < lines_.Size() ? lines_.Row(lastRow) : ScreenLine{};
  const bool lastIsSpace = last.cells.size() <= kLastColumn || IsSpace(last.cells[kLastColumn]);
  const bool cursorOnLast = cursorRow_ == lastRow && cursorColumn_ == kLastColumn;
  if (!lastIsSpace || cursorOnLast) {
    // No room at the end: a one-row line grows a second row; a full
    // two-row line takes nothing more.
    if (twoRows) return;
    ExtendLine(start);
  }
  LogicalLine line(*this, start);
  line.InsertBlank(cursorRow_, cursorColumn_);
  line.Store();
  if (top_ > kMaxTop) DropOldestRows();
}

void PetsciiScreen::ExtendLine(std::uint64_t start) {
  ForgetPrintRow();
  if (start - top_ == kLastScreenRow) {
    // On the last row the screen scrolls up to make room.
    Scroll();
  } else if (lines_.Size() > start + 1) {
    // The rows below move down a row; the screen's last row falls off.
    const std::uint64_t screenEnd = top_ + kRows;
    if (lines_.Size() >= screenEnd) lines_.Shrink(screenEnd - 1);
    lines_.InsertEmpty(start + 1);
    if (contentEnd_ > start + 1) contentEnd_ = std::min(contentEnd_ + 1, lines_.Size());
  }
  SetContinued(start + 1, true);
}

void PetsciiScreen::Clear() {
  ForgetPrintRow();
  if (fixedScreen_) {
    // The rows above the screen go now, as at the end of a batch, so that
    // the rows kept do not depend on where batches end.
    TrimFixedScreen();
    // Rows from contentEnd_ on are empty and unlinked already.
    const std::uint64_t end = std::min(lines_.Size(), contentEnd_);
    contentEnd_ = 0;
    for (std::uint64_t r = 0; r < end; ++r) {
      lines_.Empty(r);
      lines_.SetContinued(r, false);
      if (lines_.Separator(r)) contentEnd_ = r + 1;
    }
    top_ = 0;
    cursorRow_ = 0;
    cursorColumn_ = 0;
    return;
  }
  // History mode: the old screen stays as scrollback above a separator row
  // placed right below the last row with content.
  std::uint64_t n = top_;
  if (lines_.Size() > 0) {
    contentEnd_ = std::min(contentEnd_, lines_.Size());
    while (contentEnd_ > 0 && !lines_.HoldsContent(contentEnd_ - 1)) --contentEnd_;
    n = contentEnd_;
  }
  // The old screen's rows up to n leave it; the empty rows after n go.
  const std::uint64_t leaving = std::min({lines_.Size(), top_ + kRows, n + 1});
  for (std::uint64_t r = top_; r < leaving; ++r) LeaveScreen(r);
  cursorColumn_ = 0;
  if (n > 0 && lines_.Size() >= n && lines_.Separator(n - 1)) {
    // Nothing was written since the last clear: the screen below its
    // separator is empty already and takes no second one.
    lines_.Shrink(n);
    top_ = n;
    cursorRow_ = n;
    return;
  }
  lines_.Shrink(n + 1);
  if (lines_.Size() <= n) lines_.Grow(n + 1);
  lines_.SetSeparator(n, true);
  lines_.SetContinued(n, false);
  MarkContent(n);
  top_ = n + 1;
  cursorRow_ = n + 1;
  if (top_ > kMaxTop) DropOldestRows();
}

void PetsciiScreen::SelectCharset(int lowerCase) {
  lowerCase_ = lowerCase;
  charsetPending_ = true;
}

void PetsciiScreen::ApplyCharset(std::uint64_t row) {
  ScreenCell* cells = lines_.CellsInPlace(row);
  const std::uint64_t length = lines_.Length(row);
  for (std::uint64_t c = 0; c < length; ++c) {
    ScreenCell& cell = cells[c];
    if (cell.code == 0) continue;
    cell.code = static_cast<std::uint16_t>(lowerCase_ ? (cell.code | kGlyphLowerCase)
                                                      : (cell.code & ~kGlyphLowerCase));
  }
}

void PetsciiScreen::ApplyPendingCharset(std::uint64_t firstRow) {
  // Rows from contentEnd_ on hold no cells.
  const std::uint64_t end = std::min(lines_.Size(), contentEnd_);
  for (std::uint64_t r = firstRow; r < end; ++r) ApplyCharset(r);
}

void PetsciiScreen::StartAfresh(std::uint8_t colour, std::uint8_t background) {
  Clear();
  colour_ = ColourIndex(colour);
  background_ = ColourIndex(background);
  reverse_ = 0;
  // The cleared screen holds no cells: nothing to switch.
  lowerCase_ = startLowerCase_;
  charsetPending_ = false;
}

void PetsciiScreen::ToggleCharset() {
  if (charsetPending_) {
    ApplyPendingCharset(fixedScreen_ ? 0 : top_);
    charsetPending_ = false;
  }
  const std::uint64_t end = std::min(lines_.Size(), contentEnd_);
  for (std::uint64_t r = top_; r < end; ++r) {
    ScreenCell* cells = lines_.CellsInPlace(r);
    const std::uint64_t length = lines_.Length(r);
    for (std::uint64_t c = 0; c < length; ++c)
      if (cells[c].code != 0) cells[c].code ^= kGlyphLowerCase;
  }
  lowerCase_ = lowerCase_ ? 0 : 1;
}

void PetsciiScreen::TrimFixedScreen() {
  ForgetPrintRow();
  // Only the screen is kept: the rows above it go and it starts at row 0.
  if (top_ == 0) return;
  lines_.DropFront(std::min(top_, lines_.Size()));
  contentEnd_ = LessOrZero(contentEnd_, top_);
  cursorRow_ -= top_;
  top_ = 0;
}
