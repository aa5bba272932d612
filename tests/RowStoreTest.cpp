// The screen model's row store: random streams give exactly what a plain
// model (a vector of rows, each a vector of cells, every rule applied as
// written) gives; the ceiling drops the oldest rows and nothing else; rows
// reopened after they were packed keep their cells.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiScreen.h"
#include "terminal/ScreenDump.h"

namespace {

// The screen editor's rules in their plainest form: every row its own
// vector, every switch of the set applied at once, no bound on the rows.
class PlainScreen {
 public:
  explicit PlainScreen(bool fixed) : fixed_(fixed) {}

  void Feed(std::uint8_t b) {
    if (awaitingBackground_) {
      awaitingBackground_ = false;
      if (IsColourCode(b)) {
        background_ = ColourIndexOfCode(b);
        return;
      }
    }
    if (IsColourCode(b)) {
      colour_ = static_cast<std::uint8_t>(ColourIndexOfCode(b));
      return;
    }
    switch (b) {
      case 0x0D: case 0x8D: LineFeed(); column_ = 0; reverse_ = 0; return;
      case 0x0E: Charset(1); return;
      case 0x8E: Charset(0); return;
      case 0x11: LineFeed(); return;
      case 0x91: if (row_ != top_) --row_; return;
      case 0x1D: Advance(); return;
      case 0x9D:
        if (column_ > 0) { --column_; return; }
        column_ = 39;
        if (row_ != top_) --row_;
        return;
      case 0x12: reverse_ = 1; return;
      case 0x92: reverse_ = 0; return;
      case 0x13: column_ = 0; row_ = top_; return;
      case 0x93: Clear(); return;
      case 0x14: Delete(); return;
      case 0x94: Insert(); return;
      case 0x02: awaitingBackground_ = true; return;
      default: break;
    }
    if (!IsPrintable(b)) return;
    ScreenCell& cell = At(row_, column_);
    cell.code = MakeGlyphCode(b, lower_, reverse_);
    cell.colour = colour_;
    Advance();
  }

  void EndBatch() {
    if (!fixed_ || lines_.size() <= 25) return;
    const std::uint64_t removed = lines_.size() - 25;
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(removed));
    top_ = top_ > removed ? top_ - removed : 0;
    row_ = row_ > removed ? row_ - removed : 0;
    row_ = std::min(std::max(row_, top_), top_ + 24);
  }

  std::string Dump() const {
    std::string out = "rows " + std::to_string(lines_.size()) + " top " + std::to_string(top_) + " cursor " +
                      std::to_string(row_) + " " + std::to_string(column_) +
                      (background_ != 0 ? " background " + std::to_string(background_) : "") + "\n";
    char cell[16];
    for (std::size_t r = 0; r < lines_.size(); ++r) {
      out += std::to_string(r) + (lines_[r].separator ? " S" : " -");
      for (const ScreenCell& c : lines_[r].cells) {
        std::snprintf(cell, sizeof cell, " %04X:%u", c.code, static_cast<unsigned>(c.colour));
        out += cell;
      }
      out += '\n';
    }
    return out;
  }

 private:
  struct Line {
    bool separator = false;
    std::vector<ScreenCell> cells;
  };

