// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/GlyphText.h"

#include <algorithm>
#include <cctype>

#include "terminal/GlyphSet.h"

PixelBuffer ComposeGlyphText(std::string_view text, int scale, PaletteColour ink, PaletteColour paper) {
  scale = std::clamp(scale, kMinScale, kMaxScale);
  const int cell = kGlyphPixels * scale;
  PixelBuffer out;
  out.format = PixelFormat::Rgb24;
  out.width = static_cast<int>(text.size()) * cell;
  out.height = cell;
  out.rgb.resize(std::size_t(out.Stride()) * out.height);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto petscii = static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(text[i])));
    const GlyphRows& glyph = ScreenGlyph(false, ScreenCodeOfPetscii(petscii));
    for (int y = 0; y < out.height; ++y) {
      std::uint8_t* pixel = &out.rgb[std::size_t(y) * out.Stride() + i * cell * 3];
      const std::uint8_t bits = glyph[y / scale];
      for (int x = 0; x < cell; ++x, pixel += 3) {
        const PaletteColour& colour = (bits & (0x80 >> (x / scale))) ? ink : paper;
        pixel[0] = colour.red;
        pixel[1] = colour.green;
        pixel[2] = colour.blue;
      }
    }
  }
  return out;
}
