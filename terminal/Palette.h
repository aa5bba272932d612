// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sixteen C64 colours: the built-in RGB table and the names shown to users.
#include <array>
#include <cstdint>

struct PaletteColour {
  std::uint8_t red, green, blue;
};
using Palette = std::array<PaletteColour, 16>;

extern const Palette kBuiltInPalette;
// Name of a colour index 0-15 ("black" ... "lt gray"); "" outside the range.
const char* ColourName(int index);

// The live drawing palette every canvas and colour chooser points to. It
// starts black; the application copies the built-in palette into it.
Palette& LivePalette();