  ScreenCell& At(std::uint64_t r, std::uint64_t c) {
    if (lines_.size() <= r) lines_.resize(r + 1);
    if (lines_[r].cells.size() <= c) lines_[r].cells.resize(c + 1);
    return lines_[r].cells[c];
  }
  void LineFeed() {
    if (row_ - top_ == 24) ++top_;
    ++row_;
  }
  void Advance() {
    if (++column_ == 40) {
      LineFeed();
      column_ = 0;
    }
  }
  void Charset(int lower) {
    for (std::uint64_t r = fixed_ ? 0 : top_; r < lines_.size(); ++r)
      for (ScreenCell& c : lines_[r].cells)
        if (c.code != 0) c.code = static_cast<std::uint16_t>(lower ? c.code | 0x100 : c.code & ~0x100);
    lower_ = lower;
  }
  void Clear() {
    if (fixed_) {
      if (lines_.size() > 25) lines_.resize(25);
      for (Line& line : lines_) line.cells.clear();
      top_ = row_ = column_ = 0;
      return;
    }
    std::uint64_t n = top_;
    if (!lines_.empty()) {
      n = 0;
      for (std::uint64_t r = lines_.size(); r > 0; --r)
        if (lines_[r - 1].separator || !lines_[r - 1].cells.empty()) {
          n = r;
          break;
        }
    }
    // Nothing shown since the last clear: that screen stays.
    if (n > 0 && lines_[n - 1].separator) {
      column_ = 0;
      top_ = row_ = n;
      return;
    }
    if (lines_.size() <= n) lines_.resize(n + 1);
    lines_[n].separator = true;
    column_ = 0;
    top_ = row_ = n + 1;
  }
  void Delete() {
    if (column_ > 0) {
      --column_;
    } else if (row_ == top_) {
      return;
    } else {
      --row_;
      column_ = 39;
    }
    At(row_, column_);
    auto& cells = lines_[row_].cells;
    cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(column_));
  }
  void Insert() {
    At(row_, column_);
    auto& cells = lines_[row_].cells;
    if (cells.size() >= PetsciiScreen::kMaxRowCells) cells.pop_back();
    cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(column_), ScreenCell{});
  }

  std::vector<Line> lines_;
  bool fixed_;
  std::uint64_t top_ = 0, row_ = 0, column_ = 0;
  std::uint8_t colour_ = 14;
  int reverse_ = 0, lower_ = 1;
  int background_ = 0;
  bool awaitingBackground_ = false;
};

// Board-like output with every control code, long runs of RETURNs, INSTs
// and cursor moves, and clears now and then.
std::string RandomStream(std::mt19937& rng, std::size_t length) {
  const std::string controls = "\x0d\x8d\x0e\x8e\x11\x91\x1d\x9d\x12\x92\x13\x93\x14\x94\x0a\x05\x1c\x9e\x81\x02\x02";
  std::string s;
  while (s.size() < length) {
    const unsigned pick = rng() % 20;
    if (pick < 9) {
      s += static_cast<char>(0x20 + rng() % 0x60 + (rng() % 3 == 0 ? 0x80 : 0));
    } else if (pick < 17) {
      s += controls[rng() % controls.size()];
    } else {
      const char run[] = {'\x0d', '\x11', '\x94', '\x14', '\x9d'};
      s += std::string(rng() % 120, run[rng() % 5]);
    }
  }
  return s;
}

TEST(RowStore, RandomStreamsMatchThePlainModel) {
  std::mt19937 rng(15);
  for (int round = 0; round < 60; ++round) {
    const bool fixed = round % 3 == 2;
    const std::string stream = RandomStream(rng, 4000 + rng() % 20000);
    PetsciiScreen screen(14, fixed);
    PlainScreen plain(fixed);
    // Batches of any size, single bytes among them.
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t batch = std::min<std::size_t>(stream.size() - at, rng() % 3 == 0 ? 1 : rng() % 5000);
      for (std::size_t i = at; i < at + batch; ++i) {
        screen.AppendByte(static_cast<std::uint8_t>(stream[i]));
        plain.Feed(static_cast<std::uint8_t>(stream[i]));
      }
      at += batch;
      screen.ProcessPending();
      plain.EndBatch();
    }
    ASSERT_EQ(DumpScreen(screen), plain.Dump()) << "round " << round << (fixed ? " fixed" : " history");
  }
}

std::string NumberedLines(std::uint64_t first, std::uint64_t count) {
  std::string s;
  for (std::uint64_t i = first; i < first + count; ++i) s += std::to_string(i) + "\x0d";
  return s;
}

std::string RowText(const PetsciiScreen& screen, std::uint64_t row) {
  std::string text;
  for (const ScreenCell& cell : screen.Lines()[row].cells) text += static_cast<char>(cell.code & 0x7F);
  return text;
}

