// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/ScreenCompositor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>

#include "terminal/GlyphSet.h"
#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiTerminal.h"
#include "terminal/PngEncoder.h"

namespace {

PaletteColour PixelAt(const PixelBuffer& b, int x, int y) {
  const std::uint8_t* p = &b.rgb[(std::size_t(y) * b.width + x) * 3];
  return {p[0], p[1], p[2]};
}

bool Same(const PaletteColour& a, const PaletteColour& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

PetsciiScreen Interpreted(const std::string& stream) {
  PetsciiTerminal s;
  s.LoadBytes(ByteBuffer(stream.begin(), stream.end()));
  s.Reset(14, false);
  s.ProcessPending();
  return std::move(s.Screen());
}

// Checks that cell (column, row) of the picture shows `glyph` with `ink`
// on `paper`, every glyph pixel a scale x scale block.
::testing::AssertionResult CellShows(const PixelBuffer& b, int scale, int column, int row, const GlyphRows& glyph,
                                     const PaletteColour& ink, const PaletteColour& paper) {
  for (int y = 0; y < 8 * scale; ++y) {
    for (int x = 0; x < 8 * scale; ++x) {
      const bool set = glyph[y / scale] & (0x80 >> (x / scale));
      const PaletteColour want = set ? ink : paper;
      const int px = column * 8 * scale + x, py = row * 8 * scale + y;
      if (!Same(PixelAt(b, px, py), want))
        return ::testing::AssertionFailure() << "cell (" << column << "," << row << ") pixel (" << x << "," << y
                                             << ") at scale " << scale;
    }
  }
  return ::testing::AssertionSuccess();
}

const PaletteColour kBlack{0, 0, 0};

TEST(ScreenCompositor, EveryGlyphCodeIsPixelExactAtEveryScale) {
  // All 1024 glyph codes, in colours cycling through the palette.
  PetsciiScreen screen;
  for (int i = 0; i < 1024; ++i) {
    ScreenCell& cell = screen.CellAt(i / 40, i % 40);
    cell.code = static_cast<std::uint16_t>(kGlyphBase + i);
    cell.colour = static_cast<std::uint8_t>(i % 16);
  }
  for (int scale = kMinScale; scale <= kMaxScale; ++scale) {
    PixelBuffer b;
    ComposeScreen(ScreenRequest(screen, scale, 0, screen.RowCount()), b);
    ASSERT_EQ(b.width, 320 * scale);
    ASSERT_EQ(b.height, int(screen.RowCount()) * 8 * scale);
    for (int i = 0; i < 1024; ++i) {
      const std::uint16_t code = static_cast<std::uint16_t>(kGlyphBase + i);
      // Plain spaces are left to the background, which looks the same.
      ASSERT_TRUE(CellShows(b, scale, i % 40, i / 40, GlyphOfCode(code), kBuiltInPalette[i % 16], kBlack))
          << std::hex << code;
    }
  }
}

TEST(ScreenCompositor, ScaleOutsideRangeActsAsTwo) {
  const PetsciiScreen screen = Interpreted("A");
  for (int scale : {0, 9, -3}) {
    const ComposeRequest r = ScreenRequest(screen, scale, 0, 25);
    EXPECT_EQ(r.scale, 2);
    EXPECT_EQ(r.width, 640);
  }
}

TEST(ScreenCompositor, SeparatorIsADottedLineAcrossFortyColumns) {
  const PetsciiScreen screen = Interpreted("\x93");  // row 0 separator
  ComposeRequest request = ScreenRequest(screen, 3, 0, 2);
  request.width += 30;  // wider than the text area
  PixelBuffer b;
  ComposeScreen(request, b);
  const PaletteColour green{0, 0xFF, 0};
  const int mid = 12;  // 8 * 3 / 2
  int dots = 0;
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      const bool isGreen = Same(PixelAt(b, x, y), green);
      if (y != mid || x >= 960) {
        ASSERT_FALSE(isGreen) << x << "," << y;
      } else {
        dots += isGreen;
        ASSERT_EQ(isGreen, x % 2 == 0) << x;
      }
    }
  }
  EXPECT_EQ(dots, 480);
}

