// SPDX-License-Identifier: GPL-3.0-or-later
// Golden interpreter tests, from tests/golden:
// - NAME.seq and NAME.dump: the stream and the exact dump it leaves (NAME
//   ending in ".fixed": fixed-screen mode).
// - *.cases: streams and the screen a C64 shows after them, made with the
//   C64's own screen editor (tools/screen_cases.py). Each is run in both
//   modes, whole and byte by byte, starting as a C64 does (upper case set,
//   light blue): the 25 rows from the top, the cursor, the character set
//   and the line links must be the C64's; in history mode every row that
//   leaves the screen must stay, unchanged, as scrollback.
// Only the differing lines are printed on failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "terminal/CharacterChart.h"
#include "terminal/GlyphSet.h"
#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiTerminal.h"
#include "terminal/ScreenDump.h"

namespace {
namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(MORLEN_SOURCE_DIR) / "tests" / "golden";

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// "" when equal, otherwise the rows that differ, expected and actual.
std::string DescribeDifference(const std::string& expected, const std::string& actual) {
  const auto e = SplitLines(expected), a = SplitLines(actual);
  std::string out;
  for (std::size_t i = 0; i < std::max(e.size(), a.size()); ++i) {
    const std::string& el = i < e.size() ? e[i] : "(missing)";
    const std::string& al = i < a.size() ? a[i] : "(missing)";
    if (el != al) out += "line " + std::to_string(i + 1) + "\n  expected: " + el + "\n  actual:   " + al + "\n";
  }
  return out;
}

std::string TestName(std::string name) {
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

// --- NAME.seq + NAME.dump -------------------------------------------------

std::vector<fs::path> GoldenStreams() {
  std::vector<fs::path> streams;
  for (const auto& entry : fs::directory_iterator(kGoldenDir))
    if (entry.path().extension() == ".seq") streams.push_back(entry.path());
  std::sort(streams.begin(), streams.end());
  return streams;
}

bool IsFixed(const fs::path& seq) { return seq.stem().extension() == ".fixed"; }

class GoldenScreen : public ::testing::TestWithParam<fs::path> {};

TEST_P(GoldenScreen, DumpMatches) {
  const fs::path seq = GetParam();
  const std::string stream = ReadText(seq);
  const fs::path expectedPath = fs::path(seq).replace_extension(".dump");
  ASSERT_TRUE(fs::exists(expectedPath)) << expectedPath;
  const std::string expected = ReadText(expectedPath);

  PetsciiTerminal whole;
  whole.LoadBytes(ByteBuffer(stream.begin(), stream.end()));
  whole.Reset(PetsciiScreen::kDefaultColour, IsFixed(seq));
  whole.ProcessPending();
  const std::string diff = DescribeDifference(expected, DumpScreen(whole.Screen()));
  EXPECT_TRUE(diff.empty()) << seq.filename() << ":\n" << diff;

  if (IsFixed(seq)) return;  // only history mode is independent of batching
  PetsciiTerminal split(PetsciiScreen::kDefaultColour, false);
  for (unsigned char b : stream) {
    split.AppendByte(b);
    split.ProcessPending();
  }
  const std::string splitDiff = DescribeDifference(expected, DumpScreen(split.Screen()));
  EXPECT_TRUE(splitDiff.empty()) << seq.filename() << " fed byte by byte:\n" << splitDiff;
}

INSTANTIATE_TEST_SUITE_P(Streams, GoldenScreen, ::testing::ValuesIn(GoldenStreams()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                           return TestName(info.param.stem().string());
                         });

// --- *.cases --------------------------------------------------------------

struct ScreenCase {
  std::string name;
  ByteBuffer stream;
  std::string screen;  // the fixed screen's dump, the character set and the continued rows
};

void PrintTo(const ScreenCase& c, std::ostream* out) { *out << c.name; }

// Stream notation: hex bytes, "text", either followed by *N for N times.
ByteBuffer ParseStream(const std::string& text) {
  ByteBuffer out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    ByteBuffer unit;
    if (text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      if (close == std::string::npos) throw std::runtime_error("unclosed text in stream");
      unit.assign(text.begin() + static_cast<std::ptrdiff_t>(i) + 1, text.begin() + static_cast<std::ptrdiff_t>(close));
      i = close + 1;
    } else {
      unit.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
      i += 2;
    }
    int times = 1;
    if (i < text.size() && text[i] == '*') {
      std::size_t used = 0;
      times = std::stoi(text.substr(i + 1), &used);
      i += 1 + used;
    }
    for (int t = 0; t < times; ++t) out.insert(out.end(), unit.begin(), unit.end());
  }
  return out;
}

std::vector<ScreenCase> ReadCases(const fs::path& file) {
  std::vector<ScreenCase> cases;
  for (const std::string& line : SplitLines(ReadText(file))) {
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("case ", 0) == 0) {
      cases.push_back(ScreenCase{file.stem().string() + "/" + line.substr(5), {}, {}});
    } else if (line.rfind("stream ", 0) == 0 && !cases.empty()) {
      cases.back().stream = ParseStream(line.substr(7));
    } else if (!cases.empty()) {
      cases.back().screen += line + "\n";
    }
  }
  return cases;
}

