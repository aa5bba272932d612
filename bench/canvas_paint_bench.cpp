// SPDX-License-Identifier: GPL-3.0-or-later
// One full repaint of the canvas at each scale, as the paint handler does
// it: compose the 40x25 screen into pixels and paint them, here into an
// offscreen memory context. Needs a display (make bench runs
// it under Xvfb).
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/wx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "terminal/PetsciiCodes.h"
#include "terminal/ScreenCompositor.h"
#include "terminal/wxPetsciiScrolledCanvas.h"

namespace {
constexpr int kRepeats = 100;

PetsciiScreen FullScreen() {
  PetsciiScreen screen;
  for (std::uint64_t r = 0; r < PetsciiScreen::kRows; ++r)
    for (std::uint64_t c = 0; c < PetsciiScreen::kColumns; ++c) {
      ScreenCell& cell = screen.CellAt(r, c);
      const std::uint8_t petscii = static_cast<std::uint8_t>(0x21 + (r * 40 + c) % 0x5E);
      cell.code = MakeGlyphCode(static_cast<std::uint8_t>(petscii | ((r & 1) ? 0x80 : 0)), 0, (c % 7) == 0);
      cell.colour = static_cast<std::uint8_t>((r + c) % 16);
    }
  return screen;
}

double Milliseconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}
}  // namespace

int main(int argc, char** argv) {
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  const PetsciiScreen screen = FullScreen();
  std::printf("%-6s %14s %14s\n", "scale", "repaint ms", "");
  std::printf("%-6s %14s %14s\n", "", "best", "median");
  for (int scale : {1, 2, 3, 5, 8}) {
    ComposeRequest request = ScreenRequest(screen, scale, 0, PetsciiScreen::kRows + 1);
    request.showCursor = true;
    PixelBuffer pixels;
    wxBitmap target(request.width, request.height, 24);
    wxMemoryDC dc(target);
    double total[kRepeats];
    for (double& t : total) {
      const auto start = std::chrono::steady_clock::now();
      qwx::BlitComposed(dc, request, pixels);
      t = Milliseconds(start);
    }
    std::sort(total, total + kRepeats);
    std::printf("%-6d %14.3f %14.3f\n", scale, total[0], total[kRepeats / 2]);
  }
  wxEntryCleanup();
  return 0;
}
