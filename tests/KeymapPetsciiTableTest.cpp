// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/PetsciiKeyTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "keyboard/KeyPressAction.h"
#include "terminal/PetsciiCodes.h"

// Expectations come from the C64's keyboard: key numbers are 8 x row +
// column of its matrix, the bytes its ROM produces. Modifiers: 0 none,
// 1 SHIFT, 2 CTRL, 3 C=.
namespace {

constexpr std::uint32_t kPlain = 0, kShift = 1, kCtrl = 2, kCommodore = 3;

std::optional<std::uint8_t> Byte(std::uint32_t key, std::uint32_t modifier) {
  return PetsciiOfKeyPress(key, modifier);
}

// Key numbers of the letters in alphabetical order.
constexpr std::uint32_t kLetterKeys[26] = {10, 28, 20, 18, 14, 21, 26, 29, 33, 34, 37, 42, 36,
                                           39, 38, 41, 62, 17, 13, 22, 30, 31, 9,  23, 25, 12};
// Key numbers of the digits 0-9.
constexpr std::uint32_t kDigitKeys[10] = {35, 56, 59, 8, 11, 16, 19, 24, 27, 32};

}  // namespace

TEST(KeymapPetsciiTable, LettersGiveCapitalsShiftedGraphicsAndControlCodes) {
  bool graphicSeen[256] = {};
  for (int i = 0; i < 26; ++i) {
    const std::uint8_t letter = static_cast<std::uint8_t>('A' + i);
    const std::uint32_t key = kLetterKeys[i];
    EXPECT_EQ(Byte(key, kPlain), letter) << letter;
    EXPECT_EQ(Byte(key, kShift), letter | 0x80) << letter;
    EXPECT_EQ(Byte(key, kCtrl), letter - 0x40) << letter;
    // C= gives a graphic from the 0xA1-0xBF block.
    const auto graphic = Byte(key, kCommodore);
    ASSERT_TRUE(graphic.has_value()) << letter;
    EXPECT_GE(*graphic, 0xA1) << letter;
    EXPECT_LE(*graphic, 0xBF) << letter;
    EXPECT_FALSE(graphicSeen[*graphic]) << "C= graphic used twice: " << letter;
    graphicSeen[*graphic] = true;
  }
  EXPECT_EQ(Byte(10, kCommodore), 0xB0);  // C= A
  EXPECT_EQ(Byte(62, kCommodore), 0xAB);  // C= Q
}

TEST(KeymapPetsciiTable, DigitsGiveShiftedSymbolsColoursAndReverse) {
  const std::string shifted = "!\"#$%&'()";  // SHIFT 1-9
  for (int d = 0; d <= 9; ++d) {
    const std::uint32_t key = kDigitKeys[d];
    EXPECT_EQ(Byte(key, kPlain), '0' + d) << d;
    if (d >= 1) {
      EXPECT_EQ(Byte(key, kShift), shifted[d - 1]) << d;
    }
    // CTRL 1-8 are the first eight colours, C= 1-8 the other eight.
    if (d >= 1 && d <= 8) {
      EXPECT_EQ(Byte(key, kCtrl), ColourCodeOfIndex(d - 1)) << d;
      EXPECT_EQ(Byte(key, kCommodore), ColourCodeOfIndex(d + 7)) << d;
    }
  }
  EXPECT_EQ(Byte(35, kShift), std::nullopt);
  EXPECT_EQ(Byte(32, kCtrl), petscii::kReverseOn);
  EXPECT_EQ(Byte(35, kCtrl), petscii::kReverseOff);
  EXPECT_EQ(Byte(32, kCommodore), std::nullopt);
  EXPECT_EQ(Byte(35, kCommodore), std::nullopt);
}

