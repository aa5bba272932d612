// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/GlyphSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "terminal/PetsciiCodes.h"

namespace {
using Pixels = std::function<bool(int row, int col)>;

bool At(const GlyphRows& g, int r, int c) { return (g[r] >> (7 - c) & 1) != 0; }

GlyphRows Draw(const Pixels& on) {
  GlyphRows g{};
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c)
      if (on(r, c)) g[r] |= static_cast<std::uint8_t>(0x80 >> c);
  return g;
}

std::string Picture(const GlyphRows& g) {
  std::string s = "\n";
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) s += At(g, r, c) ? '#' : '.';
    s += '\n';
  }
  return s;
}

bool Contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

// The character table the glyphs were drawn from: set, screen code, PETSCII
// bytes, Unicode value, name and geometry notes.
struct Entry {
  bool lower;
  int screenCode;
  std::vector<int> petscii;
  long unicode;
  std::string name, note;
  const GlyphRows& Glyph() const { return ScreenGlyph(lower, static_cast<std::uint8_t>(screenCode)); }
};

const std::vector<Entry>& Table() {
  static const std::vector<Entry> table = [] {
    std::vector<Entry> rows;
    std::ifstream in(MORLEN_SOURCE_DIR "/resources/glyphs/petscii-unicode.tsv");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
      std::vector<std::string> f;
      std::stringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) f.push_back(cell);
      f.resize(6);
      Entry e{f[0] == "lower", std::stoi(f[1], nullptr, 16), {}, std::stol(f[3].substr(2), nullptr, 16), f[4], f[5]};
      std::stringstream codes(f[2]);
      for (std::string code; std::getline(codes, code, ',');) e.petscii.push_back(std::stoi(code, nullptr, 16));
      rows.push_back(e);
    }
    return rows;
  }();
  return table;
}

// The numbers of a note's "<key> 3,4 set", empty if the note has no such part.
std::vector<int> NoteList(const std::string& note, const std::string& key) {
  std::vector<int> out;
  const std::size_t at = note.find(key);
  if (at == std::string::npos) return out;
  std::stringstream numbers(note.substr(at + key.size(), note.find(" set", at) - at - key.size()));
  for (std::string n; std::getline(numbers, n, ',');) out.push_back(std::stoi(n));
  return out;
}
}  // namespace

TEST(GlyphSet, EmbeddedFilesHoldAllGlyphs) {
  for (bool lower : {false, true}) {
    const GlyphFile& file = EmbeddedGlyphFile(lower);
    EXPECT_EQ(file.error, "") << lower;
    EXPECT_EQ(file.count, kGlyphsPerSet) << lower;
    for (const std::string& label : file.labels) EXPECT_FALSE(label.empty()) << lower;
  }
}

