#include "terminal/ScreenCopy.h"

#include <functional>

#include "terminal/PetsciiCodes.h"

namespace {
constexpr char kAsciiRowEnd = '\n';
constexpr char kUnknownCharacter = '?';
constexpr std::uint64_t kScreenshotRows = PetsciiScreen::kRows;

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
  ByteBuffer bytes;
  PetsciiEncoder encoder(bytes);
  const auto& lines = screen.Lines();
  for (std::uint64_t r = firstRow; r < firstRow + kScreenshotRows && r < lines.size(); ++r) {
    const ScreenLine& line = lines[r];
    if (!line.separator)
      for (const ScreenCell& cell : line.cells) encoder.Cell(cell);
    if (line.separator || line.cells.size() != PetsciiScreen::kColumns) encoder.RowEnd();
  }
  return bytes;
}

std::wstring PetsciiClipboardText(const ByteBuffer& bytes) { return std::wstring(bytes.begin(), bytes.end()); }