TEST(RowStore, CeilingDropsTheOldestRowsOnly) {
  constexpr std::uint64_t kLines = PetsciiScreen::kMaxKeptRows + 150000;
  const std::string stream = NumberedLines(0, kLines);
  PetsciiScreen screen;
  std::uint64_t droppedSeen = 0;
  std::uint64_t batches = 0;
  for (std::size_t at = 0; at < stream.size(); at += 1 << 20, ++batches) {
    for (std::size_t i = at; i < std::min(stream.size(), at + (1 << 20)); ++i)
      screen.AppendByte(static_cast<std::uint8_t>(stream[i]));
    screen.ProcessPending();
    EXPECT_GE(screen.DroppedRows(), droppedSeen);
    droppedSeen = screen.DroppedRows();
    EXPECT_LE(std::max(screen.RowCount(), screen.CursorRow() + 1), PetsciiScreen::kMaxKeptRows);
  }
  ASSERT_GT(batches, 1u);
  // Every row kept is the line it was, numbered from the first kept.
  const std::uint64_t dropped = screen.DroppedRows();
  EXPECT_EQ(dropped + screen.RowCount(), kLines);
  for (std::uint64_t row : {std::uint64_t{0}, std::uint64_t{1}, screen.RowCount() / 2, screen.RowCount() - 1})
    EXPECT_EQ(RowText(screen, row), std::to_string(row + dropped)) << row;
  EXPECT_EQ(screen.CursorRow(), screen.RowCount());
  EXPECT_EQ(screen.Top(), screen.CursorRow() - 24);
  // The byte log keeps every byte.
  EXPECT_EQ(screen.Bytes().size(), stream.size());
  EXPECT_EQ(screen.Processed(), stream.size());

  // A fixed screen fed the same lines in one batch, past the ceiling on
  // the way, ends with the last 25 of them.
  PetsciiScreen fixed;
  fixed.LoadBytes(ByteBuffer(stream.begin(), stream.end()));
  fixed.Reset(14, true);
  fixed.ProcessPending();
  ASSERT_EQ(fixed.RowCount(), PetsciiScreen::kRows);
  for (std::uint64_t row = 0; row < PetsciiScreen::kRows; ++row)
    EXPECT_EQ(RowText(fixed, row), std::to_string(kLines - PetsciiScreen::kRows + row)) << row;

  // A RETURN flood moves the cursor past the rows that exist: the screen
  // stays within the ceiling and the next character lands on its last row.
  PetsciiScreen flood;
  flood.LoadBytes(ByteBuffer(PetsciiScreen::kMaxKeptRows * 2, 0x0D));
  flood.Reset(14, false);
  flood.ProcessPending();
  flood.AppendByte('X');
  flood.ProcessPending();
  EXPECT_EQ(flood.RowCount(), flood.CursorRow() + 1);
  EXPECT_LE(flood.RowCount(), PetsciiScreen::kMaxKeptRows);
  EXPECT_EQ(flood.DroppedRows() + flood.CursorRow(), PetsciiScreen::kMaxKeptRows * 2);
  EXPECT_EQ(RowText(flood, flood.CursorRow()), "X");
}

TEST(RowStore, ReopenedScrollbackRowsKeepTheirCellsWhilePagesGo) {
  // Rows scrolled into the scrollback are written again through CellAt,
  // some of them grown; more output then drops them at the ceiling.
  PetsciiScreen screen;
  const std::string first = NumberedLines(0, 200000);
  for (char c : first) screen.AppendByte(static_cast<std::uint8_t>(c));
  screen.ProcessPending();
  for (std::uint64_t row = 10; row < 200000; row += 997) {
    screen.CellAt(row, 0).code = MakeGlyphCode('*', 1, 0);
    screen.CellAt(row, 45).code = MakeGlyphCode('+', 1, 0);
  }
  EXPECT_EQ(RowText(screen, 10), "*0" + std::string(43, '\0') + "+");
  EXPECT_EQ(RowText(screen, 11), "11");

  const std::string more = NumberedLines(200000, PetsciiScreen::kMaxKeptRows);
  for (char c : more) screen.AppendByte(static_cast<std::uint8_t>(c));
  screen.ProcessPending();
  const std::uint64_t dropped = screen.DroppedRows();
  ASSERT_GT(dropped, 200000u);
  for (std::uint64_t row = 0; row < screen.RowCount(); row += 4099)
    EXPECT_EQ(RowText(screen, row), std::to_string(row + dropped)) << row;
  EXPECT_THROW(screen.CellAt(0, PetsciiScreen::kMaxRowCells), std::out_of_range);
}

}  // namespace
