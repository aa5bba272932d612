// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/PetsciiCodes.h"

#include <gtest/gtest.h>

TEST(PetsciiCodes, ColourCodesMapBothWays) {
  struct Case {
    std::uint8_t code;
    int index;
  };
  const Case cases[] = {{0x90, 0},  {0x05, 1},  {0x1C, 2},  {0x9F, 3},  {0x9C, 4},  {0x1E, 5},
                        {0x1F, 6},  {0x9E, 7},  {0x81, 8},  {0x95, 9},  {0x96, 10}, {0x97, 11},
                        {0x98, 12}, {0x99, 13}, {0x9A, 14}, {0x9B, 15}};
  for (const Case& c : cases) {
    EXPECT_TRUE(IsColourCode(c.code)) << int(c.code);
    EXPECT_EQ(ColourIndexOfCode(c.code), c.index) << int(c.code);
    EXPECT_EQ(ColourCodeOfIndex(c.index), c.code) << c.index;
  }
  int colourCodes = 0;
  for (int b = 0; b < 256; ++b) colourCodes += IsColourCode(static_cast<std::uint8_t>(b)) ? 1 : 0;
  EXPECT_EQ(colourCodes, 16);
  EXPECT_EQ(ColourIndexOfCode(0x41), -1);
  EXPECT_EQ(ColourIndexOfCode(0x00), -1);
}

TEST(PetsciiCodes, PrintableIsEverythingButTheTwoControlBlocks) {
  for (int b = 0; b < 256; ++b) {
    const bool control = b < 0x20 || (b >= 0x80 && b < 0xA0);
    EXPECT_EQ(IsPrintable(static_cast<std::uint8_t>(b)), !control) << b;
  }
}

TEST(PetsciiCodes, GlyphCodeCarriesSetAndReverseBits) {
  EXPECT_EQ(MakeGlyphCode(0x41, 0, 0), 0xE041);
  EXPECT_EQ(MakeGlyphCode(0x41, 1, 0), 0xE141);
  EXPECT_EQ(MakeGlyphCode(0x41, 0, 1), 0xE241);
  EXPECT_EQ(MakeGlyphCode(0xFF, 1, 1), 0xE3FF);
}
