#include "terminal/PetsciiScreen.h"

#include "terminal/PetsciiCodes.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {
constexpr std::uint64_t kLastColumn = PetsciiScreen::kColumns - 1;
constexpr std::uint64_t kLastScreenRow = PetsciiScreen::kRows - 1;
// The top row goes no further, so that the screen's rows stay within the ceiling.
constexpr std::uint64_t kMaxTop = PetsciiScreen::kMaxKeptRows - PetsciiScreen::kRows;
// Rows beyond the ceiling are dropped a page at a time, not one per line feed.
constexpr std::uint64_t kDropStep = 4096;

std::uint64_t LessOrZero(std::uint64_t value, std::uint64_t minus) { return value > minus ? value - minus : 0; }

std::uint8_t ColourIndex(std::uint8_t colour) { return static_cast<std::uint8_t>(colour % kColourCount); }
}  // namespace

PetsciiScreen::PetsciiScreen(std::uint8_t initialColour, bool fixedScreen) {
  Reset(initialColour, fixedScreen);
}

void PetsciiScreen::Reset(std::uint8_t initialColour, bool fixedScreen, std::uint8_t background) {
  lines_.Clear();
  columns_ = kColumns;
  rows_ = kRows;
  processed_ = 0;
  top_ = 0;
  cursorRow_ = 0;
  cursorColumn_ = 0;
  reverse_ = 0;
  lowerCase_ = startLowerCase_ = 1;
  colour_ = ColourIndex(initialColour);
  background_ = ColourIndex(background);
  awaitingBackground_ = false;
  fixedScreen_ = fixedScreen;
  charsetPending_ = false;
  contentEnd_ = 0;
  droppedRows_ = 0;
}

void PetsciiScreen::LoadBytes(const ByteBuffer& bytes) { LoadBytes(ByteBuffer(bytes)); }

void PetsciiScreen::LoadBytes(ByteBuffer&& bytes) {
  lines_.Clear();
  contentEnd_ = 0;
  droppedRows_ = 0;
  charsetPending_ = false;
  bytes_ = std::move(bytes);
}

RowStore::OpenCells PetsciiScreen::OpenRow(std::uint64_t row) {
  if (lines_.Size() <= row) lines_.Grow(row + 1);
  return lines_.Open(row);
}

RowStore::OpenCells PetsciiScreen::OpenUpTo(std::uint64_t row, std::uint64_t column) {
  RowStore::OpenCells open = OpenRow(row);
  if (open.length <= column) {
    std::fill(open.cells + open.length, open.cells + column + 1, ScreenCell{});
    open.length = column + 1;
    lines_.SetLength(row, open.length);
    MarkContent(row);
  }
  return open;
}

ScreenCell& PetsciiScreen::CellAt(std::uint64_t row, std::uint64_t column) {
  if (column >= kMaxRowCells) throw std::out_of_range("a row holds at most 80 cells");
  return OpenUpTo(row, column).cells[column];
}

void PetsciiScreen::MarkContent(std::uint64_t row) {
  if (row + 1 > contentEnd_) contentEnd_ = row + 1;
}

void PetsciiScreen::ProcessPending() {
  const std::uint64_t end = bytes_.size();
  // The last batch ended on the background prefix: its colour code is here.
  if (awaitingBackground_ && processed_ < end) {
    awaitingBackground_ = false;
    TakeBackgroundCode();
  }
  while (processed_ < end) {
    const std::uint8_t b = bytes_[processed_];
    if (IsPrintable(b)) {
      PrintRun(end);
    } else {
      ++processed_;
      Interpret(b);
    }
  }
  if (fixedScreen_) TrimFixedScreen();
  if (charsetPending_) {
    ApplyPendingCharset(fixedScreen_ ? 0 : top_);
    charsetPending_ = false;
  }
  DropOldestBytes();
}

