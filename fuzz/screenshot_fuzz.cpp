// SPDX-License-Identifier: GPL-3.0-or-later
// A screenshot of any screen, and a PETSCII copy of every row in its view
// (Select All), fed to a fresh interpreter, show the very 25x40 cells of
// the view they were taken from: glyph (set, reverse, character) and
// colour, the screenshot on the same background. Checked for the live terminal's decoder (history
// mode) and the address book's preview (fixed screen), for the view at the
// end and for one scrolled back. A C64 screen shows one character set at a
// time, so a view reaching back into scrollback drawn in the other set is
// redrawn in one set: there only the character, reverse and colour count.
//
// Input: an options byte (bit 0: fixed screen, bits 4-7: initial colour),
// how many rows the view is scrolled back (its high four bits: the initial
// background), then the stream.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <cstdint>

#include "FuzzCheck.h"
#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiTerminal.h"
#include "terminal/ScreenCopy.h"
#include "terminal/ScreenView.h"

namespace {

constexpr std::size_t kHeader = 2;
constexpr std::uint8_t kDecoderColour = 3;
constexpr std::uint8_t kDecoderBackground = 6;

// What a screen shows at a row of its view and a column: a missing cell is blank.
ScreenCell Shown(const PetsciiScreen& s, std::uint64_t row, std::uint64_t column) {
  if (row >= s.RowCount()) return ScreenCell{};
  const ScreenLine line = s.Lines()[row];
  if (column >= line.cells.size()) return ScreenCell{};
  return line.cells[column];
}

// Whether the view's written cells are drawn in both character sets.
bool MixesSets(const PetsciiScreen& s, std::uint64_t firstRow) {
  bool lower = false, upper = false;
  for (std::uint64_t r = 0; r < PetsciiScreen::kRows; ++r) {
    for (std::uint64_t c = 0; c < PetsciiScreen::kColumns; ++c) {
      const ScreenCell cell = Shown(s, firstRow + r, c);
      if (cell.code == 0) continue;
      ((cell.code & kGlyphLowerCase) ? lower : upper) = true;
    }
  }
  return lower && upper;
}

// A PETSCII copy of the rows in view, each to its end (Select All).
ByteBuffer CopyOfView(const PetsciiScreen& original, std::uint64_t firstRow) {
  if (firstRow >= original.RowCount()) return {};
  const std::uint64_t last = std::min(firstRow + PetsciiScreen::kRows, original.RowCount()) - 1;
  return PetsciiCopy(original, Selection{{firstRow, 0}, {last, original.Lines()[last].cells.size()}});
}

void CheckRedraws(const PetsciiScreen& original, std::uint64_t firstRow, bool fixedDecoder, bool copied) {
  const auto compared = static_cast<std::uint16_t>(MixesSets(original, firstRow) ? ~kGlyphLowerCase : 0xFFFF);
  const ByteBuffer shot = copied ? CopyOfView(original, firstRow) : Screenshot(original, firstRow);
  PetsciiTerminal decoder(kDecoderColour, fixedDecoder);
  decoder.LoadBytes(shot);
  decoder.Reset(kDecoderColour, fixedDecoder, kDecoderBackground);
  decoder.ProcessPending();
  const PetsciiScreen& copy = decoder.Screen();
  // A copy carries no background.
  FUZZ_CHECK(copied || copy.Background() == original.Background(), "the redrawn screen has the same background");
  for (std::uint64_t r = 0; r < PetsciiScreen::kRows; ++r) {
    for (std::uint64_t c = 0; c < PetsciiScreen::kColumns; ++c) {
      const ScreenCell want = Shown(original, firstRow + r, c), got = Shown(copy, copy.Top() + r, c);
      FUZZ_CHECK((want.code & compared) == (got.code & compared), "the redrawn screen shows the same glyph");
      FUZZ_CHECK(want.code == 0 || want.colour == got.colour, "the redrawn screen shows the same colour");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  const bool fixed = data[0] & 1;
  const auto colour = static_cast<std::uint8_t>(data[0] >> 4);
  const auto background = static_cast<std::uint8_t>(data[1] >> 4);
  PetsciiTerminal terminal(colour, fixed);
  terminal.LoadBytes(ByteBuffer(data + kHeader, data + size));
  terminal.Reset(colour, fixed, background);
  terminal.ProcessPending();
  const PetsciiScreen& original = terminal.Screen();

  // The view showing the current screen, the screen's top row, and a view
  // scrolled back from it.
  const std::uint64_t top = original.Top();
  const std::uint64_t views[] = {CurrentScreenViewStart(original, PetsciiScreen::kRows), top,
                                 top - std::min<std::uint64_t>(top, data[1] & 0x0F)};
  for (bool fixedDecoder : {false, true}) {
    for (std::size_t v = 0; v < std::size(views); ++v) {
      if (v > 0 && views[v] == views[v - 1]) continue;
      CheckRedraws(original, views[v], fixedDecoder, false);
      CheckRedraws(original, views[v], fixedDecoder, true);
    }
  }
  return 0;
}
