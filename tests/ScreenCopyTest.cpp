// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/ScreenCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>

#include "bench/BenchStreams.h"
#include "terminal/PetsciiTerminal.h"
#include "terminal/ScreenDump.h"

namespace {

ByteBuffer Bytes(const std::string& s) { return ByteBuffer(s.begin(), s.end()); }

PetsciiScreen Interpreted(const std::string& stream, std::uint8_t colour = 14) {
  PetsciiTerminal s;
  s.LoadBytes(Bytes(stream));
  s.Reset(colour, false);
  s.ProcessPending();
  return std::move(s.Screen());
}

Selection Select(std::uint64_t r0, std::uint64_t c0, std::uint64_t r1, std::uint64_t c1) {
  return Selection{{r0, c0}, {r1, c1}};
}

TEST(Selection, NormalisesAndIsHalfOpen) {
  const Selection backwards = Select(3, 5, 1, 0);  // anchor row 3, dragged back to row 1
  EXPECT_TRUE(backwards.Contains(1, 0));
  EXPECT_TRUE(backwards.Contains(3, 4));
  EXPECT_FALSE(backwards.Contains(3, 5));  // the anchor cell itself is not selected
  EXPECT_FALSE(backwards.Contains(0, 39));
  EXPECT_TRUE(Select(2, 2, 2, 2).Empty());
}

TEST(AsciiCopy, CharactersOfBothSets) {
  struct Case {
    const char* name;
    std::string stream;
    std::string text;
  };
  const Case cases[] = {
      {"upper set letters and punctuation", "\x8eHI, @[1]!", "HI, @[1]!"},
      {"lower set letters", "\x0eHI", "hi"},
      {"shifted letters in the lower set", "\x0e\xc1\x61", "AA"},
      {"shifted letters in the upper set are graphics", "\x8e\xc1\x61", "??"},
      {"reverse A in the upper set", "\x8e\x12" "A", "A"},
      {"pound sign and arrows", "\x5c\x5e\x5f", "???"},
      {"shifted spaces", "\xa0\xe0", "  "},
      {"blank cells are spaces", "\x8e" "A\x1d\x1d" "B", "A  B"},
  };
  for (const Case& c : cases) {
    const PetsciiScreen s = Interpreted(c.stream);
    EXPECT_EQ(AsciiCopy(s, Select(0, 0, 0, s.Lines()[0].cells.size())), c.text + "\n") << c.name;
  }
}

TEST(AsciiCopy, RowEndsOnlyWhereRowsRunOut) {
  const PetsciiScreen s = Interpreted("\x8eONE\x0dTWO\x0dTHREE");
  EXPECT_EQ(AsciiCopy(s, Select(0, 1, 2, 2)), "NE\nTWO\nTH");  // ends inside a row: no row end
  EXPECT_EQ(AsciiCopy(s, Select(2, 2, 0, 1)), "NE\nTWO\nTH");
  // Clamped to the end of a row: the copy ends with a row end.
  EXPECT_EQ(AsciiCopy(s, Select(1, 0, 1, 3)), "TWO\n");
  EXPECT_EQ(AsciiCopy(s, Select(1, 1, 1, 1)), "");
}

TEST(PetsciiCopy, StartsWithSetReverseAndColour) {
  const PetsciiScreen s = Interpreted("\x0e\x05HI");
  EXPECT_EQ(PetsciiCopy(s, Select(0, 0, 0, 2)), Bytes("\x0e\x92\x05HI\x0d"));
  const PetsciiScreen full = Interpreted(std::string(40, 'A') + "B");
  const ByteBuffer copy = PetsciiCopy(full, Select(0, 38, 1, 1));
  // The end of a full row copied from its middle has not filled a row.
  EXPECT_EQ(copy, Bytes("\x0e\x92\x9a" "AA\x0d" "B\x0d"));
  // Copied whole, it has wrapped: no RETURN, which would leave a blank row.
  EXPECT_EQ(PetsciiCopy(full, Select(0, 0, 1, 1)), Bytes("\x0e\x92\x9a" + std::string(40, 'A') + "B\x0d"));
  // INST pushed the row's last A onto the next row, where B overwrote it:
  // the copy holds what the screen shows, a blank (cursor right) and 39 A's.
  const PetsciiScreen pushed = Interpreted(std::string(40, 'A') + "\x13\x94\x11" "B");
  EXPECT_EQ(PetsciiCopy(pushed, Select(0, 0, 1, 1)),
            Bytes("\x1d\x0e\x92\x9a" + std::string(39, 'A') + "B\x0d"));
}

TEST(Screenshot, EncodesRowsOfTheView) {
  // The example: one row, H and I in white, lower-case set, on the
  // background first given (CTRL-B and black).
  EXPECT_EQ(Screenshot(Interpreted("\x0e\x05HI"), 0), Bytes("\x02\x90\x0e\x92\x05HI\x0d"));
  // A full 40-cell row runs straight into the next one.
  const ByteBuffer full = Screenshot(Interpreted(std::string(40, 'A') + "B"), 0);
  EXPECT_EQ(full.size(), 2u + 3 + 40 + 1 + 1);
  EXPECT_EQ(full[45], 'B');
  // Empty rows and separators are a CR each; colour changes are coded once.
  EXPECT_EQ(Screenshot(Interpreted("A\x93\x0d\x1c" "B\x02\x97"), 0),
            Bytes("\x02\x97\x0e\x92\x9a" "A\x0d\x0d\x0d\x1c" "B\x0d"));
  // Only 25 rows from the first one asked for; no RETURN after the 25th,
  // which would scroll the first one away.
  std::string many;
  for (int i = 0; i < 40; ++i) many += "R\x0d";
  ByteBuffer shot = Screenshot(Interpreted(many), 10);
  EXPECT_EQ(std::count(shot.begin(), shot.end(), 0x0D), 24);
  EXPECT_EQ(shot.back(), 'R');
  EXPECT_EQ(Screenshot(PetsciiScreen(), 0), Bytes("\x02\x90"));
  // A row INST pushed past 40 cells gives only the 40 the screen shows, so
  // the next row stays where it was.
  const ByteBuffer pushed = Screenshot(Interpreted(std::string(40, 'A') + "\x13\x94\x11" "B"), 0);
  EXPECT_EQ(pushed, Bytes(std::string("\x02\x90\x1d\x0e\x92\x9a") + std::string(39, 'A') + "B\x0d"));
}

// A screenshot fed back through a fresh interpreter redraws the same cells.
TEST(Screenshot, RoundTripsThroughTheInterpreter) {
  const std::string streams[] = {
      "\x8e\x05HELLO\x0d\x1c\x12REVERSED\x0d" "STILL\x92 NOT\x0d\x9e\xa6\xa6\xb0",
      "\x0e\x05" "Mixed Case\x0d\x12\x1f" "blue rvs\x0d\x0d\x99" "after gap",
      std::string("\x12\x1c") + std::string(40, ' ') + "\x1e" "next row",
      "A\x1d\x1d" "B\x0d\x1d" "C",  // blank cells stay blank
      "\x02\x9e\x90" "BLACK ON YELLOW\x02",
  };
  for (const std::string& stream : streams) {
    const PetsciiScreen original = Interpreted(stream);
    const ByteBuffer shot = Screenshot(original, 0);
    const PetsciiScreen copy = Interpreted(std::string(shot.begin(), shot.end()), 3);
    std::string expected = DumpScreen(original), actual = DumpScreen(copy);
    // The cursor may differ; rows must not.
    expected = expected.substr(expected.find('\n'));
    actual = actual.substr(actual.find('\n'));
    EXPECT_EQ(actual, expected) << stream;
    EXPECT_EQ(copy.Background(), original.Background()) << stream;
  }
}

// What a screen shows at (row, column) of its 25x40 cells: a missing cell
// is a blank one.
ScreenCell Shown(const PetsciiScreen& s, std::uint64_t screenRow, std::uint64_t column) {
  const std::uint64_t row = s.Top() + screenRow;
  if (row >= s.RowCount() || column >= s.Lines()[row].cells.size()) return ScreenCell{};
  return s.Lines()[row].cells[column];
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) out += std::string{kDigits[b >> 4], kDigits[b & 15], ' '};
  return out;
}

