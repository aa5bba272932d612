// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/ScreenCompositor.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "terminal/GlyphSet.h"
#include "terminal/PetsciiCodes.h"

namespace {
// Colour slots of the unscaled index picture: 0-15 are the palette.
constexpr std::uint8_t kBackgroundSlot = 16;
constexpr std::uint8_t kSelectionSlot = 17;
constexpr std::uint8_t kCursorSlot = 18;
constexpr int kSlotCount = 19;

// A plain space: PETSCII 0x20, 0xA0 or 0xE0 in either set, not reversed.
bool IsPlainSpace(std::uint16_t code) { return (code & 0x27F) == 0x20 || (code & 0x2FF) == 0xE0; }

int ClampScale(int scale) { return scale >= kMinScale && scale <= kMaxScale ? scale : 2; }

class IndexPicture {
 public:
  IndexPicture(int width, int height) : width_(width), height_(height), slots_(std::size_t(width) * height, kBackgroundSlot) {}

  // Draws the set pixels of a glyph at cell (column, row) in `slot`; the
  // clear pixels in `clearSlot` unless that is the background.
  void Glyph(const GlyphRows& rows, int column, int row, std::uint8_t slot, std::uint8_t clearSlot) {
    const int x0 = column * kGlyphPixels;
    const int y0 = row * kGlyphPixels;
    for (int gy = 0; gy < kGlyphPixels; ++gy) {
      const int y = y0 + gy;
      if (y >= height_) break;
      std::uint8_t* line = &slots_[std::size_t(y) * width_];
      const std::uint8_t bits = rows[gy];
      for (int gx = 0; gx < kGlyphPixels; ++gx) {
        const int x = x0 + gx;
        if (x >= width_) break;
        if (bits & (0x80 >> gx))
          line[x] = slot;
        else if (clearSlot != kBackgroundSlot)
          line[x] = clearSlot;
      }
    }
  }