TEST(KeymapPetsciiTable, EditingCursorAndFunctionKeys) {
  struct Case {
    std::uint32_t key, modifier;
    std::optional<std::uint8_t> byte;
  };
  const Case cases[] = {
      {0, kPlain, petscii::kDelete},
      {0, kShift, petscii::kInsert},
      {0, kCtrl, std::nullopt},
      {0, kCommodore, petscii::kInsert},
      {1, kPlain, petscii::kReturn},
      {1, kShift, petscii::kShiftReturn},
      {1, kCommodore, petscii::kShiftReturn},
      {2, kPlain, petscii::kCursorRight},
      {2, kShift, petscii::kCursorLeft},
      {7, kPlain, petscii::kCursorDown},
      {7, kShift, petscii::kCursorUp},
      {51, kPlain, petscii::kHome},
      {51, kShift, petscii::kClear},
      {51, kCommodore, std::nullopt},
      {4, kPlain, 0x85},  // F1
      {5, kPlain, 0x86},  // F3
      {6, kPlain, 0x87},  // F5
      {3, kPlain, 0x88},  // F7
      {4, kShift, 0x89},  // F2
      {5, kShift, 0x8A},  // F4
      {6, kShift, 0x8B},  // F6
      {3, kShift, 0x8C},  // F8
      {3, kCommodore, std::nullopt},
      {63, kPlain, 0x03},  // RUN/STOP
      {63, kShift, 0x83},
      {60, kPlain, 0x20},  // SPACE
      {60, kShift, 0xA0},
      {60, kCtrl, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Byte(c.key, c.modifier), c.byte) << c.key << "/" << c.modifier;
}

TEST(KeymapPetsciiTable, PoundAndArrowKeysAndTheZeroByte) {
  struct Case {
    std::uint32_t key;
    std::optional<std::uint8_t> plain, shift, ctrl, commodore;
  };
  const auto no = std::nullopt;
  const Case cases[] = {
      {48, 0x5C, 0xA9, 0x1C, 0xA8},  // pound
      {54, 0x5E, 0xDE, 0x1E, no},    // up arrow
      {57, 0x5F, 0x5F, no, 0x5F},    // left arrow
      {46, 0x40, 0xBA, 0x00, 0xA4},  // @: CTRL gives a zero byte, not nothing
      {53, 0x3D, no, 0x1F, 0x3D},    // =
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Byte(c.key, kPlain), c.plain) << c.key;
    EXPECT_EQ(Byte(c.key, kShift), c.shift) << c.key;
    EXPECT_EQ(Byte(c.key, kCtrl), c.ctrl) << c.key;
    EXPECT_EQ(Byte(c.key, kCommodore), c.commodore) << c.key;
  }
}

TEST(KeymapPetsciiTable, ModifierKeysAndOutOfRangePressesGiveNothing) {
  for (std::uint32_t key : {15u, 52u, 58u, 61u})
    for (std::uint32_t modifier = 0; modifier < 4; ++modifier)
      EXPECT_EQ(Byte(key, modifier), std::nullopt) << key << "/" << modifier;
  for (std::uint32_t key : {64u, 65u, 0xFFFFFFFFu}) EXPECT_EQ(Byte(key, kPlain), std::nullopt) << key;
  for (std::uint32_t modifier : {4u, 0x80000000u, 0xFFFFFFFFu})
    EXPECT_EQ(Byte(10, modifier), std::nullopt) << modifier;
}

TEST(KeymapKeyPress, PacksKeyLowAndModifierHigh) {
  const C64KeyPress toggle(61, 1);
  EXPECT_EQ(toggle.Value(), 0x000000010000003DULL);
  EXPECT_EQ(C64KeyPress::FromValue(0x0000000300000008ULL), C64KeyPress(8, 3));
  EXPECT_EQ(C64KeyPress::FromValue(toggle.Value()).Key(), 61u);
  EXPECT_EQ(C64KeyPress::FromValue(toggle.Value()).Modifier(), 1u);
  EXPECT_TRUE(toggle.IsCharsetToggle());
  EXPECT_FALSE(C64KeyPress(61, 0).IsCharsetToggle());
  EXPECT_TRUE(C64KeyPress().IsNoKey());
  EXPECT_EQ(C64KeyPress().Key(), 64u);
  EXPECT_TRUE(C64KeyPress(64, 2).IsNoKey());
  EXPECT_FALSE(C64KeyPress(63, 0).IsNoKey());
}

TEST(KeymapKeyPress, ActionForTheMainWindow) {
  using Kind = KeyPressAction::Kind;
  EXPECT_EQ(ActionOfKeyPress(C64KeyPress()).kind, Kind::PassOn);
  EXPECT_EQ(ActionOfKeyPress(C64KeyPress(64, 1)).kind, Kind::PassOn);
  EXPECT_EQ(ActionOfKeyPress(C64KeyPress(61, 1)).kind, Kind::ToggleCharset);
  EXPECT_EQ(ActionOfKeyPress(C64KeyPress(61, 3)).kind, Kind::Swallow);  // C= alone sends nothing
  EXPECT_EQ(ActionOfKeyPress(C64KeyPress(58, 2)).kind, Kind::Swallow);  // the Tab press
  const KeyPressAction zero = ActionOfKeyPress(C64KeyPress(46, 2));     // CTRL @
  EXPECT_EQ(zero.kind, Kind::Send);
  EXPECT_EQ(zero.byte, 0x00);
  const KeyPressAction orange = ActionOfKeyPress(C64KeyPress(56, 3));
  EXPECT_EQ(orange.kind, Kind::Send);
  EXPECT_EQ(orange.byte, 0x81);
}
