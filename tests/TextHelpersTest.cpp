// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/TextHelpers.h"

#include <gtest/gtest.h>

namespace {

TEST(TextHelpers, StripTrimAndLower) {
  struct Case {
    const char* text;
    const char* stripped;
    const char* trimmed;
    const char* lowered;
  };
  const Case cases[] = {
      {" \t a b\n", "ab", "a b", " \t a b\n"},
      {"\v\fX Y\r", "XY", "X Y", "\v\fx y\r"},
      {"\xa0\xc9Z", "\xa0\xc9Z", "\xa0\xc9Z", "\xa0\xc9z"},  // bytes above 0x7F are left alone
      {"   ", "", "", "   "},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stripWhitespace(c.text), c.stripped);
    EXPECT_EQ(trimText(c.text), c.trimmed);
    EXPECT_EQ(toLowerText(c.text), c.lowered);
  }
}

}  // namespace