TEST(GlyphSet, ParserReadsRowsAndReportsFaults) {
  std::vector<std::string> lines{"; comment"};
  for (int c = 0; c < kGlyphsPerSet; ++c) {
    char header[16];
    std::snprintf(header, sizeof header, "0x%02X X NAME", c);
    lines.push_back(header);
    for (int r = 0; r < 8; ++r) lines.push_back(r == 0 ? "#......." : r == 1 ? ".......#" : "........");
  }
  // A reversed glyph of its own for screen code 0x01.
  lines.push_back("0x81 X REVERSED");
  for (int r = 0; r < 8; ++r) lines.push_back(r == 7 ? "........" : "########");
  auto join = [](const std::vector<std::string>& ls) {
    std::string text;
    for (const std::string& l : ls) text += l + "\n";
    return text;
  };
  const GlyphFile good = ParseGlyphFile(join(lines));
  EXPECT_EQ(good.error, "");
  EXPECT_EQ(good.count, kGlyphsPerSet);
  EXPECT_EQ(good.glyphs[0x41][0], 0x80);
  EXPECT_EQ(good.glyphs[0x41][1], 0x01);
  EXPECT_EQ(good.labels[0x41], "X NAME");
  EXPECT_EQ(good.labels[0x01], "X NAME");
  ASSERT_TRUE(good.reversed[0x01].has_value());
  EXPECT_EQ(*good.reversed[0x01], (GlyphRows{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
  EXPECT_EQ(std::count_if(good.reversed.begin(), good.reversed.end(), [](const auto& g) { return g.has_value(); }), 1);

  const auto header = [](int code) { return 1 + code * 9; };
  struct Case {
    std::function<void(std::vector<std::string>&)> spoil;
    const char* error;
  };
  const Case cases[] = {
      {[&](auto& ls) { ls.erase(ls.begin() + header(5), ls.begin() + header(6)); }, "no glyph for 0x05"},
      {[&](auto& ls) { ls[header(3) + 2] = "#######"; }, "glyph 0x03 row 1"},
      {[&](auto& ls) { ls[header(3) + 2] = "###o####"; }, "glyph 0x03 row 1"},
      {[&](auto& ls) { ls[header(7)] = "0x06 X"; }, "second glyph for 0x06"},
      {[&](auto& ls) { ls[header(7)] = "0x81 X"; }, "second glyph for 0x81"},
      {[&](auto& ls) { ls[header(2)] = "02 X"; }, "line 20: expected a header"},
      {[&](auto& ls) { ls.erase(ls.begin() + header(kGlyphsPerSet) - 1); }, "glyph 0x7F row 7 is not"},
      {[&](auto& ls) { ls.pop_back(); }, "0x81 has only 7 rows"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> spoilt = lines;
    c.spoil(spoilt);
    const GlyphFile file = ParseGlyphFile(join(spoilt));
    EXPECT_TRUE(Contains(file.error, c.error)) << file.error << " / wanted " << c.error;
  }
}

TEST(GlyphSet, PetsciiBytesMapToScreenCodes) {
  struct Range {
    int first, last, screenOfFirst;
  };
  const Range ranges[] = {{0x00, 0x1F, 0x80}, {0x20, 0x3F, 0x20}, {0x40, 0x5F, 0x00}, {0x60, 0x7F, 0x40},
                          {0x80, 0x9F, 0xC0}, {0xA0, 0xBF, 0x60}, {0xC0, 0xDF, 0x40}, {0xE0, 0xFE, 0x60},
                          {0xFF, 0xFF, 0x5E}};
  for (const Range& range : ranges)
    for (int p = range.first; p <= range.last; ++p)
      EXPECT_EQ(ScreenCodeOfPetscii(static_cast<std::uint8_t>(p)), range.screenOfFirst + p - range.first) << p;
  for (const Entry& e : Table())
    for (int p : e.petscii) EXPECT_EQ(ScreenCodeOfPetscii(static_cast<std::uint8_t>(p)), e.screenCode) << p;
}

TEST(GlyphSet, LabelsNameTheTableCharacters) {
  ASSERT_EQ(Table().size(), 2u * kGlyphsPerSet);
  for (const Entry& e : Table()) {
    const std::string& label = GlyphLabel(e.lower, static_cast<std::uint8_t>(e.screenCode));
    const std::size_t space = label.find(' ');
    EXPECT_TRUE(space != std::string::npos && label.substr(space + 1) == e.name) << label << " / " << e.name;
  }
}

TEST(GlyphSet, SameCharacterHasSameBitmap) {
  int pairs = 0;
  for (const Entry& a : Table()) {
    for (const Entry& b : Table()) {
      if (!a.lower && b.lower && a.unicode == b.unicode) {
        ++pairs;
        EXPECT_EQ(Picture(a.Glyph()), Picture(b.Glyph())) << a.name;
      }
    }
    const std::size_t at = a.note.find("same bitmap as screen code 0x");
    if (at != std::string::npos) {
      const int other = std::stoi(a.note.substr(at + 29, 2), nullptr, 16);
      EXPECT_EQ(Picture(a.Glyph()), Picture(ScreenGlyph(a.lower, static_cast<std::uint8_t>(other)))) << a.name;
    }
  }
  EXPECT_EQ(pairs, kGlyphsPerSet - 26 - 4);  // all but the small letters and four lower-set graphics
}

TEST(GlyphSet, BarsAndBlocksSitWhereTheNotesSay) {
  int checked = 0;
  for (const Entry& e : Table()) {
    const std::vector<int> rows = NoteList(e.note, "full-width rows ");
    const std::vector<int> singleRow = NoteList(e.note, "full-width row ");
    const std::vector<int> cols = NoteList(e.note, "full-height columns ");
    if (rows.empty() && singleRow.empty() && cols.empty()) continue;
    ++checked;
    const auto in = [](const std::vector<int>& list, int v) { return std::count(list.begin(), list.end(), v) > 0; };
    const GlyphRows want = Draw([&](int r, int c) { return in(rows, r) || in(singleRow, r) || in(cols, c); });
    EXPECT_EQ(Picture(e.Glyph()), Picture(want)) << e.name;
  }
  EXPECT_EQ(checked, 2 * 21);
}

// Graphics whose shape follows from their name: quadrants, box drawing (its
// lines where the notes put the plain horizontal and vertical ones: rows and
// columns 3,4), corner bars, checkers, stripes, triangles and diagonals.
TEST(GlyphSet, GraphicsFollowTheirNames) {
  const auto line = [](int v) { return v == 3 || v == 4; };
  const auto checker = [](int r, int c) { return (r / 2 + c / 2) % 2 == 0; };
  const auto falling = [](int r, int c) { return std::abs(c - r) <= 1; };  // 3 px wide, corner to corner
  int checked = 0;
  for (const Entry& e : Table()) {
    const std::string& n = e.name;
    const auto has = [&](const char* word) { return Contains(n, word); };
    const GlyphRows& g = e.Glyph();
    Pixels want;
    if (n.rfind("QUADRANT ", 0) == 0) {
      want = [&](int r, int c) {
        return has((std::string(r < 4 ? " UPPER" : " LOWER") + (c < 4 ? " LEFT" : " RIGHT")).c_str());
      };
    } else if (n.rfind("BOX DRAWINGS LIGHT ", 0) == 0 && !has("DIAGONAL")) {
      const bool up = has("VERTICAL") || has(" UP"), down = has("VERTICAL") || has("DOWN");
      const bool left = has("HORIZONTAL") || has("LEFT"), right = has("HORIZONTAL") || has("RIGHT");
      // Arcs only fix where they leave the cell, so that they join the lines.
      for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(At(g, 0, i), up && line(i)) << n << Picture(g);
        EXPECT_EQ(At(g, 7, i), down && line(i)) << n << Picture(g);
        EXPECT_EQ(At(g, i, 0), left && line(i)) << n << Picture(g);
        EXPECT_EQ(At(g, i, 7), right && line(i)) << n << Picture(g);
      }
      if (!has("ARC")) {
        want = [=](int r, int c) {
          return (line(c) && ((up && r <= 4) || (down && r >= 3))) ||
                 (line(r) && ((left && c <= 4) || (right && c >= 3)));
        };
      }
    } else if (has(" AND LOWER ONE EIGHTH") || has(" AND UPPER ONE EIGHTH")) {
      // An edge column and an edge row, as thick as the set's own edge bars.
      const int col = has("LEFT") ? 0 : 7, row = has("LOWER") ? 7 : 0;
      want = [=](int r, int c) { return std::abs(c - col) < 2 || std::abs(r - row) < 2; };
    } else if (Contains(e.note, "2x2-pixel checker")) {
      const bool inverse = has("INVERSE"), leftHalf = has("LEFT HALF"), lowerHalf = has("LOWER HALF");
      want = [=](int r, int c) { return (leftHalf ? c < 4 : lowerHalf ? r >= 4 : true) && checker(r, c) != inverse; };
    } else if (has("TO LOWER") && has(" FILL")) {
      // 2-pixel stripes: every row two on, two off, shifted a column a row;
      // both fills share their bottom row .##..##.
      const int step = has("UPPER LEFT") ? 1 : -1;
      want = [=](int r, int c) { return ((c - step * (r - 7) - 1) % 4 + 4) % 4 < 2; };
    } else if (has("BLACK UPPER") && has("TRIANGLE")) {
      // Either way of drawing the diagonal itself halves the cell.
      const bool rightSide = has("RIGHT"), diagonal = At(g, 0, rightSide ? 0 : 7);
      want = [=](int r, int c) {
        const int inside = rightSide ? c - r : 7 - r - c;
        return inside != 0 ? inside > 0 : diagonal;
      };
    } else if (has("LIGHT DIAGONAL")) {
      const bool down = has("UPPER LEFT") || has("CROSS"), up = has("UPPER RIGHT") || has("CROSS");
      want = [=](int r, int c) { return (down && falling(r, c)) || (up && falling(r, 7 - c)); };
    } else {
      continue;
    }
    ++checked;
    if (want) {
      EXPECT_EQ(Picture(g), Picture(Draw(want))) << n;
    }
  }
  EXPECT_EQ(checked, 32 + 22);  // upper set, lower set
}

// Suits, the disc and the ring are mirror images of themselves about their
// middle column (the suits but the club are 7 pixels wide); the disc and
// ring span 6x6 pixels, the ring open in the middle.
TEST(GlyphSet, RoundShapesAreSymmetric) {
  for (const Entry& e : Table()) {
    const bool disc = e.name == "BULLET", ring = e.name == "WHITE CIRCLE";
    if (!disc && !ring && !Contains(e.name, " SUIT")) continue;
    const GlyphRows& g = e.Glyph();
    SCOPED_TRACE(e.name + Picture(g));
    std::uint8_t columns = 0;
    int rows = 0;
    for (std::uint8_t row : g) columns |= row, rows += row != 0 ? 1 : 0;
    int left = 0, right = 7;
    while (left < 7 && !(columns & (0x80 >> left))) ++left;
    while (right > 0 && !(columns & (0x80 >> right))) --right;
    EXPECT_EQ(Picture(g), Picture(Draw([&](int r, int c) {
                const int mirrored = left + right - c;
                return mirrored >= 0 && mirrored < 8 && At(g, r, mirrored);
              })));
    if (!disc && !ring) continue;
    EXPECT_EQ(columns, 0x7E);
    EXPECT_EQ(rows, 6);
    constexpr int kMiddle = 0x18;  // columns 3,4
    EXPECT_EQ(disc ? g[3] & g[4] & kMiddle : (g[3] | g[4]) & kMiddle, disc ? kMiddle : 0);
  }
}

// Capitals and digits fill rows 0-6; small letters sit on row 6 with the
// x-height from row 2, ascenders and dots from row 1 and descenders into
// row 7.
// Column 0 stays clear to space characters apart.
TEST(GlyphSet, LettersAndDigitsKeepTheirRows) {
  const std::string tops = "BDFHIJKLT", descenders = "GJPQY";  // tops: ascenders and dots
  for (const Entry& e : Table()) {
    const bool capital = Contains(e.name, "LATIN CAPITAL"), small = Contains(e.name, "LATIN SMALL");
    if (!capital && !small && !Contains(e.name, "DIGIT ")) continue;
    const GlyphRows& g = e.Glyph();
    const std::string letter = e.name.substr(e.name.size() - 1);
    SCOPED_TRACE(e.name + Picture(g));
    EXPECT_NE(g[6], 0);
    EXPECT_EQ(g[7] != 0, small && Contains(descenders, letter));
    EXPECT_EQ(g[0] != 0, !small);
    if (small) {
      EXPECT_EQ(g[1] != 0, Contains(tops, letter));
    }
    for (int r = 0; r < 8; ++r) EXPECT_EQ(g[r] & 0x80, 0);
  }
}

// Reversed glyphs are the inversions of the normal ones, but for the
// reversed @, which the C64 draws with its own row 5.
TEST(GlyphSet, GlyphCodesPickSetAndReverse) {
  const std::string reversedAt = "\n##....##\n#..##..#\n#..#...#\n#..#...#\n#..#####\n#..##..#\n##....##\n########\n";
  for (int set : {0, 1}) {
    for (int p = 0; p < 256; ++p) {
      const auto code = static_cast<std::uint16_t>(kGlyphBase | (set ? kGlyphLowerCase : 0) | p);
      const GlyphRows& plain = GlyphOfCode(code);
      const GlyphRows& reversed = GlyphOfCode(static_cast<std::uint16_t>(code | kGlyphReverse));
      const std::uint8_t screenCode = ScreenCodeOfPetscii(static_cast<std::uint8_t>(p));
      EXPECT_EQ(Picture(plain), Picture(ScreenGlyph(set == 1, screenCode))) << p;
      EXPECT_EQ(Picture(reversed), Picture(ScreenGlyph(set == 1, screenCode ^ kScreenReverse))) << p;
    }
    for (int sc = 0; sc < kGlyphsPerSet; ++sc) {
      const GlyphRows& normal = ScreenGlyph(set == 1, static_cast<std::uint8_t>(sc));
      const GlyphRows& reversed = ScreenGlyph(set == 1, static_cast<std::uint8_t>(sc | kScreenReverse));
      if (sc == 0) {
        EXPECT_EQ(Picture(reversed), reversedAt) << set;
        for (int r = 0; r < 8; ++r) EXPECT_EQ(reversed[r] == static_cast<std::uint8_t>(~normal[r]), r != 5) << r;
        continue;
      }
      for (int r = 0; r < 8; ++r) EXPECT_EQ(reversed[r], static_cast<std::uint8_t>(~normal[r])) << sc;
    }
  }
  EXPECT_EQ(Picture(GlyphOfCode(0xE240)), reversedAt);  // a reversed @ printed
  EXPECT_EQ(Picture(GlyphOfCode(0xE100)), reversedAt);  // byte 0x00 in quotes shows as a reversed @
  const GlyphRows blank{}, full{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(GlyphOfCode(0xE020), blank);
  EXPECT_EQ(GlyphOfCode(0xE1A0), blank);
  EXPECT_EQ(GlyphOfCode(0xE220), full);
  EXPECT_EQ(GlyphOfCode(0xE012), GlyphOfCode(0xE252));  // reverse-on in quotes: a reversed R
  EXPECT_EQ(GlyphOfCode(0xE192), GlyphOfCode(0xE372));  // reverse-off: reversed shifted R
  EXPECT_EQ(GlyphOfCode(0xDFFF), blank);
  EXPECT_EQ(GlyphOfCode(0xE400), blank);
  EXPECT_EQ(CursorGlyph(), (GlyphRows{0, 0, 0, 0, 0, 0, 0xFF, 0xFF}));
}