TEST(ScreenCompositor, SpacesReverseSpacesAndBlanks) {
  // A plain space, a reversed space (solid) and a blank cell left by cursor right.
  const PetsciiScreen screen = Interpreted("\x05 \x12 \x92\x1d" "A");
  PixelBuffer b;
  ComposeScreen(ScreenRequest(screen, 1, 0, 1), b);
  const PaletteColour white = kBuiltInPalette[1];
  GlyphRows solid;
  solid.fill(0xFF);
  EXPECT_TRUE(CellShows(b, 1, 0, 0, GlyphRows{}, white, kBlack));
  EXPECT_TRUE(CellShows(b, 1, 1, 0, solid, white, kBlack));
  EXPECT_TRUE(CellShows(b, 1, 2, 0, GlyphRows{}, white, kBlack));
  EXPECT_TRUE(CellShows(b, 1, 3, 0, GlyphOfCode(0xE141), white, kBlack));
}

TEST(ScreenCompositor, SelectionSwapsTextAndBackground) {
  const PetsciiScreen screen = Interpreted("\x05" "AB C");
  Selection selection{{0, 1}, {0, 3}};  // B and the space
  ComposeRequest request = ScreenRequest(screen, 2, 0, 1);
  request.selection = &selection;
  PixelBuffer b;
  ComposeScreen(request, b);
  const PaletteColour white = kBuiltInPalette[1], selectionColour{0xFF, 0xFF, 0xFF};
  EXPECT_TRUE(CellShows(b, 2, 0, 0, GlyphOfCode(0xE141), white, kBlack));
  EXPECT_TRUE(CellShows(b, 2, 1, 0, GlyphOfCode(0xE142), kBlack, selectionColour));
  EXPECT_TRUE(CellShows(b, 2, 2, 0, GlyphRows{}, kBlack, selectionColour));
  EXPECT_TRUE(CellShows(b, 2, 3, 0, GlyphOfCode(0xE143), white, kBlack));
}

// The screen's background (CTRL-B and a colour code) fills the picture and
// shows through every glyph; a selection stays visible on a light one.
TEST(ScreenCompositor, BackgroundFollowsTheScreen) {
  struct Case {
    const char* pair;
    int background;
    PaletteColour selection;
  };
  const Case cases[] = {
      {"", 0, {0xFF, 0xFF, 0xFF}},
      {"\x02\x97", 11, {0xFF, 0xFF, 0xFF}},
      {"\x02\x05", 1, {0x00, 0x00, 0x00}},
      {"\x02\x9e", 7, {0x00, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    const PetsciiScreen screen = Interpreted(std::string(c.pair) + "\x1c" "A\x12" "B\x92" "C");
    Selection selection{{0, 2}, {0, 3}};  // C
    ComposeRequest request = ScreenRequest(screen, 1, 0, 2);
    request.selection = &selection;
    PixelBuffer b;
    ComposeScreen(request, b);
    const PaletteColour paper = kBuiltInPalette[c.background], red = kBuiltInPalette[2];
    EXPECT_TRUE(CellShows(b, 1, 0, 0, GlyphOfCode(0xE141), red, paper)) << c.background;
    EXPECT_TRUE(CellShows(b, 1, 1, 0, GlyphOfCode(0xE342), red, paper)) << c.background;
    EXPECT_TRUE(CellShows(b, 1, 2, 0, GlyphOfCode(0xE143), paper, c.selection)) << c.background;
    EXPECT_TRUE(CellShows(b, 1, 39, 1, GlyphRows{}, red, paper)) << c.background;
  }
}

TEST(ScreenCompositor, CursorIsDrawnOverItsCell) {
  const PetsciiScreen screen = Interpreted("\x05" "AB\x9d");  // cursor on B
  ComposeRequest request = ScreenRequest(screen, 1, 0, 1);
  request.showCursor = true;
  PixelBuffer b;
  ComposeScreen(request, b);
  const GlyphRows& glyph = GlyphOfCode(0xE142);
  const PaletteColour cursor{0xBB, 0x99, 0xFF};
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool inCursor = CursorGlyph()[y] & (0x80 >> x);
      const bool inGlyph = glyph[y] & (0x80 >> x);
      const PaletteColour want = inCursor ? cursor : inGlyph ? kBuiltInPalette[1] : kBlack;
      EXPECT_TRUE(Same(PixelAt(b, 8 + x, y), want)) << x << "," << y;
    }
  }
}

