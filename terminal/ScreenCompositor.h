// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Composes what a terminal canvas shows into an RGB pixel buffer: the rows
// of a screen model from the view start down, glyphs at a whole-number
// scale, the selection, separator rows and the cursor. The canvas blits the
// buffer; morlen-petscii writes it as PNG, so both show the same pixels.
#include <cstdint>
#include <vector>

#include "terminal/Palette.h"
#include "terminal/PetsciiScreen.h"
#include "terminal/Selection.h"

constexpr int kGlyphPixels = 8;
constexpr int kMinScale = 1;
constexpr int kMaxScale = 8;

enum class PixelFormat {
  Rgb24,   // red, green, blue bytes (PNG, toolkit images)
  Xrgb32,  // one 32-bit word 0x00RRGGBB per pixel, in machine order (the display's own)
};

struct PixelBuffer {
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::Rgb24;
  std::vector<std::uint8_t> rgb;  // width * height pixels, rows top down
  int BytesPerPixel() const { return format == PixelFormat::Rgb24 ? 3 : 4; }
  int Stride() const { return width * BytesPerPixel(); }
};

// The background is the screen's own colour (PetsciiScreen::Background) in
// the palette; selected cells are filled with the selection colour of that
// background and their text takes the background colour.
struct CanvasColours {
  PaletteColour cursor{0xBB, 0x99, 0xFF};
  PaletteColour separator{0x00, 0xFF, 0x00};   // the dotted line of a separator row
};

struct ComposeRequest {
  const PetsciiScreen* screen = nullptr;
  const Palette* palette = &kBuiltInPalette;
  CanvasColours colours;
  int scale = 2;
  std::uint64_t firstRow = 0;   // view start, in rows
  std::uint64_t rowsToDraw = PetsciiScreen::kRows;  // rows from firstRow on that are drawn
  int width = 0;                // buffer size in pixels
  int height = 0;
  const Selection* selection = nullptr;  // none: nothing selected
  bool showCursor = false;
};

// White, or black on a light background, where white would not show.
PaletteColour SelectionColourOn(const PaletteColour& background);

// Resizes `out` to the request's size and fills every pixel, in the
// buffer's format.
void ComposeScreen(const ComposeRequest& request, PixelBuffer& out);

// The C64's border around its 320x200 screen, in pixels at scale 1.
constexpr int kBorderLeftRight = 32;
constexpr int kBorderTopBottom = 36;

// Surrounds the picture with a border of `colour`, kBorderLeftRight * scale
// pixels at either side and kBorderTopBottom * scale above and below.
void AddBorder(PixelBuffer& pixels, const PaletteColour& colour, int scale);

// The usual request for a whole screen: 320*scale wide, `rows` rows from
// `firstRow`, nothing selected, no cursor.
ComposeRequest ScreenRequest(const PetsciiScreen& screen, int scale, std::uint64_t firstRow,
                             std::uint64_t rows);
