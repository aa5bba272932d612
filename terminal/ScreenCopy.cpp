// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/ScreenCopy.h"

#include <algorithm>
#include <functional>

#include "terminal/PetsciiCodes.h"

namespace {
constexpr char kAsciiRowEnd = '\n';
constexpr char kUnknownCharacter = '?';
constexpr std::uint64_t kScreenRows = PetsciiScreen::kRows;
constexpr std::size_t kColumns = PetsciiScreen::kColumns;

using CellVisitor = std::function<void(const ScreenCell&)>;
using RowEndVisitor = std::function<void()>;

// What the screen shows of a row: its cells up to the last one written,
// no more than a row's width; a separator row shows none.
std::size_t ShownCells(const ScreenLine& line) {
  if (line.separator) return 0;
  std::size_t shown = std::min<std::size_t>(line.cells.size(), kColumns);
  while (shown > 0 && line.cells[shown - 1].code == 0) --shown;
  return shown;
}

// The cells of one row that a selection covers, and whether the row runs
// out inside it.
struct RowPart {
  std::size_t from = 0;
  std::size_t to = 0;
  bool ends = false;
};

RowPart PartOfRow(const ScreenLine& line, std::uint64_t row, const CellPosition& begin, const CellPosition& end) {
  const std::size_t shown = ShownCells(line);
  RowPart part;
  part.from = row == begin.row ? static_cast<std::size_t>(std::min<std::uint64_t>(begin.column, shown)) : 0;
  part.to = row == end.row ? static_cast<std::size_t>(std::min<std::uint64_t>(end.column, shown)) : shown;
  part.to = std::max(part.to, part.from);
  // A selection ending at or past the row's last cell takes its line break
  // (a drag past the text is clamped to the row's end).
  part.ends = row != end.row || end.column >= shown;
  return part;
}

// Visits the selected cells in reading order, a row end after each row
// that runs out inside the selection.
void WalkSelection(const PetsciiScreen& screen, const Selection& selection, const CellVisitor& onCell,
                   const RowEndVisitor& onRowEnd) {
  if (selection.Empty()) return;
  const CellPosition begin = selection.Begin(), end = selection.Finish();
  const auto& lines = screen.Lines();
  for (std::uint64_t r = begin.row; r <= end.row && r < lines.size(); ++r) {
    const ScreenLine line = lines[r];
    const RowPart part = PartOfRow(line, r, begin, end);
    for (std::size_t c = part.from; c < part.to; ++c) onCell(line.cells[c]);
    if (part.ends) onRowEnd();
  }
}

char AsciiOfCell(const ScreenCell& cell) {
  if (cell.code == 0) return ' ';
  const std::uint8_t p = static_cast<std::uint8_t>(cell.code & 0xFF);
  const bool lower = (cell.code & kGlyphLowerCase) != 0;
  if (p == 0xA0 || p == 0xE0) return ' ';
  if (p == 0x5B || p == 0x5D || (p >= 0x20 && p <= 0x40)) return static_cast<char>(p);
  if (p >= 0x41 && p <= 0x5A) return static_cast<char>(lower ? p + 0x20 : p);
  if ((p >= 0x61 && p <= 0x7A) || (p >= 0xC1 && p <= 0xDA))
    return lower ? static_cast<char>(p & ~0xA0) : kUnknownCharacter;
  return kUnknownCharacter;
}

// Emits the codes that bring the interpreter to each cell's set, reverse
// state and colour, then the cell's byte. State carries across rows.
class PetsciiEncoder {
 public:
  explicit PetsciiEncoder(ByteBuffer& out) : out_(out) {}

  void Cell(const ScreenCell& cell) {
    if (cell.code == 0) {
      out_.push_back(petscii::kCursorRight);
      return;
    }
    const Tri lower = (cell.code & kGlyphLowerCase) ? Tri::On : Tri::Off;
    if (lower != charset_) {
      out_.push_back(lower == Tri::On ? petscii::kLowerCase : petscii::kUpperCase);
      charset_ = lower;
    }
    const Tri reverse = (cell.code & kGlyphReverse) ? Tri::On : Tri::Off;
    if (reverse != reverse_) {
      out_.push_back(reverse == Tri::On ? petscii::kReverseOn : petscii::kReverseOff);
      reverse_ = reverse;
    }
    if (!haveColour_ || cell.colour != colour_) {
      out_.push_back(ColourCodeOfIndex(cell.colour));
      colour_ = cell.colour;
      haveColour_ = true;
    }
    out_.push_back(static_cast<std::uint8_t>(cell.code & 0xFF));
  }