TEST(ScreenCompositor, DrawsRowsFromTheViewStartOnly) {
  const PetsciiScreen screen = Interpreted("\x05" "A\x0d" "B\x0d" "C");
  ComposeRequest request = ScreenRequest(screen, 1, 1, 1);  // row 1 only
  request.height = 24;  // room for three rows, one to draw
  PixelBuffer b;
  ComposeScreen(request, b);
  EXPECT_TRUE(CellShows(b, 1, 0, 0, GlyphOfCode(0xE142), kBuiltInPalette[1], kBlack));
  EXPECT_TRUE(CellShows(b, 1, 0, 1, GlyphRows{}, kBuiltInPalette[1], kBlack));
  EXPECT_TRUE(CellShows(b, 1, 0, 2, GlyphRows{}, kBuiltInPalette[1], kBlack));
}

TEST(ScreenCompositor, CellsBeyondFortyColumnsAreNotDrawn) {
  // INST on a full row pushes its last cell on to the next row, not past the 40th column.
  const PetsciiScreen screen = Interpreted("\x05" + std::string(40, 'A') + "\x91" + std::string(39, '\x1d') + "\x94");
  ASSERT_EQ(screen.Lines()[1].cells.size(), 1u);
  ComposeRequest request = ScreenRequest(screen, 1, 0, 2);
  request.width = 336;
  PixelBuffer b;
  ComposeScreen(request, b);
  EXPECT_TRUE(CellShows(b, 1, 40, 0, GlyphRows{}, kBlack, kBlack));
  EXPECT_TRUE(CellShows(b, 1, 0, 1, GlyphOfCode(0xE141), kBuiltInPalette[1], kBlack));
}

// Inflates the IDAT of a PNG written by EncodePng and compares the pixels.
TEST(PngEncoder, PixelsSurviveTheRoundTrip) {
  PixelBuffer pixels;
  pixels.width = 5;
  pixels.height = 3;
  for (int i = 0; i < 45; ++i) pixels.rgb.push_back(static_cast<std::uint8_t>(i * 37));
  const ByteBuffer png = EncodePng(pixels);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
  std::size_t at = 8;
  ByteBuffer idat;
  std::string types;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
    const std::string type(png.begin() + at + 4, png.begin() + at + 8);
    types += type + " ";
    const uLong crc = crc32(0L, &png[at + 4], length + 4);
    const std::size_t crcAt = at + 8 + length;
    EXPECT_EQ(crc, (uLong(png[crcAt]) << 24) | (png[crcAt + 1] << 16) | (png[crcAt + 2] << 8) | png[crcAt + 3]);
    if (type == "IHDR") {
      EXPECT_EQ(png[at + 11], 5);  // width, low byte
      EXPECT_EQ(png[at + 15], 3);  // height
    }
    if (type == "IDAT") idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at = crcAt + 4;
  }
  EXPECT_EQ(types, "IHDR IDAT IEND ");
  ByteBuffer raw(3 * (1 + 15));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), idat.size()), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(raw[y * 16], 0);  // no filter
    EXPECT_EQ(std::memcmp(&raw[y * 16 + 1], &pixels.rgb[y * 15], 15), 0);
  }
}

}  // namespace
