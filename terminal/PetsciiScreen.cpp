#include "terminal/PetsciiScreen.h"

#include "terminal/PetsciiCodes.h"

#include <algorithm>

namespace {
constexpr std::uint64_t kLastColumn = PetsciiScreen::kColumns - 1;
constexpr std::uint64_t kLastScreenRow = PetsciiScreen::kRows - 1;
// A row's first allocation: spares short rows most regrowth without making
// every row of a long scrollback pay for 40 cells.
constexpr std::size_t kFirstRowCapacity = 8;
}  // namespace

PetsciiScreen::PetsciiScreen(std::uint8_t initialColour, bool fixedScreen) {
  Reset(initialColour, fixedScreen);
}

void PetsciiScreen::Reset(std::uint8_t initialColour, bool fixedScreen) {
  std::vector<ScreenLine>().swap(lines_);
  columns_ = kColumns;
  rows_ = kRows;
  processed_ = 0;
  top_ = 0;
  cursorRow_ = 0;
  cursorColumn_ = 0;
  reverse_ = 0;
  lowerCase_ = 1;
  colour_ = initialColour;
  fixedScreen_ = fixedScreen;
  charsetPending_ = false;
  contentEnd_ = 0;
}

void PetsciiScreen::LoadBytes(const ByteBuffer& bytes) {
  std::vector<ScreenLine>().swap(lines_);
  contentEnd_ = 0;
  charsetPending_ = false;
  bytes_ = bytes;
}

ScreenCell& PetsciiScreen::CellAt(std::uint64_t row, std::uint64_t column) {
  if (lines_.size() <= row) lines_.resize(row + 1);
  std::vector<ScreenCell>& cells = lines_[row].cells;
  if (cells.size() <= column) {
    if (cells.empty()) cells.reserve(kFirstRowCapacity);
    if (cells.size() == column)
      cells.emplace_back();
    else
      cells.resize(column + 1);
    MarkContent(row);
  }
  return cells[column];
}

void PetsciiScreen::MarkContent(std::uint64_t row) {
  if (row + 1 > contentEnd_) contentEnd_ = row + 1;
}

void PetsciiScreen::ProcessPending() {
  const std::uint64_t end = bytes_.size();
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
    default: break;
  }
  if (IsPrintable(b)) Print(b);
}

void PetsciiScreen::PrintRun(std::uint64_t end) {
  // Printable bytes are most of any stream: print a run of them on the
  // cursor's row in one go (colour codes are never printable, so colour and
  // style stay fixed for the run).
  if (lines_.size() <= cursorRow_) lines_.resize(cursorRow_ + 1);
  std::vector<ScreenCell>& cells = lines_[cursorRow_].cells;
  const std::uint8_t* data = bytes_.data();
  if (cells.empty()) {
    // Size a new row for the text about to land on it: a full row costs one
    // allocation, a short one no more than it holds.
    std::uint64_t last = cursorColumn_;
    for (std::uint64_t i = processed_; last < kColumns && i < end && IsPrintable(data[i]); ++i) ++last;
    cells.reserve(std::max<std::uint64_t>(last, kFirstRowCapacity));
  }
  const std::uint16_t style = MakeGlyphCode(0, lowerCase_, reverse_);
  std::uint64_t column = cursorColumn_;
  do {
    const ScreenCell cell{static_cast<std::uint16_t>(style | data[processed_]), colour_};
    ++processed_;
    if (column < cells.size()) {
      cells[column] = cell;
    } else {
      if (column > cells.size()) cells.resize(column);
      cells.push_back(cell);
    }
    ++column;
  } while (column < kColumns && processed_ < end && IsPrintable(data[processed_]));
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

void PetsciiScreen::LineFeed() {
  if (cursorRow_ - top_ == kLastScreenRow) {
    // The first screen row becomes scrollback and keeps the set it shows now.
    if (charsetPending_ && !fixedScreen_ && top_ < lines_.size()) ApplyCharset(lines_[top_]);
    ++top_;
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
  CellAt(cursorRow_, cursorColumn_);
  std::vector<ScreenCell>& cells = lines_[cursorRow_].cells;
  cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(cursorColumn_));
}

void PetsciiScreen::Insert() {
  CellAt(cursorRow_, cursorColumn_);
  std::vector<ScreenCell>& cells = lines_[cursorRow_].cells;
  if (cells.size() >= kMaxRowCells) cells.pop_back();
  cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(cursorColumn_), ScreenCell{});
}

