// SPDX-License-Identifier: GPL-3.0-or-later
// The screen model's row store: random streams give exactly what a plain
// model (a vector of rows, each a vector of cells, every rule applied as
// written) gives; the ceiling drops the oldest rows and nothing else; rows
// reopened after they were packed keep their cells.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiTerminal.h"
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
      case 0x0D: case 0x8D: reverse_ = 0; NextLine(); return;
      case 0x0E: Charset(1); return;
      case 0x8E: Charset(0); return;
      case 0x11: Down(); return;
      case 0x91: if (row_ != top_) --row_; return;
      case 0x1D: if (column_ < 39) ++column_; else { Down(); column_ = 0; } return;
      case 0x9D: if (column_ > 0) --column_; else if (row_ != top_) { --row_; column_ = 39; } return;
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
    if (++column_ < 40) return;
    column_ = 0;
    if (Continued(row_)) return NextLine();
    if (Continued(row_ + 1)) return void(++row_);
    if (row_ - top_ == 24) Scroll();
    Row(row_ + 1).continued = true;
    if (row_ + 2 < lines_.size()) lines_[row_ + 2].continued = false;
    ++row_;
  }

  void EndBatch() {
    if (!fixed_ || top_ == 0) return;
    const std::size_t above = std::min<std::size_t>(top_, lines_.size());
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(above));
    row_ -= top_;
    top_ = 0;
  }

  std::string Dump() const {
    std::string out = "rows " + std::to_string(lines_.size()) + " top " + std::to_string(top_) + " cursor " +
                      std::to_string(row_) + " " + std::to_string(column_) +
                      (background_ != 0 ? " background " + std::to_string(background_) : "") + "\n";
    char cell[16];
    std::string continued = "continued";
    for (std::size_t r = 0; r < lines_.size(); ++r) {
      out += std::to_string(r) + (lines_[r].separator ? " S" : " -");
      for (const ScreenCell& c : lines_[r].cells) {
        std::snprintf(cell, sizeof cell, " %04X:%u", c.code, static_cast<unsigned>(c.colour));
        out += cell;
      }
      out += '\n';
      if (lines_[r].continued) continued += " " + std::to_string(r);
    }
    return out + continued + "\n";
  }

 private:
  struct Line {
    bool separator = false;
    bool continued = false;
    std::vector<ScreenCell> cells;
  };

  Line& Row(std::uint64_t r) {
    if (lines_.size() <= r) lines_.resize(r + 1);
    return lines_[r];
  }
  ScreenCell& At(std::uint64_t r, std::uint64_t c) {
    auto& cells = Row(r).cells;
    if (cells.size() <= c) cells.resize(c + 1);
    return cells[c];
  }
  bool Continued(std::uint64_t r) const { return r < lines_.size() && lines_[r].continued; }
  void Scroll() { top_ += Continued(top_ + 1) ? 2 : 1; }
  void Down() {
    if (row_ - top_ == 24) Scroll();
    ++row_;
  }
  void NextLine() {
    std::uint64_t r = row_ + 1;
    for (;;) {
      if (r - top_ == 25) Scroll();
      if (!Continued(r)) break;
      ++r;
    }
    row_ = r;
    column_ = 0;
  }
  void Charset(int lower) {
    for (std::uint64_t r = fixed_ ? 0 : top_; r < lines_.size(); ++r)
      for (ScreenCell& c : lines_[r].cells)
        if (c.code != 0) c.code = static_cast<std::uint16_t>(lower ? c.code | 0x100 : c.code & ~0x100);
    lower_ = lower;
  }
  void Clear() {
    if (fixed_) {
      EndBatch();
      for (Line& line : lines_) line.cells.clear(), line.continued = false;
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
    column_ = 0;
    // Nothing shown since the last clear: that screen stays.
    if (n > 0 && lines_[n - 1].separator) {
      lines_.resize(n);
      top_ = row_ = n;
      return;
    }
    lines_.resize(n + 1);
    lines_[n].separator = true;
    lines_[n].continued = false;
    top_ = row_ = n + 1;
  }
  // The cursor's logical line as one run of 40 or 80 cells, and back.
  std::vector<ScreenCell> LineCells(std::uint64_t start) {
    std::vector<ScreenCell> cells;
    for (std::uint64_t r = start; r < start + (Continued(start + 1) ? 2 : 1); ++r) {
      std::vector<ScreenCell> row = Row(r).cells;
      row.resize(40);
      cells.insert(cells.end(), row.begin(), row.end());
    }
    return cells;
  }
  void StoreLine(std::uint64_t start, const std::vector<ScreenCell>& cells) {
    for (std::uint64_t i = 0; i < cells.size() / 40; ++i) {
      auto& row = lines_[start + i].cells;
      const auto first = cells.begin() + static_cast<std::ptrdiff_t>(i * 40);
      row.assign(first, first + 40);
      while (!row.empty() && row.back().code == 0) row.pop_back();
    }
  }
  void Delete() {
    if (column_ == 0 && !Continued(row_)) {
      if (row_ == top_) return;
      --row_;
      column_ = 39;
      if (row_ < lines_.size() && lines_[row_].cells.size() == 40) {
        auto& row = lines_[row_].cells;
        row.pop_back();
        while (!row.empty() && row.back().code == 0) row.pop_back();
      }
      return;
    }
    if (column_ > 0) {
      --column_;
    } else {
      --row_;
      column_ = 39;
    }
    const std::uint64_t start = Continued(row_) ? row_ - 1 : row_;
    std::vector<ScreenCell> cells = LineCells(start);
    cells.erase(cells.begin() + static_cast<std::ptrdiff_t>((row_ - start) * 40 + column_));
    cells.push_back(ScreenCell{});
    StoreLine(start, cells);
  }
  void Insert() {
    const std::uint64_t start = Continued(row_) ? row_ - 1 : row_;
    const bool twoRows = Continued(start + 1);
    const std::uint64_t lastRow = twoRows ? start + 1 : start;
    const ScreenCell last =
        lastRow < lines_.size() && lines_[lastRow].cells.size() == 40 ? lines_[lastRow].cells[39] : ScreenCell{};
    if (!(last.code == 0 || (last.code & 0x2FF) == 0x20) || (row_ == lastRow && column_ == 39)) {
      if (twoRows) return;
      if (start - top_ == 24) {
        Scroll();
      } else if (lines_.size() > start + 1) {
        if (lines_.size() == top_ + 25) lines_.pop_back();
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(start + 1), Line{});
      }
      Row(start + 1).continued = true;
    }
    std::vector<ScreenCell> cells = LineCells(start);
    const std::uint64_t at = (row_ - start) * 40 + column_;
    cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(at), ScreenCell{});
    cells.pop_back();
    StoreLine(start, cells);
  }

  std::vector<Line> lines_;
  bool fixed_;
  std::uint64_t top_ = 0, row_ = 0, column_ = 0;
  std::uint8_t colour_ = 14;
  int reverse_ = 0, lower_ = 1;
  int background_ = 0;
  bool awaitingBackground_ = false;
};