// A random board stream: text in runs, colours, reverse, both sets, cursor
// moves (often to the last row), clears, deletes and inserts.
std::string RandomStream(std::mt19937& random) {
  static const std::uint8_t kControls[] = {0x0D, 0x8D, 0x0E, 0x8E, 0x11, 0x91, 0x1D, 0x9D, 0x12, 0x92,
                                           0x13, 0x93, 0x14, 0x94, 0x05, 0x1C, 0x9E, 0x81, 0x90, 0x0A};
  std::string stream;
  const int pieces = std::uniform_int_distribution<int>(1, 150)(random);
  for (int i = 0; i < pieces; ++i) {
    const int kind = std::uniform_int_distribution<int>(0, 10)(random);
    if (kind == 10) {  // to the screen's last row, where a wrap scrolls
      stream += "\x13" + std::string(PetsciiScreen::kRows - 1, '\x11');
    } else if (kind < 4) {  // a run of printable characters, up to more than a row
      const int length = std::uniform_int_distribution<int>(1, 45)(random);
      for (int k = 0; k < length; ++k) {
        int b = std::uniform_int_distribution<int>(0x20, 0xDF)(random);
        if (b >= 0x80) b += 0x20;  // 0xA0-0xFF
        stream += static_cast<char>(b);
      }
    } else if (kind < 6) {  // a burst of inserts or deletes
      const char code = kind == 4 ? '\x94' : '\x14';
      stream += std::string(std::uniform_int_distribution<std::size_t>(1, 6)(random), code);
    } else {
      stream += static_cast<char>(kControls[std::uniform_int_distribution<std::size_t>(0, std::size(kControls) - 1)(random)]);
    }
  }
  return stream;
}