void PetsciiScreen::DropOldestBytes() {
  if (processed_ <= kMaxKeptBytes) return;
  // Down to half the ceiling: the bytes moved stay in proportion to those received.
  const std::uint64_t drop = processed_ - kMaxKeptBytes / 2;
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(drop));
  processed_ -= drop;
}

void PetsciiScreen::TakeBackgroundCode() {
  // Any other byte after the prefix is itself, as if the prefix were not there.
  const int colourIndex = ColourIndexOfCode(bytes_[processed_]);
  if (colourIndex < 0) return;
  background_ = static_cast<std::uint8_t>(colourIndex);
  ++processed_;
}

void PetsciiScreen::BackgroundPrefix() {
  // The pair is looked at whole; split between batches, the next batch finishes it.
  if (processed_ < bytes_.size())
    TakeBackgroundCode();
  else
    awaitingBackground_ = true;
}

void PetsciiScreen::Interpret(std::uint8_t b) {
  const int colourIndex = ColourIndexOfCode(b);
  if (colourIndex >= 0) {
    colour_ = static_cast<std::uint8_t>(colourIndex);
    return;
  }
  switch (b) {
    case petscii::kReturn:
    case petscii::kShiftReturn:
      LineFeed();
      cursorColumn_ = 0;
      reverse_ = 0;
      return;
    case petscii::kLowerCase: SelectCharset(1); return;
    case petscii::kUpperCase: SelectCharset(0); return;
    case petscii::kCursorDown: LineFeed(); return;
    case petscii::kCursorUp:
      if (cursorRow_ != top_) --cursorRow_;
      return;
    case petscii::kCursorRight: Advance(); return;
    case petscii::kCursorLeft: CursorLeft(); return;
    case petscii::kReverseOn: reverse_ = 1; return;
    case petscii::kReverseOff: reverse_ = 0; return;
    case petscii::kHome:
      cursorColumn_ = 0;
      cursorRow_ = top_;
      return;
    case petscii::kClear: Clear(); return;
    case petscii::kDelete: Delete(); return;
    case petscii::kInsert: Insert(); return;
    case petscii::kBackgroundPrefix: BackgroundPrefix(); return;
    default: break;
  }
  if (IsPrintable(b)) Print(b);
}

void PetsciiScreen::PrintRun(std::uint64_t end) {
  // Printable bytes are most of any stream: print a run of them on the
  // cursor's row in one go (colour codes are never printable, so colour and
  // style stay fixed for the run).
  const RowStore::OpenCells open = OpenRow(cursorRow_);
  ScreenCell* cells = open.cells;
  const std::uint64_t length = open.length;
  const std::uint8_t* data = bytes_.data();
  const std::uint16_t style = MakeGlyphCode(0, lowerCase_, reverse_);
  std::uint64_t column = cursorColumn_;
  if (column > length) std::fill(cells + length, cells + column, ScreenCell{});
  do {
    cells[column] = ScreenCell{static_cast<std::uint16_t>(style | data[processed_]), colour_};
    ++processed_;
    ++column;
  } while (column < kColumns && processed_ < end && IsPrintable(data[processed_]));
  if (column > length) lines_.SetLength(cursorRow_, column);
  MarkContent(cursorRow_);
  cursorColumn_ = column - 1;
  Advance();
}

void PetsciiScreen::Print(std::uint8_t b) {
  ScreenCell& cell = CellAt(cursorRow_, cursorColumn_);
  cell.code = MakeGlyphCode(b, lowerCase_, reverse_);
  cell.colour = colour_;
  Advance();
}

void PetsciiScreen::LeaveScreen(std::uint64_t row) {
  // A row leaving the screen keeps the set it shows now.
  if (charsetPending_ && !fixedScreen_) ApplyCharset(row);
  lines_.Pack(row);
}

void PetsciiScreen::DropOldestRows() {
  const std::uint64_t drop = top_ - kMaxTop + kDropStep;
  lines_.DropFront(drop);
  top_ -= drop;
  cursorRow_ -= drop;
  contentEnd_ = LessOrZero(contentEnd_, drop);
  droppedRows_ += drop;
}

