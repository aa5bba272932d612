// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A press of one key of the C64 keyboard together with the C64 modifier held,
// the unit the keymaps produce and the PETSCII key table consumes.
#include <cstdint>

// Keys of the C64 keyboard matrix, numbered 8 x row + column (the order of
// the C64's own keyboard tables).
namespace c64key {
constexpr std::uint32_t kInstDel = 0;
constexpr std::uint32_t kReturn = 1;
constexpr std::uint32_t kCursorLeftRight = 2;
constexpr std::uint32_t kF7 = 3;
constexpr std::uint32_t kF1 = 4;
constexpr std::uint32_t kF3 = 5;
constexpr std::uint32_t kF5 = 6;
constexpr std::uint32_t kCursorUpDown = 7;
constexpr std::uint32_t kDigit3 = 8;
constexpr std::uint32_t kW = 9;
constexpr std::uint32_t kA = 10;
constexpr std::uint32_t kDigit4 = 11;
constexpr std::uint32_t kZ = 12;
constexpr std::uint32_t kS = 13;
constexpr std::uint32_t kE = 14;
constexpr std::uint32_t kLeftShift = 15;
constexpr std::uint32_t kDigit5 = 16;
constexpr std::uint32_t kR = 17;
constexpr std::uint32_t kD = 18;
constexpr std::uint32_t kDigit6 = 19;
constexpr std::uint32_t kC = 20;
constexpr std::uint32_t kF = 21;
constexpr std::uint32_t kT = 22;
constexpr std::uint32_t kX = 23;
constexpr std::uint32_t kDigit7 = 24;
constexpr std::uint32_t kY = 25;
constexpr std::uint32_t kG = 26;
constexpr std::uint32_t kDigit8 = 27;
constexpr std::uint32_t kB = 28;
constexpr std::uint32_t kH = 29;
constexpr std::uint32_t kU = 30;
constexpr std::uint32_t kV = 31;
constexpr std::uint32_t kDigit9 = 32;
constexpr std::uint32_t kI = 33;
constexpr std::uint32_t kJ = 34;
constexpr std::uint32_t kDigit0 = 35;
constexpr std::uint32_t kM = 36;
constexpr std::uint32_t kK = 37;
constexpr std::uint32_t kO = 38;
constexpr std::uint32_t kN = 39;
constexpr std::uint32_t kPlus = 40;
constexpr std::uint32_t kP = 41;
constexpr std::uint32_t kL = 42;
constexpr std::uint32_t kMinus = 43;
constexpr std::uint32_t kFullStop = 44;
constexpr std::uint32_t kColon = 45;
constexpr std::uint32_t kAt = 46;
constexpr std::uint32_t kComma = 47;
constexpr std::uint32_t kPound = 48;
constexpr std::uint32_t kAsterisk = 49;
constexpr std::uint32_t kSemicolon = 50;
constexpr std::uint32_t kClrHome = 51;
constexpr std::uint32_t kRightShift = 52;
constexpr std::uint32_t kEquals = 53;
constexpr std::uint32_t kUpArrow = 54;
constexpr std::uint32_t kSlash = 55;
constexpr std::uint32_t kDigit1 = 56;
constexpr std::uint32_t kLeftArrow = 57;
constexpr std::uint32_t kCtrl = 58;
constexpr std::uint32_t kDigit2 = 59;
constexpr std::uint32_t kSpace = 60;
constexpr std::uint32_t kCommodore = 61;
constexpr std::uint32_t kQ = 62;
constexpr std::uint32_t kRunStop = 63;

constexpr std::uint32_t kCount = 64;
// Not a key: the keymaps' answer for an event that means nothing to the C64.
constexpr std::uint32_t kNone = kCount;
}  // namespace c64key

// Which C64 modifier key is held with a key.
namespace c64modifier {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kShift = 1;
constexpr std::uint32_t kCtrl = 2;
constexpr std::uint32_t kCommodore = 3;
constexpr std::uint32_t kCount = 4;
}  // namespace c64modifier

// Packed as one 64-bit value: key number in the low 32 bits, modifier index
// in the high 32 bits.
class C64KeyPress {
 public:
  static constexpr unsigned kModifierShift = 32;
  static constexpr std::uint64_t kKeyMask = 0xFFFFFFFFu;

  // No key.
  constexpr C64KeyPress() = default;
  constexpr C64KeyPress(std::uint32_t key, std::uint32_t modifier)
      : value_((static_cast<std::uint64_t>(modifier) << kModifierShift) | key) {}
  static constexpr C64KeyPress FromValue(std::uint64_t value) {
    return C64KeyPress(static_cast<std::uint32_t>(value & kKeyMask),
                       static_cast<std::uint32_t>(value >> kModifierShift));
  }

  constexpr std::uint64_t Value() const { return value_; }
  constexpr std::uint32_t Key() const { return static_cast<std::uint32_t>(value_ & kKeyMask); }
  constexpr std::uint32_t Modifier() const { return static_cast<std::uint32_t>(value_ >> kModifierShift); }
  // Whatever the modifier: no key is no key.
  constexpr bool IsNoKey() const { return Key() >= c64key::kCount; }
  // C= with SHIFT switches the screen between the two character sets.
  constexpr bool IsCharsetToggle() const {
    return Key() == c64key::kCommodore && Modifier() == c64modifier::kShift;
  }

  friend constexpr bool operator==(C64KeyPress a, C64KeyPress b) { return a.value_ == b.value_; }
  friend constexpr bool operator!=(C64KeyPress a, C64KeyPress b) { return a.value_ != b.value_; }

 private:
  std::uint64_t value_ = c64key::kNone;
};

constexpr C64KeyPress kNoKeyPress{};
constexpr C64KeyPress kCharsetToggle{c64key::kCommodore, c64modifier::kShift};
