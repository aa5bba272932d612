// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line of text drawn in the terminal's own C64 glyphs (upper-case set),
// for labels that should look like the C64 screen.
#include <string_view>

#include "terminal/Palette.h"
#include "terminal/ScreenCompositor.h"

// RGB pixels of `text`: one 8x8 cell per character, `scale` pixels per
// glyph pixel, set pixels in `ink` on `paper`. Letters of either case show
// as the C64's capitals; other characters as their PETSCII glyph.
PixelBuffer ComposeGlyphText(std::string_view text, int scale, PaletteColour ink, PaletteColour paper);
