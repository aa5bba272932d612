#include "terminal/ScreenCopy.h"

#include <algorithm>
#include <functional>

#include "terminal/PetsciiCodes.h"

namespace {
constexpr char kAsciiRowEnd = '\n';
constexpr char kUnknownCharacter = '?';
constexpr std::uint64_t kScreenshotRows = PetsciiScreen::kRows;
constexpr std::size_t kColumns = PetsciiScreen::kColumns;

using CellVisitor = std::function<void(const ScreenCell&)>;
using RowEndVisitor = std::function<void()>;

// Visits the selected cells in reading order. A row whose cells run out
// inside the selection gives a row end, also when the selection ends right
// at the end of the row (where a drag past the text is clamped), so the
// copy of a whole line carries its line break.
void WalkSelection(const PetsciiScreen& screen, const Selection& selection, const CellVisitor& onCell,
                   const RowEndVisitor& onRowEnd) {
  const CellPosition begin = selection.Begin(), end = selection.Finish();
  if (selection.Empty()) return;
  const auto& lines = screen.Lines();
  for (std::uint64_t r = begin.row; r <= end.row && r < lines.size(); ++r) {
    const auto& cells = lines[r].cells;
    for (std::uint64_t c = r == begin.row ? begin.column : 0;; ++c) {
      if (c >= cells.size()) {
        onRowEnd();
        break;
      }
      if (r == end.row && c == end.column) return;
      onCell(cells[c]);
    }
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
}  // namespace

std::string AsciiCopy(const PetsciiScreen& screen, const Selection& selection) {
  std::string text;
  WalkSelection(screen, selection, [&](const ScreenCell& cell) { text += AsciiOfCell(cell); },
                [&] { text += kAsciiRowEnd; });
  return text;
}

ByteBuffer PetsciiCopy(const PetsciiScreen& screen, const Selection& selection) {
  ByteBuffer bytes;
  PetsciiEncoder encoder(bytes);
  WalkSelection(screen, selection, [&](const ScreenCell& cell) { encoder.Cell(cell); }, [&] { encoder.RowEnd(); });
  return bytes;
}

ByteBuffer Screenshot(const PetsciiScreen& screen, std::uint64_t firstRow) {
  // The background first: a reader that knows the pair takes it, an older
  // one takes the colour code for the text colour, which the first cell
  // sets again.
  ByteBuffer bytes = {petscii::kBackgroundPrefix, ColourCodeOfIndex(screen.Background())};
  PetsciiEncoder encoder(bytes);
  const auto& lines = screen.Lines();
  const std::uint64_t end = std::min<std::uint64_t>(firstRow + kScreenshotRows, lines.size());
  for (std::uint64_t r = firstRow; r < end; ++r) {
    const ScreenLine& line = lines[r];
    // What the screen shows of the row: INST may have pushed cells past
    // the last column, out of sight.
    const std::size_t shown = line.separator ? 0 : std::min<std::size_t>(line.cells.size(), kColumns);
    if (r - firstRow + 1 < kScreenshotRows) {
      for (std::size_t c = 0; c < shown; ++c) encoder.Cell(line.cells[c]);
      if (shown != kColumns) encoder.RowEnd();
      continue;
    }
    // The screen's last row: a RETURN after it, or the cursor wrapping past
    // its last column, would scroll the whole picture up a row. So a full
    // row gets its last cell first, then the one before it is inserted in
    // front of it, leaving the cursor on the last column.
    if (shown < kColumns) {
      for (std::size_t c = 0; c < shown; ++c) encoder.Cell(line.cells[c]);
      break;
    }
    for (std::size_t c = 0; c + 2 < kColumns; ++c) encoder.Cell(line.cells[c]);
    encoder.Cell(line.cells[kColumns - 1]);
    encoder.Code(petscii::kCursorLeft);
    encoder.Code(petscii::kInsert);
    encoder.Cell(line.cells[kColumns - 2]);
  }
  return bytes;
}

std::wstring PetsciiClipboardText(const ByteBuffer& bytes) { return std::wstring(bytes.begin(), bytes.end()); }