std::vector<ScreenCase> AllCases() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kGoldenDir))
    if (entry.path().extension() == ".cases") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<ScreenCase> cases;
  for (const fs::path& f : files) {
    std::vector<ScreenCase> more = ReadCases(f);
    cases.insert(cases.end(), more.begin(), more.end());
  }
  return cases;
}

// A row as a C64 shows it, in the dump's notation: each glyph by the
// first byte that prints its screen code, blanks and plain spaces alike
// as blank (their colour never shows), nothing after the last glyph.
std::string ShownRow(std::uint64_t index, const ScreenLine& line) {
  std::vector<ScreenCell> cells;
  for (const ScreenCell& cell : line.cells) {
    const std::uint8_t screenCode = ScreenCodeOfPetscii(static_cast<std::uint8_t>(cell.code & 0xFF));
    const bool reversed = (cell.code & kGlyphReverse) != 0;
    if (cell.code == 0 || (screenCode == 0x20 && !reversed)) {
      cells.push_back(ScreenCell{});
      continue;
    }
    const auto code = static_cast<std::uint16_t>((cell.code & ~0xFF) | PetsciiOfScreenCode(screenCode));
    cells.push_back(ScreenCell{code, cell.colour});
  }
  while (!cells.empty() && cells.back().code == 0) cells.pop_back();
  std::string out = std::to_string(index) + " -";
  char text[16];
  for (const ScreenCell& c : cells) {
    std::snprintf(text, sizeof text, " %04X:%u", c.code, static_cast<unsigned>(c.colour));
    out += text;
  }
  return out + "\n";
}

// The 25 rows from the top, as the dump of a fixed screen of them.
std::string ShownScreen(const PetsciiScreen& s) {
  std::string out = "rows 25 top 0 cursor " + std::to_string(s.CursorRow() - s.Top()) + " " +
                    std::to_string(s.CursorColumn()) + "\n";
  std::string continued = "continued";
  const ScreenRows lines = s.Lines();
  for (std::uint64_t r = 0; r < PetsciiScreen::kRows; ++r) {
    const std::uint64_t row = s.Top() + r;
    const ScreenLine line = row < lines.size() ? lines[row] : ScreenLine{};
    out += ShownRow(r, line);
    if (line.continued) continued += " " + std::to_string(r);
  }
  return out + "set " + (s.LowerCase() ? "lower" : "upper") + "\n" + continued + "\n";
}

// Every row as the dump shows it; rows not made yet are empty.
std::vector<std::string> DumpedRows(const PetsciiScreen& s, std::uint64_t atLeast) {
  std::vector<std::string> rows;
  for (std::uint64_t r = 0; r < std::max(s.RowCount(), atLeast); ++r)
    rows.push_back(r < s.RowCount() ? DumpScreenRow(s, r) : std::to_string(r) + " -\n");
  return rows;
}

// A terminal holding `stream`, about to read it as a C64 starts: in light
// blue and the upper case set.
PetsciiTerminal StartAsAC64(bool fixed, const ByteBuffer& stream = {}) {
  PetsciiTerminal terminal;
  terminal.LoadBytes(stream);
  terminal.Reset(PetsciiScreen::kDefaultColour, fixed);
  terminal.SetStartCharset(0);
  return terminal;
}

class ScreenEditor : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenEditor, ShowsWhatAC64Shows) {
  const ScreenCase& c = GetParam();
  ASSERT_FALSE(c.stream.empty()) << c.name;
  for (const bool fixed : {true, false}) {
    const char* mode = fixed ? " (fixed screen)" : " (history)";
    PetsciiTerminal whole = StartAsAC64(fixed, c.stream);
    whole.ProcessPending();
    const std::string diff = DescribeDifference(c.screen, ShownScreen(whole.Screen()));
    EXPECT_TRUE(diff.empty()) << c.name << mode << ":\n" << diff;

    // Byte by byte: the same screen, and the scrollback only ever grows by
    // the rows that left the screen (a clear adds its separator row).
    PetsciiTerminal split = StartAsAC64(fixed);
    std::vector<std::string> before;
    for (std::size_t i = 0; i < c.stream.size(); ++i) {
      split.AppendByte(c.stream[i]);
      split.ProcessPending();
      if (fixed) continue;
      const std::uint64_t top = split.Screen().Top();
      std::vector<std::string> after = DumpedRows(split.Screen(), top);
      for (std::uint64_t r = before.size(); r < top; ++r) before.push_back(std::to_string(r) + " -\n");
      for (std::uint64_t r = 0; r < top; ++r) {
        const bool separatorAdded = before[r] == std::to_string(r) + " -\n" && after[r] == std::to_string(r) + " S\n";
        ASSERT_TRUE(after[r] == before[r] || separatorAdded)
            << c.name << ": scrollback row " << r << " changed by byte " << i;
      }
      before = std::move(after);
    }
    EXPECT_EQ(ShownScreen(split.Screen()), ShownScreen(whole.Screen())) << c.name << mode << " byte by byte";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScreenEditor, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<ScreenCase>& info) { return TestName(info.param.name); });

TEST(GoldenScreen, DifferenceNamesTheRow) {
  const std::string diff = DescribeDifference("a\nb\nc\n", "a\nx\nc\n");
  EXPECT_NE(diff.find("line 2"), std::string::npos);
  EXPECT_EQ(diff.find("line 1"), std::string::npos);
}
}  // namespace
