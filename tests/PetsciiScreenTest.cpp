// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/PetsciiScreen.h"

#include <gtest/gtest.h>

#include <string>

#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiTerminal.h"
#include "terminal/ScreenDump.h"

// What a C64 shows after a stream is in tests/golden; here, what is the
// terminal's own: the cells it keeps, scrollback, separators, the
// background, batches, and the byte log beside the screen.
namespace {

ByteBuffer Bytes(const std::string& s) { return ByteBuffer(s.begin(), s.end()); }

PetsciiTerminal Fed(const std::string& stream, bool fixed = false, std::uint8_t colour = 14) {
  PetsciiTerminal terminal;
  terminal.LoadBytes(Bytes(stream));
  terminal.Reset(colour, fixed);
  terminal.ProcessPending();
  return terminal;
}

PetsciiScreen Interpret(const std::string& stream, bool fixed = false, std::uint8_t colour = 14) {
  return std::move(Fed(stream, fixed, colour).Screen());
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::uint16_t Code(const PetsciiScreen& s, std::uint64_t row, std::uint64_t column) {
  if (row >= s.RowCount() || column >= s.Lines()[row].cells.size()) return 0xFFFF;
  return s.Lines()[row].cells[column].code;
}

// Cursor and scroll position after a stream: where a clear starts the new
// screen, and how a fixed screen keeps its rows.
struct CursorCase {
  const char* name;
  std::string stream;
  bool fixed;
  std::uint64_t top, row, column;
};

class CursorMoves : public ::testing::TestWithParam<CursorCase> {};

TEST_P(CursorMoves, EndWhereTheEditorWould) {
  const CursorCase& c = GetParam();
  const PetsciiScreen s = Interpret(c.stream, c.fixed);
  EXPECT_EQ(s.Top(), c.top);
  EXPECT_EQ(s.CursorRow(), c.row);
  EXPECT_EQ(s.CursorColumn(), c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Screen, CursorMoves,
    ::testing::Values(
        CursorCase{"ClearOnEmptyModel", "\x93", false, 1, 1, 0},
        // A clear on a screen that shows nothing since the last one stays on that screen.
        CursorCase{"ClearTwice", "\x93\x93", false, 1, 1, 0},
        CursorCase{"ClearAfterOnlyMoves", "\x93" + Repeat("\x0d", 30) + "\x91\x93", false, 1, 1, 0},
        CursorCase{"ClearAfterDeletedText", "\x93" "AB\x14\x14\x93", false, 1, 1, 0},
        CursorCase{"ClearAfterText", "\x93" "A\x93", false, 3, 3, 0},
        CursorCase{"FixedScreenThirtyLineFeeds", Repeat("\x11", 30) + "A", true, 0, 24, 1},
        CursorCase{"FixedScreenClear", "ABC\x0d\x0d" "DE\x93", true, 0, 0, 0},
        CursorCase{"FixedScreenKeepsCursorRowAfterScroll", Repeat("\x0d", 30) + "A\x13", true, 0,
                   0, 0}),
    [](const ::testing::TestParamInfo<CursorCase>& info) { return std::string(info.param.name); });

TEST(PetsciiScreen, PrintingStoresGlyphAndColour) {
  const PetsciiScreen s = Interpret("\x8e" "A\x12\x1c" "B\x92\x0e" "C\xa0", false, 5);
  ASSERT_EQ(s.RowCount(), 1u);
  const auto& cells = s.Lines()[0].cells;
  ASSERT_EQ(cells.size(), 4u);
  // The final 0x0E switches the whole screen, earlier cells included.
  EXPECT_EQ(cells[0].code, 0xE141);
  EXPECT_EQ(cells[0].colour, 5);
  EXPECT_EQ(cells[1].code, 0xE342);
  EXPECT_EQ(cells[1].colour, 2);
  EXPECT_EQ(cells[2].code, 0xE143);
  EXPECT_EQ(cells[3].code, 0xE1A0);
}

TEST(PetsciiScreen, CursorRightLeavesBlankCells) {
  const PetsciiScreen s = Interpret("\x1d\x1d" "A");
  const auto& cells = s.Lines()[0].cells;
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[0].code, 0);
  EXPECT_EQ(cells[0].colour, 0);
  EXPECT_EQ(cells[1].code, 0);
  EXPECT_EQ(cells[2].code, 0xE141);
}

TEST(PetsciiScreen, RowsHoldCellsUpToTheLastWrittenOne) {
  // DEL leaves no blank behind the text it moves left.
  PetsciiScreen s = Interpret("ABC\x14");
  EXPECT_EQ(s.Lines()[0].cells.size(), 2u);
  // INST past the end of the text adds nothing.
  s = Interpret("A\x1d\x1d\x94");
  EXPECT_EQ(s.Lines()[0].cells.size(), 1u);
  // A row holds 40 cells at most: INST moves the last on to a second row.
  s = Interpret(Repeat("A", 39) + "\x13\x94\x94");
  ASSERT_EQ(s.RowCount(), 2u);
  EXPECT_EQ(s.Lines()[0].cells.size(), 40u);
  EXPECT_TRUE(s.Lines()[1].continued);
  EXPECT_EQ(s.Lines()[1].cells.size(), 1u);
}

TEST(PetsciiScreen, InsertRunEndsAtTheEndOfATwoRowLine) {
  const PetsciiScreen s = Interpret("XYZ\x13" + Repeat("\x94", 100000));
  ASSERT_EQ(s.RowCount(), 2u);
  EXPECT_TRUE(s.Lines()[0].cells.empty());
  ASSERT_EQ(s.Lines()[1].cells.size(), PetsciiScreen::kMaxRowCells);
  EXPECT_EQ(Code(s, 1, 37), 0xE158);
  EXPECT_EQ(Code(s, 1, 39), 0xE15A);
}

TEST(PetsciiScreen, CharsetSwitchCoversScreenButNotScrollback) {
  // Row 0 scrolls away before the switch; the rest of the screen switches.
  std::string stream = "A\x0d" + Repeat("\x0d", 24) + "B\x1d" "C\x8e";
  const PetsciiScreen s = Interpret(stream);
  EXPECT_EQ(s.Top(), 1u);
  EXPECT_EQ(Code(s, 0, 0), 0xE141);  // scrollback keeps its set
  EXPECT_EQ(Code(s, 25, 0), 0xE042);
  EXPECT_EQ(Code(s, 25, 1), 0);  // blank stays blank
  EXPECT_EQ(Code(s, 25, 2), 0xE043);
  // Switching there and back restores every code.
  const PetsciiScreen t = Interpret("AB\x12" "C\x8e\x0e");
  EXPECT_EQ(Code(t, 0, 0), 0xE141);
  EXPECT_EQ(Code(t, 0, 2), 0xE343);
  // A row that scrolls off after the switch keeps the switched set.
  const PetsciiScreen u = Interpret("A\x8e" + Repeat("\x0d", 25) + "\x0e");
  EXPECT_EQ(Code(u, 0, 0), 0xE041);
}

TEST(PetsciiScreen, CharsetSwitchInFixedModeCoversAllRows) {
  const PetsciiScreen s = Interpret("A" + Repeat("\x11", 24) + "\x91\x8e", true);
  EXPECT_EQ(Code(s, 0, 0), 0xE041);
}

TEST(PetsciiScreen, ToggleCharsetFlipsScreenRows) {
  PetsciiScreen s = Interpret("A\x0d" + Repeat("\x0d", 24) + "\x8e" "B");
  s.ToggleCharset();
  EXPECT_EQ(s.LowerCase(), 1);
  EXPECT_EQ(Code(s, 0, 0), 0xE141);  // scrollback untouched
  EXPECT_EQ(Code(s, 25, 0), 0xE142);
  s.ToggleCharset();
  EXPECT_EQ(Code(s, 25, 0), 0xE042);
}

TEST(PetsciiScreen, ClearInHistoryModeKeepsScrollback) {
  // Separator right below the last row with text; empty rows reused.
  PetsciiScreen s = Interpret("A\x0d" "B\x0d\x0d\x0d\x93" "C");
  ASSERT_EQ(s.RowCount(), 4u);
  EXPECT_TRUE(s.Lines()[2].separator);
  EXPECT_EQ(s.Top(), 3u);
  EXPECT_EQ(Code(s, 3, 0), 0xE143);
  EXPECT_EQ(Code(s, 0, 0), 0xE141);
  // Clears with nothing shown between them add one separator.
  s = Interpret("A\x93\x0d\x93\x93");
  ASSERT_EQ(s.RowCount(), 2u);
  EXPECT_TRUE(s.Lines()[1].separator);
  EXPECT_EQ(s.CursorRow(), 2u);
  // CLR does not reset colour, reverse or the set.
  s = Interpret("\x1c\x12\x8e\x93" "A");
  EXPECT_EQ(Code(s, 1, 0), 0xE241);
  EXPECT_EQ(s.Lines()[1].cells[0].colour, 2);
}

// CTRL-B and a colour code set the background; CTRL-B before anything
// else is ignored and the byte after it is itself. Fed whole and byte by
// byte, in both modes.
struct BackgroundCase {
  const char* stream;
  int background, colour;
  const char* firstRow;  // the glyphs of row 0, as PETSCII bytes
};

TEST(PetsciiScreen, BackgroundPairs) {
  const BackgroundCase cases[] = {
      {"\x02\x97", 11, 14, ""},
      {"\x02\x97\x02\x90", 0, 14, ""},
      {"\x1c\x02\x9e" "A", 7, 2, "A"},
      {"\x02" "A\x97", 0, 11, "A"},
      {"\x02\x12\x97", 0, 11, ""},
      {"\x02\x0d" "A", 0, 14, ""},
      {"\x02\x02\x05", 1, 14, ""},
      {"\x97\x02", 0, 11, ""},
      {"\x02\x9a\x93\x13\x8e" "C\x0d", 14, 14, "C"},  // clear and home keep it
  };
  for (const BackgroundCase& c : cases) {
    for (const bool fixed : {false, true}) {
      const std::string name = std::string(fixed ? "fixed: " : "history: ") + ::testing::PrintToString(c.stream);
      const std::string stream = c.stream;
      const PetsciiScreen whole = Interpret(stream, fixed);
      PetsciiTerminal split(14, fixed);
      for (unsigned char b : stream) {
        split.AppendByte(b);
        split.ProcessPending();
      }
      EXPECT_EQ(whole.Background(), c.background) << name;
      EXPECT_EQ(whole.Colour(), c.colour) << name;
      EXPECT_EQ(DumpScreen(split.Screen()), DumpScreen(whole)) << name;
      std::string firstRow;
      if (whole.RowCount() > 0)
        for (const ScreenCell& cell : whole.Lines()[whole.Top()].cells) firstRow += char(cell.code & 0xFF);
      EXPECT_EQ(firstRow, c.firstRow) << name;
    }
  }
  // Reset starts from the given background, with no half pair left over.
  PetsciiTerminal s = Fed("\x02");
  s.LoadBytes(Bytes("\x97"));
  s.Reset(14, false, 6);
  s.ProcessPending();
  EXPECT_EQ(s.Screen().Background(), 6);
  EXPECT_EQ(s.Screen().Colour(), 11);
}

TEST(PetsciiScreen, ClearAfterDeleteEmptiedTheLastRows) {
  // The text on row 2 is deleted again; the separator follows row 0.
  const PetsciiScreen s = Interpret("A\x0d\x0d" "B\x14\x93");
  ASSERT_GE(s.RowCount(), 2u);
  EXPECT_TRUE(s.Lines()[1].separator);
  EXPECT_EQ(s.Top(), 2u);
}

TEST(PetsciiScreen, FixedScreenClearThenTextInOneBatchKeepsTheText) {
  const PetsciiScreen s = Interpret(Repeat("\x0d", 30) + "A\x93" "HI", true);
  ASSERT_LE(s.RowCount(), 25u);
  EXPECT_EQ(Code(s, 0, 0), 0xE148);
  EXPECT_EQ(Code(s, 0, 1), 0xE149);
}

TEST(PetsciiScreen, EmptyLoadGivesEmptyScreen) {
  PetsciiTerminal t = Fed("HELLO\x0d");
  t.LoadBytes({});
  t.Reset(14, false);
  t.ProcessPending();
  const PetsciiScreen& s = t.Screen();
  EXPECT_EQ(s.RowCount(), 0u);
  EXPECT_EQ(s.CursorRow(), 0u);
  EXPECT_EQ(s.CursorColumn(), 0u);
  EXPECT_TRUE(t.Bytes().empty());
}

TEST(PetsciiScreen, ResetKeepsBytesAndReinterprets) {
  PetsciiTerminal t = Fed("AB");
  t.Reset(3, false);
  EXPECT_EQ(t.Screen().RowCount(), 0u);
  EXPECT_EQ(t.Bytes().size(), 2u);
  t.ProcessPending();
  EXPECT_EQ(t.Screen().Lines()[0].cells[1].colour, 3);
}

TEST(PetsciiScreen, CellAtCreatesRowsAndBlanks) {
  PetsciiScreen s;
  s.CellAt(3, 5).code = 0xE141;
  ASSERT_EQ(s.RowCount(), 4u);
  EXPECT_TRUE(s.Lines()[0].cells.empty());
  EXPECT_EQ(s.Lines()[3].cells.size(), 6u);
  EXPECT_EQ(s.Lines()[3].cells[4].code, 0);
}

// Streams that exercise every rule; in history mode the result must not
// depend on how the bytes are split into batches.
std::string MixedStream() {
  std::string s = "\x8e\x05" "READY.\x0d\x1c\x12" "RVS\x92\x9e";
  s += Repeat("\xa6\xb0\xae\x20", 30) + "\x0d\x11\x11\x91\x9d\x1d";
  s += "\x0e" "Lower\x8e" "UPPER\x94\x94\x14\x93" "after clear\x13" "home";
  for (int i = 0; i < 40; ++i) s += std::string(1, char(0x40 + i % 26)) + "\x0d";
  s += Repeat("\x93", 3) + "\x0e\x8e\x0e" + Repeat("\x9d", 50) + "X\x14\x14";
  s += "\x02\x97" "bg\x02" "A\x02\x02\x9e\x02";
  return s;
}

TEST(PetsciiScreen, HistoryModeIgnoresBatchBoundaries) {
  const std::string stream = MixedStream();
  const std::string whole = DumpScreen(Interpret(stream));
  PetsciiTerminal split;
  for (unsigned char b : stream) {
    split.AppendByte(b);
    split.ProcessPending();
  }
  EXPECT_EQ(DumpScreen(split.Screen()), whole);
  EXPECT_EQ(split.Processed(), stream.size());
}

}  // namespace
