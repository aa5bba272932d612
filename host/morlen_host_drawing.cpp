// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_drawing.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace {
constexpr char kUntouched = ' ';
namespace glyph {
constexpr std::uint8_t kHorizontal = 0x60;
constexpr std::uint8_t kVertical = 0x7D;
constexpr std::uint8_t kTopLeft = 0xB0;
constexpr std::uint8_t kTopRight = 0xAE;
constexpr std::uint8_t kBottomLeft = 0xAD;
constexpr std::uint8_t kBottomRight = 0xBD;
}  // namespace glyph

const PictureInk& InkFor(char key, std::initializer_list<PictureInk> inks) {
  for (const PictureInk& ink : inks)
    if (ink.key == key) return ink;
  throw std::logic_error(std::string("picture letter without ink: '") + key + "'");
}
}  // namespace

void DrawPicture(PetsciiWriter& writer, int firstRow, std::initializer_list<std::string_view> rows,
                 std::initializer_list<PictureInk> inks) {
  std::optional<C64Colour> colour;
  bool reverse = false;
  int row = firstRow;
  for (std::string_view text : rows) {
    if (text.size() > static_cast<std::size_t>(PetsciiWriter::kColumns))
      throw std::logic_error("picture row wider than the screen");
    for (std::size_t column = 0; column < text.size(); ++column) {
      if (text[column] == kUntouched) continue;
      const PictureInk& ink = InkFor(text[column], inks);
      writer.MoveTo(row, static_cast<int>(column));
      if (colour != ink.colour) writer.Colour(ink.colour);
      if (reverse != ink.reverse) writer.Reverse(ink.reverse);
      colour = ink.colour;
      reverse = ink.reverse;
      writer.Glyph(ink.code);
      // Writing the last column moved the cursor to the next row already;
      // MoveTo follows it from there.
    }
    ++row;
  }
  if (reverse) writer.Reverse(false);
}

void DrawFrame(PetsciiWriter& writer, int top, int left, int bottom, int right, C64Colour colour) {
  const int inner = right - left - 1;
  writer.Colour(colour).MoveTo(top, left).Glyph(glyph::kTopLeft).Glyph(glyph::kHorizontal, inner);
  writer.Glyph(glyph::kTopRight);
  for (int row = top + 1; row < bottom; ++row) {
    writer.MoveTo(row, left).Glyph(glyph::kVertical);
    writer.MoveTo(row, right).Glyph(glyph::kVertical);
  }
  writer.MoveTo(bottom, left).Glyph(glyph::kBottomLeft).Glyph(glyph::kHorizontal, inner);
  writer.Glyph(glyph::kBottomRight);
}

void DrawBar(PetsciiWriter& writer, int row, std::string_view text, C64Colour colour) {
  const std::size_t width = PetsciiWriter::kColumns;
  if (text.size() > width) throw std::logic_error("bar text wider than the screen");
  const std::size_t left = (width - text.size()) / 2;
  std::string line(left, ' ');
  line += text;
  line.resize(width, ' ');
  writer.MoveTo(row, 0).Colour(colour).Reverse(true).Text(line).Reverse(false);
}

void DrawLines(PetsciiWriter& writer, int firstRow, int column,
               std::initializer_list<std::string_view> lines) {
  int row = firstRow;
  for (std::string_view line : lines) {
    if (!line.empty()) writer.MoveTo(row, column).Text(line);
    ++row;
  }
}
