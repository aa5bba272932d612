// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/GlyphSet.h"

#include <cstddef>
#include <string>
#include <utility>

#include "terminal/PetsciiCodes.h"

extern const unsigned char glyphsUpperText[];
extern const std::size_t glyphsUpperText_size;
extern const unsigned char glyphsLowerText[];
extern const std::size_t glyphsLowerText_size;

namespace {
constexpr int kRowsPerGlyph = 8;
constexpr int kPixelsPerRow = 8;
constexpr int kScreenCodes = 256;
constexpr int kGlyphCodes = 0x400;
constexpr std::uint8_t kCursorRows = 0xFF;

GlyphRows Inverted(const GlyphRows& rows) {
  GlyphRows out{};
  for (int r = 0; r < kRowsPerGlyph; ++r) out[r] = static_cast<std::uint8_t>(~rows[r]);
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Screen code of a header line "0xNN label", -1 if the line is not one.
int HeaderCode(std::string_view line) {
  if (line.size() < 6 || line[0] != '0' || line[1] != 'x' || line[4] != ' ') return -1;
  const int high = HexDigit(line[2]);
  const int low = HexDigit(line[3]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Row bits of an 8-pixel row, -1 if the line is not one.
int RowBits(std::string_view line) {
  if (line.size() != kPixelsPerRow) return -1;
  int bits = 0;
  for (char c : line) {
    if (c != '#' && c != '.') return -1;
    bits = bits << 1 | (c == '#' ? 1 : 0);
  }
  return bits;
}

class Parser {
 public:
  GlyphFile Run(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && file_.error.empty()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      ++lineNumber_;
      Line(line);
      start = end + 1;
    }
    if (file_.error.empty() && code_ >= 0) Fail("glyph " + Hex(code_) + " has only " + std::to_string(rows_) + " rows");
    for (int c = 0; c < kGlyphsPerSet && file_.error.empty(); ++c) {
      if (!seen_[c]) Fail("no glyph for " + Hex(c));
    }
    return std::move(file_);
  }

 private:
  static std::string Hex(int code) {
    static const char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[code >> 4 & 0xF] + kDigits[code & 0xF];
  }

  void Fail(const std::string& what) {
    if (file_.error.empty()) file_.error = "line " + std::to_string(lineNumber_) + ": " + what;
  }

  void Line(std::string_view line) {
    if (line.empty() || line[0] == ';') return;
    if (code_ < 0) {
      Header(line);
      return;
    }
    const int bits = RowBits(line);
    if (bits < 0) {
      Fail("glyph " + Hex(code_) + " row " + std::to_string(rows_) + " is not 8 of '#' or '.'");
      return;
    }
    const auto row = static_cast<std::uint8_t>(bits);
    if (code_ < kGlyphsPerSet) {
      file_.glyphs[code_][rows_++] = row;
    } else {
      (*file_.reversed[code_ - kGlyphsPerSet])[rows_++] = row;
    }
    if (rows_ == kRowsPerGlyph) {
      if (code_ < kGlyphsPerSet) ++file_.count;
      code_ = -1;
    }
  }

  void Header(std::string_view line) {
    const int code = HeaderCode(line);
    if (code < 0) return Fail("expected a header \"0xNN label\"");
    if (seen_[code]) return Fail("second glyph for " + Hex(code));
    seen_[code] = true;
    code_ = code;
    rows_ = 0;
    if (code < kGlyphsPerSet)
      file_.labels[code] = std::string(line.substr(5));
    else
      file_.reversed[code - kGlyphsPerSet].emplace();
  }

  GlyphFile file_;
  std::array<bool, kScreenCodes> seen_{};
  int code_ = -1;  // glyph whose rows are being read, -1 between glyphs
  int rows_ = 0;
  int lineNumber_ = 0;
};

struct Tables {
  std::array<GlyphFile, 2> files;
  std::array<std::array<GlyphRows, kScreenCodes>, 2> screen{};
  std::array<GlyphRows, kGlyphCodes> byCode{};
};

Tables Build() {
  Tables t;
  t.files[0] = ParseGlyphFile(
      std::string_view(reinterpret_cast<const char*>(glyphsUpperText), glyphsUpperText_size));
  t.files[1] = ParseGlyphFile(
      std::string_view(reinterpret_cast<const char*>(glyphsLowerText), glyphsLowerText_size));
  for (int set = 0; set < 2; ++set) {
    for (int code = 0; code < kGlyphsPerSet; ++code) {
      t.screen[set][code] = t.files[set].glyphs[code];
      const std::optional<GlyphRows>& own = t.files[set].reversed[code];
      t.screen[set][code | kScreenReverse] = own ? *own : Inverted(t.files[set].glyphs[code]);
    }
  }
  for (int index = 0; index < kGlyphCodes; ++index) {
    const int set = (index & kGlyphLowerCase) != 0 ? 1 : 0;
    std::uint8_t screenCode = ScreenCodeOfPetscii(static_cast<std::uint8_t>(index & 0xFF));
    if ((index & kGlyphReverse) != 0) screenCode ^= kScreenReverse;
    t.byCode[index] = t.screen[set][screenCode];
  }
  return t;
}

const Tables& GetTables() {
  static const Tables tables = Build();
  return tables;
}
}  // namespace

GlyphFile ParseGlyphFile(std::string_view text) { return Parser().Run(text); }

const GlyphFile& EmbeddedGlyphFile(bool lowerSet) { return GetTables().files[lowerSet ? 1 : 0]; }

std::uint8_t ScreenCodeOfPetscii(std::uint8_t petscii) {
  if (petscii == 0xFF) return 0x5E;  // shows as pi, like 0x7E and 0xDE
  const int p = petscii;
  switch (p >> 5) {
    case 0: return static_cast<std::uint8_t>(p | kScreenReverse);
    case 1: return static_cast<std::uint8_t>(p);
    case 2: return static_cast<std::uint8_t>(p - 0x40);
    case 3: return static_cast<std::uint8_t>(p - 0x20);
    case 4: return static_cast<std::uint8_t>((p - 0x40) | kScreenReverse);
    case 5: return static_cast<std::uint8_t>(p - 0x40);
    default: return static_cast<std::uint8_t>(p - 0x80);  // 0xC0-0xFE repeat 0x60-0x7E's characters
  }
}

const GlyphRows& GlyphOfCode(std::uint16_t glyphCode) {
  static const GlyphRows kBlank{};
  if (glyphCode < kGlyphBase || glyphCode >= kGlyphBase + kGlyphCodes) return kBlank;
  return GetTables().byCode[glyphCode - kGlyphBase];
}

const GlyphRows& ScreenGlyph(bool lowerSet, std::uint8_t screenCode) {
  return GetTables().screen[lowerSet ? 1 : 0][screenCode];
}

const std::string& GlyphLabel(bool lowerSet, std::uint8_t screenCode) {
  return GetTables().files[lowerSet ? 1 : 0].labels[screenCode & 0x7F];
}

const GlyphRows& CursorGlyph() {
  static const GlyphRows kCursor{0, 0, 0, 0, 0, 0, kCursorRows, kCursorRows};
  return kCursor;
}