  // A cursor or editing code that leaves the encoder's state as it is.
  void Code(std::uint8_t code) { out_.push_back(code); }

  void RowEnd() {
    out_.push_back(petscii::kReturn);
    // RETURN switches reverse off in the interpreter; a reversed cell on
    // the next row needs its RVS ON again.
    if (reverse_ == Tri::On) reverse_ = Tri::Off;
  }

 private:
  enum class Tri { Unknown, Off, On };
  ByteBuffer& out_;
  Tri charset_ = Tri::Unknown;
  Tri reverse_ = Tri::Unknown;
  std::uint8_t colour_ = 0;
  bool haveColour_ = false;
};

// Writes the rows from `begin` to `end` (a selection: cells from begin's
// column on the first row, up to end's column on the last) so that an
// interpreter starting in the top-left corner of an empty screen puts each
// row's cells on a row of its own, as the screen shows them:
// - a RETURN ends a row that runs out, unless the row filled all 40
//   columns: the cursor has then wrapped to the next row by itself;
// - the 25th row, when it is the last, ends in neither: a RETURN there, or
//   the cursor wrapping past its last column, would scroll the first row
//   away. A full 25th row gets its last cell first, then the one before it
//   is inserted in front of it, leaving the cursor on the last column.
void EncodeRows(const PetsciiScreen& screen, const CellPosition& begin, const CellPosition& end,
                PetsciiEncoder& encoder) {
  const auto& lines = screen.Lines();
  if (lines.size() == 0) return;
  const std::uint64_t last = std::min<std::uint64_t>(end.row, lines.size() - 1);
  for (std::uint64_t r = begin.row; r <= last; ++r) {
    const ScreenLine line = lines[r];
    const RowPart part = PartOfRow(line, r, begin, end);
    const bool fills = part.from == 0 && part.to == kColumns;
    const bool screenBottom = r == last && r - begin.row == kScreenRows - 1;
    if (screenBottom && fills) {
      for (std::size_t c = 0; c + 2 < kColumns; ++c) encoder.Cell(line.cells[c]);
      encoder.Cell(line.cells[kColumns - 1]);
      encoder.Code(petscii::kCursorLeft);
      encoder.Code(petscii::kInsert);
      encoder.Cell(line.cells[kColumns - 2]);
      return;
    }
    for (std::size_t c = part.from; c < part.to; ++c) encoder.Cell(line.cells[c]);
    if (part.ends && !fills && !screenBottom) encoder.RowEnd();
  }
}
}  // namespace

std::string AsciiCopy(const PetsciiScreen& screen, const Selection& selection) {
  std::string text;
  WalkSelection(screen, selection, [&](const ScreenCell& cell) { text += AsciiOfCell(cell); },
                [&] { text += kAsciiRowEnd; });
  return text;
}

ByteBuffer PetsciiCopy(const PetsciiScreen& screen, const Selection& selection) {
  ByteBuffer bytes;
  if (selection.Empty()) return bytes;
  PetsciiEncoder encoder(bytes);
  EncodeRows(screen, selection.Begin(), selection.Finish(), encoder);
  return bytes;
}

ByteBuffer Screenshot(const PetsciiScreen& screen, std::uint64_t firstRow) {
  // The background first: a reader that knows the pair takes it, an older
  // one takes the colour code for the text colour, which the first cell
  // sets again.
  ByteBuffer bytes = {petscii::kBackgroundPrefix, ColourCodeOfIndex(screen.Background())};
  const std::uint64_t rows = screen.Lines().size();
  if (firstRow >= rows) return bytes;
  PetsciiEncoder encoder(bytes);
  const std::uint64_t last = std::min<std::uint64_t>(firstRow + kScreenRows, rows) - 1;
  EncodeRows(screen, {firstRow, 0}, {last, kColumns}, encoder);
  return bytes;
}

std::wstring PetsciiClipboardText(const ByteBuffer& bytes) { return std::wstring(bytes.begin(), bytes.end()); }
