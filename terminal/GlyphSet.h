// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screen's 8x8 character glyphs. Both character sets are drawn in
// resources/glyphs/{upper,lower}.txt, embedded in the program and parsed on
// first use; a lookup afterwards is an index into a prebuilt table.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One glyph, row 0 at the top; bit 7 of a row is its leftmost pixel.
using GlyphRows = std::array<std::uint8_t, 8>;

constexpr int kGlyphsPerSet = 128;
// Bit 7 of a screen code: the character is shown reversed (inverted).
constexpr std::uint8_t kScreenReverse = 0x80;

// One parsed glyph file. The text is a series of blocks: a header line
// "0xNN <character> <NAME>" for screen code NN, then 8 rows of 8 '#' (set)
// or '.' (clear); blank lines and lines starting with ';' are skipped.
// Every code 0x00-0x7F needs a block. A block for 0x80-0xFF is optional and
// gives a reversed glyph that is not the plain inversion of the normal one.
struct GlyphFile {
  std::array<GlyphRows, kGlyphsPerSet> glyphs{};
  // Reversed glyphs drawn on their own, by normal screen code.
  std::array<std::optional<GlyphRows>, kGlyphsPerSet> reversed{};
  // Header text after the code, e.g. "♠ BLACK SPADE SUIT"; empty if missing.
  std::array<std::string, kGlyphsPerSet> labels;
  int count = 0;      // complete glyphs 0x00-0x7F read
  std::string error;  // first fault found ("line 12: ..."), empty if well-formed
};

GlyphFile ParseGlyphFile(std::string_view text);

// The embedded files as parsed; a fault in them shows as a non-empty error
// (their glyphs then stay blank where the data is missing).
const GlyphFile& EmbeddedGlyphFile(bool lowerSet);

// Screen code (0-255, bit 7 = reversed) a PETSCII byte shows as. Control
// bytes give what a quoted string shows: 0x00-0x1F as reversed 0x00-0x1F,
// 0x80-0x9F as reversed 0x40-0x5F.
std::uint8_t ScreenCodeOfPetscii(std::uint8_t petscii);

// Glyph of a glyph code kGlyphBase | kGlyphLowerCase? | kGlyphReverse? | byte
// (see PetsciiCodes.h); any other code gives a blank glyph.
const GlyphRows& GlyphOfCode(std::uint16_t glyphCode);

// Glyph of a screen code 0-255 in one set; codes from 0x80 up are reversed.
const GlyphRows& ScreenGlyph(bool lowerSet, std::uint8_t screenCode);

// Header label of a screen code (bit 7 ignored), for the character chart.
const std::string& GlyphLabel(bool lowerSet, std::uint8_t screenCode);

// The cursor: the lowest quarter of the cell.
const GlyphRows& CursorGlyph();
