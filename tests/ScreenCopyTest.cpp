#include "terminal/ScreenCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "terminal/ScreenDump.h"

namespace {

ByteBuffer Bytes(const std::string& s) { return ByteBuffer(s.begin(), s.end()); }

PetsciiScreen Interpreted(const std::string& stream, std::uint8_t colour = 14) {
  PetsciiScreen s;
  s.LoadBytes(Bytes(stream));
  s.Reset(colour, false);
  s.ProcessPending();
  return s;
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
  // A full row still gets its row end in a copy.
  EXPECT_EQ(copy, Bytes("\x0e\x92\x9a" "AA\x0d" "B\x0d"));
}

TEST(Screenshot, EncodesRowsOfTheView) {
  // The example: one row, H and I in white, lower-case set.
  EXPECT_EQ(Screenshot(Interpreted("\x0e\x05HI"), 0), Bytes("\x0e\x92\x05HI\x0d"));
  // A full 40-cell row runs straight into the next one.
  const ByteBuffer full = Screenshot(Interpreted(std::string(40, 'A') + "B"), 0);
  EXPECT_EQ(full.size(), 3u + 40 + 1 + 1);
  EXPECT_EQ(full[43], 'B');
  // Empty rows and separators are a CR each; colour changes are coded once.
  EXPECT_EQ(Screenshot(Interpreted("A\x93\x0d\x1c" "B"), 0), Bytes("\x0e\x92\x9a" "A\x0d\x0d\x0d\x1c" "B\x0d"));
  // Only 25 rows from the first one asked for.
  std::string many;
  for (int i = 0; i < 40; ++i) many += "R\x0d";
  ByteBuffer shot = Screenshot(Interpreted(many), 10);
  EXPECT_EQ(std::count(shot.begin(), shot.end(), 0x0D), 25);
  EXPECT_TRUE(Screenshot(PetsciiScreen(), 0).empty());
}

// A screenshot fed back through a fresh interpreter redraws the same cells.
TEST(Screenshot, RoundTripsThroughTheInterpreter) {
  const std::string streams[] = {
      "\x8e\x05HELLO\x0d\x1c\x12REVERSED\x0d" "STILL\x92 NOT\x0d\x9e\xa6\xa6\xb0",
      "\x0e\x05" "Mixed Case\x0d\x12\x1f" "blue rvs\x0d\x0d\x99" "after gap",
      std::string("\x12\x1c") + std::string(40, ' ') + "\x1e" "next row",
      "A\x1d\x1d" "B\x0d\x1d" "C",  // blank cells stay blank
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