void PetsciiScreen::LineFeed() {
  if (cursorRow_ - top_ == kLastScreenRow) {
    if (top_ < lines_.Size()) LeaveScreen(top_);
    if (++top_ > kMaxTop) DropOldestRows();
  }
  ++cursorRow_;
}

void PetsciiScreen::Advance() {
  if (++cursorColumn_ == kColumns) {
    LineFeed();
    cursorColumn_ = 0;
  }
}

void PetsciiScreen::CursorLeft() {
  if (cursorColumn_ > 0) {
    --cursorColumn_;
    return;
  }
  cursorColumn_ = kLastColumn;
  if (cursorRow_ != top_) --cursorRow_;
}

void PetsciiScreen::Delete() {
  if (cursorColumn_ > 0) {
    --cursorColumn_;
  } else if (cursorRow_ == top_) {
    return;
  } else {
    --cursorRow_;
    cursorColumn_ = kLastColumn;
  }
  const RowStore::OpenCells open = OpenUpTo(cursorRow_, cursorColumn_);
  std::copy(open.cells + cursorColumn_ + 1, open.cells + open.length, open.cells + cursorColumn_);
  lines_.SetLength(cursorRow_, open.length - 1);
}

void PetsciiScreen::Insert() {
  const RowStore::OpenCells open = OpenUpTo(cursorRow_, cursorColumn_);
  // At the bound the last cell falls off the end.
  const std::uint64_t kept = std::min(open.length, kMaxRowCells - 1);
  std::copy_backward(open.cells + cursorColumn_, open.cells + kept, open.cells + kept + 1);
  open.cells[cursorColumn_] = ScreenCell{};
  lines_.SetLength(cursorRow_, kept + 1);
}

void PetsciiScreen::Clear() {
  if (fixedScreen_) {
    // Rows below the 25th are empty after a clear and would only push the
    // new screen's rows out at the end of the batch: drop them.
    lines_.Shrink(kRows);
    // Rows from contentEnd_ on are empty already.
    const std::uint64_t end = std::min(lines_.Size(), contentEnd_);
    contentEnd_ = 0;
    for (std::uint64_t r = 0; r < end; ++r) {
      lines_.Empty(r);
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
    while (contentEnd_ > 0 && !lines_.HoldsContent(contentEnd_ - 1)) --contentEnd_;
    n = contentEnd_;
  }
  // The old screen's rows up to n leave it; those below n are empty and
  // give back their room as well.
  const std::uint64_t screenEnd = std::min(lines_.Size(), top_ + kRows);
  for (std::uint64_t r = top_; r < screenEnd; ++r) {
    if (r <= n)
      LeaveScreen(r);
    else
      lines_.Pack(r);
  }
  if (n > 0 && lines_.Size() >= n && lines_.Separator(n - 1)) {
    // Nothing was written since the last clear: the screen below its
    // separator is empty already and takes no second one.
    cursorColumn_ = 0;
    top_ = n;
    cursorRow_ = n;
    return;
  }
  if (lines_.Size() <= n) lines_.Grow(n + 1);
  lines_.SetSeparator(n, true);
  MarkContent(n);
  cursorColumn_ = 0;
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
  ProcessPending();
  Clear();
  colour_ = ColourIndex(colour);
  background_ = ColourIndex(background);
  awaitingBackground_ = false;
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
  if (lines_.Size() <= kRows) return;
  // Only the last 25 rows make the screen. The cursor keeps its place on it.
  const std::uint64_t removed = lines_.Size() - kRows;
  lines_.DropFront(removed);
  contentEnd_ = LessOrZero(contentEnd_, removed);
  top_ = LessOrZero(top_, removed);
  cursorRow_ = LessOrZero(cursorRow_, removed);
  if (cursorRow_ < top_) cursorRow_ = top_;
  if (cursorRow_ > top_ + kLastScreenRow) cursorRow_ = top_ + kLastScreenRow;
}