void PetsciiScreen::Clear() {
  if (fixedScreen_) {
    // Rows below the 25th are empty after a clear and would only push the
    // new screen's rows out at the end of the batch: drop them.
    if (lines_.size() > kRows) lines_.resize(kRows);
    for (ScreenLine& line : lines_) line.cells.clear();
    contentEnd_ = 0;
    for (std::uint64_t r = 0; r < lines_.size(); ++r)
      if (lines_[r].separator) contentEnd_ = r + 1;
    top_ = 0;
    cursorRow_ = 0;
    cursorColumn_ = 0;
    return;
  }
  // History mode: the old screen stays as scrollback above a separator row
  // placed right below the last row with content.
  std::uint64_t n = top_;
  if (!lines_.empty()) {
    while (contentEnd_ > 0) {
      const ScreenLine& line = lines_[contentEnd_ - 1];
      if (line.separator || !line.cells.empty()) break;
      --contentEnd_;
    }
    n = contentEnd_;
  }
  if (charsetPending_) {
    // Rows between the old and the new top leave the screen.
    for (std::uint64_t r = top_; r < n + 1 && r < lines_.size(); ++r) ApplyCharset(lines_[r]);
  }
  if (lines_.size() <= n) lines_.resize(n + 1);
  lines_[n].separator = true;
  MarkContent(n);
  cursorColumn_ = 0;
  top_ = n + 1;
  cursorRow_ = n + 1;
}

void PetsciiScreen::SelectCharset(int lowerCase) {
  lowerCase_ = lowerCase;
  charsetPending_ = true;
}

void PetsciiScreen::ApplyCharset(ScreenLine& line) const {
  for (ScreenCell& cell : line.cells) {
    if (cell.code == 0) continue;
    cell.code = static_cast<std::uint16_t>(lowerCase_ ? (cell.code | kGlyphLowerCase)
                                                      : (cell.code & ~kGlyphLowerCase));
  }
}

void PetsciiScreen::ApplyPendingCharset(std::uint64_t firstRow) {
  for (std::uint64_t r = firstRow; r < lines_.size(); ++r) ApplyCharset(lines_[r]);
}

void PetsciiScreen::ToggleCharset() {
  if (charsetPending_) {
    ApplyPendingCharset(fixedScreen_ ? 0 : top_);
    charsetPending_ = false;
  }
  for (std::uint64_t r = top_; r < lines_.size(); ++r) {
    for (ScreenCell& cell : lines_[r].cells)
      if (cell.code != 0) cell.code ^= kGlyphLowerCase;
  }
  lowerCase_ = lowerCase_ ? 0 : 1;
}

void PetsciiScreen::TrimFixedScreen() {
  if (lines_.size() <= kRows) return;
  // Only the last 25 rows make the screen. The cursor keeps its place on it.
  const std::uint64_t removed = lines_.size() - kRows;
  lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(removed));
  contentEnd_ = contentEnd_ > removed ? contentEnd_ - removed : 0;
  top_ = top_ > removed ? top_ - removed : 0;
  cursorRow_ = cursorRow_ > removed ? cursorRow_ - removed : 0;
  if (cursorRow_ < top_) cursorRow_ = top_;
  if (cursorRow_ > top_ + kLastScreenRow) cursorRow_ = top_ + kLastScreenRow;
}