std::string DumpWithLinks(const PetsciiScreen& screen) {
  std::string continued = "continued";
  for (std::uint64_t r = 0; r < screen.RowCount(); ++r)
    if (screen.Lines()[r].continued) continued += " " + std::to_string(r);
  return DumpScreen(screen) + continued + "\n";
}

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
    PetsciiTerminal terminal(14, fixed);
    PlainScreen plain(fixed);
    // Batches of any size, single bytes among them.
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t batch = std::min<std::size_t>(stream.size() - at, rng() % 3 == 0 ? 1 : rng() % 5000);
      for (std::size_t i = at; i < at + batch; ++i) {
        terminal.AppendByte(static_cast<std::uint8_t>(stream[i]));
        plain.Feed(static_cast<std::uint8_t>(stream[i]));
      }
      at += batch;
      terminal.ProcessPending();
      plain.EndBatch();
    }
    ASSERT_EQ(DumpWithLinks(terminal.Screen()), plain.Dump()) << "round " << round << (fixed ? " fixed" : " history");
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
  PetsciiTerminal terminal;
  const PetsciiScreen& screen = terminal.Screen();
  std::uint64_t droppedSeen = 0;
  std::uint64_t batches = 0;
  for (std::size_t at = 0; at < stream.size(); at += 1 << 20, ++batches) {
    for (std::size_t i = at; i < std::min(stream.size(), at + (1 << 20)); ++i)
      terminal.AppendByte(static_cast<std::uint8_t>(stream[i]));
    terminal.ProcessPending();
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
  EXPECT_EQ(terminal.Bytes().size(), stream.size());
  EXPECT_EQ(terminal.Processed(), stream.size());

  // A fixed screen fed the same lines in one batch, past the ceiling on
  // the way, ends with the last 24 of them above the cursor's empty row.
  PetsciiTerminal fixedTerminal;
  fixedTerminal.LoadBytes(ByteBuffer(stream.begin(), stream.end()));
  fixedTerminal.Reset(14, true);
  fixedTerminal.ProcessPending();
  const PetsciiScreen& fixed = fixedTerminal.Screen();
  ASSERT_EQ(fixed.RowCount(), PetsciiScreen::kRows - 1);
  EXPECT_EQ(fixed.CursorRow(), PetsciiScreen::kRows - 1);
  for (std::uint64_t row = 0; row + 1 < PetsciiScreen::kRows; ++row)
    EXPECT_EQ(RowText(fixed, row), std::to_string(kLines - PetsciiScreen::kRows + 1 + row)) << row;

  // A RETURN flood moves the cursor past the rows that exist: the screen
  // stays within the ceiling and the next character lands on its last row.
  PetsciiTerminal floodTerminal;
  floodTerminal.LoadBytes(ByteBuffer(PetsciiScreen::kMaxKeptRows * 2, 0x0D));
  floodTerminal.Reset(14, false);
  floodTerminal.ProcessPending();
  floodTerminal.AppendByte('X');
  floodTerminal.ProcessPending();
  const PetsciiScreen& flood = floodTerminal.Screen();
  EXPECT_EQ(flood.RowCount(), flood.CursorRow() + 1);
  EXPECT_LE(flood.RowCount(), PetsciiScreen::kMaxKeptRows);
  EXPECT_EQ(flood.DroppedRows() + flood.CursorRow(), PetsciiScreen::kMaxKeptRows * 2);
  EXPECT_EQ(RowText(flood, flood.CursorRow()), "X");
}

