// SPDX-License-Identifier: GPL-3.0-or-later
// Time to compose a full 40x25 screen of text and graphics into pixels, per
// scale: the work of one canvas repaint before the blit.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "terminal/PetsciiCodes.h"
#include "terminal/ScreenCompositor.h"

int main() {
  constexpr int kRepeats = 200;
  PetsciiScreen screen;
  for (std::uint64_t r = 0; r < PetsciiScreen::kRows; ++r) {
    for (std::uint64_t c = 0; c < PetsciiScreen::kColumns; ++c) {
      ScreenCell& cell = screen.CellAt(r, c);
      const std::uint8_t petscii = static_cast<std::uint8_t>(0x21 + (r * 40 + c) % 0x5E);
      cell.code = MakeGlyphCode(static_cast<std::uint8_t>(petscii | ((r & 1) ? 0x80 : 0)), 0, (c % 7) == 0);
      cell.colour = static_cast<std::uint8_t>((r + c) % 16);
    }
  }
  std::printf("%-6s %14s %14s\n", "scale", "best ms", "median ms");
  for (int scale : {1, 2, 3, 5, 8}) {
    ComposeRequest request = ScreenRequest(screen, scale, 0, PetsciiScreen::kRows);
    request.showCursor = true;
    PixelBuffer pixels;
    double times[kRepeats];
    for (double& t : times) {
      const auto start = std::chrono::steady_clock::now();
      ComposeScreen(request, pixels);
      t = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    std::sort(times, times + kRepeats);
    std::printf("%-6d %14.3f %14.3f\n", scale, times[0], times[kRepeats / 2]);
  }
  return 0;
}