  const std::uint8_t* Line(int y) const { return &slots_[std::size_t(y) * width_]; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  std::vector<std::uint8_t> slots_;
};

std::uint32_t Xrgb(const PaletteColour& c) {
  return (std::uint32_t(c.red) << 16) | (std::uint32_t(c.green) << 8) | c.blue;
}

void PutPixel(std::uint8_t* at, PixelFormat format, const PaletteColour& colour) {
  if (format == PixelFormat::Rgb24) {
    at[0] = colour.red;
    at[1] = colour.green;
    at[2] = colour.blue;
  } else {
    const std::uint32_t word = Xrgb(colour);
    std::memcpy(at, &word, sizeof word);
  }
}

void DrawSeparator(PixelBuffer& out, int y, int length, const PaletteColour& colour) {
  if (y < 0 || y >= out.height) return;
  std::uint8_t* line = &out.rgb[std::size_t(y) * out.Stride()];
  // A dotted line: every other pixel, starting at the left edge.
  for (int x = 0; x < std::min(length, out.width); x += 2) PutPixel(line + x * out.BytesPerPixel(), out.format, colour);
}

// Widens one line of colour slots to pixels, `scale` pixels per slot.
void ExpandLine(const std::uint8_t* slots, int slotCount, int scale, const PaletteColour* colours, PixelBuffer& out,
                std::uint8_t* dst) {
  if (out.format == PixelFormat::Xrgb32) {
    std::uint32_t words[kSlotCount];
    for (int i = 0; i < kSlotCount; ++i) words[i] = Xrgb(colours[i]);
    std::uint32_t* pixel = reinterpret_cast<std::uint32_t*>(dst);
    for (int px = 0; px < slotCount; ++px) {
      const std::uint32_t word = words[slots[px]];
      const int run = std::min(scale, out.width - px * scale);
      for (int k = 0; k < run; ++k) *pixel++ = word;
    }
    return;
  }
  for (int px = 0; px < slotCount; ++px) {
    const PaletteColour& colour = colours[slots[px]];
    const int run = std::min(scale, out.width - px * scale);
    for (int k = 0; k < run; ++k) {
      dst[0] = colour.red;
      dst[1] = colour.green;
      dst[2] = colour.blue;
      dst += 3;
    }
  }
}
}  // namespace

PaletteColour SelectionColourOn(const PaletteColour& background) {
  // Luma in thousandths of a unit (ITU-R BT.601 weights).
  constexpr int kRedWeight = 299, kGreenWeight = 587, kBlueWeight = 114;
  constexpr int kLightLuma = 160 * 1000;
  const int luma = kRedWeight * background.red + kGreenWeight * background.green + kBlueWeight * background.blue;
  return luma >= kLightLuma ? PaletteColour{0x00, 0x00, 0x00} : PaletteColour{0xFF, 0xFF, 0xFF};
}

ComposeRequest ScreenRequest(const PetsciiScreen& screen, int scale, std::uint64_t firstRow,
                             std::uint64_t rows) {
  ComposeRequest request;
  request.screen = &screen;
  request.scale = ClampScale(scale);
  request.firstRow = firstRow;
  request.rowsToDraw = rows;
  request.width = static_cast<int>(PetsciiScreen::kColumns) * kGlyphPixels * request.scale;
  request.height = static_cast<int>(rows) * kGlyphPixels * request.scale;
  return request;
}

void ComposeScreen(const ComposeRequest& request, PixelBuffer& out) {
  const int scale = ClampScale(request.scale);
  out.width = std::max(request.width, 0);
  out.height = std::max(request.height, 0);
  out.rgb.resize(std::size_t(out.Stride()) * out.height);
  if (out.width == 0 || out.height == 0) return;

  // Everything is drawn once unscaled in colour slots, then each line is
  // widened to RGB and repeated `scale` times.
  IndexPicture picture((out.width + scale - 1) / scale, (out.height + scale - 1) / scale);
  const PetsciiScreen& screen = *request.screen;
  const auto& lines = screen.Lines();
  const std::uint64_t rowsInPicture = (picture.Height() + kGlyphPixels - 1) / kGlyphPixels;
  const std::uint64_t rowLimit = std::min<std::uint64_t>(request.rowsToDraw, rowsInPicture);
  std::vector<int> separatorRows;
  for (std::uint64_t i = 0; i < rowLimit; ++i) {
    const std::uint64_t r = request.firstRow + i;
    if (r >= lines.size()) break;
    const ScreenLine& line = lines[r];
    if (line.separator) {
      separatorRows.push_back(static_cast<int>(i));
      continue;
    }
    const std::size_t visibleCells = std::min<std::size_t>(line.cells.size(), PetsciiScreen::kColumns);
    for (std::size_t c = 0; c < visibleCells; ++c) {
      const ScreenCell& cell = line.cells[c];
      if (cell.code == 0) continue;
      const bool selected = request.selection && request.selection->Contains(r, c);
      const GlyphRows& glyph = GlyphOfCode(cell.code);
      if (selected)
        picture.Glyph(glyph, static_cast<int>(c), static_cast<int>(i), kBackgroundSlot, kSelectionSlot);
      else if (!IsPlainSpace(cell.code))
        picture.Glyph(glyph, static_cast<int>(c), static_cast<int>(i), cell.colour & 0x0F, kBackgroundSlot);
    }
  }
  if (request.showCursor && screen.CursorRow() >= request.firstRow) {
    const std::uint64_t row = screen.CursorRow() - request.firstRow;
    if (row < rowsInPicture)
      picture.Glyph(CursorGlyph(), static_cast<int>(screen.CursorColumn()), static_cast<int>(row), kCursorSlot,
                    kBackgroundSlot);
  }

  PaletteColour slots[kSlotCount];
  for (int i = 0; i < kColourCount; ++i) slots[i] = (*request.palette)[i];
  slots[kBackgroundSlot] = (*request.palette)[screen.Background() % kColourCount];
  slots[kSelectionSlot] = SelectionColourOn(slots[kBackgroundSlot]);
  slots[kCursorSlot] = request.colours.cursor;

  const std::size_t stride = static_cast<std::size_t>(out.Stride());
  for (int py = 0; py < picture.Height(); ++py) {
    const int y0 = py * scale;
    std::uint8_t* first = &out.rgb[std::size_t(y0) * stride];
    ExpandLine(picture.Line(py), picture.Width(), scale, slots, out, first);
    for (int k = 1; k < scale && y0 + k < out.height; ++k) std::memcpy(first + k * stride, first, stride);
  }

  const int cell = kGlyphPixels * scale;
  for (int row : separatorRows)
    DrawSeparator(out, row * cell + cell / 2, static_cast<int>(PetsciiScreen::kColumns) * cell,
                  request.colours.separator);
}

void AddBorder(PixelBuffer& pixels, const PaletteColour& colour, int scale) {
  scale = ClampScale(scale);
  const int side = kBorderLeftRight * scale, above = kBorderTopBottom * scale;
  PixelBuffer framed;
  framed.format = pixels.format;
  framed.width = pixels.width + 2 * side;
  framed.height = pixels.height + 2 * above;
  framed.rgb.resize(std::size_t(framed.Stride()) * framed.height);
  const int bytesPerPixel = framed.BytesPerPixel();
  for (std::size_t at = 0; at < framed.rgb.size(); at += bytesPerPixel) PutPixel(&framed.rgb[at], framed.format, colour);
  for (int y = 0; y < pixels.height; ++y)
    std::memcpy(&framed.rgb[std::size_t(y + above) * framed.Stride() + std::size_t(side) * bytesPerPixel],
                &pixels.rgb[std::size_t(y) * pixels.Stride()], std::size_t(pixels.Stride()));
  pixels = std::move(framed);
}