// Fed to a fresh interpreter, `bytes` show the very 25x40 cells of
// `original`'s screen: glyph (set, reverse, character) and colour.
void ExpectRedraws(const PetsciiScreen& original, const ByteBuffer& bytes, const std::string& what) {
  const PetsciiScreen copy = Interpreted(std::string(bytes.begin(), bytes.end()), 3);
  for (std::uint64_t r = 0; r < PetsciiScreen::kRows; ++r) {
    for (std::uint64_t c = 0; c < PetsciiScreen::kColumns; ++c) {
      const ScreenCell want = Shown(original, r, c), got = Shown(copy, r, c);
      if (want.code != got.code || want.colour != got.colour) {
        FAIL() << what << "\nrow " << r << " column " << c << ": want " << std::hex << want.code << ":"
               << int(want.colour) << " got " << got.code << ":" << int(got.colour)
               << "\nredrawn from: " << Hex(std::string(bytes.begin(), bytes.end()));
      }
    }
  }
}

// The screen's screenshot, and the PETSCII copy of the whole screen (every
// row selected to its end, as Select All does), each redraw the screen.
void ExpectCopiesRedraw(const PetsciiScreen& original, const std::string& what) {
  const std::uint64_t top = original.Top();
  ExpectRedraws(original, Screenshot(original, top), what + " (screenshot)");
  if (top >= original.RowCount()) return;
  const std::uint64_t last = std::min(top + PetsciiScreen::kRows, original.RowCount()) - 1;
  const Selection all = Select(top, 0, last, original.Lines()[last].cells.size());
  ExpectRedraws(original, PetsciiCopy(original, all), what + " (PETSCII copy)");
}

TEST(ScreenCopies, RedrawTheScreenForRandomAndHostileStreams) {
  std::mt19937 random(20240514);
  constexpr int kStreams = 1500;
  for (int n = 0; n < kStreams && !HasFatalFailure(); ++n) {
    const std::string stream = RandomStream(random);
    const bool fixed = n % 3 == 0;
    // Fed in batches, as a connection delivers it.
    PetsciiTerminal terminal(static_cast<std::uint8_t>(n % 16), fixed);
    for (char b : stream) {
      terminal.AppendByte(static_cast<std::uint8_t>(b));
      if (random() % 64 == 0) terminal.ProcessPending();
    }
    terminal.ProcessPending();
    ExpectCopiesRedraw(terminal.Screen(),
                       "stream " + std::to_string(n) + (fixed ? " (fixed screen)" : "") + ": " + Hex(stream));
  }
  // A hostile stream (INST and DEL runs, RETURN floods, clears, set
  // switches), its screen copied every few thousand bytes.
  constexpr std::size_t kHostileBytes = 1 << 18, kEvery = 2039;
  const ByteBuffer hostile = bench::Hostile(kHostileBytes);
  PetsciiTerminal terminal;
  for (std::size_t at = 0; at < hostile.size() && !HasFatalFailure(); at += kEvery) {
    for (std::size_t i = at; i < std::min(at + kEvery, hostile.size()); ++i) terminal.AppendByte(hostile[i]);
    terminal.ProcessPending();
    ExpectCopiesRedraw(terminal.Screen(), "the hostile stream's first " + std::to_string(at + kEvery) + " bytes");
  }
}

TEST(PetsciiClipboardText, OneCharacterPerByte) {
  ByteBuffer all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  const std::wstring text = PetsciiClipboardText(all);
  ASSERT_EQ(text.size(), 256u);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(static_cast<int>(text[b]), b);
}

}  // namespace
