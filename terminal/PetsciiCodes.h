// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small PETSCII code functions shared by the interpreter, the canvas,
// the copy encoders and the keyboard.
#include <cstdint>

constexpr std::uint16_t kGlyphBase = 0xE000;
constexpr std::uint16_t kGlyphLowerCase = 0x100;
constexpr std::uint16_t kGlyphReverse = 0x200;
constexpr int kColourCount = 16;

namespace detail {
constexpr std::uint8_t kColourCodes[kColourCount] = {0x90, 0x05, 0x1C, 0x9F, 0x9C, 0x1E, 0x1F, 0x9E,
                                                     0x81, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B};
// Byte -> colour index + 1 (0: not a colour code).
struct ColourIndexTable {
  std::int8_t entries[256] = {};
  constexpr ColourIndexTable() {
    for (int i = 0; i < kColourCount; ++i) entries[kColourCodes[i]] = static_cast<std::int8_t>(i + 1);
  }
};
inline constexpr ColourIndexTable kColourIndexOfCode{};
}  // namespace detail

// Colour index 0-15 of a colour code, -1 for any other byte.
inline int ColourIndexOfCode(std::uint8_t b) { return detail::kColourIndexOfCode.entries[b] - 1; }
// True exactly for the sixteen colour codes.
inline bool IsColourCode(std::uint8_t b) { return ColourIndexOfCode(b) >= 0; }
// Colour code of an index 0-15 (the index is taken modulo 16).
inline std::uint8_t ColourCodeOfIndex(int index) {
  return detail::kColourCodes[static_cast<unsigned>(index) % kColourCount];
}
// False for the control codes 0x00-0x1F and 0x80-0x9F.
inline bool IsPrintable(std::uint8_t b) { return (b & 0x60) != 0; }
inline std::uint16_t MakeGlyphCode(std::uint8_t b, int lowerCase, int reverse) {
  return static_cast<std::uint16_t>(kGlyphBase | (lowerCase == 1 ? kGlyphLowerCase : 0) |
                                    (reverse == 1 ? kGlyphReverse : 0) | b);
}

// Named PETSCII control codes.
namespace petscii {
constexpr std::uint8_t kReturn = 0x0D;
constexpr std::uint8_t kShiftReturn = 0x8D;
constexpr std::uint8_t kLowerCase = 0x0E;
constexpr std::uint8_t kUpperCase = 0x8E;
constexpr std::uint8_t kCursorDown = 0x11;
constexpr std::uint8_t kCursorUp = 0x91;
constexpr std::uint8_t kCursorRight = 0x1D;
constexpr std::uint8_t kCursorLeft = 0x9D;
constexpr std::uint8_t kReverseOn = 0x12;
constexpr std::uint8_t kReverseOff = 0x92;
constexpr std::uint8_t kHome = 0x13;
constexpr std::uint8_t kClear = 0x93;
constexpr std::uint8_t kDelete = 0x14;
constexpr std::uint8_t kInsert = 0x94;
// CTRL-B: with a colour code after it, the colour of the screen's background
// (boards that follow the common terminal programs' convention send it).
constexpr std::uint8_t kBackgroundPrefix = 0x02;
}  // namespace petscii