TEST(RowStore, ReopenedScrollbackRowsKeepTheirCellsWhilePagesGo) {
  // Rows scrolled into the scrollback are written again through CellAt,
  // some of them grown; more output then drops them at the ceiling.
  PetsciiTerminal terminal;
  PetsciiScreen& screen = terminal.Screen();
  const std::string first = NumberedLines(0, 200000);
  for (char c : first) terminal.AppendByte(static_cast<std::uint8_t>(c));
  terminal.ProcessPending();
  for (std::uint64_t row = 10; row < 200000; row += 997) {
    screen.CellAt(row, 0).code = MakeGlyphCode('*', 1, 0);
    screen.CellAt(row, 39).code = MakeGlyphCode('+', 1, 0);
  }
  EXPECT_EQ(RowText(screen, 10), "*0" + std::string(37, '\0') + "+");
  EXPECT_EQ(RowText(screen, 11), "11");

  const std::string more = NumberedLines(200000, PetsciiScreen::kMaxKeptRows);
  for (char c : more) terminal.AppendByte(static_cast<std::uint8_t>(c));
  terminal.ProcessPending();
  const std::uint64_t dropped = screen.DroppedRows();
  ASSERT_GT(dropped, 200000u);
  for (std::uint64_t row = 0; row < screen.RowCount(); row += 4099)
    EXPECT_EQ(RowText(screen, row), std::to_string(row + dropped)) << row;
  EXPECT_THROW(screen.CellAt(0, PetsciiScreen::kMaxRowCells), std::out_of_range);
}

}  // namespace
